#pragma once

#include <string>

#include "gui/Buttons.h"
#include "gui/Forms.h"
#include "gui/Label.h"
#include "gui/Panel.h"
#include "inspector/Rminspector.h"

// The editor's windows are laid out in code. These place the parts several
// of them share, with the settings every window gives those parts, so that
// a change to how a grid or a dialog's buttons look reaches every window.
namespace thorn {

// A control owned by owner, named (when a name is given) and shown on parent.
template <typename T>
T* Place(TComponent& owner, TWinControl* parent, const char* name) {
    T* control = Make<T>(owner);
    if (name && *name) control->SetName(name);
    control->SetParent(parent);
    return control;
}

// A label sized by its caption, its top-left corner at (left, top).
TLabel* PlaceLabel(TComponent& owner, TWinControl* parent, const char* name, const std::string& caption, int left,
                   int top, bool bold = false);

// A panel without bevel or caption, aligned; size is its width when it
// stands at the left or right edge, else its height.
TPanel* PlacePanel(TComponent& owner, TWinControl* parent, const char* name, TAlign align, int size);

// A property grid as the editor shows every grid: rows 21 pixels high, a
// split the designer may drag, no tool tips. The caller places and sizes it
// before it sets the split position, which is kept inside the grid's width.
TrmInspector* PlaceGrid(TComponent& owner, TWinControl* parent, const char* name, TBorderStyle border = bsNone);

// The frame of the mission, events and warnings windows: a sizeable tool
// window with only its close box, kept above the main window, width by height,
// no smaller than minWidth by minHeight (0: no limit), placed by PlaceAsToolWindow.
void SetUpToolWindow(TForm& form, int width, int height, int minWidth, int minHeight);

// The strip along the bottom of a dialog that holds its buttons.
TPanel* PlaceButtonStrip(TComponent& owner, TWinControl* parent, const char* name);

// A button of a dialog's button strip, 25 pixels high and 8 down from the
// strip's top, its left edge at left.
template <typename T = TButton>
T* PlaceStripButton(TComponent& owner, TPanel& strip, const char* name, const char* caption, int left,
                    int width = 75) {
    T* button = Place<T>(owner, &strip, name);
    button->SetCaption(caption);
    button->SetBounds(left, 8, width, 25);
    return button;
}

// The same, its left edge fromRight pixels short of the strip's right edge;
// it keeps that distance as the dialog is sized.
template <typename T = TButton>
T* PlaceRightStripButton(TComponent& owner, TPanel& strip, const char* name, const char* caption, int fromRight,
                         int width = 75) {
    T* button = PlaceStripButton<T>(owner, strip, name, caption, strip.GetClientWidth() - fromRight, width);
    button->SetAnchors({akTop, akRight});
    return button;
}

}  // namespace thorn
