#pragma once

#include <cstdint>
#include <memory>

#include "bitmap/Pix32.h"
#include "gui/Buttons.h"

enum TButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TBitBtnKind : uint8_t { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

// A push button with a picture beside its caption. Glyph holds up to four
// images side by side: up, disabled, pushed, and a fourth the button does
// not use; without a disabled image the up image is shown embossed. The
// colour of the glyph's bottom-left pixel is transparent. The picture and
// the caption are centred together (Margin -1), or start Margin pixels
// from the edge, Spacing pixels apart, the picture on the side Layout names.
//
// Kind makes a standard button: its caption, modal result, Default or
// Cancel, and a picture of its own shown while Glyph is empty. A bkClose
// button closes its form; bkHelp and bkCustom do nothing of their own.
class TBitBtn : public TButton {
public:
    TBitBtn();
    ~TBitBtn() override;

    const TBitmap32& GetGlyph() const { return glyph_; }
    // Copies the bitmap; a width that is a whole multiple of the height (up
    // to four) sets NumGlyphs.
    void SetGlyph(const TBitmap32& bitmap);
    int GetNumGlyphs() const { return numGlyphs_; }
    // Kept between 1 and 4.
    void SetNumGlyphs(int value);
    TBitBtnKind GetKind() const { return kind_; }
    void SetKind(TBitBtnKind value);
    TButtonLayout GetLayout() const { return layout_; }
    void SetLayout(TButtonLayout value);
    int GetMargin() const { return margin_; }
    void SetMargin(int value);
    int GetSpacing() const { return spacing_; }
    void SetSpacing(int value);
    // The picture the button shows: its Glyph, or its kind's.
    const TBitmap32* ShownGlyph() const;

    void Click() override;

protected:
    void PaintContent(TCanvas& canvas, const TRect& content) override;

private:
    TBitmap32 glyph_;
    int numGlyphs_ = 1;
    TBitBtnKind kind_ = bkCustom;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    std::unique_ptr<TBitmap32> kindGlyph_;
};
