#include "controls/Rmlistcontrol.h"

TrmListControl::TrmListControl() : items_(std::make_unique<TStringList>()) {
    SetColor(clWindow);
    SetParentColor(false);
    Canvas().Font().Assign(GetFont());
    items_->OnChange = [this](TObject*) { ItemsChanged(); };
}

TrmListControl::~TrmListControl() { items_->OnChange = nullptr; }

void TrmListControl::SetItems(const TStrings& lines) { items_->Assign(lines); }

void TrmListControl::ItemsChanged() { SetItemIndex(0); }

int TrmListControl::MaxItemLength() {
    if (longestLine_ == -1)
        for (int i = 0; i < items_->GetCount(); ++i)
            longestLine_ = std::max(longestLine_, Canvas().TextWidth(items_->Get(i)));
    return longestLine_;
}

int TrmListControl::MaxItemHeight() { return Canvas().TextHeight("X"); }

void TrmListControl::CMFontChanged() {
    TrmCustomScrollableControl::CMFontChanged();
    Canvas().Font().Assign(GetFont());
}

void TrmListControl::Paint() {
    TCanvas& canvas = Canvas();
    canvas.Font().Assign(GetFont());
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(GetColor());
    TColor textColour = GetFont().GetColor();
    int height = RowHeight(), width = GetClientWidth();
    TRect row{0, 0, width, height};
    int count = items_->GetCount();
    if (count > 0) {
        int top = GetTopIndex();
        int shown = std::min(VisibleItems(), count - top);
        bool focused = Focused();
        // OnFormatDrawing may free the control.
        thorn::ComponentRef<TrmListControl> self(this);
        for (int i = top; i < top + shown; ++i) {
            bool selected = !GetHideSelection() && InSelection(i);
            if (selected && focused) {
                canvas.Brush().SetColor(clHighlight);
                canvas.Font().SetColor(clHighlightText);
            }
            std::string text = items_->Get(i);
            if (OnFormatDrawing) OnFormatDrawing(this, canvas, selected, text);
            if (!self) return;
            canvas.TextRect(row, 2 - GetHScrollPos(), row.Top, text);
            if (focused && GetShowFocusRect() && i == GetItemIndex()) canvas.DrawFocusRect(row);
            OffsetRect(row, 0, height);
            canvas.Brush().SetColor(GetColor());
            canvas.Font().SetColor(textColour);
        }
    }
    canvas.FillColor({0, row.Top, width, std::max(row.Top, GetClientHeight())}, GetColor());
}
