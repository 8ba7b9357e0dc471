#include "inspector/Rmlibrary.h"

#include <span>

#include "bitmap/Pix32.h"
#include "gui/Drawing.h"
#include "platform/Crc32.h"
#include "platform/Text.h"

int32_t GetStrCRC32(std::string_view text) {
    const auto bytes = std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    return static_cast<int32_t>(thorn::Crc32Of(bytes));
}

int32_t SetInRange(int32_t value, int32_t minimum, int32_t maximum) {
    if (minimum > maximum)
        throw ERangeError(std::to_string(minimum) + " is not less than or equal to " + std::to_string(maximum));
    if (value < minimum) return minimum;
    if (value > maximum) return maximum;
    return value;
}

std::string BoolToStr(bool value) { return value ? "True" : "False"; }

bool StrToBool(std::string_view text) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) < 33; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    constexpr std::string_view kTrue = "true";
    if (text.size() != kTrue.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != kTrue[i]) return false;
    }
    return true;
}

void ReplaceColors(TBitmap32& bitmap, TColor background, TColor ink) {
    const TColor32 back = Color32(background);
    const TColor32 front = Color32(ink);
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
        TColor32* row = bitmap.ScanLine(y);
        for (int32_t x = 0; x < bitmap.Width(); ++x) row[x] = (row[x] & 0x00FFFFFFu) == 0 ? front : back;
    }
    bitmap.Changed();
}

void DrawGrayText(TCanvas& canvas, std::string_view text, TRect& rect, uint32_t format) {
    if (format & DT_CALCRECT)
        canvas.DrawText(rect, format, text);
    else
        thorn::DrawDisabledText(canvas, rect, format, text);
    ++rect.Right;
    ++rect.Bottom;
}
