#include <gtest/gtest.h>

#include "DialogInput.h"
#include "EditorSession.h"
#include "MissionDesk.h"
#include "SampleProject.h"
#include "editor/Dlg_comp.h"
#include "editor/Dlg_error.h"
#include "gui/Application.h"

namespace {

using thorn::test::ClickOn;
using thorn::test::EditorSession;
using thorn::test::OnWindow;

constexpr TColor32 kMarked = 0xFFFF0000;

TPoint Middle(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

class WarningsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ErrorsFormBounds = {};
        editor.Start();
        specks = thorn::test::WorldWithSpecks(editor.Folder().Path(), world);
        thorn::test::MakeProject(world);
        ASSERT_FALSE(HasFatalFailure());
    }

    TColor32 WorldPixel(TPoint p) const { return MainForm->ImgVWorld->GetBitmap()->GetPixel(p.X, p.Y); }

    // The user clicks row i of the list.
    void ClickRow(int i) {
        const TRect row = DlgError->LV->GetItems()->GetItem(i)->DisplayRect();
        const TPoint p = OnWindow(*DlgError->LV, {row.Left + 40, (row.Top + row.Bottom) / 2});
        editor.Host().Click(*DlgError.Get(), p.X, p.Y);
    }

    // The user scrolls the world view to its far bottom right corner.
    void ScrollAway() {
        for (TControlScrollBar* bar : {&MainForm->ScrBWorld->HorzScrollBar(), &MainForm->ScrBWorld->VertScrollBar()})
            bar->SetPosition(bar->GetRange());
        Application->ProcessMessages();
    }

    // Whether the world point shows inside the scroll box's client area.
    bool InSight(TPoint world) const {
        const TImage32& view = *MainForm->ImgVWorld;
        const float scale = view.GetScale();
        const int x = view.GetLeft() + static_cast<int>(world.X * scale);
        const int y = view.GetTop() + static_cast<int>(world.Y * scale);
        const TRect client = MainForm->ScrBWorld->GetClientRect();
        return x >= client.Left && x < client.Right && y >= client.Top && y < client.Bottom;
    }

    EditorSession editor;
    std::filesystem::path world;
    thorn::test::Specks specks;
};

TEST_F(WarningsWindow, ListsTheImportsWarningsAndShowsAChosenOneOnTheMap) {
    const CErrorList& warnings = MapProject->ErrorList;
    ASSERT_EQ(warnings.GetCount(), 2);
    ClickOn(editor.Host(), *MainForm->BtnActShowErrors);
    ASSERT_TRUE(editor.Host().IsWindowVisible(*DlgError.Get()));
    TListItems& rows = *DlgError->LV->GetItems();
    ASSERT_EQ(rows.GetCount(), 2);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i]->GetCaption(), warnings.GetAt(i)->GetText());
        EXPECT_EQ(rows[i]->GetImageIndex(), 22);
    }
    EXPECT_EQ(rows[0]->GetCaption().rfind("Piece was connected to ", 0), 0u);
    EXPECT_EQ(rows[1]->GetCaption(), "Piece was converted to green land");
    // Each row shows the warning picture of the start folder's small strip.
    Application->ProcessMessages();
    TBitmap32 strip;
    strip.LoadFromFile(editor / "res/icons/images16.bmp");
    const TRect first = rows[0]->DisplayRect();
    const TPoint icon = OnWindow(*DlgError->LV, {first.Left + 2 + 8, (first.Top + first.Bottom) / 2});
    EXPECT_EQ(editor.Host().PixelAt(*DlgError.Get(), icon.X, icon.Y), strip.GetPixel(22 * 16 + 8, 8));

    const TPoint joined = Middle(specks.joined), island = Middle(specks.island);
    const TColor32 joinedBefore = WorldPixel(joined), islandBefore = WorldPixel(island);
    ASSERT_NE(joinedBefore, kMarked);

    // Each row chosen marks its piece and scrolls the world view to it; the
    // one shown before is restored first.
    MapProject->SetZoom(4.0f);
    ScrollAway();
    ASSERT_FALSE(InSight(joined));
    ClickRow(0);
    EXPECT_EQ(warnings.GetCurrent(), warnings.GetAt(0));
    EXPECT_EQ(WorldPixel(joined), kMarked);
    EXPECT_TRUE(InSight(joined));
    ScrollAway();
    ASSERT_FALSE(InSight(island));
    ClickRow(1);
    EXPECT_EQ(warnings.GetCurrent(), warnings.GetAt(1));
    EXPECT_EQ(WorldPixel(joined), joinedBefore);
    EXPECT_EQ(WorldPixel(island), kMarked);
    EXPECT_TRUE(InSight(island));

    // A click below the rows chooses none: the map is as it was.
    const TRect last = rows[1]->DisplayRect();
    const TPoint below = OnWindow(*DlgError->LV, {last.Left + 40, last.Bottom + 30});
    editor.Host().Click(*DlgError.Get(), below.X, below.Y);
    EXPECT_EQ(DlgError->LV->GetSelected(), nullptr);
    EXPECT_EQ(warnings.GetCurrent(), nullptr);
    EXPECT_EQ(WorldPixel(island), islandBefore);

    // So does any press on the world view, of any button.
    ClickRow(1);
    ASSERT_EQ(WorldPixel(island), kMarked);
    const float scale = MainForm->ImgVWorld->GetScale();
    const TPoint onView = OnWindow(*MainForm->ImgVWorld, {static_cast<int>(island.X * scale) + 1,
                                                          static_cast<int>(island.Y * scale) + 1});
    editor.Host().Click(*MainForm.Get(), onView.X, onView.Y, mbRight);
    EXPECT_EQ(warnings.GetCurrent(), nullptr);
    EXPECT_EQ(WorldPixel(island), islandBefore);

    ClickOn(editor.Host(), *DlgError->BtnOk);
    EXPECT_FALSE(editor.Host().IsWindowVisible(*DlgError.Get()));
}

// A province renamed in the province grid is named anew by the warnings
// window's list, open all the while.
TEST(WarningsWindowNames, ARenamedProvinceIsNamedAnewInTheOpenList) {
    thorn::test::MissionDesk desk{thorn::test::MissionDesk::NotStarted{}};
    ErrorsFormBounds = {};
    desk.Editor().Start();
    std::filesystem::path world;
    thorn::test::WorldWithSpecks(desk.Editor().Folder().Path(), world);
    thorn::test::MakeProject(world);
    ASSERT_FALSE(testing::Test::HasFatalFailure());
    constexpr std::string_view kConnected = "Piece was connected to ";
    const std::string text = MapProject->ErrorList.GetAt(0)->GetText();
    int named = -1;
    for (int i = 0; i < desk.ProvinceCount(); ++i)
        if (text == std::string(kConnected) + MapProject->CurrentProvinceName(&desk.Province(i))) named = i;
    ASSERT_GE(named, 0) << text;
    ClickOn(desk.Host(), *MainForm->BtnActShowErrors);
    ASSERT_TRUE(desk.Host().IsWindowVisible(*DlgError.Get()));

    desk.ShowPage(thorn::test::MissionDesk::kProvincesPage);
    desk.ClickProvinceRow(named);
    desk.TypeIntoGridRow("ProvName", "Ashford");
    desk.Host().PressKey(VK_RETURN);
    ASSERT_EQ(MapProject->CurrentProvinceName(&desk.Province(named)), "Ashford");
    EXPECT_EQ(DlgError->LV->GetItems()->GetItem(0)->GetCaption(), std::string(kConnected) + "Ashford");
}

TEST(WarningsWindowBounds, ASizeTheUserGaveItOpensTheWindowOnTheNextRun) {
    ErrorsFormBounds = {};
    std::string settings;
    TErrorsFormBounds resized;
    {
        // Settings without the window's bounds leave it as designed.
        EditorSession editor;
        std::string ini = thorn::test::ReadText(editor / "ini.xml");
        const size_t at = ini.find("<ErrorsForm ");
        ini.erase(at, ini.find("/>", at) + 2 - at);
        thorn::test::WriteText(editor / "ini.xml", ini);
        editor.Start();
        EXPECT_EQ(DlgError->GetWidth(), 334);
        EXPECT_EQ(DlgError->GetHeight(), 373);
        DlgError->Show();
        editor.Host().ResizeWindow(*DlgError.Get(), 420, 260);
        resized = ErrorsFormBounds;
        EXPECT_EQ(resized.Width, 420);
        EXPECT_EQ(resized.Height, 260);
        EXPECT_EQ(resized.Left, DlgError->GetLeft());
        EXPECT_EQ(resized.Top, DlgError->GetTop());
        editor.Close();
        settings = thorn::test::ReadText(editor / "ini.xml");
    }
    ErrorsFormBounds = {};
    EditorSession next;
    thorn::test::WriteText(next / "ini.xml", settings);
    next.Start();
    EXPECT_EQ(DlgError->GetBoundsRect(),
              (TRect{resized.Left, resized.Top, resized.Left + 420, resized.Top + 260}));
}

TEST(WarningsWindowPictures, AStripThatCannotBeReadIsSaidAndTheWindowsStillOpen) {
    EditorSession editor;
    std::filesystem::remove(editor / "res/icons/images16.bmp");
    editor.Host().AnswerMessageBox(IDOK, "images16.bmp");
    editor.Start();
    EXPECT_EQ(editor.Host().PendingScripts(), 0u);
    ASSERT_TRUE(DlgError);
    EXPECT_EQ(DlgError->ILErrors->GetCount(), 0);
    ASSERT_TRUE(DlgComplex);
    EXPECT_TRUE(DlgComplex->BitBtn->GetGlyph().Empty());
}

}  // namespace
