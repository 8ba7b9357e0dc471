#include <gtest/gtest.h>

#include "MapViewFixture.h"

namespace {

using thorn::test::MapViewTest;
using thorn::test::TileColour;

constexpr int kNormal = 0, kSelected = 1, kSea = 2;

class PiecePainting : public MapViewTest {
protected:
    void SetUp() override { MakeProvinces(); }
    // A world pixel well inside a piece, away from its bevelled rim.
    TColor32 Inside(uint16_t n) {
        const CProvinceMap& piece = Piece(n);
        return editor.world.GetPixel(piece.Left + 20, piece.Top + 20);
    }
};

TEST_F(PiecePainting, EachKindHasItsTexture) {
    project.RedrawPieces(1);
    EXPECT_EQ(editor.world.GetPixel(0, 0), TileColour(kSea, 0));
    EXPECT_EQ(Inside(pieceGreen), TileColour(kNormal, 7));
    EXPECT_EQ(Inside(pieceA), TileColour(kNormal, 0));
    // The rim of a province piece is shaded, light at the top left.
    EXPECT_EQ(editor.world.GetPixel(10, 10), LightenColor32(LightenColor32(TileColour(kNormal, 0))));
    // What the view shows, beside the province's marker.
    EXPECT_EQ(editor.Painted()->GetPixel(15, 52), TileColour(kNormal, 0));
}

TEST_F(PiecePainting, AnOwnedPieceTakesItsOwnersTileWhenOwnerColoursAreOn) {
    ASSERT_EQ(Province(0).SetOwner(2), 1);
    project.RedrawPiece(pieceA);
    EXPECT_EQ(Inside(pieceA), TileColour(kNormal, 3));
    editor.settings.OwnerColors = 0;
    project.RedrawPiece(pieceA);
    EXPECT_EQ(Inside(pieceA), TileColour(kNormal, 0));
    // A province piece nobody is bound to: tile 0 either way.
    editor.settings.OwnerColors = 1;
    Province(1).MapPieceIndex = -1;
    project.RedrawPiece(pieceB);
    EXPECT_EQ(Inside(pieceB), TileColour(kNormal, 0));
}

TEST_F(PiecePainting, SelectionUsesTheSelectedStripOnProvincePiecesOnly) {
    ASSERT_EQ(Province(0).SetOwner(0), 1);
    EXPECT_EQ(project.SelectMapPiece(pieceA), 1);
    EXPECT_EQ(Piece(pieceA).Selected, 1u);
    EXPECT_EQ(Inside(pieceA), TileColour(kSelected, 1));
    // Selected again: not repainted.
    const CProvinceMap& a = Piece(pieceA);
    editor.world.SetPixel(a.Left + 20, a.Top + 20, 0xFF010203);
    project.SelectMapPiece(pieceA);
    EXPECT_EQ(Inside(pieceA), 0xFF010203u);

    EXPECT_EQ(project.DeselectMapPiece(pieceA), 1);
    EXPECT_EQ(Piece(pieceA).Selected, 0u);
    EXPECT_EQ(Inside(pieceA), TileColour(kNormal, 1));

    EXPECT_EQ(project.SelectMapPiece(pieceOcean), 1);
    EXPECT_EQ(Piece(pieceOcean).Selected, 0u);
    EXPECT_EQ(project.SelectMapPiece(0xFFFF), 1);
    EXPECT_EQ(project.DeselectMapPiece(0xFFFF), 1);
    EXPECT_EQ(project.SelectMapPiece(999), 1);
}

TEST_F(PiecePainting, PixelCountsFollowThePaintingOfTheOtherKinds) {
    CProvinceMap& a = Piece(pieceA);
    const uint32_t count = a.PixelCount;
    a.PixelCount = 7;
    project.RedrawPiece(pieceA);
    EXPECT_EQ(a.PixelCount, 7u);  // a province piece keeps its count
    a.PixelCount = count;

    CProvinceMap& c = Piece(pieceC);
    c.Kind = CProvinceMap::Small;
    c.PixelCount = 0;
    project.RedrawPiece(pieceC);
    EXPECT_EQ(c.PixelCount, 2500u);
    EXPECT_EQ(Inside(pieceC), editor.settings.SmallPieceColor);
    for (uint32_t kind : {0u, 9u}) {
        c.Kind = kind;
        c.Mask->SetPixel(0, 0, 0);
        project.RedrawPiece(pieceC);
        EXPECT_EQ(c.PixelCount, 2499u);
        EXPECT_EQ(c.Mask->GetPixel(5, 5), editor.settings.OtherPieceColor);
    }
}

TEST_F(PiecePainting, AnEmptiedPieceDrawsNothing) {
    CProvinceMap& c = Piece(pieceC);
    c.PixelCount = 0;
    editor.world.Clear(0xFF445566);
    project.DrawMapPiece(pieceC);
    project.DrawMapPiece(2001);
    EXPECT_EQ(Inside(pieceC), 0xFF445566u);
}

using Binding = PiecePainting;

TEST_F(Binding, OnlyAFreeProvincePieceIsUnoccupied) {
    EXPECT_EQ(project.IsPieceOccupied(pieceGreen), 1);
    EXPECT_EQ(project.IsPieceOccupied(pieceOcean), 1);
    EXPECT_EQ(project.IsPieceOccupied(0xFFFFFFFF), 1);
    EXPECT_EQ(project.IsPieceOccupied(project.MapPieces.GetCount()), 1);
    EXPECT_EQ(project.IsPieceOccupied(pieceA), 1);
    project.DetachProvince(&Province(0));
    EXPECT_EQ(project.IsPieceOccupied(pieceA), 0);
}

TEST_F(Binding, IconsMoveBetweenTheFreePositionAndThePiecesPlaces) {
    CProvince& p = Province(0);
    const CProvinceMap& a = Piece(pieceA);
    p.FreeX = 150;
    p.FreeY = 120;
    project.Modified = 0;
    EXPECT_EQ(project.DetachProvince(&p), 1);
    EXPECT_EQ(p.BoundToPiece, 0);
    EXPECT_EQ(p.MapPieceIndex, -1);
    EXPECT_EQ(p.CastleX, 150);
    EXPECT_EQ(p.ArmyY, 120);
    EXPECT_EQ(project.Modified, 1u);
    // No castle or army pictures: the icons are empty and sit on their point.
    EXPECT_EQ(LayerOf(p, CLayerTag::Castle).GetLocation(), (TFloatRect{150, 120, 150, 120}));
    EXPECT_EQ(LayerOf(p, CLayerTag::Army).GetLocation().Left, 150.0f);

    ASSERT_EQ(p.SetOwner(4), 1);
    EXPECT_EQ(project.AttachProvinceToPiece(&p, pieceA), 0);
    EXPECT_EQ(p.BoundToPiece, 1);
    EXPECT_EQ(p.MapPieceIndex, pieceA);
    EXPECT_EQ(p.CastleX, a.CastleX);
    EXPECT_EQ(p.ArmyY, a.ArmyY);
    EXPECT_EQ(LayerOf(p, CLayerTag::Castle).GetLocation().Left, static_cast<float>(a.Left + a.CastleX));
    EXPECT_EQ(LayerOf(p, CLayerTag::Army).GetLocation().Top, static_cast<float>(a.Top + a.ArmyY));
    EXPECT_EQ(Inside(pieceA), TileColour(kNormal, 5));
}

TEST_F(Binding, FreeProvincesTakeOnlyFreeProvincePieces) {
    project.DetachProvince(&Province(2));  // piece C is free now
    CProvince* overOcean = project.AddProvince(120, 80, 0, 0, 0, 0, 0, -1);
    CProvince* overGreen = project.AddProvince(30, 100, 0, 0, 0, 0, 0, -1);
    CProvince* overA = project.AddProvince(30, 30, 0, 0, 0, 0, 0, -1);
    CProvince* overC = project.AddProvince(140, 20, 0, 0, 0, 0, 0, -1);
    // Province 2 itself lies over C too, and comes first in the list.
    Province(2).FreeX = 170;
    Province(2).FreeY = 50;
    EXPECT_EQ(project.AttachFreeProvinces(), 1);
    EXPECT_EQ(Province(2).MapPieceIndex, pieceC);
    EXPECT_EQ(overC->BoundToPiece, 0);
    EXPECT_EQ(overOcean->BoundToPiece, 0);
    EXPECT_EQ(overGreen->BoundToPiece, 0);
    EXPECT_EQ(overA->BoundToPiece, 0);
    // The bound province's marker went to its point.
    EXPECT_EQ(LayerOf(Province(2), CLayerTag::Marker).GetLocation().Left, 170.0f - 14);
}

}  // namespace
