#include "platform/Graphics.h"

#include <array>

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | g << 8 | b << 16; }

// The classic three-dimensional look.
constexpr std::array<uint32_t, 31> kSystemColors = {
    Rgb(212, 208, 200),  // scroll bar
    Rgb(58, 110, 165),   // desktop
    Rgb(10, 36, 106),    // active caption
    Rgb(128, 128, 128),  // inactive caption
    Rgb(212, 208, 200),  // menu
    Rgb(255, 255, 255),  // window
    Rgb(0, 0, 0),        // window frame
    Rgb(0, 0, 0),        // menu text
    Rgb(0, 0, 0),        // window text
    Rgb(255, 255, 255),  // caption text
    Rgb(212, 208, 200),  // active border
    Rgb(212, 208, 200),  // inactive border
    Rgb(128, 128, 128),  // application workspace
    Rgb(10, 36, 106),    // highlight
    Rgb(255, 255, 255),  // highlight text
    Rgb(212, 208, 200),  // button face
    Rgb(128, 128, 128),  // button shadow
    Rgb(128, 128, 128),  // grey text
    Rgb(0, 0, 0),        // button text
    Rgb(212, 208, 200),  // inactive caption text
    Rgb(255, 255, 255),  // button highlight
    Rgb(64, 64, 64),     // 3D dark shadow
    Rgb(212, 208, 200),  // 3D light
    Rgb(0, 0, 0),        // info text
    Rgb(255, 255, 225),  // info background
    Rgb(181, 181, 181),  // (unused)
    Rgb(0, 0, 128),      // hot light
    Rgb(166, 202, 240),  // gradient active caption
    Rgb(192, 192, 192),  // gradient inactive caption
    Rgb(49, 106, 197),   // menu highlight
    Rgb(236, 233, 216),  // menu bar
};

}  // namespace

uint32_t GetSysColor(int index) {
    return index >= 0 && index < static_cast<int>(kSystemColors.size()) ? kSystemColors[index] : 0;
}

uint32_t ColorToRGB(TColor color) {
    if (color < 0) return GetSysColor(color & 0xFF);
    return static_cast<uint32_t>(color);
}

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    int64_t product = static_cast<int64_t>(a) * b;
    bool negative = (product < 0) != (c < 0);
    uint64_t n = product < 0 ? 0 - static_cast<uint64_t>(product) : static_cast<uint64_t>(product);
    uint64_t d = c < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(c)) : static_cast<uint64_t>(c);
    uint64_t q = n / d;
    if (n % d >= d - n % d) ++q;  // half or more of the divisor left: away from zero
    if (q >= (uint64_t{1} << 31)) return -1;
    return negative ? -static_cast<int32_t>(q) : static_cast<int32_t>(q);
}

void TFont::Assign(const TPersistent& source) {
    if (const auto* font = dynamic_cast<const TFont*>(&source)) {
        if (font != this) {
            CopyFields(*font);
            Changed();
        }
        return;
    }
    TPersistent::Assign(source);
}

void TFont::CopyFields(const TFont& other) {
    charset_ = other.charset_;
    color_ = other.color_;
    height_ = other.height_;
    name_ = other.name_;
    pitch_ = other.pitch_;
    pixelsPerInch_ = other.pixelsPerInch_;
    style_ = other.style_;
}

int TFont::GetSize() const { return -MulDiv(height_, 72, pixelsPerInch_); }

void TFont::SetCharset(uint8_t value) {
    if (charset_ != value) charset_ = value, Changed();
}
void TFont::SetColor(TColor value) {
    if (color_ != value) color_ = value, Changed();
}
void TFont::SetHeight(int value) {
    if (height_ != value) height_ = value, Changed();
}
void TFont::SetName(const std::string& value) {
    if (name_ != value && !value.empty()) name_ = value, Changed();
}
void TFont::SetPitch(TFontPitch value) {
    if (pitch_ != value) pitch_ = value, Changed();
}
void TFont::SetPixelsPerInch(int value) {
    if (pixelsPerInch_ != value && value > 0) pixelsPerInch_ = value, Changed();
}
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixelsPerInch_, 72)); }
void TFont::SetStyle(TFontStyles value) {
    if (style_ != value) style_ = value, Changed();
}

bool TFont::operator==(const TFont& other) const {
    return charset_ == other.charset_ && color_ == other.color_ && height_ == other.height_ &&
           name_ == other.name_ && pitch_ == other.pitch_ && pixelsPerInch_ == other.pixelsPerInch_ &&
           style_ == other.style_;
}

void TFont::Changed() {
    if (OnChange) OnChange(this);
}
