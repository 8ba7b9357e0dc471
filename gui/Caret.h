#pragma once

#include <cstdint>

#include "gui/Controls.h"

// The text caret. There is one for the whole program, held by the control
// that made it (the focused edit); it blinks on the layer's timer, and the
// form draws it over what its controls painted by inverting the pixels
// there, so a control never paints it itself. Moving it shows it at once
// and starts the blink again.
namespace thorn {

inline constexpr uint32_t kCaretBlinkTime = 530;

// Makes the caret, width by height pixels, for owner (taking it from any
// other holder); it shows at (0, 0) until SetCaretPos.
void CreateCaret(TWinControl& owner, int width, int height);
// Removes the caret when owner holds it.
void DestroyCaret(const TWinControl& owner);
// Places the caret's top-left corner (owner's client coordinates).
void SetCaretPos(const TWinControl& owner, TPoint pos);
// The holder, and the caret's rectangle in its client coordinates.
TWinControl* CaretOwner();
TRect CaretRect();
// Whether the caret is in the visible part of its blink.
bool CaretBlinkOn();

// Inverts the caret's pixels inside clip (form client coordinates) of the
// form's back buffer when the caret is shown on form: the form's last step
// of painting.
void PaintCaret(const TCustomForm& form, TBitmap32& buffer, const TRect& clip);

}  // namespace thorn
