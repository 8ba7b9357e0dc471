#include <gtest/gtest.h>

#include "MapViewFixture.h"

namespace {

using thorn::test::MapViewTest;

constexpr TColor32 kLink = 0xFF00FF00;

// Provinces on A and B (neighbours) and on C (alone), with the overlay
// shown as the walking paths are; the army places put the A-B link on row
// 30 from x 30 to 80.
class NeighbourLinks : public MapViewTest {
protected:
    void SetUp() override {
        MakeProvinces();
        editor.Settings().ShPaths = 1;
        project.CreateNeighbourLinksLayer();
        for (uint8_t i = 0; i < 3; ++i) {
            Province(i).SetArmyX(20);
            Province(i).SetArmyY(20);
        }
        project.DrawNeighbourLinks();
    }
    const TBitmap32& Overlay() { return *LayerAt(0).GetBitmap(); }
    // The overlay's pixel over the world's point (0 where it has none).
    TColor32 At(int32_t x, int32_t y) {
        const TFloatRect place = LayerAt(0).GetLocation();
        return Overlay().GetPixelS(x - static_cast<int32_t>(place.Left), y - static_cast<int32_t>(place.Top));
    }
    int LinkPixels() {
        int n = 0;
        for (int32_t y = 0; y < Overlay().Height(); ++y)
            for (int32_t x = 0; x < Overlay().Width(); ++x) n += Overlay().GetPixel(x, y) == kLink;
        return n;
    }
};

TEST_F(NeighbourLinks, TheOverlayCoversItsLinesAtTheBottomOfTheView) {
    TBitmapLayer& overlay = LayerAt(0);
    EXPECT_EQ(project.NeighbourLinksLayer(), &overlay);
    EXPECT_EQ(overlay.GetTag(), 0);
    // No larger than its one line, over the part of the world it crosses.
    EXPECT_EQ(overlay.GetBitmap()->Width(), 51);
    EXPECT_EQ(overlay.GetBitmap()->Height(), 1);
    EXPECT_EQ(overlay.GetLocation(), (TFloatRect{30, 30, 81, 31}));
    EXPECT_TRUE(overlay.GetScaled());
    EXPECT_EQ(overlay.GetLayerOptions(), 0xDFFFFFFFu);
    EXPECT_EQ(overlay.GetBitmap()->DrawMode(), dmBlend);
}

// While the walking paths are hidden the overlay holds no bitmap: made
// hidden, it makes none; hidden again, it lets its bitmap go.
TEST_F(NeighbourLinks, AHiddenOverlayHoldsNoBitmap) {
    editor.Settings().ShPaths = 0;
    project.CreateNeighbourLinksLayer();
    EXPECT_FALSE(LayerAt(0).GetVisible());
    project.DrawNeighbourLinks();
    EXPECT_TRUE(Overlay().Empty());
    project.ShowNeighbourLinks(true);
    EXPECT_EQ(LinkPixels(), 50);
    project.ShowNeighbourLinks(false);
    EXPECT_FALSE(LayerAt(0).GetVisible());
    EXPECT_TRUE(Overlay().Empty());
}

TEST_F(NeighbourLinks, TwoNeighboursGetOneLineBetweenTheirArmies) {
    // From (10 + 20, 10 + 20) to (60 + 20, 10 + 20), the last point left out.
    EXPECT_EQ(LinkPixels(), 50);
    EXPECT_EQ(At(30, 30), kLink);
    EXPECT_EQ(At(79, 30), kLink);
    EXPECT_EQ(At(80, 30), 0u);
    EXPECT_EQ(At(150, 30), 0u);
    // The view shows it where the world has it.
    EXPECT_EQ(editor.Painted()->GetPixel(60, 30), kLink);
    EXPECT_NE(editor.Painted()->GetPixel(60, 31), kLink);
}

TEST_F(NeighbourLinks, APieceWithoutAProvinceEndsNoLine) {
    Province(1).MapPieceIndex = -1;
    project.DrawNeighbourLinks();
    EXPECT_EQ(LinkPixels(), 0);
}

TEST_F(NeighbourLinks, AHiddenOverlayKeepsItsLastLines) {
    LayerAt(0).SetVisible(false);
    Province(1).SetArmyY(40);
    project.DrawNeighbourLinks();
    EXPECT_EQ(At(79, 30), kLink);
    LayerAt(0).SetVisible(true);
    project.DrawNeighbourLinks();
    EXPECT_EQ(At(79, 30), 0u);
    EXPECT_EQ(LinkPixels(), 50);  // now down to (80, 50)
}

TEST_F(NeighbourLinks, DeletingAProvinceTakesItsLinesAway) {
    project.Selection.Add(&Province(1));
    editor.provinceRows.at(1).selected = true;
    project.DeleteSelectedProvinces();
    EXPECT_EQ(LinkPixels(), 0);
}

TEST_F(NeighbourLinks, WithoutTheOverlayNoMarkerIsDrawnOver) {
    Layers().Delete(0);
    const TBitmap32& bottom = *LayerAt(0).GetBitmap();
    const TColor32 before = bottom.GetPixel(14, 7);
    EXPECT_EQ(project.NeighbourLinksLayer(), nullptr);
    project.DrawNeighbourLinks();
    EXPECT_EQ(bottom.GetPixel(14, 7), before);
}

}  // namespace
