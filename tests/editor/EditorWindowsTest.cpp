#include <gtest/gtest.h>

#include <string>

#include "EditorSession.h"
#include "editor/CastleLegend.h"
#include "editor/Dlg_error.h"
#include "editor/Dlg_options.h"
#include "editor/Eventsframe.h"
#include "gui/Application.h"
#include "support/Pixels.h"

// The project reaching the editor's windows through their link, with a
// mission made from a world of the start folder.
namespace {

using thorn::test::EditorSession;

// Sea around two lands, each with a speck of another colour too small to be
// a province: the import joins each speck to its land and warns about it.
void WriteSpeckledWorld(const std::filesystem::path& file) {
    TBitmap32 world;
    world.SetSize(240, 200);
    world.Clear(0xFF0000FFu);
    world.FillRect(20, 20, 110, 180, 0xFFC08040u);
    world.FillRect(130, 20, 220, 180, 0xFF40A060u);
    world.FillRect(60, 90, 62, 92, 0xFF808000u);
    world.FillRect(170, 90, 172, 92, 0xFF800080u);
    world.SaveToFile(file);
}

TEST(EditorWindows, ANewMissionFillsTheWindowsAndResetEmptiesThem) {
    EditorSession editor;
    editor.Start();
    WriteSpeckledWorld(editor / "worlds/speckled.bmp");
    editor.NewMission("speckled.bmp");
    TMainForm& main = editor.Main();

    // The world view holds the world; the provinces list a row per province.
    EXPECT_EQ(main.ImgVWorld->GetBitmap()->Width(), MapProject->WorldWidth);
    EXPECT_EQ(main.ImgVWorld->GetBitmap()->Height(), MapProject->WorldHeight);
    EXPECT_TRUE(main.ImgVWorld->GetVisible());
    EXPECT_FALSE(main.LblNoProject->GetVisible());
    TListItems& rows = *main.LVProvinces->GetItems();
    ASSERT_GT(MapProject->Provinces.GetCount(), 0);
    ASSERT_EQ(rows.GetCount(), MapProject->Provinces.GetCount());
    for (int i = 0; i < rows.GetCount(); ++i) {
        CProvince* province = MapProject->Provinces.GetAt(static_cast<uint8_t>(i));
        EXPECT_EQ(rows[i]->GetData(), province);
        EXPECT_EQ(rows[i]->GetCaption(), MapProject->CurrentProvinceName(province));
    }
    // The project's commands, the lists, the tabs and the events tool bar
    // are there to use.
    EXPECT_TRUE(main.ActSaveAsProject->GetEnabled());
    EXPECT_TRUE(main.ActDelProvince->GetEnabled());
    EXPECT_TRUE(main.LVProvinces->GetEnabled());
    EXPECT_TRUE(main.LVPlayers->GetEnabled());
    EXPECT_TRUE(main.TabSheetProvinces->GetTabVisible());
    EXPECT_TRUE(EventFrame->TBEvent->GetEnabled());

    // The zoom reaches the status bar, the scroll position the scroll box.
    MapProject->SetZoom(8.0f);
    EXPECT_EQ(main.StatusBar->Panels()[1]->GetText(), "800%");
    MapProject->ScrollViewTo(MapProject->WorldWidth - 1, MapProject->WorldHeight - 1);
    EXPECT_GT(main.ScrBWorld->HorzScrollBar().GetPosition(), 0);
    EXPECT_GT(main.ScrBWorld->VertScrollBar().GetPosition(), 0);

    // The warnings window lists the import's warnings, each row standing
    // for its warning.
    ASSERT_GT(MapProject->ErrorList.GetCount(), 0);
    MapProject->ErrorList.FillListView();
    TListItems& warnings = *DlgError->LV->GetItems();
    ASSERT_EQ(warnings.GetCount(), MapProject->ErrorList.GetCount());
    for (int i = 0; i < warnings.GetCount(); ++i) {
        EXPECT_EQ(warnings[i]->GetData(), MapProject->ErrorList.GetAt(i));
        EXPECT_EQ(warnings[i]->GetCaption(), MapProject->ErrorList.GetAt(i)->GetText());
        EXPECT_EQ(warnings[i]->GetImageIndex(), 22);
    }

    MapProject->Reset();
    MapProject->EnableProjectUI(0);
    EXPECT_EQ(rows.GetCount(), 0);
    EXPECT_EQ(warnings.GetCount(), 0);
    EXPECT_EQ(main.ImgVWorld->GetLayers()->GetCount(), 0);
    EXPECT_FALSE(main.ActSaveAsProject->GetEnabled());
    EXPECT_FALSE(main.LVProvinces->GetEnabled());
    EXPECT_FALSE(main.TabSheetPlayers->GetTabVisible());
    EXPECT_FALSE(EventFrame->TBEvent->GetEnabled());
    editor.Close();
}

TEST(CastleLegend, ShowsEachCastleTypesPictureBesideItsName) {
    EditorSession editor;
    editor.Start();
    editor.NewMission("small_isles.bmp");
    TScrollBox& legend = *DlgOptions->ScBImages;
    const int types = MapProject->NumCastleTypes;
    ASSERT_GT(types, 1);
    ASSERT_EQ(legend.GetControlCount(), 2 * types);
    const CStringTable& table = *MapProject->Tables.GetAt(MapProject->CurrentStringTable);
    for (int i = 0; i < types; ++i) {
        SCOPED_TRACE(i);
        auto* image = dynamic_cast<TImage32*>(legend.FindComponent("ImgCastle" + std::to_string(i)));
        auto* label = dynamic_cast<TLabel*>(legend.FindComponent("LbCastle" + std::to_string(i)));
        ASSERT_TRUE(image && label);
        EXPECT_EQ(image->GetParent(), &legend);
        EXPECT_EQ(image->GetBoundsRect(), (TRect{48, 25 * i + 8, 68, 25 * i + 32}));
        EXPECT_EQ(thorn::test::PixelsOf(*image->GetBitmap()),
                  thorn::test::PixelsOf(*MainForm->BLCastleImages->GetBitmap(i)));
        EXPECT_EQ(label->GetCaption(), table.GetCastleTypeName(static_cast<uint8_t>(i)));
        EXPECT_EQ(label->GetTop(), 25 * i + 16);
        EXPECT_EQ(label->GetLeft(), 76);
    }

    // Built again, it holds the same rows, none twice; with no castle types,
    // none.
    BuildCastleLegend();
    EXPECT_EQ(legend.GetControlCount(), 2 * types);
    MapProject->NumCastleTypes = 0;
    BuildCastleLegend();
    EXPECT_EQ(legend.GetControlCount(), 0);
    editor.Close();
}

}  // namespace
