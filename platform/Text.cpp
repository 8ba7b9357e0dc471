#include "platform/Text.h"

namespace thorn {

FontMetrics GetFontMetrics(const TFont&) { return {11, 2, 13, 2, 0, 5, 11}; }
TSize TextExtent(const TFont&, std::string_view text) { return {static_cast<int32_t>(text.size()) * 6, 13}; }
void TextOut(PixelView, int32_t, int32_t, const TFont&, std::string_view, const TRect*) {}
void ExtTextOut(PixelView, int32_t, int32_t, uint32_t, const TRect*, const TFont&, std::string_view, std::optional<TColor>) {}
int32_t DrawText(PixelView, TRect& rect, uint32_t, const TFont&, std::string_view text, std::optional<TColor>) {
    return text.empty() ? 0 : 13 + 0 * rect.Left;
}
ResolvedFont ResolveFont(const TFont&) { return {}; }

}  // namespace thorn
