#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "EditorSession.h"
#include "MainCommands.h"
#include "MissionDesk.h"
#include "bitmapui/Pix32_Layers.h"
#include "gui/Application.h"
#include "support/Pixels.h"

namespace {

using thorn::test::MissionDesk;

// What the world's scroll box shows, as the host holds the window.
std::vector<TColor32> WorldShown(thorn::HeadlessHost& host, TMainForm& main) {
    TBitmap32 window;
    host.Snapshot(main, window);
    TScrollBox& box = *main.ScrBWorld;
    const TPoint corner = box.ClientToScreen({0, 0});
    const int left = corner.X - main.GetLeft(), top = corner.Y - main.GetTop();
    std::vector<TColor32> pixels;
    for (int y = top; y < top + box.GetClientHeight(); ++y)
        for (int x = left; x < left + box.GetClientWidth(); ++x) pixels.push_back(window.GetPixel(x, y));
    return pixels;
}

TEST(ViewCommands, ZoomStepsWholeTimesBetween100And800Percent) {
    MissionDesk desk;
    TMainForm& main = desk.Main();
    desk.Project().SetZoom(2.0f);
    desk.Project().EnableProjectUI(1);
    Application->ProcessMessages();
    struct Step {
        TAction* command;
        const char* zoom;
    };
    const Step steps[] = {
        {main.ActZoomIn, "300%"},  {main.ActZoomIn, "400%"},  {main.ActZoomIn, "500%"},  {main.ActZoomIn, "600%"},
        {main.ActZoomIn, "700%"},  {main.ActZoomIn, "800%"},  {main.ActZoomIn, "800%"},  {main.ActZoomOut, "700%"},
        {main.ActZoomFill, "100%"}, {main.ActZoomOut, "100%"}, {main.ActZoomIn, "200%"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.command->GetCaption() + " to " + step.zoom);
        thorn::test::ClickToolButton(desk.Host(), main, *step.command);
        EXPECT_EQ(main.StatusBar->Panels()[1]->GetText(), step.zoom);
        const int scale = std::stoi(step.zoom) / 100;
        EXPECT_EQ(main.ImgVWorld->GetScale(), scale);
        EXPECT_EQ(main.ImgVWorld->GetWidth(), desk.Project().WorldWidth * scale);
    }
}

TEST(ViewCommands, ZoomFillAfterAPanShowsTheWholeWorldInTheMiddle) {
    MissionDesk desk;
    TMainForm& main = desk.Main();
    desk.Project().SetZoom(2.0f);
    Application->ProcessMessages();
    thorn::test::ClickToolButton(desk.Host(), main, *main.ActZoomIn);
    // The map dragged with the middle button, towards the top left.
    TImage32& view = *main.ImgVWorld;
    const TPoint grip = view.ClientToScreen({-view.GetLeft() + 300, -view.GetTop() + 300});
    const TPoint from{grip.X - main.GetLeft(), grip.Y - main.GetTop()};
    desk.Host().MouseDown(main, from.X, from.Y, mbMiddle);
    for (int step = 1; step <= 4; ++step) desk.Host().MouseMove(main, from.X - 60 * step, from.Y - 40 * step, {ssMiddle});
    desk.Host().MouseUp(main, from.X - 240, from.Y - 160, mbMiddle);
    TScrollBox& box = *main.ScrBWorld;
    ASSERT_GT(box.HorzScrollBar().GetPosition(), 0);
    ASSERT_GT(box.VertScrollBar().GetPosition(), 0);

    thorn::test::ClickToolButton(desk.Host(), main, *main.ActZoomFill);
    ASSERT_EQ(view.GetWidth(), desk.Project().WorldWidth);
    // The world is smaller than the box: all of it shows, as far from
    // either side, and there is nothing to scroll to.
    EXPECT_FALSE(box.HorzScrollBar().IsScrollBarVisible());
    EXPECT_FALSE(box.VertScrollBar().IsScrollBarVisible());
    const TRect bounds = view.GetBoundsRect();
    EXPECT_GE(bounds.Left, 0);
    EXPECT_GE(bounds.Top, 0);
    EXPECT_LE(std::abs(bounds.Left - (box.GetClientWidth() - bounds.Right)), 4);
    EXPECT_LE(std::abs(bounds.Top - (box.GetClientHeight() - bounds.Bottom)), 4);
}

TEST(ViewCommands, TheProvincesModeExcludesTheIconModesWhichEmptyTheSelection) {
    MissionDesk desk;
    TMainForm& main = desk.Main();
    CMapProject& project = desk.Project();
    CProvince& first = desk.Province(0);
    desk.ShowPage(MissionDesk::kProvincesPage);
    const auto modes = [&] {
        std::string state;
        for (TAction* mode : {main.ActShowIcons, main.ActShowCastles, main.ActShowArmies})
            state += mode->GetChecked() ? "+" : "-";
        for (uint32_t flag : {Settings->ShIcons, Settings->ShCastles, Settings->ShArmies}) state += flag ? "+" : "-";
        return state;
    };
    struct Step {
        const char* item;
        const char* modes;  // the check marks, then the settings switches
        bool markers;
        bool castlesMove;  // the castle icons take the mouse
        bool selectionKept;
    };
    // Leaving the castles or armies mode runs its command too, which
    // empties the selection.
    const Step steps[] = {
        {"Castles Positions Mode", "-+--+-", false, true, false},
        {"Armies Positions Mode", "-++-++", false, true, false},
        {"Provinces Mode", "+--+--", true, false, false},
        {"Provinces Mode", "------", false, false, true},
        {"Armies Positions Mode", "--+--+", false, false, false},
        {"Provinces Mode", "+--+--", true, false, false},
        {"Provinces Mode", "------", false, false, true},
        {"Provinces Mode", "+--+--", true, false, true},
    };
    ASSERT_EQ(modes(), "+--+--");
    for (const Step& step : steps) {
        SCOPED_TRACE(step.item);
        desk.ClickProvinceRow(1);
        ASSERT_EQ(desk.Selected().size(), 1u);
        thorn::test::ChooseMenuItem(desk.Host(), main, "View", step.item);
        EXPECT_EQ(modes(), step.modes);
        EXPECT_EQ(desk.Selected().size(), step.selectionKept ? 1u : 0u);
        EXPECT_EQ(project.FindIconLayer(&first)->GetVisible(), step.markers);
        EXPECT_EQ((project.FindCastleLayer(&first)->GetLayerOptions() & kLayerMouseEvents) != 0, step.castlesMove);
    }
}

// "ini.xml" is the user's to edit and may name Provinces mode together with
// an icon mode: the icon mode wins as the file is read, and every mode key
// then works as it does from a consistent start.
TEST(ViewCommands, ModesTheSettingsFileNamesTogetherAreMadeConsistent) {
    struct Case {
        const char* file;   // ShIcons, ShCastles, ShArmies as the file gives them
        const char* start;  // the check marks once the editor has started
        TKey key;
        const char* after;  // the check marks after the key
    };
    const Case cases[] = {
        {"110", "-+-", VK_F10, "+--"}, {"101", "--+", VK_F11, "-++"},
        {"111", "-++", VK_F12, "-+-"}, {"110", "-+-", VK_F11, "---"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " then F" + std::to_string(c.key - VK_F1 + 1));
        thorn::test::EditorSession editor;
        std::string ini = thorn::test::ReadText(editor / "ini.xml");
        const char* names[] = {"ShIcons", "ShCastles", "ShArmies"};
        for (int i = 0; i < 3; ++i) {
            const std::string shipped = std::string(names[i]) + (i == 0 ? "=\"1\"" : "=\"0\"");
            ASSERT_NE(ini.find(shipped), std::string::npos);
            ini.replace(ini.find(shipped), shipped.size(), std::string(names[i]) + "=\"" + c.file[i] + "\"");
        }
        thorn::test::WriteText(editor / "ini.xml", ini);
        editor.Start();
        TMainForm& main = editor.Main();
        editor.NewMission("twin_kingdoms.bmp");
        const auto modes = [&] {
            std::string marks, switches;
            for (TAction* mode : {main.ActShowIcons, main.ActShowCastles, main.ActShowArmies})
                marks += mode->GetChecked() ? "+" : "-";
            for (uint32_t flag : {Settings->ShIcons, Settings->ShCastles, Settings->ShArmies})
                switches += flag ? "+" : "-";
            EXPECT_EQ(marks, switches);
            return marks;
        };
        EXPECT_EQ(modes(), c.start);
        editor.Host().PressKey(c.key);
        EXPECT_EQ(modes(), c.after);
        editor.Close();
    }
}

TEST(ViewCommands, NamesAndWalkingPathsShowAndHideWithTheirKeys) {
    thorn::test::EditorSession editor;
    editor.Start();
    TMainForm& main = editor.Main();
    editor.Host().AnswerFileDialog((editor / "worlds/twin_kingdoms.bmp").string(), "Open");
    thorn::test::ChooseMenuItem(editor.Host(), main, "File", "New project");
    struct Case {
        TKey key;
        TAction* command;
        uint32_t* setting;
    };
    const Case cases[] = {{VK_F8, main.ActShowNames, &Settings->ShNames},
                          {VK_F7, main.ActShowNeighbours, &Settings->ShPaths}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command->GetCaption());
        // The start folder's settings show neither.
        ASSERT_FALSE(c.command->GetChecked());
        const std::vector<TColor32> hidden = WorldShown(editor.Host(), main);
        editor.Host().PressKey(c.key);
        EXPECT_TRUE(c.command->GetChecked());
        EXPECT_EQ(*c.setting, 1u);
        EXPECT_NE(WorldShown(editor.Host(), main), hidden);
        editor.Host().PressKey(c.key);
        EXPECT_FALSE(c.command->GetChecked());
        EXPECT_EQ(*c.setting, 0u);
        EXPECT_EQ(WorldShown(editor.Host(), main), hidden);
    }
    editor.Close();
}

}  // namespace
