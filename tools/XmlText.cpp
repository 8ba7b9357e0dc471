#include "tools/XmlText.h"

#include <stdexcept>

namespace thorn::startdir {

std::string XmlEscape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// The texts are single-byte Windows-1252, as every text of the editor.
XmlText::XmlText() : text_("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n") {}

void XmlText::Comment(const std::string& text) {
    text_ += std::string(2 * open_.size(), ' ') + "<!-- " + text + " -->\n";
}

void XmlText::StartTag(const std::string& name, const XmlAttributes& attributes) {
    text_ += std::string(2 * open_.size(), ' ') + "<" + name;
    for (const auto& [key, value] : attributes) text_ += " " + key + "=\"" + XmlEscape(value) + "\"";
}

void XmlText::Open(const std::string& name, const XmlAttributes& attributes) {
    StartTag(name, attributes);
    text_ += ">\n";
    open_.push_back(name);
}

void XmlText::Empty(const std::string& name, const XmlAttributes& attributes) {
    StartTag(name, attributes);
    text_ += "/>\n";
}

void XmlText::Close() {
    if (open_.empty()) throw std::logic_error("XmlText: no element to close");
    const std::string name = open_.back();
    open_.pop_back();
    text_ += std::string(2 * open_.size(), ' ') + "</" + name + ">\n";
}

const std::string& XmlText::Text() const {
    if (!open_.empty()) throw std::logic_error("XmlText: element " + open_.back() + " left open");
    return text_;
}

}  // namespace thorn::startdir
