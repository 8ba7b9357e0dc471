#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Classes.h"

namespace pugi {
class xml_document;
struct xml_node_struct;
}  // namespace pugi

// A small XML document object model: a document read from a file, its
// document element, child elements by index or name, attributes read and
// written, and the document saved back with everything it held.
//
// Texts are UTF-8 as the file has them (a file in another encoding that
// declares it is converted when read); callers convert them to the model's
// code page.

// A document that cannot be read (not a regular file, too large, not
// well-formed XML) or written.
class EXMLDocError : public Exception {
    using Exception::Exception;
};

class IXMLNodeList;

// One element of a document, or none (a null node). A node stays valid
// while its document lives and the element is in it. Reading a null node
// answers what an empty element would; writing to one does nothing.
class IXMLNode {
public:
    IXMLNode() = default;

    explicit operator bool() const { return node_ != nullptr; }
    friend bool operator==(const IXMLNode&, const IXMLNode&) = default;

    std::string NodeName() const;
    // The child elements in document order (text, comments and processing
    // instructions stay in the document but are not listed).
    IXMLNodeList ChildNodes() const;
    // The attribute's text; an absent attribute reads as "".
    std::string Attributes(std::string_view name) const;
    bool HasAttribute(std::string_view name) const;
    // Sets the attribute, appending it when absent; the others keep their
    // place and value. Characters XML cannot hold (the control characters
    // other than tab, line feed and carriage return) are left out, so the
    // document still reads back.
    void SetAttribute(std::string_view name, std::string_view value);
    // Appends a new child element and answers it.
    IXMLNode AddChild(std::string_view name);

private:
    friend class IXMLNodeList;
    friend class TXMLDocument;
    explicit IXMLNode(pugi::xml_node_struct* node) : node_(node) {}

    pugi::xml_node_struct* node_ = nullptr;
};

// The child elements of a node as they were when it was asked for them.
class IXMLNodeList {
public:
    int Count() const { return static_cast<int>(nodes_.size()); }
    // Element index; a null node outside 0 .. Count - 1.
    IXMLNode Nodes(int index) const;
    // The first element whose name is exactly name (byte by byte); null
    // when none is.
    IXMLNode FindNode(std::string_view name) const;

    auto begin() const { return nodes_.begin(); }
    auto end() const { return nodes_.end(); }

private:
    friend class IXMLNode;
    std::vector<IXMLNode> nodes_;
};

// An XML document held in memory.
class TXMLDocument {
public:
    // The largest file LoadFromFile reads.
    static constexpr uint64_t kMaxFileSize = uint64_t{16} << 20;
    // What a document read may hold: tags ("<" of any markup), and elements
    // nested inside each other. Its written form must also leave this much
    // of kMaxFileSize for the values a program sets before it writes the
    // document back, so that what was read can always be written and read
    // again.
    static constexpr size_t kMaxTags = 100'000;
    static constexpr int kMaxDepth = 64;
    static constexpr uint64_t kRoomToWrite = uint64_t{64} << 10;

    TXMLDocument();
    ~TXMLDocument();
    TXMLDocument(const TXMLDocument&) = delete;
    TXMLDocument& operator=(const TXMLDocument&) = delete;

    // Reads the document from a regular file of at most kMaxFileSize bytes.
    // Throws EFOpenError when the file cannot be opened (saying why),
    // EReadError when it is too large or cannot be read, and EXMLDocError
    // with the parser's description and byte offset when the XML is not a
    // complete document with exactly one document element, and saying why
    // when it holds what XML does not allow or goes past the limits above.
    // Texts keep their line ends as the file has them (a carriage return
    // stays one). On failure the document is left empty.
    void LoadFromFile(const std::filesystem::path& file);
    // The same for bytes already in memory; name stands for the file in
    // messages.
    void LoadFromBytes(std::span<const uint8_t> bytes, std::string_view name);
    // Writes the document (UTF-8, indented) to file's target (a link stays
    // a link) in one step (ReplaceFileSynced). Throws EXMLDocError when it
    // cannot be written, or when LoadFromFile would refuse what it would
    // write; the file is then as it was.
    void SaveToFile(const std::filesystem::path& file) const;
    // The document as SaveToFile writes it.
    std::string SaveToString() const;

    // Null when the document is empty.
    IXMLNode GetDocumentElement() const;
    // Makes name the document element of an empty document and answers
    // it; a document that has one answers it unchanged.
    IXMLNode AddDocumentElement(std::string_view name);
    // Empties the document.
    void Clear();

private:
    std::unique_ptr<pugi::xml_document> document_;
};
