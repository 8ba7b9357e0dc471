#include <gtest/gtest.h>

#include "MapViewFixture.h"

namespace {

using thorn::EditorAction;
using thorn::ProjectControl;
using thorn::test::MapViewTest;

class Labels : public MapViewTest {
protected:
    void SetUp() override {
        editor.settings.ShNames = 1;
        MakeProvinces(3, 1);
        p = &Province(0);
    }
    // The label as the rules draw it with the settings' font (black, so its
    // shadow is white): the name left-aligned, the incomes centred four
    // fifths of a line lower, each over its shadow one pixel down and right.
    std::unique_ptr<TBitmap32> Expected(const std::string& name, const std::string& incomes) {
        auto label = std::make_unique<TBitmap32>();
        label->SetFont(editor.settings.LabelFont);
        const TSize first = label->TextExtent(name), second = label->TextExtent(incomes);
        label->SetSize(std::max(first.cx, second.cx), 2 * first.cy);
        label->Clear(0);
        label->RenderText(1, 1, name, 0, 0xFFFFFFFF);
        label->RenderText(0, 0, name, 0, 0xFF000000);
        const int32_t x2 = (label->Width() - second.cx) / 2, y2 = 4 * first.cy / 5;
        label->RenderText(x2 + 1, y2 + 1, incomes, 0, 0xFFFFFFFF);
        label->RenderText(x2, y2, incomes, 0, 0xFF000000);
        return label;
    }
    const TBitmap32& Label() { return *LayerOf(*p, CLayerTag::Label).GetBitmap(); }
    void ExpectLabel(const std::string& incomes) {
        project.UpdateProvinceLabel(p);
        const auto expected = Expected("Noname 1", incomes);
        ASSERT_EQ(Label().Width(), expected->Width()) << incomes;
        ASSERT_EQ(Label().Height(), expected->Height());
        EXPECT_TRUE(Label().Equal(expected.get())) << incomes;
    }
    CProvince* p = nullptr;
};

TEST_F(Labels, TheSecondLineAddsTheCastleAndTheBankToTheFirstResource) {
    p->SetResource(0, 10);
    p->SetResource(1, 2);
    p->SetResource(2, 0);
    p->SetHasCastle(1);
    p->SetBuilding(CCastleDataB::kBank, 1);
    ExpectLabel("18+2+0");
    p->SetBuilding(CCastleDataB::kBank, 0);
    ExpectLabel("15+2+0");
    p->SetHasCastle(0);
    p->SetBuilding(CCastleDataB::kBank, 1);
    ExpectLabel("10+2+0");
    // Other buildings bring nothing.
    p->SetBuilding(CCastleDataB::kMarket, 1);
    ExpectLabel("10+2+0");
}

TEST_F(Labels, WithoutResourcesTheLabelIsStillTwoLinesHigh) {
    project.NumResources = 0;
    ExpectLabel("");
    TBitmap32 measure;
    measure.SetFont(editor.settings.LabelFont);
    EXPECT_EQ(Label().Height(), 2 * measure.TextExtent("Noname 1").cy);
}

TEST_F(Labels, BlackTextGetsAWhiteShadowAndTheNamesSwitchShowsIt) {
    project.UpdateProvinceLabel(p);
    int text = 0, shadow = 0;
    for (int32_t y = 0; y < Label().Height(); ++y)
        for (int32_t x = 0; x < Label().Width(); ++x) {
            text += Label().GetPixel(x, y) == 0xFF000000;
            shadow += Label().GetPixel(x, y) == 0xFFFFFFFF;
        }
    EXPECT_GT(text, 0);
    EXPECT_GT(shadow, 0);
    EXPECT_TRUE(LayerOf(*p, CLayerTag::Label).GetMouseEvents());
    editor.settings.ShNames = 0;
    project.UpdateAllLabels();
    EXPECT_EQ(LayerOf(*p, CLayerTag::Label).GetLayerOptions(), 0u);
}

TEST_F(Labels, TheLabelGoesBelowTheMarkerInsideTheView) {
    editor.view->SetBounds(0, 0, 640, 480);
    TBitmapLayer& marker = LayerOf(*p, CLayerTag::Marker);
    TBitmapLayer& label = LayerOf(*p, CLayerTag::Label);
    label.GetBitmap()->SetSize(60, 30);
    auto placeAt = [&](float x, float y) {
        marker.SetLocation({x, y, x + 29, y + 15});
        EXPECT_EQ(project.PlaceLabelLayer(p), 1);
        return label.GetLocation();
    };
    EXPECT_EQ(placeAt(100, 200), (TFloatRect{84, 217, 144, 247}));
    EXPECT_EQ(placeAt(3, 200), (TFloatRect{6, 217, 66, 247}));      // the left edge
    EXPECT_EQ(placeAt(600, 200), (TFloatRect{574, 217, 634, 247}));  // the right edge
    // No room below: the bottom edge, left of the marker, or right of it
    // when the left leaves less than the margin.
    EXPECT_EQ(placeAt(100, 440), (TFloatRect{38, 444, 98, 474}));
    EXPECT_EQ(placeAt(20, 440), (TFloatRect{51, 444, 111, 474}));
    // The fraction of the marker's place is cut off.
    EXPECT_EQ(placeAt(100.9f, 200.7f), (TFloatRect{84, 217, 144, 247}));
    // A view too small for the label puts it above its top, not 65 000
    // pixels away.
    editor.view->SetBounds(0, 0, 640, 20);
    EXPECT_EQ(placeAt(100, 0), (TFloatRect{38, -16, 98, 14}));

    EXPECT_EQ(project.PlaceLabelLayer(nullptr), 0);
}

using Zoom = MapViewTest;

TEST_F(Zoom, OutsideOneToEightNothingChanges) {
    MakeProvinces();
    editor.calls.clear();
    project.SetZoom(0.5f);
    project.SetZoom(9.0f);
    EXPECT_TRUE(editor.calls.empty());
    EXPECT_EQ(editor.view->GetScale(), 1.0f);
    EXPECT_TRUE(editor.statusPanels.empty());
}

TEST_F(Zoom, TheScaleSetsTheCommandsTheScrollStepAndTheStatus) {
    MakeProvinces();
    project.SetZoom(1.0f);
    EXPECT_EQ(editor.bars[0].increment, 1);
    EXPECT_EQ(editor.bars[1].increment, 1);
    EXPECT_EQ(editor.statusPanels[1], "100%");
    EXPECT_TRUE(editor.actions[EditorAction::ZoomIn]);
    EXPECT_FALSE(editor.actions[EditorAction::ZoomOut]);

    project.SetZoom(3.0f);
    EXPECT_EQ(editor.bars[0].increment, 6);
    EXPECT_EQ(editor.statusPanels[1], "300%");
    EXPECT_TRUE(editor.actions[EditorAction::ZoomIn]);
    EXPECT_TRUE(editor.actions[EditorAction::ZoomOut]);
    EXPECT_EQ(editor.view->GetScale(), 3.0f);
    EXPECT_EQ(editor.view->GetWidth(), 600);
    // The markers follow: province 0 at its free point times 3, less half
    // the marker.
    const CProvince& p = Province(0);
    EXPECT_EQ(LayerOf(p, CLayerTag::Marker).GetLocation().Left, static_cast<float>(p.FreeX * 3 - 14));

    project.SetZoom(2.5f);
    EXPECT_EQ(editor.bars[1].increment, 5);
    EXPECT_EQ(editor.statusPanels[1], "250%");
    project.SetZoom(8.0f);
    EXPECT_FALSE(editor.actions[EditorAction::ZoomIn]);
}

TEST_F(Zoom, TheViewIsCentredWhereItIsSmallerThanTheScrollBox) {
    ImportWorld();
    // 200 x 160 in a 320 x 240 box.
    project.FitWorldImage();
    EXPECT_EQ(editor.view->GetBoundsRect(), (TRect{60, 40, 260, 200}));
    // Twice as large, it follows the scroll bars.
    editor.bars[0].position = 30;
    editor.bars[1].position = 20;
    editor.view->SetScale(2.0f);
    project.FitWorldImage();
    EXPECT_EQ(editor.view->GetBoundsRect(), (TRect{-30, -20, 370, 300}));
}

TEST_F(Zoom, ScrollingToAPointWithoutAWorldDoesNothing) {
    editor.world.SetSize(0, 0);
    project.ScrollViewTo(10, 10);
    EXPECT_TRUE(editor.CallsStartingWith("Scroll").empty());
}

TEST_F(Zoom, WithoutAProjectTheWindowHidesTheViewAndDisablesTheCommands) {
    EXPECT_EQ(project.EnableProjectUI(0), 1);
    std::vector<std::string> expected = {"ShowControl 0 on", "ShowControl 1 off", "ShowControl 2 off"};
    for (int action = 0; action < 20; ++action) expected.push_back("EnableAction " + std::to_string(action) + " off");
    for (std::string control : {"3", "4", "5"}) expected.push_back("EnableControl " + control + " off");
    EXPECT_EQ(editor.calls, expected);
    EXPECT_FALSE(editor.view->GetVisible());
    EXPECT_TRUE(editor.controlShown[ProjectControl::NoProjectLabel]);
    EXPECT_FALSE(editor.actions[EditorAction::DelProvince]);

    project.EnableProjectUI(1);
    EXPECT_TRUE(editor.view->GetVisible());
    EXPECT_FALSE(editor.controlShown[ProjectControl::NoProjectLabel]);
    EXPECT_TRUE(editor.controlShown[ProjectControl::ProvincesTab]);
    EXPECT_TRUE(editor.controlEnabled[ProjectControl::EventToolBar]);
    EXPECT_TRUE(editor.actions[EditorAction::SaveProject]);
}

TEST(LabelFont, CopyFontCopiesEveryField) {
    TFont source, dest;
    source.SetName("Arial");
    source.SetSize(12);
    source.SetColor(clRed);
    source.SetStyle(fsBold | fsItalic);
    source.SetPitch(TFontPitch::fpFixed);
    source.SetCharset(0);
    CopyFont(source, dest);
    EXPECT_TRUE(dest == source);
    EXPECT_EQ(dest.GetHeight(), source.GetHeight());
}

using HitTests = MapViewTest;

TEST_F(HitTests, IconsStayOnTheirProvincesPiece) {
    MakeProvinces();
    const CProvince& p = Province(0);
    const CProvinceMap& a = Piece(pieceA);
    EXPECT_EQ(project.CanPlaceCastleAt(&p, 5, 5), 1);
    EXPECT_EQ(project.CanPlaceArmyAt(&p, 49, 49), 1);
    // The castle place is marked with a reserved value, still set.
    EXPECT_EQ(project.CanPlaceCastleAt(&p, a.CastleX, a.CastleY), 1);
    EXPECT_EQ(project.CanPlaceCastleAt(&p, 50, 5), 0);     // past the box
    EXPECT_EQ(project.CanPlaceArmyAt(&p, 0xFFFF, 5), 0);   // before it
    EXPECT_EQ(project.CanPlaceCastleAt(nullptr, 5, 5), 0);
    CProvince free;
    for (uint16_t x : {0, 5, 40})
        for (uint16_t y : {0, 5, 40}) EXPECT_EQ(project.CanPlaceCastleAt(&free, x, y), 0);
}

}  // namespace
