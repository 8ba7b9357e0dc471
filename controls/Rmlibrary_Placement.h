#pragma once

#include "gui/Controls.h"
#include "platform/Types.h"

// Rectangles between a control's client area and the screen.

// Both corners of rect turned from the control's client coordinates into
// screen coordinates (ClientRectToScreenRect), or back.
TRect ClientRectToScreenRect(const TControl& control, const TRect& rect);
TRect ScreenRectToClientRect(const TControl& control, const TRect& rect);
