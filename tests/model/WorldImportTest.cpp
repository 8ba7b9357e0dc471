#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "FailingAllocation.h"

#include "MapProjectFixture.h"
#include "model/Settings.h"
#include "platform/Classes.h"

namespace {

using thorn::MessageAnswer;
using thorn::test::DrawPicture;
using thorn::test::kGreen;
using thorn::test::kOcean;
using thorn::test::MapProjectTest;
using thorn::test::ProvinceColour;

using ImportTest = MapProjectTest;

// A piece as the import makes it: colour, kind, box, its own pixel count,
// its neighbours, the pixels its mask holds when absorbed pieces add to them
// and its castle and army places (empty: not looked at).
struct Made {
    TColor32 colour;
    uint32_t kind;
    std::vector<int> box;
    uint32_t pixels;
    std::vector<uint16_t> neighbours;
    uint32_t maskPixels = 0;
    std::vector<int> places = {};
};

enum class Format { Bmp24, Bmp32, Jpeg };

// A picture, the file it is written to, and what the import makes of it:
// the pieces in order, the warnings' texts, and the piece under some points.
struct Scenario {
    const char* what;
    int32_t width, height;
    TColor32 (*colourAt)(int32_t x, int32_t y);
    std::vector<Made> pieces;
    std::vector<std::string> warnings;
    std::vector<std::array<int32_t, 3>> pieceAt = {};  // x, y, piece (-1 none)
    Format format = Format::Bmp24;
    std::array<int, 2> world = {0, 0};  // the world's sides when not the picture's
};

constexpr uint32_t kProvince = CProvinceMap::Province, kOceanKind = CProvinceMap::Ocean,
                   kGreenLand = CProvinceMap::GreenLand;
constexpr const char* kConnected = "Piece was connected to <unhandled map>";
constexpr const char* kConverted = "Piece was converted to green land";

const Scenario kScenarios[] = {
    {"one colour", 200, 180, [](int32_t, int32_t) { return 0xFF336699u; },
     // The castle takes the first 100-pixel square, the army the first one
     // beside the castle place.
     {{0xFF336699u, kProvince, {0, 0, 199, 179}, 36000, {}, 0, {50, 50, 102, 50}}}, {},
     {{199, 179, 0}, {200, 0, -1}, {0, 180, -1}, {-1, 5, -1}}},
    {"small picture enlarged", 100, 300, [](int32_t, int32_t) { return 0xFF777777u; },
     {{0xFF777777u, kProvince, {0, 0, 159, 299}, 48000, {}}}, {}, {}, Format::Bmp24, {160, 300}},
    {"diagonal contact", 200, 200,
     [](int32_t x, int32_t y) {
         if (x < 50 && y < 50) return ProvinceColour(1);
         return x >= 50 && x < 100 && y >= 50 && y < 100 ? ProvinceColour(2) : kOcean;
     },
     {{ProvinceColour(1), kProvince, {0, 0, 49, 49}, 2500, {}},
      {kOcean, kOceanKind, {0, 0, 199, 199}, 35000, {}},
      {ProvinceColour(2), kProvince, {50, 50, 99, 99}, 2500, {}}},
     {}},
    // Left half A, right half B, and a 3 x 3 piece of a third colour across
    // the border at x 99..101, y 100..102: before the removal the pieces
    // were A 0, the small one 1 (its first column, 99, comes before B's)
    // and B 2. A keeps its own count and holds the absorbed pixels too.
    {"small piece between two provinces", 200, 200,
     [](int32_t x, int32_t y) {
         if (x >= 99 && x <= 101 && y >= 100 && y <= 102) return ProvinceColour(3);
         return x < 100 ? ProvinceColour(1) : ProvinceColour(2);
     },
     {{ProvinceColour(1), kProvince, {0, 0, 101, 199}, 19997, {1}, 19997 + 9, {50, 50, 50, 102}},
      {ProvinceColour(2), kProvince, {100, 0, 199, 199}, 19994, {0}, 0, {50, 50, 51, 101}}},
     {kConnected}, {{101, 101, 0}, {102, 101, 1}, {98, 101, 0}}},
    {"chain of small pieces ending inside the province", 200, 200,
     [](int32_t x, int32_t y) {
         if (x >= 20 && x < 80 && y >= 20 && y < 80) return ProvinceColour(1);
         if (x >= 80 && x < 89 && y >= 40 && y < 43) return ProvinceColour(10 + (x - 80) / 3);
         return kOcean;
     },
     {{kOcean, kOceanKind, {0, 0, 199, 199}, 40000 - 3600 - 27, {}},
      {ProvinceColour(1), kProvince, {20, 20, 88, 79}, 3600, {}, 3600 + 27}},
     {kConnected, kConnected, kConnected}, {{80, 41, 1}, {88, 41, 1}, {89, 41, 0}}},
    {"small island becomes green land", 200, 200,
     [](int32_t x, int32_t y) { return x >= 100 && x < 105 && y >= 100 && y < 105 ? ProvinceColour(5) : kOcean; },
     {{kOcean, kOceanKind, {0, 0, 199, 199}, 40000 - 25, {}},
      {ProvinceColour(5), kGreenLand, {100, 100, 104, 104}, 25, {}}},
     {kConverted}, {{102, 102, 1}}},
    {"ocean and green land whatever their size", 200, 200,
     [](int32_t x, int32_t y) {
         if (x == 10 && y == 10) return kOcean;
         return x == 30 && y == 10 ? kGreen : ProvinceColour(1);
     },
     {{ProvinceColour(1), kProvince, {0, 0, 199, 199}, 39998, {}},
      {kOcean, kOceanKind, {10, 10, 10, 10}, 1, {}},
      {kGreen, kGreenLand, {30, 10, 30, 10}, 1, {}}},
     {}},
    // Two grey halves meeting on a block boundary decode exactly.
    {"jpeg picture", 160, 160, [](int32_t x, int32_t) { return x < 80 ? 0xFF404040u : 0xFFC0C0C0u; },
     {{0xFF404040u, kProvince, {0, 0, 79, 159}, 12800, {1}},
      {0xFFC0C0C0u, kProvince, {80, 0, 159, 159}, 12800, {0}}},
     {}, {}, Format::Jpeg},
    // Alpha counts too; transparent black belongs to no piece.
    {"thirty two bit picture", 200, 160,
     [](int32_t x, int32_t) {
         if (x == 100) return 0u;
         return x < 100 ? 0xFF112233u : 0x80112233u;
     },
     {{0xFF112233u, kProvince, {0, 0, 99, 159}, 16000, {}},
      {0x80112233u, kProvince, {101, 0, 199, 159}, 15840, {}}},
     {}, {{100, 10, -1}}, Format::Bmp32},
};
TEST_F(ImportTest, PicturesAreCutIntoPieces) {
    for (const Scenario& s : kScenarios) {
        SCOPED_TRACE(s.what);
        const auto picture = DrawPicture(s.width, s.height, s.colourAt);
        if (s.format == Format::Jpeg)
            thorn::test::WriteJpeg(dir / "world.jpg", *picture, 100);
        else if (s.format == Format::Bmp32)
            thorn::test::WriteBmp32(dir / "world.jpg", *picture);  // the content, not the name, picks the reader
        else
            thorn::test::WriteBmp24(dir / "world.jpg", *picture);
        ASSERT_EQ(project.ImportWorldImage(dir / "world.jpg", 0), 1);
        EXPECT_EQ(project.WorldWidth, s.world[0] ? s.world[0] : s.width);
        EXPECT_EQ(project.WorldHeight, s.world[1] ? s.world[1] : s.height);
        ASSERT_EQ(project.MapPieces.GetCount(), s.pieces.size());
        for (uint16_t i = 0; i < s.pieces.size(); ++i) {
            const Made& made = s.pieces[i];
            const CProvinceMap& piece = Piece(i);
            SCOPED_TRACE("piece " + std::to_string(i));
            EXPECT_EQ(piece.Color, made.colour);
            EXPECT_EQ(piece.Kind, made.kind);
            EXPECT_EQ(Box(piece), made.box);
            EXPECT_EQ(piece.PixelCount, made.pixels);
            EXPECT_EQ(SetPixels(*piece.Mask), made.maskPixels ? made.maskPixels : made.pixels);
            EXPECT_EQ(Neighbours(piece), made.neighbours);
            if (!made.places.empty()) {
                EXPECT_EQ((std::vector<int>{piece.CastleX, piece.CastleY, piece.ArmyX, piece.ArmyY}), made.places);
            }
        }
        std::vector<std::string> warnings;
        for (int i = 0; i < project.ErrorList.GetCount(); ++i) warnings.push_back(project.ErrorList.GetAt(i)->GetText());
        EXPECT_EQ(warnings, s.warnings);
        for (auto [x, y, n] : s.pieceAt) EXPECT_EQ(project.GetPieceAt(x, y), n) << x << "," << y;
        EXPECT_TRUE(editor.CallsStartingWith("Ask").empty());
    }
}

TEST_F(ImportTest, ProgressAndViewFollowTheSteps) {
    ASSERT_EQ(Import(*DrawPicture(200, 180, [](int32_t, int32_t) { return 0xFF336699u; })), 1);
    EXPECT_NE(Piece(0).Mask->GetPixel(51, 51), CProvinceMap::kReservedPixel);  // the castle place is the piece's
    EXPECT_EQ(editor.progressCaptions,
              (std::vector<std::string>{"Bitmap analyzing...", "Reassign map indexes...", "Neighbours calculation...",
                                        "Reconnecting province maps...", "Reassign map indexes...",
                                        "Castle's places calculating..."}));
    EXPECT_FALSE(editor.progressShown);
    EXPECT_EQ(editor.world.Width(), 200);
    EXPECT_EQ(editor.view->GetWidth(), 210);
    EXPECT_EQ(editor.view->GetHeight(), 190);
}

TEST_F(ImportTest, CheckerboardGivesOnePiecePerSquare) {
    const TColor32 a = ProvinceColour(1), b = ProvinceColour(2);
    ASSERT_EQ(Import(*DrawPicture(200, 200, [&](int32_t x, int32_t y) { return (x / 40 + y / 40) % 2 ? b : a; })), 1);
    ASSERT_EQ(project.MapPieces.GetCount(), 25);
    // Pieces come by columns; each lists first the neighbours that found it
    // (left, then above), then those it found (below, then right).
    for (int cx = 0; cx < 5; ++cx)
        for (int cy = 0; cy < 5; ++cy) {
            const int i = cx * 5 + cy;
            const CProvinceMap& piece = Piece(static_cast<uint16_t>(i));
            EXPECT_EQ(piece.Color, (cx + cy) % 2 ? b : a);
            EXPECT_EQ(Box(piece), (std::vector<int>{40 * cx, 40 * cy, 40 * cx + 39, 40 * cy + 39}));
            std::vector<uint16_t> expected;
            if (cx > 0) expected.push_back(static_cast<uint16_t>(i - 5));
            if (cy > 0) expected.push_back(static_cast<uint16_t>(i - 1));
            if (cy < 4) expected.push_back(static_cast<uint16_t>(i + 1));
            if (cx < 4) expected.push_back(static_cast<uint16_t>(i + 5));
            EXPECT_EQ(Neighbours(piece), expected) << "piece " << i;
        }
    for (int y = 0; y < 200; y += 7)
        for (int x = 0; x < 200; x += 7) ASSERT_EQ(project.GetPieceAt(x, y), x / 40 * 5 + y / 40);
}

TEST_F(ImportTest, SmallPictureAsksAndCancelChangesNothing) {
    ASSERT_EQ(Import(*DrawPicture(170, 170, [](int32_t x, int32_t) { return x < 85 ? 0xFF101010u : 0xFF202020u; })), 1);
    editor.settings.AutoResize = 0;
    editor.answers = {MessageAnswer::Cancel};
    EXPECT_EQ(Import(*DrawPicture(100, 100, [](int32_t, int32_t) { return 0xFF777777u; }), 0, "small.bmp"), 0);
    EXPECT_EQ(editor.CallsStartingWith("Ask"),
              (std::vector<std::string>{"Ask Warning: Map image has wrong size (less than 160x160). Resize?"}));
    EXPECT_EQ(project.MapPieces.GetCount(), 2);
    EXPECT_EQ(project.WorldWidth, 170);

    editor.answers = {MessageAnswer::Ok};
    EXPECT_EQ(Import(*DrawPicture(100, 100, [](int32_t, int32_t) { return 0xFF777777u; }), 0, "small.bmp"), 1);
    EXPECT_EQ(project.WorldHeight, 160);
    ASSERT_EQ(project.MapPieces.GetCount(), 1);
    EXPECT_EQ(Piece(0).PixelCount, 25600u);
}

// Left half A, right half B, and a 3 x 3 piece of a third colour across the
// border at x 99..101, y 100..102.
std::unique_ptr<TBitmap32> SmallPieceBetweenTwo() {
    return DrawPicture(200, 200, [](int32_t x, int32_t y) {
        if (x >= 99 && x <= 101 && y >= 100 && y <= 102) return ProvinceColour(3);
        return x < 100 ? ProvinceColour(1) : ProvinceColour(2);
    });
}

TEST_F(ImportTest, AConnectionWarningHoldsTheAbsorbedPixels) {
    ASSERT_EQ(Import(*SmallPieceBetweenTwo()), 1);
    auto* connected = dynamic_cast<CErrorConnect*>(project.ErrorList.GetAt(0));
    ASSERT_NE(connected, nullptr);
    EXPECT_EQ(connected->Piece(), &Piece(0));
    EXPECT_EQ(connected->GetImageIndex(), 22);
    EXPECT_EQ((std::vector<int>{connected->Left(), connected->Top(), connected->Right(), connected->Bottom()}),
              (std::vector<int>{99, 100, 102, 103}));
    EXPECT_EQ(connected->Pixels().Get(2, 2), static_cast<int32_t>(0xFFFF0000u));
}

TEST_F(ImportTest, HundredAndTwentyProvincePieces) {
    // A grid of 12 x 10 cells of 20 x 20 pixels, each its own colour.
    ASSERT_EQ(Import(*DrawPicture(240, 200, [](int32_t x, int32_t y) {
                  return ProvinceColour(static_cast<uint32_t>(x / 20 * 10 + y / 20 + 1));
              })),
              1);
    ASSERT_EQ(project.MapPieces.GetCount(), 120);
    for (uint16_t i = 0; i < 120; ++i) {
        const CProvinceMap& piece = Piece(i);
        EXPECT_EQ(piece.Color, ProvinceColour(i + 1u));
        EXPECT_EQ(piece.PixelCount, 400u);
        // A 20-pixel castle square is still full size; the army square,
        // kept off the castle place, shrinks to 10: too small.
        EXPECT_EQ(piece.Kind, CProvinceMap::SmallProvince) << i;
        EXPECT_EQ((std::vector<int>{piece.CastleX, piece.CastleY, piece.ArmyX, piece.ArmyY}),
                  (std::vector<int>{10, 10, 5, 5}));
    }
    EXPECT_EQ(Neighbours(Piece(11)), (std::vector<uint16_t>{1, 10, 12, 21}));
    EXPECT_EQ(Neighbours(Piece(119)), (std::vector<uint16_t>{109, 118}));
}

// A map holds 1501 pieces: a picture of one region more is refused whole
// before anything of the project changes; one of exactly 1501 is cut.
TEST_F(ImportTest, APictureOfMoreRegionsThanAMapHoldsIsRefusedWhole) {
    // One ground with dots of another colour on odd pixels of odd rows:
    // one region more than dots.
    const auto dotted = [](int dots) {
        return DrawPicture(160, 160, [dots](int32_t x, int32_t y) {
            return x % 2 && y % 2 && y / 2 * 80 + x / 2 < dots ? ProvinceColour(2) : ProvinceColour(1);
        });
    };
    ASSERT_EQ(Import(*SmallPieceBetweenTwo()), 1);
    const uint16_t pieces = project.MapPieces.GetCount();
    EXPECT_EQ(Import(*dotted(1501), 1, "dotted.bmp"), 0);
    EXPECT_EQ(editor.errors,
              (std::vector<std::string>{
                  "The picture holds more than 1501 regions: more than a map can hold.\nA world picture is drawn in "
                  "flat colours, one colour per province. A JPEG's compression makes thousands of regions: save the "
                  "world as BMP."}));
    EXPECT_EQ(project.MapPieces.GetCount(), pieces);
    EXPECT_EQ(project.ErrorList.GetCount(), 1);
    EXPECT_EQ(project.WorldWidth, 200);
    EXPECT_EQ(project.GetPieceAt(150, 150), 1);
    EXPECT_FALSE(editor.progressShown);

    ASSERT_EQ(Import(*dotted(1500), 1, "dotted.bmp"), 1);
    EXPECT_EQ(editor.errors.size(), 1u);
    // Every dot joins the ground.
    EXPECT_EQ(project.MapPieces.GetCount(), 1);
    EXPECT_EQ(project.ErrorList.GetCount(), 1500);
}

TEST_F(ImportTest, JpegPicture) {
    // Two grey halves meeting on a block boundary decode exactly.
    thorn::test::WriteJpeg(dir / "world.jpg", *DrawPicture(160, 160, [](int32_t x, int32_t) {
        return x < 80 ? 0xFF404040u : 0xFFC0C0C0u;
    }),
                           100);
    ASSERT_EQ(project.ImportWorldImage(dir / "world.jpg", 0), 1);
    ASSERT_EQ(project.MapPieces.GetCount(), 2);
    EXPECT_EQ(Piece(0).Color, 0xFF404040u);
    EXPECT_EQ(Box(Piece(0)), (std::vector<int>{0, 0, 79, 159}));
    EXPECT_EQ(Box(Piece(1)), (std::vector<int>{80, 0, 159, 159}));
    EXPECT_EQ(Piece(1).PixelCount, 12800u);
    EXPECT_EQ(Neighbours(Piece(0)), (std::vector<uint16_t>{1}));
}

TEST_F(ImportTest, ThirtyTwoBitPictureComparesAlphaToo) {
    thorn::test::WriteBmp32(dir / "world32.bmp", *DrawPicture(200, 160, [](int32_t x, int32_t) {
        if (x == 100) return 0u;  // transparent black belongs to no piece
        return x < 100 ? 0xFF112233u : 0x80112233u;
    }));
    ASSERT_EQ(project.ImportWorldImage(dir / "world32.bmp", 0), 1);
    ASSERT_EQ(project.MapPieces.GetCount(), 2);
    EXPECT_EQ(Piece(0).Color, 0xFF112233u);
    EXPECT_EQ(Piece(1).Color, 0x80112233u);
    EXPECT_EQ(Box(Piece(1)), (std::vector<int>{101, 0, 199, 159}));
    EXPECT_EQ(project.GetPieceAt(100, 10), -1);
    EXPECT_TRUE(Neighbours(Piece(0)).empty());
}

TEST_F(ImportTest, UnreadablePictureThrowsAndChangesNothing) {
    ASSERT_EQ(Import(*SmallPieceBetweenTwo()), 1);
    const uint16_t pieces = project.MapPieces.GetCount();
    thorn::test::WriteFileBytes(dir / "junk.bmp", std::vector<uint8_t>{'B', 'M', 1, 2, 3, 4, 5});
    EXPECT_THROW(project.ImportWorldImage(dir / "junk.bmp", 1), EInvalidGraphic);
    EXPECT_THROW(project.ImportWorldImage(dir / "missing.bmp", 0), EFOpenError);
    std::vector<uint8_t> hostile = thorn::test::ReadFileBytes(dir / "world.bmp");
    hostile[18] = 0xFF;  // width far past the pixels the file holds
    hostile[19] = 0x7F;
    thorn::test::WriteFileBytes(dir / "hostile.bmp", hostile);
    EXPECT_THROW(project.ImportWorldImage(dir / "hostile.bmp", 0), EInvalidGraphic);
    EXPECT_EQ(project.MapPieces.GetCount(), pieces);
    EXPECT_EQ(project.ErrorList.GetCount(), 1);
    EXPECT_EQ(project.WorldWidth, 200);
    EXPECT_EQ(project.GetPieceAt(150, 150), 1);
    EXPECT_FALSE(editor.progressShown);
}

// Whatever stops the cut once the old pieces are gone leaves no half world:
// the project is emptied and the progress window hidden. Short of memory,
// the error box says so; anything else goes on to the caller.
TEST_F(ImportTest, FailureInsideTheImportStillHidesTheProgressWindow) {
    constexpr const char* kNoMemory =
        "There is not enough memory to cut the world picture into map pieces; the project was emptied";
    struct Case {
        const char* what;
        std::function<void()> fail;
        const char* shown;  // null: the exception goes on
    };
    const Case cases[] = {
        {"an error", [] { throw std::runtime_error("stopped in a long loop"); }, nullptr},
        {"no bitmap", [] { throw EOutOfResources("Can't allocate the DIB handle"); }, kNoMemory},
        {"out of memory", [] { throw std::bad_alloc(); }, kNoMemory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(Import(*SmallPieceBetweenTwo()), 1);
        editor.errors.clear();
        editor.throwAtProgress = 5;
        editor.failAtProgress = c.fail;
        if (c.shown) {
            EXPECT_EQ(Import(*SmallPieceBetweenTwo(), 1), 0);
            EXPECT_EQ(editor.errors, std::vector<std::string>{c.shown});
        } else {
            EXPECT_THROW(Import(*SmallPieceBetweenTwo(), 1), std::runtime_error);
        }
        EXPECT_FALSE(editor.progressShown);
        EXPECT_EQ(editor.calls.back(), "HideProgress");
        EXPECT_EQ(project.MapPieces.GetCount(), 0);
        EXPECT_EQ(project.WorldWidth, 1);
    }
}

// Short of memory at any allocation, the import says so and leaves the
// project as it was (while the picture is read) or empty (once the old
// pieces went); nothing is thrown, and nothing is silently left out.
TEST_F(ImportTest, ShortOfMemoryTheImportLeavesNoHalfWorld) {
    const auto earlier = SmallPieceBetweenTwo();
    ASSERT_EQ(Import(*earlier), 1);
    const uint16_t pieces = project.MapPieces.GetCount();
    thorn::test::WriteBmp24(dir / "next.bmp", *DrawPicture(240, 180, [](int32_t x, int32_t y) {
        return ProvinceColour(1 + (x / 60 + y / 60) % 3);
    }));
    const std::filesystem::path next = dir / "next.bmp";
    // Room for every call the editor records, so that each import of the
    // loop makes the allocations the first one counted, no more.
    editor.calls.reserve(size_t{1} << 16);
    const uint64_t start = thorn::test::AllocationCount();
    ASSERT_EQ(project.ImportWorldImage(next, 1), 1);
    const uint64_t needed = thorn::test::AllocationCount() - start;
    for (uint64_t n = 1; n <= needed; n += std::max<uint64_t>(1, needed / 70)) {
        SCOPED_TRACE("allocation " + std::to_string(n) + " of " + std::to_string(needed));
        ASSERT_EQ(Import(*earlier), 1);
        editor.errors.clear();
        int answer = -1;
        {
            const thorn::test::FailingAllocation failing(n);
            EXPECT_NO_THROW(answer = project.ImportWorldImage(next, 1));
        }
        EXPECT_FALSE(editor.progressShown);
        ASSERT_EQ(answer, 0);
        ASSERT_EQ(editor.errors.size(), 1u);
        if (editor.errors[0] == "There is not enough memory to read the world picture") {
            EXPECT_EQ(project.MapPieces.GetCount(), pieces);
            EXPECT_EQ(project.WorldWidth, 200);
        } else {
            EXPECT_EQ(editor.errors[0],
                      "There is not enough memory to cut the world picture into map pieces; the project was emptied");
            EXPECT_EQ(project.MapPieces.GetCount(), 0);
            EXPECT_EQ(project.WorldWidth, 1);
        }
    }
}

TEST_F(ImportTest, ReloadClearsTheShownWarningBeforeItsPieceGoes) {
    ASSERT_EQ(Import(*SmallPieceBetweenTwo()), 1);
    project.ErrorList.GetAt(0)->Show();
    ASSERT_EQ(project.ErrorList.GetCurrent(), project.ErrorList.GetAt(0));
    EXPECT_EQ(Piece(0).Selected, 1u);
    ASSERT_EQ(Import(*DrawPicture(180, 180, [](int32_t, int32_t) { return 0xFF345678u; }), 1, "new.bmp"), 1);
    EXPECT_EQ(project.ErrorList.GetCurrent(), nullptr);
    EXPECT_EQ(project.ErrorList.GetCount(), 0);
    EXPECT_EQ(project.MapPieces.GetCount(), 1);
}

TEST_F(ImportTest, ReloadScalesTheProvincesToTheNewWorld) {
    ASSERT_EQ(Import(*DrawPicture(200, 200, [](int32_t, int32_t) { return 0xFF345678u; })), 1);
    auto province = std::make_unique<CProvince>();
    province->FreeX = 100;
    province->FreeY = 50;
    province->CastleX = 10;
    province->CastleY = 20;
    province->ArmyX = 5;
    province->ArmyY = 5;
    province->BoundToPiece = 1;
    province->MapPieceIndex = 0;
    project.Provinces.Add(std::move(province));
    ASSERT_EQ(Import(*DrawPicture(400, 160, [](int32_t, int32_t) { return 0xFF345678u; }), 1, "wide.bmp"), 1);
    const CProvince& p = *project.Provinces.GetAt(0);
    EXPECT_EQ(p.FreeX, 200);  // 100 * 400 / 200
    EXPECT_EQ(p.FreeY, 40);   // 50 * 160 / 200
    EXPECT_EQ(p.CastleX, 20);  // 110 * 400 / 200 - 200
    EXPECT_EQ(p.CastleY, 16);  // 70 * 160 / 200 - 40
    EXPECT_EQ(p.ArmyX, 10);
    EXPECT_EQ(p.ArmyY, 4);  // 55 * 160 / 200 = 44, less 40
    // The bound province's places go to its piece instead of a search.
    EXPECT_EQ((std::vector<int>{Piece(0).CastleX, Piece(0).CastleY, Piece(0).ArmyX, Piece(0).ArmyY}),
              (std::vector<int>{20, 16, 10, 4}));
}

// The regions as the column-by-column passes of the scanline fill cut them.
TEST_F(ImportTest, AnalysisMatchesTheScanlineFillOnRandomPictures) {
    std::mt19937 random(11);
    for (int round = 0; round < 25; ++round) {
        const int32_t w = 5 + static_cast<int32_t>(random() % 40), h = 5 + static_cast<int32_t>(random() % 40);
        const uint32_t colours = 1 + random() % 4;
        auto picture = DrawPicture(w, h, [&](int32_t, int32_t) -> TColor32 {
            const uint32_t c = random() % (colours + 1);
            return c == 0 ? 0u : ProvinceColour(c);
        });
        project.MapPieces.Clear();
        TBitmap32 work;
        work.Assign(*picture);
        for (int32_t x = 0; x < w; ++x)
            for (int32_t y = 0; y < h; ++y) {
                if (work.GetPixel(x, y) != 0) {
                    ASSERT_EQ(FillPiece(project, x, y, work), 1);
                }
            }
        // What the fill made, kept while the analysis cuts the same picture.
        struct Cut {
            std::vector<int> box;
            TColor32 color;
            uint32_t pixels, kind;
            std::unique_ptr<TBitmap32> mask;
        };
        std::vector<Cut> filled;
        for (uint16_t i = 0; i < project.MapPieces.GetCount(); ++i) {
            const CProvinceMap& f = *project.MapPieces.GetAt(i);
            filled.push_back({Box(f), f.Color, f.PixelCount, f.Kind, std::make_unique<TBitmap32>()});
            filled.back().mask->Assign(*f.Mask);
        }
        project.MapPieces.Clear();
        AnalyzeBitmap(project, *picture);
        ASSERT_EQ(project.MapPieces.GetCount(), filled.size()) << "round " << round;
        for (uint16_t i = 0; i < filled.size(); ++i) {
            const Cut& f = filled[i];
            const CProvinceMap& a = *project.MapPieces.GetAt(i);
            ASSERT_EQ(Box(a), f.box) << "round " << round << " piece " << i;
            ASSERT_EQ(a.Color, f.color);
            ASSERT_EQ(a.PixelCount, f.pixels);
            ASSERT_EQ(a.Kind, f.kind);
            ASSERT_TRUE(a.Mask->Equal(f.mask.get()));
        }
    }
}

}  // namespace

namespace {

TEST_F(ImportTest, FillPieceRefusesAtTheLimit) {
    for (int i = 0; i < CProvinceMapList::kMaxPieces; ++i) project.MapPieces.Add(std::make_unique<CProvinceMap>());
    auto work = DrawPicture(4, 4, [](int32_t, int32_t) { return 0xFF123456u; });
    EXPECT_EQ(FillPiece(project, 1, 1, *work), 0);
    EXPECT_EQ(project.MapPieces.GetCount(), CProvinceMapList::kMaxPieces);
    EXPECT_EQ(work->GetPixel(1, 1), 0xFF123456u);
    project.MapPieces.Clear();
    EXPECT_EQ(FillPiece(project, 1, 1, *work), 1);
    EXPECT_EQ(work->GetPixel(3, 3), 0u);  // the fill takes the region out of the work copy
    EXPECT_EQ(FillPiece(project, 1, 1, *work), 0);  // nothing left there
}

// Each allocation of a cut's second piece made to fail in turn (the piece
// list's growth among them): the cut either makes the piece or stops, never
// answers that it made one it dropped.
TEST_F(ImportTest, APieceCutShortOfMemoryIsNeverDropped) {
    auto twoColours = [] { return DrawPicture(4, 4, [](int32_t x, int32_t) { return x < 2 ? 0xFF123456u : 0xFF654321u; }); };
    auto first = twoColours();
    ASSERT_EQ(FillPiece(project, 0, 0, *first), 1);
    for (uint64_t n = 1;; ++n) {
        SCOPED_TRACE("allocation " + std::to_string(n));
        auto work = twoColours();
        bool reached = false, stopped = false;
        int answer = -1;
        {
            const thorn::test::FailingAllocation failing(n);
            try {
                answer = FillPiece(project, 3, 0, *work);
            } catch (const std::bad_alloc&) {
                stopped = true;
            }
            reached = failing.Reached();
        }
        if (!reached) break;
        if (!stopped) {
            EXPECT_EQ(answer, 1);
            ASSERT_EQ(project.MapPieces.GetCount(), 2);
            break;
        }
        ASSERT_EQ(project.MapPieces.GetCount(), 1);
    }
}

TEST_F(ImportTest, WorldSidePast32640IsRefused) {
    ASSERT_EQ(Import(*DrawPicture(170, 170, [](int32_t, int32_t) { return 0xFF101010u; })), 1);
    auto wide = std::make_unique<TBitmap32>();
    wide->SetSize(32641, 160);
    EXPECT_THROW(project.ImportWorldBitmap(std::move(wide), 0), EInvalidGraphic);
    EXPECT_EQ(project.WorldWidth, 170);
    EXPECT_EQ(project.MapPieces.GetCount(), 1);
}

}  // namespace
