#include "gui/Caret.h"

#include <memory>

#include "gui/ControlAccess.h"
#include "gui/ControlLinks.h"
#include "gui/Timers.h"

namespace thorn {
namespace {

struct CaretState {
    ComponentRef<TWinControl> owner;
    TRect rect;  // owner's client coordinates
    bool on = true;
    std::unique_ptr<TTimer> blink;
};

CaretState& State() {
    static CaretState state;
    return state;
}

// The caret's rectangle in its form's client coordinates, clipped to what
// can be seen of its owner; false when none of it can.
bool RectInForm(TRect& r) {
    CaretState& s = State();
    TWinControl* owner = s.owner.Get();
    TPoint origin;
    TRect visible;
    if (!owner || !ControlAccess::ClientOriginInForm(*owner, origin) ||
        !ControlAccess::VisibleClientRectInForm(*owner, visible))
        return false;
    TRect caret = s.rect;
    OffsetRect(caret, origin.X, origin.Y);
    return IntersectRect(r, caret, visible) && !IsRectEmpty(r);
}

void InvalidateCaret() {
    TRect r;
    if (!RectInForm(r)) return;
    if (FormLink* form = FormLinkOf(*State().owner.Get())) form->InvalidateClientRect(r);
}

void Blink() {
    CaretState& s = State();
    if (!s.owner) {
        s.blink->SetEnabled(false);
        return;
    }
    s.on = !s.on;
    InvalidateCaret();
}

// Shows the caret and starts its blink period again.
void RestartBlink() {
    CaretState& s = State();
    s.on = true;
    if (!s.blink) return;
    s.blink->SetEnabled(false);
    s.blink->SetEnabled(true);
}

}  // namespace

void CreateCaret(TWinControl& owner, int width, int height) {
    CaretState& s = State();
    InvalidateCaret();
    s.owner = &owner;
    s.rect = {0, 0, width, height};
    s.blink = std::make_unique<TTimer>();
    s.blink->SetInterval(kCaretBlinkTime);
    s.blink->SetOnTimer([](TObject*) { Blink(); });
    RestartBlink();
    InvalidateCaret();
}

void DestroyCaret(const TWinControl& owner) {
    CaretState& s = State();
    if (s.owner.Get() != &owner) return;
    InvalidateCaret();
    s.owner = nullptr;
    s.blink.reset();
}

void SetCaretPos(const TWinControl& owner, TPoint pos) {
    CaretState& s = State();
    if (s.owner.Get() != &owner) return;
    if (s.rect.Left == pos.X && s.rect.Top == pos.Y && s.on) return;
    InvalidateCaret();
    OffsetRect(s.rect, pos.X - s.rect.Left, pos.Y - s.rect.Top);
    RestartBlink();
    InvalidateCaret();
}

TWinControl* CaretOwner() { return State().owner.Get(); }

TRect CaretRect() { return State().rect; }

bool CaretBlinkOn() { return State().on; }

void PaintCaret(const TCustomForm& form, TBitmap32& buffer, const TRect& clip) {
    CaretState& s = State();
    TWinControl* owner = s.owner.Get();
    TRect r, shown;
    if (!s.on || !owner || owner->GetParentForm() != &form || !owner->Focused() || !RectInForm(r) ||
        !IntersectRect(shown, r, clip) || !IntersectRect(shown, shown, buffer.BoundsRect()))
        return;
    for (int y = shown.Top; y < shown.Bottom; ++y)
        for (int x = shown.Left; x < shown.Right; ++x) buffer.SetPixel(x, y, buffer.GetPixel(x, y) ^ 0x00FFFFFFu);
}

}  // namespace thorn
