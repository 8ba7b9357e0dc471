// Text on a bitmap through the platform's text calls, and smoothed text of
// any colour and opacity.
#include <string>

#include "bitmap/Pix32.h"
#include "bitmap/Pix32_LowLevel.h"
#include "platform/Text.h"

void TBitmap32::SetFont(const TFont& font) {
    font_.Assign(font);
    FontChanged(&font_);
}

void TBitmap32::FontChanged(TObject* sender) { fontSelected_ = false; }

// The platform's text calls take the font with every call; what stays of
// selecting it is the record that this bitmap's text now uses it.
void TBitmap32::UpdateFont() { fontSelected_ = true; }

TSize TBitmap32::TextExtent(std::string_view text) {
    UpdateFont();
    return thorn::TextExtent(font_, text);
}

void TBitmap32::Textout(int32_t x, int32_t y, std::string_view text) {
    UpdateFont();
    if (!Empty()) thorn::TextOut(PixelStore(), x, y, font_, text);
    Changed();
}

void TBitmap32::Textout(int32_t x, int32_t y, const TRect& clipRect, std::string_view text) {
    UpdateFont();
    if (!Empty()) thorn::TextOut(PixelStore(), x, y, font_, text, &clipRect);
    Changed();
}

void TBitmap32::Textout(const TRect& dstRect, uint32_t flags, std::string_view text) {
    UpdateFont();
    TRect r = dstRect;
    if (!Empty()) thorn::DrawText(PixelStore(), r, flags, font_, text);
    Changed();
}

void TBitmap32::RenderText(int32_t x, int32_t y, std::string_view text, int32_t AALevel, TColor32 color) {
    if (Empty()) return;
    uint32_t alpha = color >> 24;
    color &= 0x00FFFFFFu;
    AALevel = Constrain(AALevel, 0, 4);
    std::string padded = std::string(text) + " ";
    TBitmap32 work;
    if (AALevel == 0) {
        // White text on black: its brightness becomes the alpha over color.
        TSize size = TextExtent(padded);
        work.SetSize(size.cx, size.cy);
        work.SetFont(font_);
        work.Clear(0);
        work.Font().SetColor(clWhite);
        work.Textout(0, 0, text);
        if (!work.Empty()) {
            TColor32* p = work.Bits();
            for (int64_t i = 0, n = int64_t{work.Width()} * work.Height(); i < n; ++i)
                if (p[i] != 0) p[i] = (p[i] << 24) + color;
        }
    } else {
        // Drawn 2^AALevel times larger, then each block's average brightness
        // becomes the alpha of one pixel.
        int32_t scale = 1 << AALevel;
        TFont large(font_);
        large.SetSize(font_.GetSize() << AALevel);
        TSize size = thorn::TextExtent(large, padded);
        int32_t width = ((size.cx >> AALevel) + 1) << AALevel;
        TBitmap32 big;
        big.SetSize(width, size.cy);
        big.Clear(0);
        big.SetFont(large);
        big.Font().SetColor(clWhite);
        big.Textout(0, 0, text);
        work.SetSize(width >> AALevel, size.cy >> AALevel);
        for (int32_t by = 0; by < work.Height(); ++by) {
            for (int32_t bx = 0; bx < work.Width(); ++bx) {
                uint32_t sum = 0;
                for (int32_t j = 0; j < scale; ++j) {
                    const TColor32* row = big.PixelPtr(bx * scale, by * scale + j);
                    for (int32_t i = 0; i < scale; ++i) sum += row[i] & 0xFF;
                }
                work.SetPixel(bx, by, ((sum >> AALevel) >> AALevel) << 24 | color);
            }
        }
    }
    work.SetDrawMode(dmBlend);
    work.SetMasterAlpha(alpha);
    work.DrawTo(this, x, y);
}
