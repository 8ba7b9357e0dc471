#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bitmapui/Pix32_Image.h"
#include "gui/Application.h"
#include "gui/ScrollBox.h"
#include "gui/headless/HeadlessHost.h"

namespace {

// A picture composed on demand: a 500 x 400 bitmap shown at twice its size
// in a 400 x 300 scroll box, whose pixels are drawn only when the image
// asks for them. Pixel (x, y) is drawn 0xFF, x, y, 0x80 (each modulo 256).
class Image32OnDemand : public ::testing::Test {
protected:
    static constexpr int kScale = 2;

    Image32OnDemand() {
        form = Application->CreateForm<TForm>();
        form->SetBounds(0, 0, 400, 300);
        box = thorn::Make<TScrollBox>(*form);
        box->SetParent(form);
        box->SetAlign(alClient);
        image = thorn::Make<TImage32>(*form);
        image->SetParent(box);
        image->SetScaleMode(smScale);
        image->SetScale(kScale);
        image->SetBounds(0, 0, 500 * kScale, 400 * kScale);
        image->BitmapAsIs()->SetSize(500, 400);
        image->OnBitmapNeeded = [this](TObject* sender, const TRect& part) {
            EXPECT_EQ(sender, image);
            asked.push_back(part);
            // Reading the bitmap again from here asks for nothing more.
            TBitmap32& bitmap = *image->GetBitmap();
            for (int y = part.Top; y < part.Bottom; ++y)
                for (int x = part.Left; x < part.Right; ++x) bitmap.SetPixel(x, y, Drawn(x, y));
        };
        form->Show();
        Application->ProcessMessages();
    }

    static TColor32 Drawn(int x, int y) { return 0xFF000000u | (x & 0xFF) << 16 | (y & 0xFF) << 8 | 0x80; }
    // What the box shows at its client point, from the bitmap pixel there.
    void ExpectShownFromTheBitmap() {
        const TPoint scrolled{box->HorzScrollBar().GetScrollPos(), box->VertScrollBar().GetScrollPos()};
        for (int y = 0; y < box->GetClientHeight(); y += 7)
            for (int x = 0; x < box->GetClientWidth(); x += 7) {
                const TPoint screen = box->ClientToScreen({x, y});
                const TColor32 shown = host.PixelAt(*form, screen.X - form->GetLeft(), screen.Y - form->GetTop());
                ASSERT_EQ(shown, Drawn((x + scrolled.X) / kScale, (y + scrolled.Y) / kScale)) << x << "," << y;
            }
    }
    bool AskedFor(TPoint p) const {
        for (const TRect& r : asked)
            if (p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom) return true;
        return false;
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TScrollBox* box = nullptr;
    TImage32* image = nullptr;
    std::vector<TRect> asked;
};

TEST_F(Image32OnDemand, OnlyThePartInSightIsAskedForUntilTheBitmapIsRead) {
    ExpectShownFromTheBitmap();
    EXPECT_FALSE(AskedFor({450, 350}));
    EXPECT_EQ(image->BitmapAsIs()->GetPixel(450, 350), 0u);
    // What the handler drew repaints nothing.
    const size_t asks = asked.size();
    EXPECT_FALSE(form->HasPendingPaint());
    Application->ProcessMessages();
    EXPECT_EQ(asked.size(), asks);

    // The wheel scrolls the box down: the part that comes into sight is
    // asked for as it is painted.
    for (int notch = 0; notch < 4; ++notch) host.Wheel(*form, 200, 150, -120);
    Application->ProcessMessages();
    ASSERT_GT(box->VertScrollBar().GetScrollPos(), 0);
    ExpectShownFromTheBitmap();
    EXPECT_GT(asked.size(), asks);

    // A reader of the whole bitmap gets every part of it.
    EXPECT_EQ(image->GetBitmap()->GetPixel(450, 350), Drawn(450, 350));
    EXPECT_EQ(asked.back(), (TRect{0, 0, 500, 400}));
}

}  // namespace
