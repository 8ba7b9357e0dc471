#include "gui/ComboBox.h"

#include <algorithm>

#include "gui/ControlCanvas.h"
#include "gui/Edges.h"
#include "platform/Text.h"

namespace {

constexpr int kButtonWidth = 16;  // as wide as a scroll bar

}  // namespace

// ============================================================ the edit part

namespace thorn {

ComboEdit::ComboEdit(TCustomComboBox& combo) : combo_(combo) {
    SetAutoSize(false);
    SetBorderStyle(bsNone);
    SetTabStop(false);
    SetParentColor(true);
}

void ComboEdit::KeyDown(TKey& key, TShiftState shift) {
    ComponentRef<ComboEdit> self(this);
    combo_.KeyDown(key, shift);
    if (self && key != 0) TCustomEdit::KeyDown(key, shift);
}

void ComboEdit::KeyUp(TKey& key, TShiftState shift) {
    ComponentRef<ComboEdit> self(this);
    combo_.KeyUp(key, shift);
    if (self && key != 0) TCustomEdit::KeyUp(key, shift);
}

void ComboEdit::KeyPress(char& key) {
    ComponentRef<ComboEdit> self(this);
    combo_.KeyPress(key);
    if (self && key != 0) TCustomEdit::KeyPress(key);
}

void ComboEdit::Change() {
    if (!combo_.pushingText_) combo_.EditChanged();
}

uint32_t ComboEdit::WMGetDlgCode() { return TCustomEdit::WMGetDlgCode() | combo_.WMGetDlgCode(); }

}  // namespace thorn

// ============================================================== the combo box

TCustomComboBox::TCustomComboBox() : items_(*this) {
    // OnClick is a pick, not a press and release.
    SetControlStyle({csCaptureMouse, csSetCaption, csDoubleClicks, csOpaque});
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    popup_ = thorn::Make<TPopupWindow>(*this);
    popup_->SetColor(clWindowFrame);  // the list's one-pixel frame
    popup_->OnClosePopup = [this](TObject*, TPopupCloseReason reason) { ListClosed(reason); };
    list_ = thorn::Make<thorn::RowView>(*popup_);
    list_->SetParent(popup_);
    list_->SetTrackMouse(true);
    list_->SetDragSelect(true);
    list_->SetActiveLook(true);
    list_->SetShowFocusRect(false);
    list_->SetTypeAhead(false);
    list_->SetTabStop(false);
    list_->SetBorderStyle(bsNone);
    list_->SetSource(this);
    list_->OnMouseUp = [this](TObject*, TMouseButton button, TShiftState, int x, int y) {
        int row = list_->RowAt({x, y});
        if (button != mbLeft || row < 0) return;
        thorn::ComponentRef<TCustomComboBox> self(this);
        Pick(row);
        if (self) SetDroppedDown(false);
    };
    edit_ = thorn::Make<thorn::ComboEdit>(*this, *this);
    edit_->SetParent(this);
    SetBounds(0, 0, 145, 21);
    CMFontChanged();
}

TCustomComboBox::~TCustomComboBox() = default;

void TCustomComboBox::BeforeDestruction() {
    if (popup_ && popup_->IsPopupOpen()) popup_->OnClosePopup = nullptr;
    TCustomControl::BeforeDestruction();
}

void TCustomComboBox::Clear() {
    items_.Clear();
    SetItemIndex(-1);
}

// ---- style and size

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
    if (value == style_) return;
    style_ = value;
    if (IsListStyle() && edit_) {
        thorn::Free(edit_);
        edit_ = nullptr;
    } else if (!IsListStyle() && !edit_) {
        edit_ = thorn::Make<thorn::ComboEdit>(*this, *this);
        edit_->SetParent(this);
        edit_->Font().Assign(GetFont());
        ShowText(GetText());
    }
    list_->SetVariableHeights(value == csOwnerDrawVariable);
    CMFontChanged();
}

int TCustomComboBox::GetItemHeight() const {
    return style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable ? ownerItemHeight_
                                                                        : thorn::GetFontMetrics(GetFont()).height;
}

void TCustomComboBox::SetItemHeight(int value) {
    if (value <= 0) return;
    ownerItemHeight_ = value;
    CMFontChanged();
}

int TCustomComboBox::FixedHeight() const {
    bool ownerDrawn = style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable;
    return GetItemHeight() + (ownerDrawn ? 6 : 8);
}

void TCustomComboBox::SetBounds(int left, int top, int width, int height) {
    // The height follows the items' (only a simple combo box takes another).
    TCustomControl::SetBounds(left, top, width, style_ == csSimple ? height : FixedHeight());
}

void TCustomComboBox::CMFontChanged() {
    TCustomControl::CMFontChanged();
    list_->Font().Assign(GetFont());
    list_->SetRowHeight(GetItemHeight());
    if (edit_) edit_->Font().Assign(GetFont());
    SetBounds(GetLeft(), GetTop(), GetWidth(), GetHeight());
    LayOutEdit();
    Invalidate();
}

void TCustomComboBox::CMEnabledChanged() {
    // Leaving the focus (OnExit) and closing the list (OnCloseUp) may free
    // the combo box.
    const thorn::ComponentWatch watch(this);
    TCustomControl::CMEnabledChanged();
    if (!watch.Freed() && !GetEnabled()) SetDroppedDown(false);
    if (!watch.Freed()) Invalidate();
}

void TCustomComboBox::SetMaxLength(int value) {
    if (edit_) edit_->SetMaxLength(value);
}

TRect TCustomComboBox::ButtonRect() const {
    TRect client = GetClientRect();
    return {std::max(client.Left, client.Right - kButtonWidth), client.Top, client.Right, client.Bottom};
}

void TCustomComboBox::LayOutEdit() {
    if (!edit_) return;
    TRect client = GetClientRect();
    edit_->SetBounds(1, 1, std::max(0, ButtonRect().Left - 1), std::max(0, client.Height() - 2));
}

void TCustomComboBox::WMSize() {
    TCustomControl::WMSize();
    LayOutEdit();
}

void TCustomComboBox::SetCtl3D(bool value) {
    if (value == ctl3D_) return;
    ctl3D_ = value;
    NonClientChanged();
}

void TCustomComboBox::WMNCCalcSize(TRect& rect) const {
    int frame = ControlFrameWidth(true, ctl3D_);
    InflateRect(rect, -frame, -frame);
    TCustomControl::WMNCCalcSize(rect);
}

void TCustomComboBox::WMNCPaint(TCanvas& canvas) {
    DrawControlFrame(canvas, {0, 0, GetWidth(), GetHeight()}, true, ctl3D_);
}

// ---- items

// The chosen item and the list's highlight stay on their items whatever
// the program does to the list, so that Enter picks what is shown.

void TCustomComboBox::ItemInserted(int index) {
    if (itemIndex_ >= index) ++itemIndex_;
    if (listIndex_ >= index) ++listIndex_;
    list_->RowInserted(index);
}

void TCustomComboBox::ItemDeleted(int index) {
    if (itemIndex_ == index)
        itemIndex_ = -1;
    else if (itemIndex_ > index)
        --itemIndex_;
    if (listIndex_ == index)
        listIndex_ = -1;
    else if (listIndex_ > index)
        --listIndex_;
    list_->RowDeleted(index);
}

void TCustomComboBox::ItemsCleared() {
    itemIndex_ = listIndex_ = -1;
    list_->SetFocusedRow(-1);
}

void TCustomComboBox::ItemsExchanged(int index1, int index2) {
    for (int* index : {&itemIndex_, &listIndex_}) {
        if (*index == index1)
            *index = index2;
        else if (*index == index2)
            *index = index1;
    }
    list_->RowsExchanged(index1, index2);
}

void TCustomComboBox::ItemsReordered(std::span<const int> formerIndex) {
    itemIndex_ = thorn::RowAfterReorder(formerIndex, itemIndex_);
    listIndex_ = thorn::RowAfterReorder(formerIndex, listIndex_);
    list_->RowsReordered(formerIndex);
}

void TCustomComboBox::ItemsChanged() {
    // Measuring the rows of a dropped list (OnMeasureItem) may free the combo box.
    if (!list_->RowsChanged()) return;
    if (IsListStyle() && itemIndex_ < 0 && !GetText().empty()) ShowText({});
    Invalidate();
}

int TCustomComboBox::FindString(std::string_view text, int startAfter) const {
    int count = items_.GetCount();
    if (count == 0) return -1;
    int start = startAfter < 0 || startAfter >= count - 1 ? 0 : startAfter + 1;
    return list_->FindRow(text, start);
}

// ---- text and item

void TCustomComboBox::ShowText(const std::string& text) {
    pushingText_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{pushingText_};
    SetText(text);
    if (edit_) {
        edit_->SetText(text);
        edit_->SelectAll();
    }
    Invalidate();
}

void TCustomComboBox::CMTextChanged() {
    TCustomControl::CMTextChanged();
    if (pushingText_) return;
    // The program's text: a list style shows the item of that text (or none).
    if (IsListStyle()) {
        SetItemIndex(items_.IndexOf(GetText()));
        return;
    }
    ShowText(GetText());
}

void TCustomComboBox::EditChanged() {
    pushingText_ = true;
    SetText(edit_->GetText());
    pushingText_ = false;
    Change();
}

void TCustomComboBox::SetItemIndex(int value) {
    if (value < -1 || value >= items_.GetCount()) value = -1;
    itemIndex_ = value;
    ShowText(value >= 0 ? items_.Get(value) : std::string());
}

void TCustomComboBox::Pick(int index) {
    if (index < 0 || index >= items_.GetCount()) return;
    std::string text = items_.Get(index);
    bool changed = index != itemIndex_ || text != GetText();
    itemIndex_ = index;
    ShowText(text);
    if (!changed) return;
    thorn::ComponentRef<TCustomComboBox> self(this);
    Click();
    if (self) Select();
}

void TCustomComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

int TCustomComboBox::GetSelStart() const { return edit_ ? edit_->GetSelStart() : 0; }

void TCustomComboBox::SetSelStart(int value) {
    if (edit_) edit_->SetSelStart(value);
}

int TCustomComboBox::GetSelLength() const { return edit_ ? edit_->GetSelLength() : 0; }

void TCustomComboBox::SetSelLength(int value) {
    if (edit_) edit_->SetSelLength(value);
}

std::string TCustomComboBox::GetSelText() const { return edit_ ? edit_->GetSelText() : std::string(); }

void TCustomComboBox::SelectAll() {
    if (edit_) edit_->SelectAll();
}

// ---- the list

bool TCustomComboBox::GetDroppedDown() const { return popup_->IsPopupOpen(); }

void TCustomComboBox::SetDroppedDown(bool value) {
    if (value == GetDroppedDown()) return;
    if (!value) {
        popup_->ClosePopup(pcClosed);
        return;
    }
    thorn::ComponentRef<TCustomComboBox> self(this);
    DropDown();
    if (!self || !IsShowing() || !GetEnabled()) return;
    TWinControl* focus = edit_ ? static_cast<TWinControl*>(edit_) : this;
    if (focus->CanFocus() && !focus->Focused()) focus->SetFocus();
    if (!self) return;
    listIndex_ = itemIndex_;
    // Measuring the rows (OnMeasureItem) may free the combo box.
    if (!list_->RowsChanged()) return;
    int rows = std::clamp(items_.GetCount(), 1, dropDownCount_);
    int height = 0;
    for (int i = 0; i < rows; ++i) {
        height += style_ == csOwnerDrawVariable && i < items_.GetCount() ? RowHeight(i) : GetItemHeight();
        if (!self) return;
    }
    popup_->DropDown(*this, GetWidth(), height + 2);
    // The list fills the pop-up as it is, which the work area may have cut.
    list_->SetBounds(1, 1, popup_->GetWidth() - 2, popup_->GetHeight() - 2);
    list_->SetFocusedRow(listIndex_);
    Invalidate();
}

void TCustomComboBox::ListClosed(TPopupCloseReason) {
    pressed_ = false;
    Invalidate();
    CloseUp();
}

void TCustomComboBox::DropDown() {
    if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
    if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::SetRowSelected(int row, bool selected) {
    if (selected)
        listIndex_ = row;
    else if (row == listIndex_)
        listIndex_ = -1;
    list_->InvalidateRow(row);
}

int TCustomComboBox::RowHeight(int row) const {
    int height = ownerItemHeight_;
    if (OnMeasureItem) OnMeasureItem(const_cast<TCustomComboBox*>(this), row, height);
    return height;
}

void TCustomComboBox::DrawRow(TCanvas& canvas, int row, const TRect& rect, TOwnerDrawState state) {
    // The handlers draw on the combo box's canvas, which draws in the list's
    // row for the time being.
    static_cast<thorn::ControlCanvas&>(Canvas()).PaintWithin(canvas, [&] { DrawItem(row, rect, state); });
}

void TCustomComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
    TCanvas& canvas = Canvas();
    bool ownerDrawn = style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable;
    if (ownerDrawn && OnDrawItem) {
        PrepareItemCanvas(canvas, state, GetFont(), GetColor());
        OnDrawItem(this, index, rect, state);
        return;
    }
    DrawListItemText(canvas, rect, index >= 0 ? items_.Get(index) : std::string(), state, GetFont(), GetColor());
}

// ---- keys

uint32_t TCustomComboBox::WMGetDlgCode() {
    uint32_t code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (GetDroppedDown()) code |= DLGC_WANTALLKEYS;
    return code;
}

void TCustomComboBox::MoveBy(TKey key, bool dropped) {
    int count = items_.GetCount();
    if (count == 0) return;
    int from = dropped ? listIndex_ : itemIndex_;
    int page = std::max(1, dropped ? list_->VisibleRowCount() - 1 : dropDownCount_ - 1);
    int to = from;
    switch (key) {
        case VK_UP: to = from < 0 ? 0 : from - 1; break;
        case VK_DOWN: to = from + 1; break;
        case VK_PRIOR: to = from - page; break;
        case VK_NEXT: to = from + page; break;
        case VK_HOME: to = 0; break;
        case VK_END: to = count - 1; break;
        default: return;
    }
    to = std::clamp(to, 0, count - 1);
    if (dropped)
        list_->SelectOnly(to);
    else if (to != from)
        Pick(to);
}

void TCustomComboBox::KeyDown(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TCustomComboBox> self(this);
    TCustomControl::KeyDown(key, shift);
    if (self && key != 0) ComboKeyDown(key, shift);
}

void TCustomComboBox::ComboKeyDown(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TCustomComboBox> self(this);
    bool alt = shift.Contains(ssAlt);
    bool dropped = GetDroppedDown();
    if (((key == VK_DOWN || key == VK_UP) && alt) || (key == VK_F4 && shift.Empty())) {
        key = 0;
        if (dropped) {
            Pick(listIndex_);
            if (self) SetDroppedDown(false);
        } else {
            SetDroppedDown(true);
        }
        return;
    }
    if (alt) return;
    switch (key) {
        case VK_RETURN:
            if (!dropped) return;
            key = 0;
            Pick(listIndex_);
            if (self) SetDroppedDown(false);
            return;
        case VK_HOME:
        case VK_END:
            // In the edit part they move the caret.
            if (edit_ && !dropped) return;
            [[fallthrough]];
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT: {
            TKey moved = key;
            key = 0;
            MoveBy(moved, dropped);
            return;
        }
        default: return;
    }
}

void TCustomComboBox::KeyPress(char& key) {
    thorn::ComponentRef<TCustomComboBox> self(this);
    TCustomControl::KeyPress(key);
    if (!self || key == 0 || edit_) return;
    if (static_cast<unsigned char>(key) <= ' ') return;
    // A list style finds the item that begins with what was typed.
    bool dropped = GetDroppedDown();
    list_->SetFocusedRow(dropped ? listIndex_ : itemIndex_);
    int row = list_->TypeAheadRow(key);
    key = 0;
    if (row < 0) return;
    if (dropped)
        list_->SelectOnly(row);
    else
        Pick(row);
}

// ---- mouse and focus

void TCustomComboBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TCustomComboBox> self(this);
    if (button == mbLeft && (IsListStyle() || PtInRect(ButtonRect(), {x, y}))) {
        if (CanFocus() && !Focused() && !(edit_ && edit_->Focused())) SetFocus();
        if (!self) return;
        pressed_ = true;
        SetDroppedDown(!GetDroppedDown());
        if (!self) return;
        Invalidate();
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomComboBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && pressed_) {
        pressed_ = false;
        Invalidate();
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

void TCustomComboBox::WMSetFocus() {
    TCustomControl::WMSetFocus();
    // The edit part takes the keyboard of an editable combo box.
    if (edit_ && edit_->CanFocus()) edit_->SetFocus();
}

void TCustomComboBox::WMKillFocus() {
    TCustomControl::WMKillFocus();
    Invalidate();
}

void TCustomComboBox::DoExit() {
    // OnCloseUp may free the combo box.
    thorn::ComponentRef<TCustomComboBox> self(this);
    SetDroppedDown(false);
    if (self) TCustomControl::DoExit();
}

// ---- painting

void TCustomComboBox::Paint() {
    TCanvas& canvas = Canvas();
    TRect client = GetClientRect();
    TRect button = ButtonRect();
    bool enabled = IsEnabledDeep();
    TRect face{client.Left, client.Top, button.Left, client.Bottom};
    canvas.FillColor(face, enabled ? GetColor() : clBtnFace);
    uint32_t state = DFCS_SCROLLCOMBOBOX;
    if (pressed_ || GetDroppedDown()) state |= DFCS_PUSHED | DFCS_FLAT;
    if (!enabled) state |= DFCS_INACTIVE;
    DrawFrameControl(canvas, button, DFC_SCROLL, state);
    if (edit_) return;
    TRect item{face.Left + 1, face.Top + 1, face.Right - 1, face.Bottom - 1};
    bool focused = Focused() && !GetDroppedDown();
    TOwnerDrawState drawState{odComboBoxEdit};
    if (focused) drawState |= TOwnerDrawState{odSelected, odFocused};
    if (!enabled) drawState.Include(odDisabled);
    if (itemIndex_ >= 0)
        DrawItem(itemIndex_, item, drawState);
    else if (focused)
        canvas.FillColor(item, clHighlight);
    if (focused) canvas.DrawFocusRect(item);
}
