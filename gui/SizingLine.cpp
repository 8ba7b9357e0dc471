#include "gui/SizingLine.h"

#include "gui/Forms.h"

namespace thorn {
namespace {

struct LineState {
    ComponentRef<TCustomForm> form;
    TRect rect;
    SizingLineStyle style = SizingLineStyle::Pattern;
};

LineState& State() {
    static LineState state;
    return state;
}

void InvalidateLine() {
    LineState& s = State();
    if (TCustomForm* form = s.form.Get()) form->InvalidateClientRect(s.rect);
}

}  // namespace

void ShowSizingLine(TCustomForm& form, const TRect& rect, SizingLineStyle style) {
    LineState& s = State();
    if (s.form.Get() == &form && s.rect == rect && s.style == style) return;
    InvalidateLine();
    s.form = &form;
    s.rect = rect;
    s.style = style;
    InvalidateLine();
}

void HideSizingLine() {
    LineState& s = State();
    InvalidateLine();
    s.form = nullptr;
    s.rect = {};
}

TRect SizingLineRect(const TCustomForm& form) {
    const LineState& s = State();
    return s.form.Get() == &form ? s.rect : TRect{};
}

void PaintSizingLine(const TCustomForm& form, TBitmap32& buffer, const TRect& clip) {
    const LineState& s = State();
    TRect shown;
    if (s.form.Get() != &form || !IntersectRect(shown, s.rect, clip) ||
        !IntersectRect(shown, shown, buffer.BoundsRect()))
        return;
    bool pattern = s.style == SizingLineStyle::Pattern;
    for (int y = shown.Top; y < shown.Bottom; ++y) {
        TColor32* row = buffer.ScanLine(y);
        for (int x = shown.Left; x < shown.Right; ++x)
            if (!pattern || ((x + y) & 1) == 0) row[x] ^= 0x00FFFFFFu;
    }
}

}  // namespace thorn
