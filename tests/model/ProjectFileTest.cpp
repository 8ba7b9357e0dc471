#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "MapProjectFixture.h"
#include "ProjectFiles.h"
#include "support/FileSizeLimit.h"
#include "support/Readers.h"
#include "support/SourceTree.h"
#include "support/TempDir.h"

namespace {

using thorn::test::ByteLayout;
using thorn::test::MapProjectTest;
using thorn::test::OpenedProject;

// The first position at which two byte strings differ, for messages.
size_t FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    return i;
}

// Where the fields that the hostile files change lie in the small project's
// file.
struct Offsets {
    size_t unitCounts = 0, castleCount = 0, resourceCount = 0, worldWidth = 0, currentTable = 0;
    size_t provinceCount = 0, owner = 0, pieceIndex = 0, pieceCount = 0, pieceLeft = 0, neighbour = 0;
    size_t tableCount = 0, eventCount = 0, textSlot = 0;
};

// A small project made field by field: two standard and one other unit
// type, one castle and one army type, two resources, a 200 x 100 world,
// one province on the first of three pieces, one string table, one event.
class ProjectFileTest : public MapProjectTest {
protected:
    ProjectFileTest() {
        thorn::test::OpenStartCatalogue(editor);
        MakeSmallProject();
    }

    // Fills the empty project with the small project's fields.
    void MakeSmallProject() {
        CMapProject& p = project;
        p.MissionId = 0x54564C32;
        p.Difficulty = 3;
        p.NumStandardUnits = 2;
        p.NumNonStandardUnits = 1;
        p.NumUnitTypesLoaded = 3;
        p.NumCastleTypes = 1;
        p.NumArmyTypes = 1;
        p.NumResources = 2;
        p.ResourceMin = {1, 2};
        p.ResourceThird = {4, 0};
        p.ResourceMax = {9, 8};
        p.WorldWidth = 200;
        p.WorldHeight = 100;
        p.ExperienceLimit = 40;
        p.Tables.Add(std::make_unique<CStringTable>());
        p.ResizePlayerData();

        auto province = std::make_unique<CProvince>();
        CProvince& pr = *province;
        p.Provinces.Add(std::move(province));
        pr.Owner = 0;
        pr.CastleX = 3, pr.CastleY = 4, pr.ArmyX = 5, pr.ArmyY = 6;
        pr.Castle = {0x09, 0x02, 90};
        pr.GuardianArmy.SetSize(3);
        pr.GuardianArmy[1] = 9;
        pr.Resources.SetSize(2);
        pr.Resources[0] = 1, pr.Resources[1] = 2;
        pr.BoundToPiece = 1;
        pr.MapPieceIndex = 0;
        pr.FreeX = 11, pr.FreeY = 21;

        CPlayerData& first = p.Players[0];
        first.Active = 1;
        first.TypeExtra = 7;
        first.ExtraByte = 8;
        first.Skills = {1, 2, 3};
        first.PlayerType = 0;
        first.CampaignArmy[0] = 4, first.CampaignArmy[1] = 5, first.CampaignArmy[2] = 6;
        first.ExtraWord = 0x1234;
        first.Treasury[0] = 100, first.Treasury[1] = 300;
        first.Capital = &pr;

        p.VictoryConds.VictoryType = 2;
        p.VictoryConds.Data.DefeatAlly = 1;
        p.VictoryConds.Data.PlayerToDefeat = 3;
        p.VictoryConds.Data.Army.DefeatOpponentsVictory = 1;
        p.VictoryConds.Data.Resources.AppliesToComputers = 1;
        p.VictoryConds.Data.ProvinceToCapture = 0;
        p.LoseConds.LoseType = 2;
        p.LoseConds.MaxTurnsToWin = 30;

        AddPiece(0xFF112233, 10, 20, 3, 3, {{0, 0}, {1, 0}, {2, 1}, {0, 2}, {2, 2}}, CProvinceMap::Province);
        AddPiece(0xFF0000FF, 0, 0, 2, 1, {{0, 0}, {1, 0}}, CProvinceMap::Ocean);
        AddPiece(0xFF00FF00, 5, 5, 1, 1, {{0, 0}}, CProvinceMap::GreenLand);
        CProvinceMap& piece = *p.MapPieces.GetAt(0);
        piece.ExtraValue = 7;
        piece.CastleX = 1, piece.CastleY = 1, piece.ArmyX = 2, piece.ArmyY = 2;
        piece.Neighbours.Add(1);
        piece.Neighbours.Add(2);
        p.MapPieces.GetAt(1)->Neighbours.Add(0);
        p.MapPieces.GetAt(2)->Neighbours.Add(0);

        CStringTable& table = *p.Tables.GetAt(0);
        table.MissionName = "Isles";
        table.AuthorNotes = "a\r\nb";
        table.CastleImagePaths[0] = "res/castles/castle.bmp";
        table.ArmyImagePaths[0] = "res/armies/banner.bmp";
        table.ProvinceNames[0] = "Harrow";

        CEvent& event = *project.Events.AddEvent();
        event.Turn = 5;
        event.PlayerFlags[0] = 1, event.PlayerFlags[2] = 1;
        event.EffectType = 1;
        event.Resources.Increase[0] = 3;
        event.Resources.Decrease[1] = 4;
        table.EventStrings[0] = {"Storm", "Ships lost"};
    }

    void AddPiece(TColor32 colour, uint16_t left, uint16_t top, int32_t w, int32_t h,
                  std::vector<std::pair<int, int>> set, uint32_t kind) {
        auto piece = std::make_unique<CProvinceMap>();
        piece->Color = colour;
        piece->Left = left, piece->Top = top;
        piece->Right = static_cast<uint16_t>(left + w - 1), piece->Bottom = static_cast<uint16_t>(top + h - 1);
        piece->Mask->SetSize(w, h);
        for (auto [x, y] : set) piece->Mask->SetPixel(x, y, colour);
        piece->PixelCount = static_cast<uint32_t>(set.size());
        piece->Kind = kind;
        project.MapPieces.Add(std::move(piece));
    }

    // The file as its field tables lay it out, with the game data's resource
    // values given (the loaded project takes the catalogue's).
    static std::vector<uint8_t> Layout(Offsets& at, std::array<uint32_t, 6> resourceValues = {1, 4, 9, 2, 0, 8}) {
        ByteLayout b;
        b.U32(0x54564C32).U8(3);
        at.unitCounts = b.Size();
        b.U8(2).U8(1).U8(3);
        at.castleCount = b.Size();
        b.U8(1).U8(1);
        at.resourceCount = b.Size();
        b.U8(2);
        at.worldWidth = b.Size();
        b.U16(200).U16(100);
        at.currentTable = b.Size();
        b.U16(0).U32(40);
        // Players: active, the byte after the type, the extra byte, capital,
        // skills, type, unit slot and army per unit type, the extra word,
        // treasury per resource.
        b.U8(1).U8(7).U8(8).U8(0).U8(1).U8(2).U8(3).U8(0);
        b.U32(0).U32(4).U32(1).U32(5).U32(2).U32(6).U16(0x1234).U16(100).U16(300);
        for (int i = 1; i < 6; ++i) {
            b.U8(0).U8(0).U8(0).U8(255).U8(2).U8(2).U8(2).U8(128);
            b.U32(0).U32(0).U32(1).U32(0).U32(2).U32(0).U16(0).U16(0).U16(0);
        }
        b.U8(0).U8(0).U8(0).U8(0);  // one castle and one army pivot
        for (uint32_t v : resourceValues) b.U8(v);
        // Victory: type, ally flag, player, unit amounts, two flags,
        // resource amounts, two flags, province.
        b.U8(2).U8(1).U8(3).U8(3).U32(10).U32(10).U32(10).U8(1).U8(0);
        b.U8(2).U8(10).U8(10).U8(0).U8(1).U8(0);
        b.U8(2).U8(255).U16(30);  // lose: type, province, turns
        at.provinceCount = b.Size();
        b.U16(1);
        at.owner = b.Size();
        b.U8(0).U16(3).U16(4).U16(5).U16(6).U8(9).U8(2).U8(90);
        b.U8(3).U32(0).U32(9).U32(0).U8(2).U8(1).U8(2).U8(1);
        at.pieceIndex = b.Size();
        b.U32(0).U16(11).U16(21);
        // Pieces: colour, left, right, top, bottom, pixels, flag, extra,
        // kind, places, neighbours last first, mask size, mask bits by
        // columns.
        at.pieceCount = b.Size();
        b.U16(3);
        b.U32(0xFF112233);
        at.pieceLeft = b.Size();
        b.U16(10).U16(12).U16(20).U16(22).U32(5).U8(1).U32(7).U32(3);
        b.U16(1).U16(1).U16(2).U16(2).U16(2).U16(2);
        at.neighbour = b.Size();
        b.U16(1).U16(3).U16(3).U8(0xB1).U8(0x80);
        b.U32(0xFF0000FF).U16(0).U16(1).U16(0).U16(0).U32(2).U8(1).U32(0).U32(1);
        b.U16(0).U16(0).U16(0).U16(0).U16(1).U16(0).U16(2).U16(1).U8(0xC0);
        b.U32(0xFF00FF00).U16(5).U16(5).U16(5).U16(5).U32(1).U8(1).U32(0).U32(2);
        b.U16(0).U16(0).U16(0).U16(0).U16(1).U16(0).U16(1).U16(1).U8(0x80);
        at.tableCount = b.Size();
        b.U16(1);
        b.Text("Table Name").Text("Isles").Text("Short description").Text("Full description");
        b.Text("You win!").Text("You lose!");
        for (int i = 1; i <= 6; ++i) b.Text("Player " + std::to_string(i));
        for (int i = 0; i < 40; ++i) b.Text("Unit " + std::to_string(i));
        for (int i = 0; i < 38; ++i) b.Text("");
        b.Text("Unknown").Text("a\r\nb");
        for (int i = 0; i < 16; ++i) b.Text("Castle Type " + std::to_string(i));
        for (int i = 0; i < 16; ++i) b.Text(i == 0 ? "res/castles/castle.bmp" : "");
        for (int i = 0; i < 16; ++i) b.Text(i == 0 ? "res/armies/banner.bmp" : "");
        for (int i = 0; i < 16; ++i) b.Text("Resource " + std::to_string(i));
        for (int i = 0; i < 16; ++i) b.Text("");
        for (int i = 0; i < 99; ++i) b.Text(i == 0 ? "Harrow" : "");
        for (int i = 0; i < 145; ++i) b.Text(i == 0 ? "Storm" : "");
        for (int i = 0; i < 145; ++i) b.Text(i == 0 ? "Ships lost" : "");
        // Events: turn, flags with their count, effect, amounts interleaved,
        // enabled, text slot, affects.
        at.eventCount = b.Size();
        b.U16(1).U16(5).U8(6).U8(1).U8(0).U8(1).U8(0).U8(0).U8(0).U8(1);
        b.U8(3).U8(0).U8(0).U8(4).U8(1);
        at.textSlot = b.Size();
        b.U8(0).U8(1);
        return b.Bytes();
    }

    // The project saved; the offsets of its fields noted.
    std::vector<uint8_t> Saved() {
        Layout(at);
        EXPECT_EQ(project.SaveProject(dir / "small.pw"), 1);
        return thorn::test::ReadFileBytes(dir / "small.pw");
    }

    Offsets at;
};

TEST_F(ProjectFileTest, SavedFileIsTheFieldsInTheirOrder) {
    project.Modified = 1;
    const std::vector<uint8_t> saved = Saved(), expected = Layout(at);
    EXPECT_EQ(saved, expected) << "first difference at " << FirstDifference(saved, expected) << " of "
                               << expected.size();
    EXPECT_EQ(project.Modified, 0u);
    EXPECT_FALSE(std::filesystem::exists(dir / "small.pw.tmp"));
    // A second save gives the same bytes.
    EXPECT_EQ(Saved(), Layout(at));
    EXPECT_EQ(editor.progressCaptions.front(), "Saving project...");
    EXPECT_FALSE(editor.progressShown);
}

TEST_F(ProjectFileTest, LoadedProjectHoldsTheFileAndTheCatalogueResourceValues) {
    const std::vector<uint8_t> bytes = Saved();
    OpenedProject opened(project, editor);
    opened.project.Modified = 1;
    ASSERT_EQ(opened.Open(dir / "small.pw"), 1);
    CMapProject& p = opened.project;
    EXPECT_EQ(p.Modified, 0u);  // a project just opened has nothing unsaved
    EXPECT_EQ(p.FileName, (dir / "small.pw").string());
    ASSERT_EQ(p.Provinces.GetCount(), 1);
    EXPECT_EQ(p.Players[0].Capital, p.Provinces.GetAt(0));
    EXPECT_EQ(p.Players[1].Capital, nullptr);
    EXPECT_EQ(p.GetPieceAt(12, 21), 0);
    EXPECT_EQ(p.GetPieceAt(11, 21), -1);
    EXPECT_EQ(p.GetPieceAt(1, 0), 1);
    EXPECT_EQ(opened.editor.castles.GetBitmaps()->GetCount(), 2);
    EXPECT_EQ(thorn::test::UntaggedLayers(p, opened.editor), 1);
    EXPECT_EQ(p.ComputerPlayerTypes.GetCount(), 5u);
    // Everything else as the file holds it, but the resource minimum and
    // maximum, which are the catalogue's, and the third value, which the
    // catalogue does not give: it stays what the project had.
    ASSERT_EQ(p.SaveProject(dir / "again.pw"), 1);
    const std::vector<uint8_t> again = thorn::test::ReadFileBytes(dir / "again.pw"),
                               expected = Layout(at, {1, 4, 9, 0, 0, 6});
    EXPECT_EQ(again, expected) << "first difference at " << FirstDifference(again, expected);
}

// A file names pictures of the start folder only, and pictures that exist,
// by the catalogue's rule: the path resolved, links followed.
TEST_F(ProjectFileTest, PicturesOutsideTheStartFolderOrMissingAreRefused) {
    const struct {
        const char* path;
        const char* message;
    } cases[] = {
        {"../README.md", "lies outside the start folder"},
        {"/etc/hostname", "lies outside the start folder"},
        {"res/castles/none.bmp", "cannot be loaded"},
        {"../startdir/res/castles/none.bmp", "cannot be loaded"},  // inside after all
    };
    for (const auto& c : cases) {
        project.Reset();
        MakeSmallProject();
        project.Tables.GetAt(0)->CastleImagePaths[0] = c.path;
        Saved();
        OpenedProject opened(project, editor);
        EXPECT_EQ(opened.Open(dir / "small.pw"), 0) << c.path;
        ASSERT_EQ(opened.editor.errors.size(), 1u) << c.path;
        const std::string& shown = opened.editor.errors[0];
        EXPECT_NE(shown.find("The castle picture 0 of the project"), std::string::npos) << shown;
        EXPECT_NE(shown.find(c.message), std::string::npos) << shown;
        EXPECT_EQ(opened.project.Provinces.GetCount(), 0) << c.path;
    }
}

TEST_F(ProjectFileTest, CapitalIndexPastTheProvincesLoadsAsNoCapital) {
    std::vector<uint8_t> bytes = Saved();
    bytes[at.worldWidth + 10 + 3] = 40;  // player 0's capital index
    thorn::test::WriteFileBytes(dir / "capital.pw", bytes);
    OpenedProject opened(project, editor);
    ASSERT_EQ(opened.Open(dir / "capital.pw"), 1);
    EXPECT_EQ(opened.project.Players[0].Capital, nullptr);
}

TEST_F(ProjectFileTest, ProjectWithoutProvincesStillWritesSixPlayers) {
    project.Players[0].Capital = nullptr;
    project.Provinces.Clear();
    const std::vector<uint8_t> bytes = Saved();
    EXPECT_EQ(bytes[at.worldWidth + 10 + 3], 255);  // player 0 without a capital
    EXPECT_EQ(bytes[at.provinceCount], 0);
    EXPECT_EQ(bytes[at.provinceCount + 1], 0);
    EXPECT_EQ(bytes[at.provinceCount + 2], 3);  // the pieces follow at once
}

// Every hostile value fails the load cleanly: answer 0, a reset project,
// the modified flag as it was.
TEST_F(ProjectFileTest, HostileCountsAndIndicesAreRefused) {
    const std::vector<uint8_t> good = Saved();
    // 151 whole events (the small project's one, again and again): the list's
    // own limit refuses them, not the end of the file.
    std::vector<uint8_t> events = {151, 0};
    const auto event = good.begin() + static_cast<std::ptrdiff_t>(at.eventCount + 2);
    for (int i = 0; i < 151; ++i) events.insert(events.end(), event, good.end());
    struct Patch {
        const char* what;
        size_t offset;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Patch> patches = {
        {"41 unit types", at.unitCounts, {21, 20}},
        {"17 castle types", at.castleCount, {17}},
        {"17 army types", at.castleCount + 1, {17}},
        {"17 resources", at.resourceCount, {17}},
        {"world width 0", at.worldWidth, {0, 0}},
        {"world width 32641", at.worldWidth, {0x81, 0x7F}},
        {"current table past the tables", at.currentTable, {1, 0}},
        {"100 provinces", at.provinceCount, {100, 0}},
        {"owner 6", at.owner, {6}},
        {"piece index past the pieces", at.pieceIndex, {3, 0, 0, 0}},
        {"piece index -2", at.pieceIndex, {0xFE, 0xFF, 0xFF, 0xFF}},
        {"1502 pieces", at.pieceCount, {0xDE, 0x05}},
        {"mask outside the world", at.pieceLeft, {199, 0, 201, 0}},
        {"mask not the size of its box", at.pieceLeft + 2, {11, 0}},
        {"world far larger than its pieces", at.worldWidth, {0xE8, 0x03, 0xE8, 0x03}},
        {"neighbour past the pieces", at.neighbour, {3, 0}},
        {"no string table", at.tableCount, {0, 0}},
        {"151 events", at.eventCount, events},
        {"text slot 145", at.textSlot, {145}},
    };
    for (const Patch& patch : patches) {
        std::vector<uint8_t> bytes = good;
        // The events are the file's last part; a patch of them may lengthen it.
        bytes.resize(std::max(bytes.size(), patch.offset + patch.bytes.size()));
        std::copy(patch.bytes.begin(), patch.bytes.end(), bytes.begin() + static_cast<std::ptrdiff_t>(patch.offset));
        OpenedProject opened(project, editor);
        opened.project.Modified = 0;
        EXPECT_EQ(opened.project.LoadProjectFromBytes(bytes, dir / "hostile.pw"), 0) << patch.what;
        EXPECT_EQ(opened.project.Provinces.GetCount(), 0) << patch.what;
        EXPECT_EQ(opened.project.MapPieces.GetCount(), 0) << patch.what;
        EXPECT_EQ(opened.project.Tables.GetCount(), 0) << patch.what;
        EXPECT_EQ(opened.project.WorldWidth, 1) << patch.what;
        EXPECT_TRUE(opened.project.FileName.empty()) << patch.what;
        EXPECT_EQ(opened.project.Modified, 0u) << patch.what;
        EXPECT_EQ(opened.editor.view->GetLayers()->GetCount(), 0) << patch.what;
        EXPECT_FALSE(opened.editor.progressShown) << patch.what;
    }
    // One byte more than the content is no project file either.
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    OpenedProject opened(project, editor);
    EXPECT_EQ(opened.project.LoadProjectFromBytes(longer, dir / "longer.pw"), 0);
}

TEST_F(ProjectFileTest, EmptyMissingAndTruncatedFilesFailAndLeaveAResetProject) {
    const std::vector<uint8_t> bytes = Saved();
    thorn::test::WriteFileBytes(dir / "empty.pw", std::vector<uint8_t>{});
    thorn::test::WriteFileBytes(dir / "half.pw", std::vector<uint8_t>(bytes.begin(), bytes.begin() + bytes.size() / 2));
    for (const char* name : {"empty.pw", "half.pw", "missing.pw"}) {
        OpenedProject opened(project, editor);
        EXPECT_EQ(opened.Open(dir / name), 0) << name;
        EXPECT_EQ(opened.project.Provinces.GetCount(), 0) << name;
        EXPECT_TRUE(opened.project.FileName.empty()) << name;
        EXPECT_FALSE(opened.editor.progressShown) << name;
    }
}

// Whatever a load meets on its way (the lists' own errors included), it
// answers 0 with the project reset and the progress window hidden.
TEST_F(ProjectFileTest, ErrorsOfEveryKindFailTheLoadCleanly) {
    const std::vector<uint8_t> bytes = Saved();
    const struct {
        const char* what;
        int atProgress;  // while reading, or while rebuilding
        std::function<void()> fail;
    } cases[] = {
        {"list index", 1, [] { throw CList<CPlayerData>::BadSize(); }},
        {"list element", 3, [] { throw CList<CAbilityStruct>::NotExist(); }},
        {"memory", 4, [] { throw std::bad_alloc(); }},
    };
    for (const auto& c : cases) {
        editor.throwAtProgress = c.atProgress;
        editor.failAtProgress = c.fail;
        EXPECT_EQ(project.LoadProjectFromBytes(bytes, dir / "small.pw"), 0) << c.what;
        EXPECT_EQ(editor.throwAtProgress, 0) << c.what;  // it did throw
        EXPECT_EQ(project.Provinces.GetCount(), 0) << c.what;
        EXPECT_EQ(project.MapPieces.GetCount(), 0) << c.what;
        EXPECT_TRUE(project.FileName.empty()) << c.what;
        EXPECT_FALSE(editor.progressShown) << c.what;
    }
}

// Every prefix of a real project file is refused without a trace.
TEST_F(ProjectFileTest, EveryPrefixOfARealFileFailsCleanly) {
    const std::vector<uint8_t> bytes = Saved();
    OpenedProject opened(project, editor);
    opened.project.Modified = 1;
    thorn::test::ExpectEveryCutRefused(bytes, [&](std::span<const uint8_t> cut) {
        const CMapProject& p = opened.project;
        return opened.project.LoadProjectFromBytes(cut, dir / "cut.pw") == 0 && p.Provinces.GetCount() == 0 &&
               p.MapPieces.GetCount() == 0 && p.Events.GetCount() == 0 && p.Modified == 1;
    });
    EXPECT_EQ(opened.project.LoadProjectFromBytes(bytes, dir / "whole.pw"), 1);
    EXPECT_EQ(opened.project.Modified, 1u);  // loading leaves the flag as it was
}

TEST_F(ProjectFileTest, FailedWriteKeepsTheModifiedFlagAndTheOldFile) {
    const std::vector<uint8_t> before = Saved();
    project.Modified = 1;
    project.Tables.GetAt(0)->MissionName = "Changed";
    {
        const thorn::test::FileSizeLimit diskFull(1);  // the new file cannot be written
        EXPECT_EQ(project.SaveProject(dir / "small.pw"), 0);
    }
    EXPECT_EQ(project.Modified, 1u);
    EXPECT_EQ(thorn::test::ReadFileBytes(dir / "small.pw"), before);
    EXPECT_EQ(project.SaveProject(dir / "no such folder" / "x.pw"), 0);
    EXPECT_FALSE(editor.progressShown);
}

}  // namespace

namespace {

// The seed projects of the project-file fuzz corpus are real projects: each
// opens.
TEST(ProjectFileSeeds, EverySeedProjectOpens) {
    thorn::test::RecordingEditor editor;
    thorn::test::OpenStartCatalogue(editor);
    CMapProject project;
    project.SetEditorLink(&editor);
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(thorn::test::SourceDir() / "fuzz/corpus/project_file")) {
        if (entry.path().extension() != ".pw") continue;
        OpenedProject opened(project, editor);
        EXPECT_EQ(opened.Open(entry.path()), 1) << entry.path();
        ++seeds;
    }
    EXPECT_GE(seeds, 4);
}

}  // namespace
