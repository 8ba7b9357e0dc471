#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "EditorSession.h"
#include "MissionDesk.h"
#include "editor/Dlg_error.h"
#include "editor/Eventsframe.h"
#include "editor/Missionframe.h"
#include "editor/SettingsFile.h"
#include "gui/Application.h"
#include "gui/SizeConstraints.h"

namespace {

using thorn::HeadlessHost;
using thorn::test::EditorSession;
using thorn::test::MissionDesk;

// An attribute of an element of "ini.xml" as the file gives it (absent:
// nullopt).
struct Edit {
    const char* attribute;
    std::optional<std::string> value;
};

// One attribute of "ini.xml" as the file gives it, what the editor makes of
// it, and what it writes back at close ("!" in front: anything but that).
// Rows of one element that act together (a window's bounds, the font's
// size) name what they share, and are read apart; a row may give other
// attributes of its element with it.
struct SettingRow {
    const char* element;
    const char* attribute;
    std::optional<std::string> value;
    std::function<bool()> read;
    std::string written;
    const char* shares = nullptr;
    std::vector<Edit> with = {};
};

// Sets (or with nullopt, removes) an attribute of the first element so named.
void EditAttribute(std::string& text, const std::string& element, const std::string& attribute,
                   const std::optional<std::string>& value) {
    const size_t open = text.find("<" + element + " ");
    ASSERT_NE(open, std::string::npos) << element;
    const size_t close = text.find('>', open);
    const size_t at = text.find(" " + attribute + "=\"", open);
    if (at != std::string::npos && at < close) {
        const size_t end = text.find('"', at + attribute.size() + 3);
        text.erase(at, end + 1 - at);
    }
    if (value) text.insert(open + element.size() + 1, " " + attribute + "=\"" + *value + "\"");
}

TMainForm& Main() { return *MainForm.Get(); }
const CSettings& S() { return *Settings; }
const TFont& LabelFont() { return Settings->LabelFont; }
int ProvincesList() { return Main().PlProvince->GetHeight(); }
int EventsList() { return EventFrame->Panel16->GetHeight(); }

std::vector<SettingRow> Rows() {
    return {
        // "Editor": switches, bytes and the opacity.
        {"Editor", "AutoResize", "0", [] { return S().AutoResize == 0; }, "0"},
        {"Editor", "AutoShowErr", "0", [] { return S().AutoShowErr == 0; }, "0"},
        {"Editor", "ConvertCapTo", "3", [] { return S().ConvertCapTo == 3; }, "3"},
        {"Editor", "MaxCapPopulation", "200", [] { return S().MaxCapPopulation == 200; }, "200"},
        {"Editor", "MaxPopulation", "125", [] { return S().MaxPopulation == 125; }, "125"},
        // A byte out of 0..255 takes the default.
        {"Editor", "MinCapPopulation", "300", [] { return S().MinCapPopulation == 50; }, "50"},
        {"Editor", "MinPopulation", "-1", [] { return S().MinPopulation == 25; }, "25"},
        {"Editor", "OwnerColors", "0", [] { return S().OwnerColors == 0 && !Main().ActShowOwnerColor->GetChecked(); },
         "0"},
        {"Editor", "ShArmies", "1", [] { return S().ShArmies == 1 && Main().ActShowArmies->GetChecked(); }, "1"},
        {"Editor", "ShCastles", "True", [] { return S().ShCastles == 1 && Main().ActShowCastles->GetChecked(); }, "1"},
        {"Editor", "ShIcons", "False", [] { return S().ShIcons == 0 && !Main().ActShowIcons->GetChecked(); }, "0"},
        {"Editor", "ShNames", "TRUE", [] { return S().ShNames == 1 && Main().ActShowNames->GetChecked(); }, "1"},
        {"Editor", "ShNames", "true", [] { return S().ShNames == 1; }, "1"},
        {"Editor", "ShNames", "1", [] { return S().ShNames == 1; }, "1"},
        {"Editor", "ShNames", "2", [] { return S().ShNames == 1; }, "1"},
        {"Editor", "ShNames", "False", [] { return S().ShNames == 0; }, "0"},
        {"Editor", "ShNames", "yes", [] { return S().ShNames == 0 && !Main().ActShowNames->GetChecked(); }, "0"},
        {"Editor", "ShPaths", "1", [] { return S().ShPaths == 1 && Main().ActShowNeighbours->GetChecked(); }, "1"},
        {"Editor", "TransArmies", "1", [] { return S().TransArmies == 1; }, "1"},
        {"Editor", "TransCastles", "0", [] { return S().TransCastles == 0; }, "0"},
        {"Editor", "TransValue", "200", [] { return S().TransValue == 200; }, "200"},
        {"Editor", "TransValue", std::nullopt, [] { return S().TransValue == 120; }, "120"},
        // "Font": the size wins over the height, at the file's pixels per inch.
        {"Font", "Charset", "0", [] { return LabelFont().GetCharset() == 0; }, "0"},
        {"Font", "Charset", "300", [] { return LabelFont().GetCharset() == DEFAULT_CHARSET; }, "1"},
        {"Font", "Color", "255", [] { return LabelFont().GetColor() == 255; }, "255"},
        {"Font", "Color", "-2147483648", [] { return LabelFont().GetColor() == clScrollBar; }, "-2147483648"},
        {"Font", "Color", "305419896", [] { return LabelFont().GetColor() == clBlack; }, "0"},
        {"Font", "Height", "-20", [] { return LabelFont().GetHeight() == -11; }, "-11", "size"},
        {"Font", "Height", "-20", [] { return LabelFont().GetHeight() == -20; }, "-20", "size", {{"Size", {}}}},
        // A height between two whole sizes, with the size it is written with.
        {"Font", "Height", "-10", [] { return LabelFont().GetHeight() == -10; }, "-10", "size"},
        {"Font", "Height", "-200", [] { return LabelFont().GetHeight() == -11; }, "-11", "size", {{"Size", {}}}},
        {"Font", "Name", "Arial", [] { return LabelFont().GetName() == "Arial"; }, "Arial"},
        {"Font", "Pitch", "2", [] { return LabelFont().GetPitch() == TFontPitch::fpFixed; }, "2"},
        {"Font", "PixelsPerInch", "120",
         [] { return LabelFont().GetPixelsPerInch() == 120 && LabelFont().GetHeight() == -13; }, "120", "size"},
        {"Font", "Size", "12", [] { return LabelFont().GetHeight() == -16; }, "12", "size"},
        // Between 6 and 72 points as the screen draws them, or the height
        // stands.
        {"Font", "Size", "2000", [] { return LabelFont().GetHeight() == -20; }, "15", "size", {{"Height", "-20"}}},
        {"Font", "Size", "-2000", [] { return LabelFont().GetHeight() == -11; }, "8", "size"},
        {"Font", "Size", "5", [] { return LabelFont().GetHeight() == -11; }, "8", "size"},
        {"Font", "PixelsPerInch", "100000",
         [] { return LabelFont().GetPixelsPerInch() == 96 && LabelFont().GetHeight() == -11; }, "96", "size"},
        // Each style on its own, the others as the file had them (none).
        {"Font", "Bold", "1", [] { return LabelFont().GetStyle() == TFontStyles{fsBold}; }, "1", "style"},
        {"Font", "Italic", "True", [] { return LabelFont().GetStyle() == TFontStyles{fsItalic}; }, "1", "style"},
        {"Font", "Underline", "0", [] { return LabelFont().GetStyle() == TFontStyles{}; }, "0", "style"},
        {"Font", "Underline", "1", [] { return LabelFont().GetStyle() == TFontStyles{fsUnderline}; }, "1", "style"},
        {"Font", "StrikeOut", "1", [] { return LabelFont().GetStyle() == TFontStyles{fsStrikeOut}; }, "1", "style"},
        // The tool windows.
        {"MissForm", "Visible", "False",
         [] { return !MissFrame->GetVisible() && !Main().ActShowMissRMI->GetChecked(); }, "False"},
        {"MissForm", "Width", "320", [] { return MissFrame->GetWidth() == 320; }, "320", "bounds"},
        {"MissForm", "Height", "400", [] { return MissFrame->GetHeight() == 400; }, "400", "bounds"},
        {"MissForm", "Left", "100", [] { return MissFrame->GetLeft() == 100; }, "100", "bounds"},
        {"MissForm", "Left", "5000", [] { return MissFrame->GetLeft() != 5000; }, "!5000", "bounds"},
        {"MissForm", "Top", "50", [] { return MissFrame->GetTop() == 50; }, "50", "bounds"},
        {"MissForm", "Height", "2000000000", [] { return MissFrame->GetHeight() == 1024; }, "1024", "bounds"},
        {"MissForm", "SplitPos", "140", [] { return MissFrame->RMIMission->GetSplitPos() == 140; }, "140"},
        // Past the grid's width the split takes the default.
        {"MissForm", "SplitPos", "5000", [] { return MissFrame->RMIMission->GetSplitPos() == 150; }, "150"},
        {"EventsForm", "Visible", "False",
         [] { return !EventFrame->GetVisible() && !Main().ActShowEventRMI->GetChecked(); }, "False"},
        {"EventsForm", "Width", "340", [] { return EventFrame->GetWidth() == 340; }, "340", "bounds"},
        {"EventsForm", "Height", "420", [] { return EventFrame->GetHeight() == 420; }, "420", "bounds"},
        {"EventsForm", "Left", "120", [] { return EventFrame->GetLeft() == 120; }, "120", "bounds"},
        {"EventsForm", "Top", "450", [] { return EventFrame->GetTop() == 450; }, "450", "bounds"},
        {"EventsForm", "SplitPos", "90", [] { return EventFrame->RMIEvent->GetSplitPos() == 90; }, "90"},
        // The events list above the splitter: at least its own 50, and
        // the grid below keeps the splitter's least 30 of the window's 350
        // (the splitter is 4 high); else the designed 154.
        {"EventsForm", "Splitter", "77", [] { return EventsList() == 77 && EventFrame->Splitter->GetTop() == 77; },
         "77", "bounds"},
        {"EventsForm", "Splitter", "316", [] { return EventsList() == 316; }, "316", "bounds"},
        {"EventsForm", "Splitter", "317", [] { return EventsList() == 154; }, "154", "bounds"},
        {"EventsForm", "Splitter", "49", [] { return EventsList() == 154; }, "154", "bounds"},
        {"EventsForm", "Splitter", "200", [] { return EventsList() == 154; }, "154", "bounds",
         {{"Height", "200"}}},
        // The warnings window, made after the settings are read.
        {"ErrorsForm", "Width", "500", [] { return ErrorsFormBounds.Width == 500; }, "500", "bounds"},
        {"ErrorsForm", "Height", "0", [] { return ErrorsFormBounds.Width == 0; }, "0", "bounds"},
        {"ErrorsForm", "Width", "60000", [] { return ErrorsFormBounds.Width == 1280; }, "1280", "bounds"},
        {"ErrorsForm", "Top", "300", [] { return ErrorsFormBounds.Top == 300; }, "300", "bounds"},
        {"ErrorsForm", "Left", "200", [] { return ErrorsFormBounds.Left == 200; }, "200", "bounds"},
        // The main window.
        {"MainForm", "Width", "800", [] { return Main().GetWidth() == 800; }, "800", "bounds"},
        {"MainForm", "Width", "0", [] { return Main().GetWidth() == 671; }, "671", "bounds"},
        {"MainForm", "Height", "700", [] { return Main().GetHeight() == 700; }, "700", "bounds"},
        {"MainForm", "Top", "40", [] { return Main().GetTop() == 40; }, "40", "bounds"},
        {"MainForm", "Left", "-3000", [] { return Main().GetLeft() != -3000; }, "!-3000", "bounds"},
        // Larger than the desktop (1280 x 1024 here), the window takes the
        // desktop's size; far past it, it stays where it is.
        {"MainForm", "Width", "60000", [] { return Main().GetWidth() == 1280; }, "1280", "bounds"},
        {"MainForm", "Left", "2147483647", [] { return Main().GetLeft() != 2147483647; }, "!2147483647", "bounds"},
        {"MainForm", "State", "5", [] { return Main().GetWindowState() == wsNormal; }, "0", "bounds"},
        {"MainForm", "State", "1", [] { return Main().GetWindowState() == wsNormal; }, "0", "bounds"},
        {"MainForm", "State", "2", [] { return Main().GetWindowState() == wsMaximized; }, "2", "bounds"},
        {"MainForm", "Splitter", "300", [] { return Main().PgCMissionProperties->GetWidth() == 300; }, "300",
         "bounds"},
        // The pages at least their own 215, leaving the world view's box its
        // least 340 of the window's 940 (the splitter is 3 wide); else the
        // designed 233.
        {"MainForm", "Splitter", "597", [] { return Main().PgCMissionProperties->GetWidth() == 597; }, "597",
         "bounds"},
        {"MainForm", "Splitter", "598", [] { return Main().PgCMissionProperties->GetWidth() == 233; }, "233",
         "bounds"},
        {"MainForm", "Splitter", "214", [] { return Main().PgCMissionProperties->GetWidth() == 233; }, "233",
         "bounds"},
        {"MainForm", "SplitPlPos", "100", [] { return Main().RMIPlayer->GetSplitPos() == 100; }, "100"},
        {"MainForm", "SplitPrPos", "90", [] { return Main().RMIProvince->GetSplitPos() == 90; }, "90"},
        {"MainForm", "FilePanel", "False", [] { return !Main().ActFilePanel->GetChecked(); }, "False"},
        {"MainForm", "ShowPanel", "False",
         [] { return !Main().ActShowPanel->GetChecked() && !Main().TBrShow->GetVisible(); }, "False"},
        {"MainForm", "ZoomPanel", "0", [] { return !Main().ActZoomPanel->GetChecked(); }, "False"},
        // The provinces list above its splitter: the splitter's least 26, or
        // folded away, and the page's 660 (below two rows of tabs) keep 26
        // below the splitter, which is 3 high; else the designed 84.
        {"MainForm", "ProvHeight", "204",
         [] { return ProvincesList() == 204 && Main().Splitter1->GetTop() == 204; }, "204", "bounds"},
        {"MainForm", "ProvHeight", "631", [] { return ProvincesList() == 631; }, "631", "bounds"},
        {"MainForm", "ProvHeight", "632", [] { return ProvincesList() == 84; }, "84", "bounds"},
        {"MainForm", "ProvHeight", "0", [] { return ProvincesList() == 0; }, "0", "bounds"},
        {"MainForm", "ProvHeight", "25", [] { return ProvincesList() == 84; }, "84", "bounds"},
        {"MainForm", "ProvHeight", "-1", [] { return ProvincesList() == 84; }, "84", "bounds"},
        {"MainForm", "ProvWidName", "70", [] { return Main().LVProvinces->GetColumns()->GetItem(0)->GetWidth() == 70; },
         "70"},
        {"MainForm", "ProvWidOwner", "60",
         [] { return Main().LVProvinces->GetColumns()->GetItem(1)->GetWidth() == 60; }, "60"},
        // A number outside what its use can take gives the default.
        {"MainForm", "ProvWidName", "32767",
         [] { return Main().LVProvinces->GetColumns()->GetItem(0)->GetWidth() == 32767; }, "32767"},
        {"MainForm", "ProvWidName", "32768",
         [] { return Main().LVProvinces->GetColumns()->GetItem(0)->GetWidth() == 50; }, "50"},
        {"MainForm", "ProvWidOwner", "-2147483648",
         [] { return Main().LVProvinces->GetColumns()->GetItem(1)->GetWidth() == 50; }, "50"},
        {"MainForm", "SplitPlPos", "5000", [] { return Main().RMIPlayer->GetSplitPos() == 120; }, "120"},
        {"MainForm", "SplitPrPos", "-2147483648", [] { return Main().RMIProvince->GetSplitPos() == 120; }, "120"},
    };
}

std::string Path(const SettingRow& row) {
    const std::string element = row.element;
    return (element == "Editor" ? "Thornvale/Editor/" : "Thornvale/Editor/" + element + "/") + row.attribute;
}

std::string Shared(const SettingRow& row) {
    return row.shares ? std::string(row.element) + "/" + row.shares : Path(row);
}

std::string Quoted(const std::optional<std::string>& value) { return value ? "\"" + *value + "\"" : "(none)"; }

std::string Label(const SettingRow& row) {
    std::string label = Path(row) + " = " + Quoted(row.value);
    for (const Edit& edit : row.with) label += std::string(", ") + edit.attribute + " = " + Quoted(edit.value);
    return label;
}

// Every attribute read into the editor and written back at close: rows that
// name different attributes share one start of the editor.
TEST(SettingsFile, EveryAttributeIsReadAtStartAndWrittenAtClose) {
    std::vector<SettingRow> rows = Rows();
    std::vector<bool> done(rows.size());
    for (size_t first = 0; first < rows.size(); ++first) {
        if (done[first]) continue;
        std::vector<const SettingRow*> batch;
        std::set<std::string> named;
        // A row that gives other attributes with its own starts alone.
        for (size_t i = first; i < rows.size(); ++i) {
            if (done[i] || (!rows[i].with.empty() && !batch.empty())) continue;
            if (!named.insert(Shared(rows[i])).second) continue;
            batch.push_back(&rows[i]);
            done[i] = true;
            if (!rows[i].with.empty()) break;
        }

        EditorSession editor;
        std::string ini = thorn::test::ReadText(editor / "ini.xml");
        for (const SettingRow* row : batch) {
            EditAttribute(ini, row->element, row->attribute, row->value);
            for (const Edit& edit : row->with) EditAttribute(ini, row->element, edit.attribute, edit.value);
        }
        thorn::test::WriteText(editor / "ini.xml", ini);
        editor.Start();
        for (const SettingRow* row : batch) {
            SCOPED_TRACE(Label(*row));
            EXPECT_TRUE(row->read());
        }
        editor.Close();
        auto written = thorn::test::Attributes(editor / "ini.xml");
        for (const SettingRow* row : batch) {
            SCOPED_TRACE(Label(*row));
            if (row->written.starts_with("!"))
                EXPECT_NE(written[Path(*row)], row->written.substr(1));
            else
                EXPECT_EQ(written[Path(*row)], row->written);
        }
    }
}

// Drags a splitter of a window by dy with the mouse, from its middle.
void DragSplitter(HeadlessHost& host, TCustomForm& window, const TSplitter& splitter, int dy) {
    const TPoint screen = splitter.ClientToScreen({splitter.GetWidth() / 2, splitter.GetHeight() / 2});
    const TPoint at{screen.X - window.GetLeft(), screen.Y - window.GetTop()};
    host.Drag(window, at, {at.X, at.Y + dy});
}

// The lists above the splitters the user dragged have the same heights at
// the next start, and that start writes the same file again.
TEST(SettingsFile, SplittersTheUserDraggedStandThereAtTheNextStart) {
    struct Case {
        const char* name;
        int provinces, events;  // how far each splitter is dragged down
        int provincesList, eventsList;
    };
    const Case cases[] = {
        {"lower", 120, 60, 84 + 120, 160 + 60},
        {"higher: the provinces list folded away, the events list at its least", -80, -150, 0, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string ini;
        {
            // The provinces page shows with a mission.
            MissionDesk desk;
            desk.ShowPage(MissionDesk::kProvincesPage);
            DragSplitter(desk.Host(), desk.Main(), *desk.Main().Splitter1, c.provinces);
            DragSplitter(desk.Host(), *EventFrame.Get(), *EventFrame->Splitter, c.events);
            ASSERT_EQ(ProvincesList(), c.provincesList);
            ASSERT_EQ(EventsList(), c.eventsList);
            desk.Editor().Close();
            ini = thorn::test::ReadText(desk.Editor() / "ini.xml");
        }
        EditorSession editor;
        thorn::test::WriteText(editor / "ini.xml", ini);
        const auto first = thorn::test::Attributes(editor / "ini.xml");
        editor.Start();
        EXPECT_EQ(ProvincesList(), c.provincesList);
        EXPECT_EQ(EventsList(), c.eventsList);
        editor.Close();
        EXPECT_EQ(thorn::test::Attributes(editor / "ini.xml"), first);
    }
}

TEST(SettingsFile, ValuesConvertAsTheFileWritesThem) {
    struct Case {
        const char* text;
        std::optional<int32_t> integer;
        std::optional<bool> boolean;
    };
    const Case cases[] = {
        {"0", 0, false},    {"1", 1, true},       {"-7", -7, true},         {"+12", 12, true},
        {"True", {}, true}, {"fALSE", {}, false}, {"yes", {}, {}},          {"", {}, {}},
        {"1.5", {}, {}},    {" 1", {}, {}},       {"2147483648", {}, true}, {"$10", {}, {}},
        {"-", {}, {}},      {"+", {}, {}},        {"+-5", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        EXPECT_EQ(thorn::ReadSettingsInteger(c.text), c.integer);
        EXPECT_EQ(thorn::ReadSettingsBoolean(c.text), c.boolean);
    }
}

}  // namespace
