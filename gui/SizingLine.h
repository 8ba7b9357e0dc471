#pragma once

#include "gui/Controls.h"

// The line a splitter shows where the split will go while it is dragged.
// There is one for the whole program; the form draws it over what its
// controls painted, by inverting the pixels there (every other one for the
// pattern), so whatever repaints beneath it during the drag keeps it.
namespace thorn {

enum class SizingLineStyle { Pattern, Solid };

// Shows the line over rect (form coordinates) of form, moving it from
// wherever it was.
void ShowSizingLine(TCustomForm& form, const TRect& rect, SizingLineStyle style);
void HideSizingLine();
// The line's rectangle on form, empty when it is not shown there.
TRect SizingLineRect(const TCustomForm& form);

// Inverts the line's pixels inside clip of the form's back buffer: one of
// the form's last steps of painting.
void PaintSizingLine(const TCustomForm& form, TBitmap32& buffer, const TRect& clip);

}  // namespace thorn
