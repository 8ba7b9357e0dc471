#include "editor/LabelFont.h"

#include <cstdint>
#include <cstdlib>

namespace thorn {

namespace {

// The height is what is drawn: in pixels, negative for the characters alone,
// positive for the whole cell.
int64_t Pixels(int height) { return std::llabs(int64_t{height}); }
int64_t LeastPixels() { return MulDiv(kMinLabelFontSize, kScreenPixelsPerInch, 72); }
int64_t MostPixels() { return MulDiv(kMaxLabelFontSize, kScreenPixelsPerInch, 72); }

}  // namespace

bool LabelFontHeightFits(int height) { return Pixels(height) >= LeastPixels() && Pixels(height) <= MostPixels(); }

void KeepLabelFontSize(TFont& font) {
    if (LabelFontHeightFits(font.GetHeight())) return;
    const bool small = Pixels(font.GetHeight()) < LeastPixels();
    font.SetPixelsPerInch(kScreenPixelsPerInch);
    font.SetSize(small ? kMinLabelFontSize : kMaxLabelFontSize);
}

}  // namespace thorn
