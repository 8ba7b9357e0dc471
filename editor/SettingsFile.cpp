#include "editor/SettingsFile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <system_error>

#include "bitmap/Pix32.h"
#include "editor/Dlg_error.h"
#include "editor/Eventsframe.h"
#include "editor/LabelFont.h"
#include "editor/Main.h"
#include "editor/Missionframe.h"
#include "gui/Application.h"
#include "gui/SizeConstraints.h"
#include "model/GameData.h"
#include "platform/Charset.h"

namespace thorn {

std::optional<int32_t> ReadSettingsInteger(std::string_view text) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-') ++first;
    int32_t value = 0;
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last) return std::nullopt;
    return value;
}

std::optional<bool> ReadSettingsBoolean(std::string_view text) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && (*first == '+' || *first == '-')) ++first;
    const bool digits = first != last && std::all_of(first, last, [](char c) { return c >= '0' && c <= '9'; });
    if (digits)
        return std::any_of(first, last, [](char c) { return c != '0'; });
    auto same = [text](std::string_view word) {
        return text.size() == word.size() && std::equal(text.begin(), text.end(), word.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
               });
    };
    if (same("true")) return true;
    if (same("false")) return false;
    return std::nullopt;
}

}  // namespace thorn

namespace {

using thorn::ReadSettingsBoolean;
using thorn::ReadSettingsInteger;

// The attributes of one element, each converted as the file's forms say; an
// attribute that is absent or does not convert reads as nothing.
class AttributeReader {
public:
    explicit AttributeReader(IXMLNode node) : node_(node) {}

    std::optional<std::string> Text(std::string_view name) const {
        if (!node_.HasAttribute(name)) return std::nullopt;
        return thorn::Utf8ToWindows1252(node_.Attributes(name));
    }
    std::optional<int32_t> Integer(std::string_view name) const {
        auto text = Text(name);
        return text ? ReadSettingsInteger(*text) : std::nullopt;
    }
    std::optional<bool> Boolean(std::string_view name) const {
        auto text = Text(name);
        return text ? ReadSettingsBoolean(*text) : std::nullopt;
    }
    // A byte: an integer within 0..255.
    std::optional<uint8_t> Byte(std::string_view name) const {
        auto value = Integer(name);
        if (!value || *value < 0 || *value > 255) return std::nullopt;
        return static_cast<uint8_t>(*value);
    }

    template <typename T>
    void Read(std::string_view name, std::optional<T> (AttributeReader::*read)(std::string_view) const, T& into) const {
        if (auto value = (this->*read)(name)) into = *value;
    }
    void ReadSwitch(std::string_view name, uint32_t& into) const {
        if (auto value = Boolean(name)) into = *value ? 1 : 0;
    }

private:
    IXMLNode node_;
};

// Bounds as the file gives them, made safe to apply: none without a size,
// none wholly off the desktop, and none larger than the desktop (a file
// written on a larger screen, or damaged, would otherwise ask for a window
// no memory holds). Sums are taken in 64 bits: the file's numbers may be
// anything a 32-bit integer holds.
std::optional<TRect> UsableBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return std::nullopt;
    const TRect desktop = Screen->GetWorkAreaRect();
    width = std::min(width, std::max(desktop.Right - desktop.Left, 1));
    height = std::min(height, std::max(desktop.Bottom - desktop.Top, 1));
    const int64_t right = int64_t{left} + width;
    const int64_t bottom = int64_t{top} + height;
    if (right <= desktop.Left || bottom <= desktop.Top || left >= desktop.Right || top >= desktop.Bottom)
        return std::nullopt;
    return TRect{left, top, left + width, top + height};
}

// A window put where it was stays there when shown; bounds off the desktop
// keep the window where it is, at the size they give.
void ReadBounds(const AttributeReader& in, TCustomForm& window) {
    const int32_t width = in.Integer("Width").value_or(window.GetWidth());
    const int32_t height = in.Integer("Height").value_or(window.GetHeight());
    const int32_t left = in.Integer("Left").value_or(window.GetLeft());
    const int32_t top = in.Integer("Top").value_or(window.GetTop());
    if (const std::optional<TRect> shown = UsableBounds(left, top, width, height)) {
        window.SetBounds(shown->Left, shown->Top, shown->Width(), shown->Height());
        // A place of its own is kept; without one the window is placed as
        // it was designed to be (the main window centred).
        if (in.Integer("Left") && in.Integer("Top")) window.SetPosition(poDesigned);
    } else if (const std::optional<TRect> sized = UsableBounds(0, 0, width, height)) {
        window.SetBounds(window.GetLeft(), window.GetTop(), sized->Width(), sized->Height());
    }
}

void ReadEditorSwitches(const AttributeReader& in) {
    CSettings& s = *Settings;
    in.ReadSwitch("AutoResize", s.AutoResize);
    in.ReadSwitch("AutoShowErr", s.AutoShowErr);
    in.Read("ConvertCapTo", &AttributeReader::Byte, s.ConvertCapTo);
    in.Read("MaxCapPopulation", &AttributeReader::Byte, s.MaxCapPopulation);
    in.Read("MaxPopulation", &AttributeReader::Byte, s.MaxPopulation);
    in.Read("MinCapPopulation", &AttributeReader::Byte, s.MinCapPopulation);
    in.Read("MinPopulation", &AttributeReader::Byte, s.MinPopulation);
    in.ReadSwitch("OwnerColors", s.OwnerColors);
    in.ReadSwitch("ShArmies", s.ShArmies);
    in.ReadSwitch("ShCastles", s.ShCastles);
    in.ReadSwitch("ShIcons", s.ShIcons);
    // The file is the user's to edit: Provinces mode leaves no room for an
    // icon mode, and an icon mode the file names wins over it.
    if (s.ShCastles || s.ShArmies) s.ShIcons = 0;
    in.ReadSwitch("ShNames", s.ShNames);
    in.ReadSwitch("ShPaths", s.ShPaths);
    MainForm->ActShowNeighbours->SetChecked(s.ShPaths != 0);
    in.ReadSwitch("TransArmies", s.TransArmies);
    in.ReadSwitch("TransCastles", s.TransCastles);
    in.Read("TransValue", &AttributeReader::Byte, s.TransValue);
}

// A plain $00BBGGRR colour, or a system colour.
bool IsColor(int32_t color) {
    const auto bits = static_cast<uint32_t>(color);
    return bits <= 0xFFFFFF || (bits & 0xFFFFFF00u) == 0x80000000u;
}

void ReadFont(const AttributeReader& in) {
    TFont& font = Settings->LabelFont;
    if (auto v = in.Byte("Charset")) font.SetCharset(*v);
    if (auto v = in.Integer("Color"); v && IsColor(*v)) font.SetColor(*v);
    if (auto v = in.Integer("Height"); v && thorn::LabelFontHeightFits(*v)) font.SetHeight(*v);
    if (auto v = in.Text("Name")) font.SetName(*v);
    if (auto v = in.Integer("Pitch"); v && *v >= 0 && *v <= 2) font.SetPitch(static_cast<TFontPitch>(*v));
    if (auto v = in.Integer("PixelsPerInch");
        v && *v >= thorn::kMinLabelPixelsPerInch && *v <= thorn::kMaxLabelPixelsPerInch)
        font.SetPixelsPerInch(*v);
    // The size wins over the height: it sets the height anew, unless the
    // labels could not be drawn at it. A size the height gives already
    // leaves the height: the file holds both, and a height between two
    // whole sizes (-10 pixels, 7.5 points) is written with the size it
    // rounds to.
    if (auto v = in.Integer("Size"); v && *v != font.GetSize()) {
        const int height = font.GetHeight();
        font.SetSize(*v);
        if (!thorn::LabelFontHeightFits(font.GetHeight())) font.SetHeight(height);
    }
    const std::pair<const char*, TFontStyle> styles[] = {
        {"Bold", fsBold}, {"Italic", fsItalic}, {"Underline", fsUnderline}, {"StrikeOut", fsStrikeOut}};
    for (auto [name, style] : styles)
        if (in.Boolean(name).value_or(false)) font.SetStyle(static_cast<TFontStyles>(font.GetStyle() | style));
}

// A grid's split as the file gives it, where the grid can draw it; one the
// grid would move to fit its width leaves the split as it was.
void ReadSplitPos(std::optional<int32_t> split, TrmInspector& grid) {
    if (!split) return;
    const int before = grid.GetSplitPos();
    grid.SetSplitPos(*split);
    if (grid.GetSplitPos() != *split) grid.SetSplitPos(before);
}

// The height of the control above a splitter, taken when a drag of the
// splitter could have given it; any other leaves the control as it was.
void ReadSplitHeight(std::optional<int64_t> height, const TSplitter& splitter, TControl& control) {
    const std::optional<TSplitter::SizeRange> range = splitter.GetSizeRange();
    if (height && range && range->Holds(*height)) control.SetHeight(static_cast<int>(*height));
}

void ReadToolWindow(const AttributeReader& in, TCustomForm* window, TAction* action, TrmInspector* grid) {
    if (!window) return;
    ReadBounds(in, *window);
    if (auto visible = in.Boolean("Visible")) {
        if (*visible)
            window->Show();
        else
            window->Hide();
    }
    action->SetChecked(window->GetVisible());
    if (grid) ReadSplitPos(in.Integer("SplitPos"), *grid);
}

// The events window's splitter is given by its top edge, the list's panel
// above it by its height.
void ReadEventsSplitter(const AttributeReader& in, TEventFrame* window) {
    if (!window) return;
    const std::optional<int32_t> top = in.Integer("Splitter");
    if (!top) return;
    ReadSplitHeight(int64_t{*top} - window->Panel16->GetTop(), *window->Splitter, *window->Panel16);
}

void ReadErrorsForm(const AttributeReader& in) {
    const std::optional<TRect> shown = UsableBounds(in.Integer("Left").value_or(0), in.Integer("Top").value_or(0),
                                                    in.Integer("Width").value_or(0), in.Integer("Height").value_or(0));
    if (shown) ErrorsFormBounds = {shown->Width(), shown->Height(), shown->Left, shown->Top};
}

// The pages' width, taken when it leaves the world view's box its least
// width beside them; any other leaves the pages as they were.
void ReadPagesWidth(std::optional<int32_t> width, TMainForm& f) {
    const int32_t least = f.PgCMissionProperties->Constraints().GetMinWidth();
    const int32_t most = f.GetClientWidth() - f.Splitter->GetWidth() - f.ScrBWorld->Constraints().GetMinWidth();
    if (width && *width >= least && *width <= most) f.PgCMissionProperties->SetWidth(*width);
}

// A column's width within what a list view takes.
void ReadColumnWidth(std::optional<int32_t> width, TListColumn& column) {
    if (width && *width >= 0 && *width <= TListColumn::kMaxWidth) column.SetWidth(*width);
}

void ReadMainForm(const AttributeReader& in) {
    TMainForm& f = *MainForm.Get();
    ReadBounds(in, f);
    ReadPagesWidth(in.Integer("Splitter"), f);
    ReadSplitPos(in.Integer("SplitPlPos"), *f.RMIPlayer);
    ReadSplitPos(in.Integer("SplitPrPos"), *f.RMIProvince);
    if (auto v = in.Boolean("FilePanel")) f.ActFilePanel->SetChecked(*v);
    if (auto v = in.Boolean("ShowPanel")) f.ActShowPanel->SetChecked(*v);
    f.TBrShow->SetVisible(f.ActShowPanel->GetChecked());
    if (auto v = in.Boolean("ZoomPanel")) f.ActZoomPanel->SetChecked(*v);
    ReadSplitHeight(in.Integer("ProvHeight"), *f.Splitter1, *f.PlProvince);
    // A window saved minimised starts normal: the user would not see it.
    if (auto v = in.Integer("State")) {
        switch (*v & 0xFF) {
            case wsNormal:
            case wsMinimized: f.SetWindowState(wsNormal); break;
            case wsMaximized: f.SetWindowState(wsMaximized); break;
            default: break;
        }
    }
    TListColumns& columns = *f.LVProvinces->GetColumns();
    ReadColumnWidth(in.Integer("ProvWidName"), *columns[0]);
    ReadColumnWidth(in.Integer("ProvWidOwner"), *columns[1]);
}

// ---------------------------------------------------------------- writing

void Set(IXMLNode node, std::string_view name, const std::string& value) {
    node.SetAttribute(name, thorn::Windows1252ToUtf8(value));
}
void SetInteger(IXMLNode node, std::string_view name, int64_t value) { Set(node, name, std::to_string(value)); }
void SetFlag(IXMLNode node, std::string_view name, bool value) { Set(node, name, value ? "1" : "0"); }
void SetWord(IXMLNode node, std::string_view name, bool value) { Set(node, name, value ? "True" : "False"); }

void WriteBounds(IXMLNode node, const TControl& window) {
    SetInteger(node, "Width", window.GetWidth());
    SetInteger(node, "Height", window.GetHeight());
    SetInteger(node, "Left", window.GetLeft());
    SetInteger(node, "Top", window.GetTop());
}

void WriteEditorSwitches(IXMLNode node) {
    const CSettings& s = *Settings;
    SetInteger(node, "AutoResize", s.AutoResize);
    SetInteger(node, "AutoShowErr", s.AutoShowErr);
    SetInteger(node, "ConvertCapTo", s.ConvertCapTo);
    SetInteger(node, "MaxCapPopulation", s.MaxCapPopulation);
    SetInteger(node, "MaxPopulation", s.MaxPopulation);
    SetInteger(node, "MinCapPopulation", s.MinCapPopulation);
    SetInteger(node, "MinPopulation", s.MinPopulation);
    SetInteger(node, "OwnerColors", s.OwnerColors);
    SetInteger(node, "ShArmies", s.ShArmies);
    SetInteger(node, "ShCastles", s.ShCastles);
    SetInteger(node, "ShIcons", s.ShIcons);
    SetInteger(node, "ShNames", s.ShNames);
    SetInteger(node, "ShPaths", s.ShPaths);
    SetInteger(node, "TransArmies", s.TransArmies);
    SetInteger(node, "TransCastles", s.TransCastles);
    SetInteger(node, "TransValue", s.TransValue);
}

void WriteFont(IXMLNode node) {
    const TFont& font = Settings->LabelFont;
    SetInteger(node, "Charset", font.GetCharset());
    SetInteger(node, "Color", font.GetColor());
    SetInteger(node, "Height", font.GetHeight());
    Set(node, "Name", font.GetName());
    SetInteger(node, "Pitch", static_cast<int>(font.GetPitch()));
    SetInteger(node, "PixelsPerInch", font.GetPixelsPerInch());
    SetInteger(node, "Size", font.GetSize());
    SetFlag(node, "Bold", font.GetStyle() & fsBold);
    SetFlag(node, "Italic", font.GetStyle() & fsItalic);
    SetFlag(node, "Underline", font.GetStyle() & fsUnderline);
    SetFlag(node, "StrikeOut", font.GetStyle() & fsStrikeOut);
}

void WriteToolWindow(IXMLNode node, const TCustomForm* window, const TrmInspector* grid) {
    if (!window) return;
    SetWord(node, "Visible", window->GetVisible());
    WriteBounds(node, *window);
    if (grid) SetInteger(node, "SplitPos", grid->GetSplitPos());
}

void WriteMainForm(IXMLNode node) {
    const TMainForm& f = *MainForm.Get();
    WriteBounds(node, f);
    SetInteger(node, "State", f.GetWindowState());
    SetInteger(node, "Splitter", f.PgCMissionProperties->GetWidth());
    SetInteger(node, "SplitPlPos", f.RMIPlayer->GetSplitPos());
    SetInteger(node, "SplitPrPos", f.RMIProvince->GetSplitPos());
    SetWord(node, "FilePanel", f.ActFilePanel->GetChecked());
    SetWord(node, "ShowPanel", f.ActShowPanel->GetChecked());
    SetWord(node, "ZoomPanel", f.ActZoomPanel->GetChecked());
    SetInteger(node, "ProvHeight", f.PlProvince->GetHeight());
    SetInteger(node, "ProvWidName", f.LVProvinces->GetColumns()->GetItem(0)->GetWidth());
    SetInteger(node, "ProvWidOwner", f.LVProvinces->GetColumns()->GetItem(1)->GetWidth());
}

}  // namespace

void LoadSettings(IXMLNode node) {
    if (!node || !Settings || !MainForm) return;
    ReadEditorSwitches(AttributeReader(node));
    ReadFont(AttributeReader(thorn::FindChildNode(node, "Font")));
    // The main window first: tool windows shown with no place of their own
    // are put beside it.
    ReadMainForm(AttributeReader(thorn::FindChildNode(node, "MainForm")));
    ReadToolWindow(AttributeReader(thorn::FindChildNode(node, "MissForm")), MissFrame.Get(), MainForm->ActShowMissRMI,
                   MissFrame ? MissFrame->RMIMission : nullptr);
    const AttributeReader events(thorn::FindChildNode(node, "EventsForm"));
    ReadToolWindow(events, EventFrame.Get(), MainForm->ActShowEventRMI, EventFrame ? EventFrame->RMIEvent : nullptr);
    ReadEventsSplitter(events, EventFrame.Get());
    ReadErrorsForm(AttributeReader(thorn::FindChildNode(node, "ErrorsForm")));
}

void SaveSettings(IXMLNode node) {
    if (!node || !Settings || !MainForm) return;
    auto child = [node](const char* name) mutable {
        IXMLNode found = thorn::FindChildNode(node, name);
        return found ? found : node.AddChild(name);
    };
    WriteEditorSwitches(node);
    WriteFont(child("Font"));
    WriteToolWindow(child("MissForm"), MissFrame.Get(), MissFrame ? MissFrame->RMIMission : nullptr);
    IXMLNode events = child("EventsForm");
    WriteToolWindow(events, EventFrame.Get(), EventFrame ? EventFrame->RMIEvent : nullptr);
    if (EventFrame) SetInteger(events, "Splitter", EventFrame->Splitter->GetTop());
    IXMLNode errors = child("ErrorsForm");
    SetInteger(errors, "Width", ErrorsFormBounds.Width);
    SetInteger(errors, "Height", ErrorsFormBounds.Height);
    SetInteger(errors, "Left", ErrorsFormBounds.Left);
    SetInteger(errors, "Top", ErrorsFormBounds.Top);
    WriteMainForm(child("MainForm"));
}
