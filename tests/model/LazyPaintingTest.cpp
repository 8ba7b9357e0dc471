#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "MapViewFixture.h"
#include "bitmap/Pix32_Blend.h"
#include "gui/Application.h"
#include "gui/headless/HeadlessHost.h"

namespace {

using thorn::test::DrawPicture;
using thorn::test::kGreen;
using thorn::test::kOcean;
using thorn::test::MapViewTest;
using thorn::test::ProvinceColour;

constexpr int kNormal = 0, kSelected = 1;
constexpr int32_t kWorldW = 900, kWorldH = 700;

// Texel (x, y) of tile t of strip s: every texel its own colour, so that a
// texel taken from the wrong place shows.
TColor32 Texel(int s, int t, int x, int y) {
    return 0xFF000000u | static_cast<uint32_t>(40 * s + 20 * t) << 16 | static_cast<uint32_t>(x * 30) << 8 |
           static_cast<uint32_t>(y * 30);
}

// A world of 5 x 4 provinces with wavy borders and a lake, in an ocean,
// larger than the 300 x 220 scroll box: most of it is out of sight.
std::unique_ptr<TBitmap32> WavyWorld() {
    return DrawPicture(kWorldW, kWorldH, [](int32_t x, int32_t y) {
        if (x < 20 || y < 20 || x >= kWorldW - 20 || y >= kWorldH - 20) return kOcean;
        const double dx = x - 450.0, dy = y - 350.0;
        if (dx * dx + dy * dy < 40.0 * 40.0) return kGreen;
        const double u = (x - 20) + 15 * std::sin(y / 37.0), v = (y - 20) + 12 * std::sin(x / 29.0);
        const int column = std::clamp(static_cast<int>(u / 172), 0, 4), row = std::clamp(static_cast<int>(v / 165), 0, 3);
        return ProvinceColour(static_cast<uint32_t>(1 + column + 5 * row));
    });
}

// The lazy painting against the plain one: province pieces selected and
// given owners at random, darkened as the blink does, the view scrolled and
// zoomed and painted by the host in between, each time showing what the
// plain paint of every piece (texture fill, then bevel, blended onto the
// world) shows; at the end the whole world read at once, and every mask.
class LazyPainting : public MapViewTest {
protected:
    void SetUp() override {
        for (int strip = 0; strip < 3; ++strip) {
            const auto file = dir / ("texels" + std::to_string(strip) + ".bmp");
            thorn::test::WriteBmp24(file, *DrawPicture(8 * kTileSide, kTileSide, [&](int32_t x, int32_t y) {
                return Texel(strip, x / kTileSide, x % kTileSide, y);
            }));
            editor.textures[strip].Load(file);
        }
        editor.settings.ShIcons = 0;  // nothing over the world
        ASSERT_EQ(Import(*WavyWorld()), 1);
        SetGameData(1, 1);
        ASSERT_EQ(project.CreateProvinces(), 1);
        ASSERT_EQ(project.Provinces.GetCount(), 20);
        editor.form->Show();
        for (uint16_t n = 0; n < project.MapPieces.GetCount(); ++n) {
            const CProvinceMap& piece = Piece(n);
            if (!piece.IsProvince()) continue;
            auto shape = std::make_unique<TBitmap32>();
            shape->Assign(piece.Mask.AsIs());
            shapes[n] = std::move(shape);
        }
        project.RedrawPieces(0);
        initial.Assign(*editor.view->GetBitmap());
    }

    // Piece n as the plain path paints it for its selection, its owner and
    // whether the blink darkened it since.
    std::unique_ptr<TBitmap32> PlainPaint(uint16_t n) {
        auto paint = std::make_unique<TBitmap32>();
        paint->Assign(*shapes.at(n));
        const CProvince* province = project.FindProvinceByPieceIndex(n);
        const uint8_t tile = static_cast<uint8_t>((province ? province->Owner : CProvinceB::kNoOwner) + 1);
        FillFromTexture(*paint, editor.textures[Piece(n).Selected ? kSelected : kNormal], tile);
        BevelEdges(*paint);
        for (int k = 0; k < darkened[n]; ++k) DarkenBitmap(*paint);
        return paint;
    }
    // The world every piece painted the plain way shows.
    std::unique_ptr<TBitmap32> PlainWorld() {
        auto world = std::make_unique<TBitmap32>();
        world->Assign(initial);
        for (const auto& [n, shape] : shapes) {
            const auto paint = PlainPaint(n);
            for (int32_t y = 0; y < paint->Height(); ++y)
                for (int32_t x = 0; x < paint->Width(); ++x)
                    BlendMem(paint->GetPixel(x, y), *world->PixelPtr(Piece(n).Left + x, Piece(n).Top + y));
        }
        return world;
    }
    // What the host shows against what it shows of the plain world at the
    // same place and zoom: the world bitmap as it is swapped for the plain
    // one (asking the project for nothing) for a second paint, then put
    // back as it was.
    void ExpectShownAsPlain(const TBitmap32& plain) {
        thorn::HeadlessHost& host = editor.session->Host();
        Application->ProcessMessages();
        TBitmap32 shown, expected, kept;
        host.Snapshot(*editor.form, shown);
        TImage32& view = *editor.view;
        kept.Assign(*view.BitmapAsIs());
        TBitmapNeededEvent project = std::move(view.OnBitmapNeeded);
        view.OnBitmapNeeded = nullptr;
        view.BitmapAsIs()->Assign(plain);
        view.Invalidate();
        Application->ProcessMessages();
        host.Snapshot(*editor.form, expected);
        view.BitmapAsIs()->Assign(kept);
        view.OnBitmapNeeded = std::move(project);
        ASSERT_EQ(thorn::test::PixelsOf(shown), thorn::test::PixelsOf(expected));
    }

    std::map<uint16_t, std::unique_ptr<TBitmap32>> shapes;  // the province pieces'
    std::map<uint16_t, int> darkened;  // times since its last paint
    TBitmap32 initial;
};

TEST_F(LazyPainting, ShowsAndGivesWhatThePlainPaintOfEveryPieceGives) {
    std::mt19937 random(5);
    std::vector<uint16_t> provincePieces;
    for (const auto& [n, shape] : shapes) provincePieces.push_back(n);
    auto any = [&](size_t count) { return static_cast<size_t>(random() % count); };
    for (int step = 0; step < 60; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const uint16_t n = provincePieces[any(provincePieces.size())];
        switch (any(7)) {
        case 0:
            if (!Piece(n).Selected) darkened[n] = 0;
            project.SelectMapPiece(n);
            break;
        case 1:
            if (Piece(n).Selected) darkened[n] = 0;
            project.DeselectMapPiece(n);
            break;
        case 2:  // an owner for many at once, as the province grid gives it
            for (size_t k = 0; k < provincePieces.size(); k += 1 + any(3)) {
                CProvince* province = project.FindProvinceByPieceIndex(provincePieces[k]);
                province->SetOwner(static_cast<uint8_t>(any(7) == 6 ? CProvinceB::kNoOwner : any(6)));
                project.RedrawPiece(provincePieces[k]);
                darkened[provincePieces[k]] = 0;
            }
            break;
        case 3:  // the blink's dark phase
            DarkenBitmap(*Piece(n).Mask);
            project.DrawMapPiece(n);
            ++darkened[n];
            break;
        case 4:  // drawn as it is, as the pieces are after a new world
            project.DrawMapPiece(n);
            break;
        case 5:
            editor.bars[0].position = static_cast<int32_t>(any(700));
            editor.bars[1].position = static_cast<int32_t>(any(600));
            project.FitWorldImage();
            break;
        default:
            project.SetZoom(static_cast<float>(1 + any(3)));
            break;
        }
        if (step % 4 == 3) ExpectShownAsPlain(*PlainWorld());
    }
    const auto plain = PlainWorld();
    ExpectShownAsPlain(*plain);
    EXPECT_EQ(thorn::test::PixelsOf(*editor.view->GetBitmap()), thorn::test::PixelsOf(*plain));
    for (uint16_t n : provincePieces) {
        SCOPED_TRACE("piece " + std::to_string(n));
        const CProvinceMap& piece = Piece(n);
        EXPECT_EQ(thorn::test::PixelsOf(*piece.Mask), thorn::test::PixelsOf(*PlainPaint(n)));
    }
}

}  // namespace
