#pragma once

#include <cstdint>
#include <string>

#include "platform/Classes.h"

// A GUI colour: $00BBGGRR, or a negative value naming a system colour whose
// index is the low byte.
using TColor = int32_t;

constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(index)); }

// System colours, as named by the desktop class library.
inline constexpr TColor clScrollBar = SystemColor(0);
inline constexpr TColor clBackground = SystemColor(1);
inline constexpr TColor clActiveCaption = SystemColor(2);
inline constexpr TColor clInactiveCaption = SystemColor(3);
inline constexpr TColor clMenu = SystemColor(4);
inline constexpr TColor clWindow = SystemColor(5);
inline constexpr TColor clWindowFrame = SystemColor(6);
inline constexpr TColor clMenuText = SystemColor(7);
inline constexpr TColor clWindowText = SystemColor(8);
inline constexpr TColor clCaptionText = SystemColor(9);
inline constexpr TColor clActiveBorder = SystemColor(10);
inline constexpr TColor clInactiveBorder = SystemColor(11);
inline constexpr TColor clAppWorkSpace = SystemColor(12);
inline constexpr TColor clHighlight = SystemColor(13);
inline constexpr TColor clHighlightText = SystemColor(14);
inline constexpr TColor clBtnFace = SystemColor(15);
inline constexpr TColor clBtnShadow = SystemColor(16);
inline constexpr TColor clGrayText = SystemColor(17);
inline constexpr TColor clBtnText = SystemColor(18);
inline constexpr TColor clInactiveCaptionText = SystemColor(19);
inline constexpr TColor clBtnHighlight = SystemColor(20);
inline constexpr TColor cl3DDkShadow = SystemColor(21);
inline constexpr TColor cl3DLight = SystemColor(22);
inline constexpr TColor clInfoText = SystemColor(23);
inline constexpr TColor clInfoBk = SystemColor(24);

// Plain colours.
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// The $00BBGGRR value of a system colour index, from the one fixed table of
// the classic look; 0 for an index past the table.
uint32_t GetSysColor(int index);
// A colour with system colours resolved to $00BBGGRR.
uint32_t ColorToRGB(TColor color);

// a*b/c with a 64-bit intermediate, rounded to nearest with halves away from
// zero; -1 when c is 0 or the quotient's magnitude reaches 2^31.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

enum class TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };

// Font styles as a bit set.
enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;

inline constexpr uint8_t DEFAULT_CHARSET = 1;
inline constexpr int kScreenPixelsPerInch = 96;

// A logical font: what a text is drawn with. Height in pixels is negative for
// the character height (without internal leading), as the size in points
// gives it; setting Size recomputes Height from PixelsPerInch.
class TFont : public TPersistent {
public:
    TFont() = default;
    TFont(const TFont& other) : TPersistent() { CopyFields(other); }
    TFont& operator=(const TFont& other) {
        if (this != &other) Assign(other);
        return *this;
    }

    void Assign(const TPersistent& source) override;

    uint8_t GetCharset() const { return charset_; }
    TColor GetColor() const { return color_; }
    int GetHeight() const { return height_; }
    const std::string& GetName() const { return name_; }
    TFontPitch GetPitch() const { return pitch_; }
    int GetPixelsPerInch() const { return pixelsPerInch_; }
    int GetSize() const;
    TFontStyles GetStyle() const { return style_; }

    void SetCharset(uint8_t value);
    void SetColor(TColor value);
    void SetHeight(int value);
    void SetName(const std::string& value);
    void SetPitch(TFontPitch value);
    // Stored as it is; the height is not recomputed.
    void SetPixelsPerInch(int value);
    void SetSize(int points);
    void SetStyle(TFontStyles value);

    bool operator==(const TFont& other) const;

    // Runs after every change of a field.
    TNotifyEvent OnChange;

private:
    void CopyFields(const TFont& other);
    void Changed();

    uint8_t charset_ = DEFAULT_CHARSET;
    TColor color_ = clWindowText;
    int height_ = -11;  // 8 points at 96 pixels per inch
    std::string name_ = "MS Sans Serif";
    TFontPitch pitch_ = TFontPitch::fpDefault;
    int pixelsPerInch_ = kScreenPixelsPerInch;
    TFontStyles style_ = 0;
};
