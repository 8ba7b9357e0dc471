#pragma once

#include <string>
#include <utility>
#include <vector>

// Writes a small XML document as text: a declaration, nested elements
// indented by two spaces, attributes in the order given, LF line ends.
namespace thorn::startdir {

using XmlAttributes = std::vector<std::pair<std::string, std::string>>;

class XmlText {
public:
    XmlText();

    void Comment(const std::string& text);
    void Open(const std::string& name, const XmlAttributes& attributes);
    void Empty(const std::string& name, const XmlAttributes& attributes);
    void Close();

    // The document; every opened element must be closed.
    const std::string& Text() const;

private:
    void StartTag(const std::string& name, const XmlAttributes& attributes);

    std::string text_;
    std::vector<std::string> open_;
};

// The text with &, <, > and " written as entities.
std::string XmlEscape(const std::string& text);

}  // namespace thorn::startdir
