#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "MapViewFixture.h"

namespace {

using thorn::MessageAnswer;
using thorn::test::DrawPicture;
using thorn::test::kOcean;
using thorn::test::MapViewTest;
using thorn::test::ProvinceColour;

constexpr uint8_t kMarker = CLayerTag::Marker, kLabel = CLayerTag::Label, kCastle = CLayerTag::Castle,
                  kArmy = CLayerTag::Army;

class MapLayers : public MapViewTest {
protected:
    // Every layer from position 0 as (kind, owner); the overlay is (0, null).
    std::vector<std::pair<uint8_t, const CProvince*>> Order() {
        std::vector<std::pair<uint8_t, const CProvince*>> order;
        for (int i = 0; i < Layers().GetCount(); ++i) {
            const CLayerTag* tag = project.TagOf(Layers().GetItem(i));
            order.emplace_back(tag ? tag->Kind : 0, tag ? tag->Owner : nullptr);
        }
        return order;
    }
    // Two free provinces a and b on a 200 x 160 world of ocean.
    void TwoFreeProvinces() {
        ImportWorld();
        SetGameData(0, 0);
        a = project.AddProvince(100, 50, 100, 50, 100, 50, 0, -1);
        b = project.AddProvince(120, 70, 120, 70, 120, 70, 0, -1);
    }
    CProvince* a = nullptr;
    CProvince* b = nullptr;
};

TEST_F(MapLayers, EachProvinceStacksItsLayersBelowTheOlderOnes) {
    TwoFreeProvinces();
    project.CreateNeighbourLinksLayer();
    // The first marker was appended to an empty view and stays at the
    // bottom until the overlay goes beneath it.
    const std::vector<std::pair<uint8_t, const CProvince*>> expected = {
        {0, nullptr}, {kMarker, a}, {kArmy, b},  {kCastle, b}, {kLabel, b},
        {kArmy, a},   {kCastle, a}, {kLabel, a}, {kMarker, b}};
    EXPECT_EQ(Order(), expected);
    EXPECT_EQ(project.FindIconLayerIndex(a), 1);
    EXPECT_EQ(project.FindArmyLayerIndex(b), 2);
    EXPECT_EQ(project.FindNameLayer(a), &LayerAt(7));

    project.SendIconLayersBack();
    const std::vector<std::pair<uint8_t, const CProvince*>> back = {
        {0, nullptr}, {kCastle, a}, {kArmy, a},  {kCastle, b}, {kArmy, b},
        {kMarker, a}, {kLabel, b},  {kLabel, a}, {kMarker, b}};
    EXPECT_EQ(Order(), back);
}

TEST_F(MapLayers, LookupsOfNoProvinceOrOneWithoutLayersFindNothing) {
    TwoFreeProvinces();
    CProvince stranger;
    for (const CProvince* p : {static_cast<const CProvince*>(nullptr), static_cast<const CProvince*>(&stranger)}) {
        EXPECT_EQ(project.FindIconLayerIndex(p), 0xFFFF);
        EXPECT_EQ(project.FindNameLayerIndex(p), 0xFFFF);
        EXPECT_EQ(project.FindCastleLayerIndex(p), 0xFFFF);
        EXPECT_EQ(project.FindArmyLayerIndex(p), 0xFFFF);
        EXPECT_EQ(project.FindIconLayer(p), nullptr);
        EXPECT_EQ(project.FindArmyLayer(p), nullptr);
    }
    // Only the low 16 bits of the piece index count: -1 reads as 0xFFFF.
    EXPECT_EQ(project.FindProvinceByPieceIndex(0xFFFF), a);
    // A layer of the editor's own, whatever its tag, is not the project's.
    auto* own = Layers().Add<TBitmapLayer>();
    own->SetTag(12345);
    EXPECT_EQ(project.TagOf(own), nullptr);
    EXPECT_EQ(project.PlaceIconLayer(own), 0);
    EXPECT_EQ(project.PlaceIconLayer(nullptr), 0);
    EXPECT_EQ(project.PlaceIconLayer(project.FindNameLayer(a)), 0);
}

TEST_F(MapLayers, TheMarkerKeepsItsSizeAtEveryZoom) {
    TwoFreeProvinces();
    const TFloatRect& marker = LayerOf(*a, kMarker).GetLocation();
    // (100, 50) less 29 div 2 and 15 div 2.
    EXPECT_EQ(marker, (TFloatRect{86, 43, 115, 58}));

    a->FreeX = 101;
    a->FreeY = 33;
    editor.view->SetScale(2.5f);
    project.PlaceIconLayer(&LayerOf(*a, kMarker));
    // trunc(252.5) = 252 and trunc(82.5) = 82.
    EXPECT_EQ(marker, (TFloatRect{238, 75, 267, 90}));
}

TEST_F(MapLayers, TheMarkerShowsThePictureWithoutItsMagenta) {
    TwoFreeProvinces();
    editor.world.Clear(0xFF203040);
    const auto shown = editor.Painted();
    const TBitmap32& picture = *editor.markers.GetBitmap(0);
    int magenta = 0;
    for (int32_t y = 0; y < picture.Height(); ++y)
        for (int32_t x = 0; x < picture.Width(); ++x) {
            const TColor32 p = picture.GetPixel(x, y);
            magenta += p == 0xFFFF00FF;
            EXPECT_EQ(shown->GetPixel(86 + x, 43 + y), p == 0xFFFF00FF ? 0xFF203040u : p) << x << "," << y;
        }
    EXPECT_GT(magenta, 0);
    // Hidden markers are not painted.
    editor.settings.ShIcons = 0;
    project.UpdateIconLayers();
    EXPECT_FALSE(LayerOf(*a, kMarker).GetVisible());
    EXPECT_EQ(LayerOf(*a, kMarker).GetLayerOptions(), 0u);
    EXPECT_EQ(editor.Painted()->GetPixel(100, 50), 0xFF203040u);
}

// A province on a piece whose box starts at (40, 30), with a castle picture
// of 20 x 16 whose pivot is (10, 15).
class IconPlaces : public MapLayers {
protected:
    void SetUp() override {
        ASSERT_EQ(Import(*DrawPicture(200, 160, [](int32_t x, int32_t y) {
                      return x >= 40 && x < 100 && y >= 30 && y < 90 ? ProvinceColour(1) : kOcean;
                  })),
                  1);
        SetGameData(0, 0);
        project.NumCastleTypes = 2;
        AddIconPicture(12, 10, 0xFF404040, {1, 2});   // castle type 0
        AddIconPicture(20, 16, 0xFF808080, {10, 15});  // castle type 1
        AddIconPicture(8, 6, 0xFFC0C0C0, {4, 5});      // the first army
        ASSERT_EQ(project.CreateProvinces(), 1);
        p = &Province(0);
        p->SetCastleX(5);
        p->SetCastleY(6);
        p->SetHasCastle(1);
    }
    CProvince* p = nullptr;
};

TEST_F(IconPlaces, TheCastleSitsOnItsPivotAndGrowsAPixelRowPerZoomStep) {
    editor.view->SetScale(2.0f);
    ASSERT_EQ(project.SetCastleIcon(p, 1), 1);
    const TBitmapLayer& castle = LayerOf(*p, kCastle);
    EXPECT_EQ(castle.GetBitmap()->Width(), 20);
    EXPECT_EQ(castle.GetLocation(), (TFloatRect{70, 42, 110, 75}));

    editor.view->SetScale(1.0f);
    project.UpdateCastleIconLayer(p);
    EXPECT_EQ(castle.GetLocation().Bottom, 37.0f);  // y0 + h exactly
    editor.view->SetScale(8.0f);
    project.UpdateCastleIconLayer(p);
    EXPECT_EQ(castle.GetLocation().Bottom, 8.0f * 37 + 7);
}

TEST_F(IconPlaces, TheArmyShowsTheFirstArmyPicture) {
    p->SetArmyX(10);
    p->SetArmyY(20);
    ASSERT_EQ(project.SetArmyIcon(p, 0), 1);
    const TBitmapLayer& army = LayerOf(*p, kArmy);
    EXPECT_EQ(army.GetBitmap()->Width(), 8);
    EXPECT_EQ(army.GetBitmap()->GetPixel(3, 3), 0xFFC0C0C0u);
    // (10 + 40 - 4, 20 + 30 - 5).
    EXPECT_EQ(army.GetLocation(), (TFloatRect{46, 45, 54, 51}));
    EXPECT_EQ(project.SetArmyIcon(p, 7), 0);
    EXPECT_EQ(project.SetArmyIcon(nullptr, 0), 0);
}

TEST_F(IconPlaces, TranslucentIconsFollowTheSettings) {
    // Hidden castles and hidden armies: each shows translucent by its own
    // setting alone.
    struct Case {
        uint32_t castles, armies;
    };
    const TBitmapLayer& castle = LayerOf(*p, kCastle);
    const TBitmapLayer& army = LayerOf(*p, kArmy);
    editor.settings.ShCastles = 0;
    editor.settings.ShArmies = 0;
    for (const Case c : {Case{1, 1}, Case{1, 0}, Case{0, 1}, Case{0, 0}}) {
        SCOPED_TRACE("translucent castles " + std::to_string(c.castles) + ", armies " + std::to_string(c.armies));
        editor.settings.TransCastles = c.castles;
        editor.settings.TransArmies = c.armies;
        project.UpdateCastleIconLayer(p);
        project.UpdateArmyIconLayer(p);
        EXPECT_EQ(castle.GetVisible(), c.castles != 0);
        EXPECT_EQ(army.GetVisible(), c.armies != 0);
        EXPECT_FALSE(castle.GetMouseEvents());
        EXPECT_FALSE(army.GetMouseEvents());
        if (c.castles) {
            EXPECT_EQ(castle.GetBitmap()->MasterAlpha(), 120u);
        }
        if (c.armies) {
            EXPECT_EQ(army.GetBitmap()->MasterAlpha(), 120u);
        }
    }
    editor.settings.TransCastles = 1;
    editor.settings.TransArmies = 1;
    p->SetHasCastle(0);
    project.UpdateCastleIconLayer(p);
    EXPECT_FALSE(castle.GetVisible());
    // Every army is shown translucent, with or without a guardian army.
    project.UpdateArmyIconLayer(p);
    EXPECT_TRUE(army.GetVisible());
    EXPECT_EQ(army.GetBitmap()->MasterAlpha(), 120u);

    editor.settings.ShCastles = 1;
    project.UpdateCastleIcons();
    EXPECT_TRUE(castle.GetVisible());
    EXPECT_TRUE(castle.GetMouseEvents());
    EXPECT_EQ(castle.GetBitmap()->MasterAlpha(), 255u);
}

// A capital always takes castle type 2. With two castle types, as here, a
// type the catalogue lacks shows its last castle picture and pivot, never
// the army picture that follows the castles in the list.
TEST_F(IconPlaces, TypesPastTheCastlePicturesShowTheLastOne) {
    struct Case {
        bool capital;
        uint8_t type, stored;
        int32_t width;  // of the picture shown
        float left;     // castle point 5 + box 40 - the pivot's x
    };
    const Case cases[] = {
        {false, 0, 0, 12, 44},
        {false, 1, 1, 20, 35},
        {true, 1, 2, 20, 35},
        {true, 0, 0, 12, 44},
        {false, 9, 9, 20, 35},
    };
    ASSERT_EQ(p->SetOwner(1), 1);
    for (const Case& c : cases) {
        project.Players[1].SetCapital(c.capital ? p : nullptr);
        ASSERT_EQ(project.SetCastleIcon(p, c.type), 1);
        EXPECT_EQ(p->CastlePicture, c.stored) << int{c.type};
        EXPECT_EQ(LayerOf(*p, kCastle).GetBitmap()->Width(), c.width) << int{c.type};
        EXPECT_EQ(LayerOf(*p, kCastle).GetLocation().Left, c.left) << int{c.type};
    }
    EXPECT_EQ(project.SetCastleIcon(p, 17), 0);
    EXPECT_EQ(p->CastlePicture, 9);
}

TEST_F(IconPlaces, PicturesKeepTheirWholeSize) {
    // A castle picture past 255 pixels is not cut to its low byte.
    editor.castles.GetBitmap(1)->SetSize(300, 260);
    ASSERT_EQ(project.SetCastleIcon(p, 1), 1);
    EXPECT_EQ(LayerOf(*p, kCastle).GetBitmap()->Width(), 300);
    EXPECT_EQ(LayerOf(*p, kCastle).GetBitmap()->Height(), 260);
}

TEST_F(IconPlaces, AMissingPictureLeavesTheIconEmpty) {
    project.NumCastleTypes = 6;  // more types than the list has pictures
    ASSERT_EQ(project.SetCastleIcon(p, 4), 1);
    EXPECT_TRUE(LayerOf(*p, kCastle).GetBitmap()->Empty());
    ASSERT_EQ(project.SetArmyIcon(p, 0), 1);
    EXPECT_TRUE(LayerOf(*p, kArmy).GetBitmap()->Empty());
}

TEST_F(MapLayers, NewLayersFollowTheSettingsAndTheListGetsARow) {
    editor.settings.ShIcons = 0;
    editor.settings.ShNames = 1;
    editor.settings.ShArmies = 1;
    TwoFreeProvinces();
    EXPECT_FALSE(LayerOf(*a, kMarker).GetVisible());
    EXPECT_TRUE(LayerOf(*a, kLabel).GetVisible());
    EXPECT_TRUE(LayerOf(*a, kArmy).GetVisible());
    for (uint8_t kind : {kMarker, kLabel, kCastle, kArmy}) {
        EXPECT_FALSE(LayerOf(*b, kind).GetScaled());
        EXPECT_TRUE(LayerOf(*b, kind).GetAlphaHitTest());
        EXPECT_EQ(LayerOf(*b, kind).GetBitmap()->DrawMode(), dmBlend);
    }
    ASSERT_EQ(editor.provinceRows.size(), 2u);
    EXPECT_EQ(editor.provinceRows[0].caption, "Noname 1");
    EXPECT_EQ(editor.provinceRows[0].data, a);
}

TEST_F(MapLayers, LoadedProvincesGetTheirLayersUnderTheProgressWindow) {
    ImportWorld();
    SetGameData(0, 0);
    for (int i = 0; i < 3; ++i) project.Provinces.Add(std::make_unique<CProvince>());
    project.CreateAllProvinceLayers();
    EXPECT_EQ(Layers().GetCount(), 12);
    EXPECT_EQ(editor.progressCaptions.back(), "Add provinces...");
    EXPECT_EQ(editor.progressMax, 3);
    EXPECT_EQ(editor.progressPosition, 3);
    EXPECT_TRUE(editor.progressShown);  // the load closes it
    EXPECT_EQ(editor.provinceRows.size(), 3u);

    // An owner that names no player of the list cannot be looked up.
    CProvince* stray = project.Provinces.GetAt(project.Provinces.Add(std::make_unique<CProvince>()));
    stray->Owner = 3;
    stray->SetHasCastle(1);
    project.Players.Resize(2);
    EXPECT_THROW(project.CreateProvinceLayers(stray), CList<CPlayerData>::BadSize);
}

TEST_F(MapLayers, TheSaveQuestion) {
    EXPECT_EQ(project.AskSaveChanges(), 0);
    EXPECT_TRUE(editor.CallsStartingWith("Ask").empty());
    project.Modified = 1;
    editor.answers = {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Cancel};
    EXPECT_EQ(project.AskSaveChanges(), 1);
    EXPECT_EQ(project.AskSaveChanges(), 0);
    EXPECT_EQ(project.AskSaveChanges(), 2);
    EXPECT_EQ(editor.CallsStartingWith("Ask").front(),
              "Ask Warning: You have made changes in project. Would you like to save your changes?");
}

}  // namespace
