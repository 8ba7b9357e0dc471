#include "editor/WindowParts.h"

#include "editor/ToolWindowPlaces.h"
#include "gui/SizeConstraints.h"

namespace thorn {

TLabel* PlaceLabel(TComponent& owner, TWinControl* parent, const char* name, const std::string& caption, int left,
                   int top, bool bold) {
    TLabel* label = Place<TLabel>(owner, parent, name);
    label->SetCaption(caption);
    label->SetLeft(left);
    label->SetTop(top);
    if (bold) label->Font().SetStyle(fsBold);
    return label;
}

TPanel* PlacePanel(TComponent& owner, TWinControl* parent, const char* name, TAlign align, int size) {
    TPanel* panel = Place<TPanel>(owner, parent, name);
    panel->SetBevelOuter(bvNone);
    panel->SetCaption("");
    panel->SetAlign(align);
    if (align == alLeft || align == alRight)
        panel->SetWidth(size);
    else
        panel->SetHeight(size);
    return panel;
}

TrmInspector* PlaceGrid(TComponent& owner, TWinControl* parent, const char* name, TBorderStyle border) {
    TrmInspector* grid = Place<TrmInspector>(owner, parent, name);
    grid->SetItemHeight(21);
    grid->SetSplitResize(true);
    grid->SetToolTip(false);
    grid->SetBorderStyle(border);
    return grid;
}

void SetUpToolWindow(TForm& form, int width, int height, int minWidth, int minHeight) {
    form.SetBorderStyle(bsSizeToolWin);
    form.SetBorderIcons({biSystemMenu});
    form.SetFormStyle(fsStayOnTop);
    form.SetPosition(poDefaultPosOnly);
    PlaceAsToolWindow(form);
    form.SetBounds(form.GetLeft(), form.GetTop(), width, height);
    if (minWidth > 0) form.Constraints().SetMinWidth(minWidth);
    if (minHeight > 0) form.Constraints().SetMinHeight(minHeight);
}

TPanel* PlaceButtonStrip(TComponent& owner, TWinControl* parent, const char* name) {
    return PlacePanel(owner, parent, name, alBottom, 41);
}

}  // namespace thorn
