#include "platform/XMLDoc.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Charset.h"
#include "platform/Files.h"
#include "platform/QuotedText.h"

namespace {

// Comments, processing instructions, the declaration and the document type
// are kept, so that a save gives back everything the file held. Read as a
// fragment, the document shows what lies beside its element (the parser
// would otherwise drop text there and take a second element silently).
// Line ends are kept as written: the writer puts a carriage return into a
// text as it is, so one turned into a line feed here would not read back.
constexpr unsigned kParseOptions = (pugi::parse_default & ~pugi::parse_eol) | pugi::parse_comments |
                                   pugi::parse_pi | pugi::parse_declaration | pugi::parse_doctype |
                                   pugi::parse_fragment;
constexpr unsigned kSaveFormat = pugi::format_default;
constexpr const char* kIndent = "  ";

pugi::xml_node Node(pugi::xml_node_struct* node) { return pugi::xml_node(node); }

std::string Text(std::string_view text) { return std::string(text); }

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The encoding the document's declaration names, lower-cased; empty when
// there is no declaration or it names none. Read as XML writes it:
// pseudo-attributes apart by blanks, blanks allowed around "=".
std::string DeclaredEncoding(std::string_view text) {
    constexpr std::string_view kOpen = "<?xml";
    if (!text.starts_with(kOpen) || text.size() == kOpen.size() || !IsXmlSpace(text[kOpen.size()])) return {};
    size_t at = kOpen.size();
    const auto skipBlanks = [&] {
        while (at < text.size() && IsXmlSpace(text[at])) ++at;
    };
    for (;;) {
        skipBlanks();
        const size_t nameStart = at;
        while (at < text.size() && std::isalpha(static_cast<unsigned char>(text[at]))) ++at;
        if (at == nameStart) return {};  // the end of the declaration, or something no declaration holds
        const std::string_view name = text.substr(nameStart, at - nameStart);
        skipBlanks();
        if (at == text.size() || text[at] != '=') return {};
        ++at;
        skipBlanks();
        if (at == text.size() || (text[at] != '"' && text[at] != '\'')) return {};
        const char quote = text[at++];
        const size_t end = text.find(quote, at);
        if (end == std::string_view::npos) return {};
        if (name == "encoding") {
            std::string encoding(text.substr(at, end - at));
            std::transform(encoding.begin(), encoding.end(), encoding.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            return encoding;
        }
        at = end + 1;
    }
}

// The parser does not know the Windows code page: it would take the bytes
// as UTF-8.
bool IsWindows1252(std::string_view encoding) {
    return encoding == "windows-1252" || encoding == "cp1252" || encoding == "x-cp1252";
}

// Whether XML allows the character in a document.
bool IsXmlChar(uint32_t code) {
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

// The first character reference of raw text ("&#0;", "&#x1F;") naming a
// character XML does not allow; empty when there is none. The parser would
// write such a character into the value, and a NUL would end it there.
std::string_view ForbiddenReference(std::string_view text) {
    constexpr uint32_t kPastUnicode = 0x110000;
    for (size_t at = text.find("&#"); at != std::string_view::npos; at = text.find("&#", at + 2)) {
        size_t i = at + 2;
        const bool hex = i < text.size() && text[i] == 'x';
        if (hex) ++i;
        const size_t first = i;
        uint32_t code = 0;
        for (; i < text.size(); ++i) {
            const char c = text[i];
            int digit = -1;
            if (c >= '0' && c <= '9') digit = c - '0';
            if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            if (digit < 0) break;
            code = std::min<uint32_t>(code * (hex ? 16 : 10) + static_cast<uint32_t>(digit), kPastUnicode);
        }
        // Without digits or the closing ";" it is no reference: the parser
        // keeps it as text.
        if (i == first || i == text.size() || text[i] != ';') continue;
        if (!IsXmlChar(code)) return text.substr(at, i + 1 - at);
    }
    return {};
}

// Visits every node below root in document order, without recursion (a
// document may be nested as deep as its size allows).
template <typename Visit>
void ForEachNode(pugi::xml_node root, const Visit& visit) {
    pugi::xml_node node = root.first_child();
    while (node) {
        visit(node);
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != root && !node.next_sibling()) node = node.parent();
        if (node == root) break;
        node = node.next_sibling();
    }
}

std::string ElementText(pugi::xml_node element) { return "element " + thorn::QuotedShort(element.name()); }

// What makes a parsed document not well-formed that the parser lets pass:
// an attribute given twice in one element; empty when there is none.
std::string RepeatedAttribute(pugi::xml_node document) {
    std::string fault;
    std::vector<std::string_view> names;
    ForEachNode(document, [&](pugi::xml_node node) {
        if (!fault.empty() || node.type() != pugi::node_element) return;
        names.clear();
        for (pugi::xml_attribute attribute : node.attributes()) names.emplace_back(attribute.name());
        std::sort(names.begin(), names.end());
        const auto repeated = std::adjacent_find(names.begin(), names.end());
        if (repeated != names.end())
            fault = "attribute " + thorn::QuotedShort(*repeated) + " is given more than once in " + ElementText(node);
    });
    return fault;
}

// The first character reference of the document's attributes and texts
// that XML does not allow, in a document read without its references
// replaced; empty when there is none.
std::string ForbiddenReferenceIn(pugi::xml_node rawDocument) {
    std::string fault;
    auto check = [&](std::string_view text, pugi::xml_node element) {
        const std::string_view reference = ForbiddenReference(text);
        if (fault.empty() && !reference.empty())
            fault = "the character reference " + thorn::QuotedShort(reference) + " in " + ElementText(element) +
                    " names a character XML does not allow";
    };
    ForEachNode(rawDocument, [&](pugi::xml_node node) {
        if (!fault.empty()) return;
        if (node.type() == pugi::node_element)
            for (pugi::xml_attribute attribute : node.attributes()) check(attribute.value(), node);
        if (node.type() == pugi::node_pcdata) check(node.value(), node.parent());
    });
    return fault;
}

// Whether XML allows the byte of UTF-8 text: every one does but the control
// characters other than tab, line feed and carriage return.
bool IsXmlByte(char c) { return static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r'; }

// The first character of the document's names, texts and attributes that
// XML does not allow, as "U+0001 in element "x""; empty when there is none.
// The writer would put it into the file as a reference the reader refuses.
std::string ForbiddenCharacterIn(pugi::xml_node document) {
    std::string fault;
    auto check = [&](std::string_view text, pugi::xml_node at) {
        const auto bad = std::find_if_not(text.begin(), text.end(), IsXmlByte);
        if (!fault.empty() || bad == text.end()) return;
        char code[8];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(static_cast<unsigned char>(*bad)));
        const pugi::xml_node element = at.type() == pugi::node_element ? at : at.parent();
        const std::string where =
            element.type() == pugi::node_element ? " in " + ElementText(element) : std::string(" outside the elements");
        fault = std::string("the character ") + code + where + " is not allowed in XML";
    };
    ForEachNode(document, [&](pugi::xml_node node) {
        check(node.name(), node);
        check(node.value(), node);
        for (pugi::xml_attribute attribute : node.attributes()) {
            check(attribute.name(), node);
            check(attribute.value(), node);
        }
    });
    return fault;
}

// The parser's own words for a fault, and where it lies: how the faults the
// parser finds itself are told, and those it lets pass too.
std::string ParserFault(pugi::xml_parse_status status, ptrdiff_t offset) {
    pugi::xml_parse_result result;
    result.status = status;
    result.offset = offset;
    return std::string(result.description()) + " at byte " + std::to_string(offset);
}

// A declaration that is not the first thing in the document (a second one,
// or one after a comment or the element): the parser takes it, XML does
// not. Where the parser stops for a declaration inside an element: after
// its name.
std::string MisplacedDeclaration(pugi::xml_node document) {
    for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling())
        if (node.type() == pugi::node_declaration && node.previous_sibling())
            return ParserFault(pugi::status_bad_pi, node.offset_debug() + std::strlen(node.name()));
    return {};
}

// Whether an attribute value of the document, as read, holds a "<": one
// written as "&lt;", or one written as it is, which XML does not allow.
bool AnyValueHoldsLessThan(pugi::xml_node document) {
    bool found = false;
    ForEachNode(document, [&](pugi::xml_node node) {
        for (pugi::xml_attribute attribute : node.attributes())
            if (!found && std::strchr(attribute.value(), '<')) found = true;
    });
    return found;
}

// The first "<" written as it is in an attribute value, in a document read
// without its references replaced or its blanks changed; empty when there
// is none.
std::string LessThanInValue(pugi::xml_node rawDocument) {
    std::string fault;
    ForEachNode(rawDocument, [&](pugi::xml_node node) {
        if (!fault.empty() || node.type() != pugi::node_element) return;
        // Read that way, names and values lie where the file put them in the
        // parser's buffer.
        const char* buffer = node.name() - node.offset_debug();
        for (pugi::xml_attribute attribute : node.attributes()) {
            if (const char* at = std::strchr(attribute.value(), '<')) {
                fault = ParserFault(pugi::status_bad_attribute, at - buffer);
                return;
            }
        }
    });
    return fault;
}

// How deep the document's elements nest (the document element is 1).
int DeepestNesting(pugi::xml_node document) {
    int deepest = 0;
    int depth = 0;
    pugi::xml_node node = document.first_child();
    while (node) {
        if (node.type() == pugi::node_element) deepest = std::max(deepest, depth + 1);
        if (node.first_child()) {
            node = node.first_child();
            ++depth;
            continue;
        }
        while (node != document && !node.next_sibling()) {
            node = node.parent();
            --depth;
        }
        if (node == document) break;
        node = node.next_sibling();
    }
    return deepest;
}

// Counts what the writer writes and stops it past a limit, so that a
// document that would grow past it is not written out whole first.
class WrittenSize : public pugi::xml_writer {
public:
    struct TooLarge {};
    explicit WrittenSize(uint64_t limit) : limit_(limit) {}
    void write(const void*, size_t size) override {
        bytes_ += size;
        if (bytes_ > limit_) throw TooLarge{};
    }

private:
    uint64_t bytes_ = 0;
    uint64_t limit_;
};

// Whether the document's written form takes at most limit bytes.
bool WritesWithin(const pugi::xml_document& document, uint64_t limit) {
    WrittenSize size(limit);
    try {
        document.save(size, kIndent, kSaveFormat, pugi::encoding_utf8);
        return true;
    } catch (const WrittenSize::TooLarge&) {
        return false;
    }
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
    std::string kept;
    std::copy_if(value.begin(), value.end(), std::back_inserter(kept), IsXmlByte);
    attribute.set_value(kept.c_str());
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
    std::string converted;
    std::string_view input = text;
    pugi::xml_encoding encoding = pugi::encoding_auto;
    if (IsWindows1252(DeclaredEncoding(text))) {
        converted = thorn::Windows1252ToUtf8(text);
        input = converted;
        encoding = pugi::encoding_utf8;
    }
    // The parser would end a text at a zero byte and drop what follows. In
    // UTF-16 or UTF-32 (known by the first four bytes, as the parser knows
    // them) zero bytes are part of the characters.
    const bool wide = input.substr(0, 4).find('\0') != std::string_view::npos || input.starts_with("\xFE\xFF") ||
                      input.starts_with("\xFF\xFE");
    if (!wide && input.find('\0') != std::string_view::npos) Fail(name, "the character U+0000 is not allowed in XML");
    // Bounded before the parser makes a node of it.
    if (static_cast<size_t>(std::count(input.begin(), input.end(), '<')) > kMaxTags)
        Fail(name, "it holds more than " + std::to_string(kMaxTags) + " tags");
    const pugi::xml_parse_result result = document_->load_buffer(input.data(), input.size(), kParseOptions, encoding);
    if (!result) {
        Clear();
        Fail(name, ParserFault(result.status, result.offset));
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
    for (const std::string& fault : {RepeatedAttribute(*document_), MisplacedDeclaration(*document_)}) {
        if (fault.empty()) continue;
        Clear();
        Fail(name, fault);
    }
    if (DeepestNesting(*document_) > kMaxDepth) {
        Clear();
        Fail(name, "its elements are nested more than " + std::to_string(kMaxDepth) + " deep");
    }
    // References, and a "<" in a value, are only seen in the text as
    // written, read a second time as it is; in UTF-8 that is needed only
    // where "&#" occurs or a value holds a "<".
    if (result.encoding != pugi::encoding_utf8 || input.find("&#") != std::string_view::npos ||
        AnyValueHoldsLessThan(*document_)) {
        pugi::xml_document raw;
        raw.load_buffer(input.data(), input.size(),
                        kParseOptions & ~(pugi::parse_escapes | pugi::parse_eol | pugi::parse_wconv_attribute),
                        encoding);
        for (const std::string& fault : {ForbiddenReferenceIn(raw), LessThanInValue(raw)}) {
            if (fault.empty()) continue;
            Clear();
            Fail(name, fault);
        }
    }
    // Checked after the references, which name what they hold better.
    if (const std::string fault = ForbiddenCharacterIn(*document_); !fault.empty()) {
        Clear();
        Fail(name, fault);
    }
    // The text is held, and saved, as UTF-8 whatever the file declared.
    for (pugi::xml_node node : document_->children())
        if (node.type() == pugi::node_declaration && node.attribute("encoding"))
            node.attribute("encoding").set_value("UTF-8");
    // What is read can be written back, with room for what a program sets.
    if (!WritesWithin(*document_, kMaxFileSize - kRoomToWrite)) {
        Clear();
        Fail(name, "written back it would take more than " + std::to_string(kMaxFileSize - kRoomToWrite) +
                       " bytes, the most a document read may take");
    }
}

std::string TXMLDocument::SaveToString() const {
    std::ostringstream out;
    document_->save(out, kIndent, kSaveFormat, pugi::encoding_utf8);
    return out.str();
}

void TXMLDocument::SaveToFile(const std::filesystem::path& file) const {
    const std::string text = SaveToString();
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    // Nothing is written that the next read would refuse: the file as it
    // was is worth more than one that cannot be read.
    try {
        TXMLDocument check;
        check.LoadFromBytes(bytes, file.string());
        thorn::ReplaceFileSynced(file, bytes);
    } catch (const thorn::FileWriteError& e) {
        // It names the file and the reason already.
        throw EXMLDocError(e.Message());
    } catch (const Exception& e) {
        throw EXMLDocError("Cannot write " + thorn::Quoted(file) + ": " + e.Message());
    }
}

IXMLNode TXMLDocument::GetDocumentElement() const {
    return IXMLNode(document_->document_element().internal_object());
}

IXMLNode TXMLDocument::AddDocumentElement(std::string_view name) {
    if (IXMLNode element = GetDocumentElement()) return element;
    return IXMLNode(document_->append_child(Text(name).c_str()).internal_object());
}

void TXMLDocument::Clear() { document_->reset(); }
