#include "editor/LabelFont.h"

#include <cstdint>
#include <cstdlib>

namespace thorn {

void KeepLabelFontSize(TFont& font) {
    // The height is what is drawn: in pixels, negative for the characters
    // alone, positive for the whole cell.
    const int64_t pixels = std::llabs(int64_t{font.GetHeight()});
    const int64_t least = MulDiv(kMinLabelFontSize, kScreenPixelsPerInch, 72);
    const int64_t most = MulDiv(kMaxLabelFontSize, kScreenPixelsPerInch, 72);
    if (pixels >= least && pixels <= most) return;
    font.SetPixelsPerInch(kScreenPixelsPerInch);
    font.SetSize(pixels < least ? kMinLabelFontSize : kMaxLabelFontSize);
}

}  // namespace thorn
