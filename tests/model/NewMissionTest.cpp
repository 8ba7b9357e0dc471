#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "MapViewFixture.h"
#include "ProjectFiles.h"

namespace {

using thorn::test::DrawPicture;
using thorn::test::kOcean;
using thorn::test::kStartFolder;
using thorn::test::OpenedProject;
using thorn::test::ProvinceColour;

class NewMissionTest : public thorn::test::MapViewTest {
protected:
    NewMissionTest() { thorn::test::OpenStartCatalogue(editor); }

    // The sample world of the start folder made into a mission.
    void SampleMission() {
        ASSERT_EQ(project.ImportWorldImage(kStartFolder / "worlds/small_isles.bmp", 0), 1);
        ASSERT_EQ(project.NewMissionFromImage(), 1);
        project.HideProgress();
    }

    // Saves, opens the file again as the open command does, saves it once
    // more and answers both files' bytes.
    std::pair<std::vector<uint8_t>, std::vector<uint8_t>> RoundTrip(const std::string& name) {
        EXPECT_EQ(project.SaveProject(dir / (name + ".pw")), 1);
        OpenedProject opened(project, editor);
        EXPECT_EQ(opened.Open(dir / (name + ".pw")), 1);
        EXPECT_EQ(opened.project.SaveProject(dir / (name + "-again.pw")), 1);
        return {thorn::test::ReadFileBytes(dir / (name + ".pw")), thorn::test::ReadFileBytes(dir / (name + "-again.pw"))};
    }

    static std::string RandomText(std::mt19937& random, size_t most) {
        std::string text(random() % (most + 1), ' ');
        for (char& c : text) c = static_cast<char>(1 + random() % 255);
        return text;
    }
};

TEST_F(NewMissionTest, SampleWorldBecomesAMission) {
    SampleMission();
    EXPECT_EQ(project.Provinces.GetCount(), 10);
    ASSERT_EQ(project.Players.GetCount(), 6u);
    EXPECT_EQ(project.Players[5].UnitTypes.GetCount(), 11);
    EXPECT_EQ(project.Players[5].Treasury.GetCount(), 5);
    EXPECT_EQ(project.VictoryConds.Data.Resources.Amounts.GetCount(), 5);
    EXPECT_EQ(project.Tables.GetAt(0)->GetProvinceName(project.Provinces.GetAt(9)), "Noname 10");
    EXPECT_EQ(thorn::test::UntaggedLayers(project, editor), 1);
    EXPECT_EQ(project.NeighbourLinksLayer(), LayerAt(0).GetTag() == 0 ? &LayerAt(0) : nullptr);
    EXPECT_EQ(editor.castles.GetBitmaps()->GetCount(), 9);
    EXPECT_EQ(editor.CallsStartingWith("BuildCastleLegend").size(), 1u);
    for (uint16_t i = 0; i < project.Provinces.GetCount(); ++i) {
        const CProvince& p = *project.Provinces.GetAt(static_cast<uint8_t>(i));
        EXPECT_TRUE(p.BoundToPiece);
        EXPECT_EQ(project.CanPlaceCastleAt(&p, p.CastleX, p.CastleY), 1) << i;
    }
}

// The designer's mission saved, opened again and saved again gives the same
// file, and the opened world looks the same.
TEST_F(NewMissionTest, SampleMissionSurvivesSaveOpenSaveByteForByte) {
    SampleMission();
    CStringTable& table = *project.Tables.GetAt(0);
    table.SetMissionName("Small Isles");
    table.SetAuthorNotes("First line\r\nSecond line");
    project.Provinces.GetAt(3)->SetOwner(2);
    project.Provinces.GetAt(3)->SetHasCastle(1);
    project.Players[2].SetActive(1);
    project.Players[2].SetCapital(project.Provinces.GetAt(3));
    CEvent* event = project.Events.AddEvent();
    ASSERT_NE(event, nullptr);
    event->Turn = 12;

    // Both worlds are painted from the pieces by their kinds and owners.
    project.RedrawPieces(1);
    TBitmap32 world;
    world.Assign(editor.world);
    const auto [first, second] = RoundTrip("isles");
    EXPECT_EQ(first, second);

    OpenedProject opened(project, editor);
    ASSERT_EQ(opened.Open(dir / "isles.pw"), 1);
    CMapProject& loaded = opened.project;
    EXPECT_EQ(loaded.Players[2].Capital, loaded.Provinces.GetAt(3));
    EXPECT_EQ(loaded.Tables.GetAt(0)->MissionName, "Small Isles");
    EXPECT_EQ(thorn::test::UntaggedLayers(loaded, opened.editor), 1);
    EXPECT_EQ(opened.editor.view->GetLayers()->GetCount(), 1 + 4 * 10);
    EXPECT_EQ(opened.editor.castles.GetBitmaps()->GetCount(), 9);
    EXPECT_TRUE(editor.world.Equal(&world));
}

// Whatever stops the build half way (here in the province loop) leaves
// an empty project, the progress window hidden and the reason shown.
TEST_F(NewMissionTest, AnErrorOfTheBuildResetsTheProject) {
    struct Case {
        const char* what;
        std::function<void()> fail;
        const char* shown;
    };
    const Case cases[] = {
        {"out of memory", [] { throw std::bad_alloc(); }, "There is not enough memory to build the mission"},
        {"no bitmap", [] { throw EOutOfResources("Can't allocate the DIB handle"); }, "Can't allocate the DIB handle"},
        {"list index", [] { throw CList<CPlayerData>::BadSize(); }, "List index out of bounds"},
    };
    for (const Case& c : cases) {
        project.Reset();
        ASSERT_EQ(project.ImportWorldImage(kStartFolder / "worlds/small_isles.bmp", 0), 1);
        editor.errors.clear();
        editor.throwAtProgress = 3;
        editor.failAtProgress = c.fail;
        EXPECT_EQ(project.NewMissionFromImage(), 0) << c.what;
        EXPECT_EQ(editor.errors, std::vector<std::string>{c.shown}) << c.what;
        EXPECT_EQ(project.Provinces.GetCount(), 0) << c.what;
        EXPECT_EQ(project.MapPieces.GetCount(), 0) << c.what;
        EXPECT_EQ(editor.view->GetLayers()->GetCount(), 0) << c.what;
        EXPECT_FALSE(editor.progressShown) << c.what;
    }
}

// New and Open that succeed leave nothing unsaved, whatever came before.
TEST_F(NewMissionTest, NewAndOpenClearTheModifiedFlag) {
    project.Modified = 1;
    SampleMission();
    EXPECT_EQ(project.Modified, 0u);
    project.Provinces.GetAt(0)->SetOwner(1);
    ASSERT_EQ(project.Modified, 1u);
    ASSERT_EQ(project.SaveProject(dir / "isles.pw"), 1);
    project.Provinces.GetAt(0)->SetOwner(2);
    OpenedProject opened(project, editor);
    ASSERT_EQ(opened.Open(dir / "isles.pw"), 1);
    EXPECT_EQ(project.Modified, 0u);
}

// The values a designer sets, in one order: per province owner, castle,
// resources and guardians; per player active, type, skills, capital, the
// extra word, treasury and army; per event turn, effect, enabled, flags and
// increases; the conditions; and the texts.
struct Values {
    std::vector<uint32_t> numbers;
    std::vector<std::string> texts;
    bool operator==(const Values&) const = default;
};

Values Read(const CMapProject& p) {
    Values v;
    auto add = [&](auto... n) { (v.numbers.push_back(static_cast<uint32_t>(n)), ...); };
    const CStringTable& table = *p.Tables.GetAt(0);
    for (uint8_t k = 0; k < p.Provinces.GetCount(); ++k) {
        const CProvince& province = *p.Provinces.GetAt(k);
        add(province.Owner, province.Castle.Flags, province.Castle.Buildings, province.Castle.HitPoints);
        for (uint8_t r : province.Resources) add(r);
        for (uint32_t g : province.GuardianArmy) add(g);
        v.texts.push_back(table.ProvinceNames[k]);
    }
    for (uint32_t i = 0; i < 6; ++i) {
        const CPlayerData& player = p.Players[i];
        add(player.Active, player.PlayerType, player.Skills[0], player.Skills[1], player.Skills[2],
            p.Provinces.IndexOf(player.Capital), player.ExtraWord);
        for (uint16_t t : player.Treasury) add(t);
        for (uint32_t a : player.CampaignArmy) add(a);
    }
    v.texts.push_back(table.MissionName);
    for (uint16_t e = 0; e < p.Events.GetCount(); ++e) {
        const CEvent& event = *p.Events.GetAt(e);
        add(event.Turn, event.EffectType, event.Enabled);
        for (uint8_t f : event.PlayerFlags) add(f);
        for (uint8_t i : event.Resources.Increase) add(i);
        v.texts.push_back(table.EventStrings[event.TextSlot].Text);
    }
    add(p.VictoryConds.VictoryType, p.VictoryConds.Data.ProvinceToCapture, p.LoseConds.MaxTurnsToWin);
    return v;
}

// Random values set through the records' setters (as the editor's grids do)
// come back from the file as they were set, and the file saves again to the
// same bytes.
TEST_F(NewMissionTest, RandomProjectsSurviveTheRoundTrip) {
    SampleMission();
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        auto number = [&](uint32_t below) { return static_cast<uint32_t>(random() % below); };
        Values set;
        auto add = [&](uint32_t n) { return set.numbers.push_back(n), n; };
        const uint8_t provinces = static_cast<uint8_t>(project.Provinces.GetCount());
        for (uint8_t k = 0; k < provinces; ++k) {
            CProvince& p = *project.Provinces.GetAt(k);
            p.SetOwner(static_cast<uint8_t>(add(number(7) == 6 ? 255 : number(6))));
            p.Castle = {static_cast<uint8_t>(add(number(256))), static_cast<uint8_t>(add(number(256))),
                        static_cast<uint8_t>(add(number(256)))};
            for (uint8_t r = 0; r < 5; ++r) p.SetResource(r, static_cast<uint16_t>(add(number(256))));
            for (uint8_t u = 0; u < 11; ++u) p.SetGuardianArmy(u, add(number(4) ? 0 : random()));
            set.texts.push_back(RandomText(random, 40));
            project.Tables.GetAt(0)->ProvinceNames[k] = set.texts.back();
        }
        for (uint32_t i = 0; i < 6; ++i) {
            CPlayerData& player = project.Players[i];
            player.SetActive(add(number(2)));
            player.SetPlayerType(static_cast<uint8_t>(add(number(256))));
            player.Skills = {static_cast<uint8_t>(add(number(3))), static_cast<uint8_t>(add(number(3))),
                             static_cast<uint8_t>(add(0))};
            const uint32_t capital = number(3) ? number(provinces) : 255;
            player.SetCapital(project.Provinces.GetAt(static_cast<uint8_t>(add(capital))));
            player.ExtraWord = static_cast<uint16_t>(add(number(65536)));
            for (uint8_t r = 0; r < 5; ++r) player.SetTreasury(r, static_cast<uint16_t>(add(number(65536))));
            for (uint8_t u = 0; u < 11; ++u) player.SetArmy(u, add(random()));
        }
        CStringTable& table = *project.Tables.GetAt(0);
        set.texts.push_back(RandomText(random, 200));
        table.SetMissionName(set.texts.back());
        table.Reserved[number(38)] = RandomText(random, 20);
        while (project.Events.GetCount() > 0) project.Events.Remove(project.Events.GetAt(0));
        for (uint32_t e = 0, events = number(30); e < events; ++e) {
            CEvent& event = *project.Events.AddEvent();
            event.Turn = static_cast<uint16_t>(add(number(65536)));
            event.EffectType = static_cast<uint8_t>(add(number(3)));
            event.Enabled = add(number(2));
            for (uint8_t& flag : event.PlayerFlags) flag = static_cast<uint8_t>(add(number(2)));
            for (uint8_t& amount : event.Resources.Increase) amount = static_cast<uint8_t>(add(number(256)));
            set.texts.push_back(RandomText(random, 100));
            table.SetEventText(event.TextSlot, set.texts.back());
        }
        project.VictoryConds.VictoryType = static_cast<uint8_t>(add(number(5)));
        project.VictoryConds.Data.ProvinceToCapture = static_cast<uint8_t>(add(number(provinces)));
        project.LoseConds.MaxTurnsToWin = static_cast<uint16_t>(add(number(65536)));
        if (seed % 2 == 0 && project.Tables.GetCount() < 3) {
            auto copy = std::make_unique<CStringTable>(table);
            copy->MissionName = RandomText(random, 30);
            project.Tables.Add(std::move(copy));
        }

        // The round trip leaves the project holding the file opened again.
        const auto [first, second] = RoundTrip("random" + std::to_string(seed));
        ASSERT_EQ(first, second);
        EXPECT_EQ(Read(project), set);
    }
}

// A province drawn as a comb of one-pixel strokes on the sea is too thin
// for its icons' squares: its castle's place at its top-left pixel still
// takes no pixel of the sea beside it, in the painted world nor in the file.
TEST_F(NewMissionTest, AThinProvinceKeepsToItsOwnPixelsThroughSaveAndOpen) {
    ASSERT_EQ(Import(*DrawPicture(200, 200, [](int32_t x, int32_t y) {
        const bool back = y == 10 && x >= 10 && x <= 130, tooth = x % 10 == 5 && x < 130 && y >= 10 && y <= 130;
        return back || tooth ? ProvinceColour(4) : kOcean;
    })), 1);
    ASSERT_EQ(project.NewMissionFromImage(), 1);
    project.HideProgress();
    const CProvince& strokes = *project.Provinces.GetAt(0);
    ASSERT_EQ(project.Provinces.GetCount(), 1);
    ASSERT_EQ(std::vector<int>({strokes.CastleX, strokes.CastleY}), std::vector<int>({0, 0}));  // at world (10, 10)
    const int32_t sea = project.GetPieceAt(11, 11);
    ASSERT_NE(sea, strokes.MapPieceIndex);
    const CProvinceMap& cell = *project.MapPieces.GetAt(static_cast<uint16_t>(sea));
    EXPECT_EQ(editor.world.GetPixel(11, 11), cell.Mask->GetPixel(11 - cell.Left, 11 - cell.Top));

    std::vector<int32_t> pieces;
    for (int32_t y = 0; y < 200; ++y)
        for (int32_t x = 0; x < 200; ++x) pieces.push_back(project.GetPieceAt(x, y));
    RoundTrip("strokes");
    for (int32_t y = 0; y < 200; ++y)
        for (int32_t x = 0; x < 200; ++x) ASSERT_EQ(project.GetPieceAt(x, y), pieces[y * 200 + x]) << x << "," << y;
}

// A reload replaces the pieces: every province is bound again to the piece
// under its point, never through the index of a piece that is gone.
TEST_F(NewMissionTest, ReloadBindsProvincesToTheNewPiecesUnderThem) {
    auto halves = [](int32_t oceanWidth) {
        return DrawPicture(200, 160, [=](int32_t x, int32_t) {
            if (x < oceanWidth) return kOcean;
            return x < 100 ? ProvinceColour(1) : ProvinceColour(2);
        });
    };
    ASSERT_EQ(Import(*halves(0)), 1);
    ASSERT_EQ(project.NewMissionFromImage(), 1);
    CProvince& left = *project.Provinces.GetAt(0);
    CProvince& right = *project.Provinces.GetAt(1);
    ASSERT_EQ(right.MapPieceIndex, 1);
    // The designer moved the right province's castle.
    right.SetCastleX(10);
    right.SetCastleY(12);

    // An ocean strip in front moves every piece one index up.
    ASSERT_EQ(Import(*halves(20), 1, "strip.bmp"), 1);
    ASSERT_EQ(project.GetPieceAt(150, 80), 2);
    EXPECT_EQ(left.MapPieceIndex, project.GetPieceAt(left.FreeX, left.FreeY));
    EXPECT_EQ(right.MapPieceIndex, 2);
    ASSERT_EQ(project.RebindProvinces(), 1);
    EXPECT_EQ(left.MapPieceIndex, 1);
    EXPECT_EQ(right.MapPieceIndex, 2);
    EXPECT_EQ(right.CastleX, 10);
    EXPECT_EQ(right.CastleY, 12);
    EXPECT_EQ(Piece(2).CastleX, 10);
    EXPECT_EQ(project.CanPlaceCastleAt(&left, left.CastleX, left.CastleY), 1);
    EXPECT_EQ(project.CanPlaceArmyAt(&left, left.ArmyX, left.ArmyY), 1);
    EXPECT_EQ(thorn::test::UntaggedLayers(project, editor), 1);
}

TEST_F(NewMissionTest, RebindMovesPointsNearTheNewEdgesInside) {
    ASSERT_EQ(Import(*DrawPicture(300, 200, [](int32_t x, int32_t) { return ProvinceColour(1 + x / 100); })), 1);
    ASSERT_EQ(project.NewMissionFromImage(), 1);
    ASSERT_EQ(project.Provinces.GetCount(), 3);
    // A narrower picture: the third province's point falls near its edge.
    project.Provinces.GetAt(2)->FreeX = 295;
    ASSERT_EQ(Import(*DrawPicture(200, 200, [](int32_t x, int32_t) { return ProvinceColour(1 + x / 100); }), 1,
                     "narrow.bmp"),
              1);
    // 295 * 200 / 300 = 196: within 5 pixels of the right edge.
    ASSERT_EQ(project.RebindProvinces(), 1);
    EXPECT_EQ(project.Provinces.GetAt(2)->FreeX, 170);
    // Its point lies on the piece the second province already holds.
    EXPECT_EQ(project.Provinces.GetAt(1)->BoundToPiece, 1);
    EXPECT_EQ(project.Provinces.GetAt(2)->BoundToPiece, 0);
    EXPECT_EQ(project.Provinces.GetAt(2)->MapPieceIndex, -1);
    EXPECT_EQ(project.Provinces.GetAt(2)->CastleX, 170);
    EXPECT_EQ(project.ComputerPlayerTypes.GetCount(), 5u);
}

// Rebinding paints the world as binding each province in turn (each bind
// repainting its piece) and then repainting every piece would, also with
// translucent textures, where every repaint blends into what lies under it.
TEST_F(NewMissionTest, RebindPaintsAsBindingEachProvinceInTurnWould) {
    for (int strip = 0; strip < 3; ++strip) {
        const auto file = dir / ("translucent" + std::to_string(strip) + ".bmp");
        DrawPicture(64, 8, [&](int32_t x, int32_t y) { return 0x80000000u | static_cast<uint32_t>(x * 3 + y * 40 + strip); })
            ->SaveToFile(file);
        ASSERT_EQ(editor.textures[strip].Load(file), 1);
    }
    auto world = [](int32_t split) {
        return DrawPicture(300, 200, [=](int32_t x, int32_t y) {
            return y < 20 ? kOcean : ProvinceColour(1 + (x + y / 4 < split ? 0 : 1 + x / 120));
        });
    };
    ASSERT_EQ(Import(*world(90)), 1);
    ASSERT_EQ(project.NewMissionFromImage(), 1);
    ASSERT_EQ(Import(*world(130), 1, "changed.bmp"), 1);
    TBitmap32& shown = *editor.view->GetBitmap();
    TBitmap32 before, expected;
    before.Assign(shown);

    for (uint8_t i = 0; i < project.Provinces.GetCount(); ++i) project.DetachProvince(project.Provinces.GetAt(i));
    for (uint8_t i = 0; i < project.Provinces.GetCount(); ++i) {
        CProvince* province = project.Provinces.GetAt(i);
        const int32_t n = project.GetPieceAt(province->FreeX, province->FreeY);
        if (n != -1 && project.IsPieceOccupied(static_cast<uint32_t>(n)) == 0)
            project.AttachProvinceToPiece(province, static_cast<uint16_t>(n));
    }
    project.RedrawPieces(1);
    project.DrawPieces();
    expected.Assign(shown);

    shown.Assign(before);
    ASSERT_EQ(project.RebindProvinces(), 1);
    EXPECT_GE(project.Provinces.GetCount(), 2);
    EXPECT_TRUE(shown.Equal(&expected));
}

TEST_F(NewMissionTest, OpeningOverAnOpenProjectLeavesOneOverlayAndNoOldLayers) {
    SampleMission();
    ASSERT_EQ(project.SaveProject(dir / "isles.pw"), 1);
    // Opened without a reset first, twice over.
    ASSERT_EQ(project.LoadProject(dir / "isles.pw"), 1);
    ASSERT_EQ(project.LoadProject(dir / "isles.pw"), 1);
    EXPECT_EQ(thorn::test::UntaggedLayers(project, editor), 1);
    EXPECT_EQ(editor.view->GetLayers()->GetCount(), 1 + 4 * 10);
    EXPECT_EQ(project.CastlePivots.GetCount(), 9);
}

}  // namespace
