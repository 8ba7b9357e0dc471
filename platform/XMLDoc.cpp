#include "platform/XMLDoc.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <sstream>

#include "platform/Charset.h"
#include "platform/Files.h"

namespace {

// Comments, processing instructions, the declaration and the document type
// are kept, so that a save gives back everything the file held. Read as a
// fragment, the document shows what lies beside its element (the parser
// would otherwise drop text there and take a second element silently).
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_comments | pugi::parse_pi |
                                   pugi::parse_declaration | pugi::parse_doctype | pugi::parse_fragment;

pugi::xml_node Node(pugi::xml_node_struct* node) { return pugi::xml_node(node); }

std::string Text(std::string_view text) { return std::string(text); }

// Whether the document's declaration names the Windows code page, which
// the parser does not know (it would take the bytes as UTF-8).
bool DeclaresWindows1252(std::string_view text) {
    if (text.substr(0, 5) != "<?xml") return false;
    std::string declaration(text.substr(0, text.find("?>")));
    std::transform(declaration.begin(), declaration.end(), declaration.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* name : {"windows-1252", "cp1252", "x-cp1252"})
        for (const char quote : {'"', '\''})
            if (declaration.find(std::string("encoding=") + quote + name + quote) != std::string::npos) return true;
    return false;
}

// "Cannot read "pw.xml": <what>".
[[noreturn]] void Fail(std::string_view name, const std::string& what) {
    throw EXMLDocError("Cannot read \"" + std::string(name) + "\": " + what);
}

}  // namespace

// ------------------------------------------------------------------- node

std::string IXMLNode::NodeName() const { return Node(node_).name(); }

IXMLNodeList IXMLNode::ChildNodes() const {
    IXMLNodeList list;
    for (pugi::xml_node child : Node(node_).children())
        if (child.type() == pugi::node_element) list.nodes_.push_back(IXMLNode(child.internal_object()));
    return list;
}

std::string IXMLNode::Attributes(std::string_view name) const {
    return Node(node_).attribute(Text(name).c_str()).value();
}

bool IXMLNode::HasAttribute(std::string_view name) const {
    return static_cast<bool>(Node(node_).attribute(Text(name).c_str()));
}

void IXMLNode::SetAttribute(std::string_view name, std::string_view value) {
    pugi::xml_node node = Node(node_);
    if (!node) return;
    const std::string key = Text(name);
    pugi::xml_attribute attribute = node.attribute(key.c_str());
    if (!attribute) attribute = node.append_attribute(key.c_str());
    attribute.set_value(Text(value).c_str());
}

IXMLNode IXMLNode::AddChild(std::string_view name) {
    return IXMLNode(Node(node_).append_child(Text(name).c_str()).internal_object());
}

// ------------------------------------------------------------------- list

IXMLNode IXMLNodeList::Nodes(int index) const {
    return index >= 0 && index < Count() ? nodes_[static_cast<size_t>(index)] : IXMLNode();
}

IXMLNode IXMLNodeList::FindNode(std::string_view name) const {
    for (const IXMLNode& node : nodes_)
        if (name == Node(node.node_).name()) return node;
    return {};
}

// --------------------------------------------------------------- document

TXMLDocument::TXMLDocument() : document_(std::make_unique<pugi::xml_document>()) {}

TXMLDocument::~TXMLDocument() = default;

void TXMLDocument::LoadFromFile(const std::filesystem::path& file) {
    Clear();
    LoadFromBytes(thorn::ReadRegularFile(file, kMaxFileSize), file.string());
}

void TXMLDocument::LoadFromBytes(std::span<const uint8_t> bytes, std::string_view name) {
    Clear();
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    pugi::xml_parse_result result;
    if (DeclaresWindows1252(text)) {
        const std::string utf8 = thorn::Windows1252ToUtf8(text);
        result = document_->load_buffer(utf8.data(), utf8.size(), kParseOptions, pugi::encoding_utf8);
    } else {
        result = document_->load_buffer(bytes.data(), bytes.size(), kParseOptions);
    }
    if (!result) {
        Clear();
        Fail(name, std::string(result.description()) + " at byte " + std::to_string(result.offset));
    }
    // A document has exactly one element and no text beside it.
    int elements = 0;
    for (pugi::xml_node child : document_->children()) {
        if (child.type() == pugi::node_element) ++elements;
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            Clear();
            Fail(name, "text outside the document element");
        }
    }
    if (elements != 1) {
        Clear();
        Fail(name, elements == 0 ? "No document element found" : "more than one document element");
    }
    // The text is held, and saved, as UTF-8 whatever the file declared.
    for (pugi::xml_node node : document_->children())
        if (node.type() == pugi::node_declaration && node.attribute("encoding"))
            node.attribute("encoding").set_value("UTF-8");
}

std::string TXMLDocument::SaveToString() const {
    std::ostringstream out;
    document_->save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

void TXMLDocument::SaveToFile(const std::filesystem::path& file) const {
    const std::string text = SaveToString();
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    if (!thorn::WriteFileReplacing(file, std::span<const uint8_t>(bytes, text.size())))
        throw EXMLDocError("Cannot write " + thorn::Quoted(file));
}

IXMLNode TXMLDocument::GetDocumentElement() const {
    return IXMLNode(document_->document_element().internal_object());
}

IXMLNode TXMLDocument::AddDocumentElement(std::string_view name) {
    if (IXMLNode element = GetDocumentElement()) return element;
    return IXMLNode(document_->append_child(Text(name).c_str()).internal_object());
}

void TXMLDocument::Clear() { document_->reset(); }
