// Reads arbitrary bytes as the settings file "ini.xml". A file that is read
// gets what the editor writes into it at close (the "Editor" element with
// its five children and a text value converted as the editor converts one);
// what is then written must read back as the same document: the same
// elements and values, written out again as the same text. Nothing that is
// read may be written as something the next start refuses.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "editor/SettingsDocument.h"
#include "model/GameData.h"
#include "platform/Charset.h"

namespace {

// The attributes of the settings' elements that the editor reads, and one
// it never knew.
constexpr std::string_view kAttributes[] = {"ShNames", "TransValue", "Name",  "Size",   "Visible",
                                            "Width",   "Left",       "State", "Splitter", "Note"};

// The two documents' elements hold the same names, children and values.
bool SameElements(IXMLNode a, IXMLNode b) {
    if (a.NodeName() != b.NodeName()) return false;
    for (std::string_view name : kAttributes)
        if (a.HasAttribute(name) != b.HasAttribute(name) || a.Attributes(name) != b.Attributes(name)) return false;
    const IXMLNodeList left = a.ChildNodes(), right = b.ChildNodes();
    if (left.Count() != right.Count()) return false;
    for (int i = 0; i < left.Count(); ++i)
        if (!SameElements(left.Nodes(i), right.Nodes(i))) return false;
    return true;
}

std::span<const uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TXMLDocument read;
    try {
        read.LoadFromBytes(std::span(data, size), "ini.xml");
    } catch (const EXMLDocError&) {
        return 0;
    }
    // The input's last bytes stand for a text the editor writes (a font's
    // name), in the model's code page.
    const size_t textSize = std::min<size_t>(size, 40);
    const std::string text(reinterpret_cast<const char*>(data) + size - textSize, textSize);
    IXMLNode editor = thorn::EditorSettingsNode(read);
    thorn::FindChildNode(editor, "Font").SetAttribute("Name", thorn::Windows1252ToUtf8(text));
    editor.SetAttribute("TransValue", "120");

    const std::string written = read.SaveToString();
    TXMLDocument again;
    try {
        again.LoadFromBytes(Bytes(written), "ini.xml");
    } catch (const EXMLDocError&) {
        std::abort();  // written, and refused at the next start
    }
    if (!SameElements(read.GetDocumentElement(), again.GetDocumentElement())) std::abort();
    if (again.SaveToString() != written) std::abort();
    return 0;
}
