#pragma once

#include <cstdint>

#include "gui/Controls.h"

enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };

// A caption drawn on its parent: lined up left, right or centred, at the
// top, middle or bottom, on its lines or wrapped at words. "&" underlines
// the next character ("&&" is one "&") unless ShowAccelChar is off, and Alt
// with that character focuses FocusControl. A transparent label leaves its
// parent's pixels around the text. With AutoSize (the default) the label
// takes the size of its text: a wrapped one keeps its width and takes the
// height; one lined up right keeps its right side, a centred one its middle.
// A disabled label's text is embossed.
class TCustomLabel : public TGraphicControl {
public:
    TCustomLabel();

    TAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TTextLayout GetLayout() const { return layout_; }
    void SetLayout(TTextLayout value);
    bool GetWordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool GetTransparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool GetShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    TWinControl* GetFocusControl() const { return focusControl_.Get(); }
    void SetFocusControl(TWinControl* value) { focusControl_ = value; }

protected:
    void Paint() override;
    bool CanAutoSize(int& newWidth, int& newHeight) override;
    void CMTextChanged() override;
    void CMFontChanged() override;
    bool CMDialogChar(char ch, TShiftState shift) override;

private:
    uint32_t TextFormat() const;
    TSize TextSize(int width) const;
    void AdjustBounds();

    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    thorn::ComponentRef<TWinControl> focusControl_;
};

class TLabel : public TCustomLabel {};
