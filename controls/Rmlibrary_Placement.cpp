#include "controls/Rmlibrary_Placement.h"

TRect ClientRectToScreenRect(const TControl& control, const TRect& rect) {
    const TPoint topLeft = control.ClientToScreen({rect.Left, rect.Top});
    const TPoint bottomRight = control.ClientToScreen({rect.Right, rect.Bottom});
    return {topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
}

TRect ScreenRectToClientRect(const TControl& control, const TRect& rect) {
    const TPoint topLeft = control.ScreenToClient({rect.Left, rect.Top});
    const TPoint bottomRight = control.ScreenToClient({rect.Right, rect.Bottom});
    return {topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
}
