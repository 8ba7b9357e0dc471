// The tree view's keys and mouse: moving through the nodes, expanding and
// collapsing them, starting label edits, hot tracking, the hint of cut-off
// texts, and dragging nodes.
#include <algorithm>
#include <cstdlib>

#include "gui/Application.h"
#include "gui/TreeLabelEdit.h"
#include "gui/TreeView.h"

namespace {

bool AnyButton(TShiftState shift) { return shift.Contains(ssLeft) || shift.Contains(ssRight) || shift.Contains(ssMiddle); }

}  // namespace

void TCustomTreeView::KeyDown(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TCustomTreeView> self(this);
    // The row view's own keys are replaced by the tree's below.
    thorn::ScrollingControl::KeyDown(key, shift);
    if (!self || key == 0) return;
    SetNewHint(nullptr);
    if (dragging_) {
        if (key == VK_ESCAPE) {
            EndDrag(false);
            key = 0;
        }
        return;
    }
    UpdateRows();
    if (rows_.empty()) return;
    TTreeNode* focus = GetFocussedNode();
    const int row = focus ? RowOf(*focus) : -1;
    const int last = static_cast<int>(rows_.size()) - 1;
    const int page = std::max(1, VisibleRowCount() - 1);
    const bool ctrl = shift.Contains(ssCtrl);
    TTreeNode* target = nullptr;
    switch (key) {
        case VK_UP:
        case VK_DOWN:
            if (ctrl && !GetMultiSelect()) {
                SetTopRow(GetTopRow() + (key == VK_UP ? -1 : 1));
                key = 0;
                return;
            }
            target = NodeOfRow(row < 0 ? 0 : std::clamp(row + (key == VK_UP ? -1 : 1), 0, last));
            break;
        case VK_PRIOR: target = NodeOfRow(std::max(0, row - page)); break;
        case VK_NEXT: target = NodeOfRow(std::min(last, std::max(row, 0) + page)); break;
        case VK_HOME: target = NodeOfRow(0); break;
        case VK_END: target = NodeOfRow(last); break;
        case VK_LEFT:
            if (!focus) return;
            if (focus->expanded_ && !focus->children_.empty())
                SetNodeExpanded(*focus, false);
            else
                target = focus->parent_;
            break;
        case VK_RIGHT:
            if (!focus) return;
            if (!focus->expanded_ && focus->hasChildren_)
                SetNodeExpanded(*focus, true);
            else
                target = focus->GetFirstChild();
            break;
        case VK_BACK:
            if (!focus) return;
            target = focus->parent_;
            break;
        case VK_ADD:
            if (focus) SetNodeExpanded(*focus, true);
            break;
        case VK_SUBTRACT:
            if (focus) SetNodeExpanded(*focus, false);
            break;
        case VK_MULTIPLY:
            if (focus) focus->Expand(true);
            break;
        case VK_F2:
            if (focus && !readOnly_) BeginEdit(*focus);
            break;
        case VK_SPACE:
            if (!(ctrl && GetMultiSelect() && focus)) return;
            SelectAsUser(focus, {ssCtrl}, true);
            break;
        default: return;
    }
    key = 0;
    if (self && target) SelectAsUser(target, shift, false);
    if (self) MakeRowVisible(GetFocusedRow());
}

void TCustomTreeView::KeyPress(char& key) {
    thorn::ComponentRef<TCustomTreeView> self(this);
    thorn::ScrollingControl::KeyPress(key);
    if (!self || key == 0 || static_cast<unsigned char>(key) <= ' ') return;
    UpdateRows();
    const int row = TypeAheadRow(key);
    key = 0;
    if (TTreeNode* node = NodeOfRow(row)) SelectAsUser(node, {}, false);
}

void TCustomTreeView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TCustomTreeView> self(this);
    SetNewHint(nullptr);
    StopEditTimer();
    if (editor_) FinishEdit(false);
    if (!self) return;
    // A tree in a pop-up leaves the keyboard with its owner.
    TCustomForm* form = GetParentForm();
    if (form && !IsPopupKind(form->GetWindowKind()) && CanFocus() && !Focused()) SetFocus();
    if (!self) return;
    UpdateRows();
    const THitTests hits = GetHitTestInfoAt(x, y);
    TTreeNode* node = GetNodeAt(x, y);
    if (button == mbLeft && node) {
        if (hits.Contains(htOnButton)) {
            SetNodeExpanded(*node, !node->expanded_);
        } else if (!hits.Contains(htOnIndent)) {
            if (shift.Contains(ssDouble)) {
                if (!node->children_.empty() || node->hasChildren_) SetNodeExpanded(*node, !node->expanded_);
            } else {
                pressOnSelected_ = node == GetSelected() && hits.Contains(htOnLabel) && !shift.Contains(ssShift) &&
                                   !shift.Contains(ssCtrl);
                SelectAsUser(node, shift, true);
                if (self && dragMode_ == dmAutomatic) {
                    dragArmed_ = true;
                    dragThreshold_ = 5;
                    dragStart_ = {x, y};
                }
            }
        }
    } else if (button == mbRight && node && rightClickSelect_) {
        SelectAsUser(node, {}, true);
    }
    if (self) thorn::ScrollingControl::MouseDown(button, shift, x, y);
}

void TCustomTreeView::MouseMove(TShiftState shift, int x, int y) {
    thorn::ComponentRef<TCustomTreeView> self(this);
    UpdateRows();
    if (dragArmed_ && shift.Contains(ssLeft) &&
        std::max(std::abs(x - dragStart_.X), std::abs(y - dragStart_.Y)) >= dragThreshold_) {
        dragArmed_ = false;
        pressOnSelected_ = false;
        StopEditTimer();
        dragging_ = true;
        dragAccepted_ = false;
        SetNewHint(nullptr);
        DoStartDrag();
    }
    if (!self) return;
    if (dragging_) {
        DragTo(x, y);
    } else {
        const THitTests hits = GetHitTestInfoAt(x, y);
        TTreeNode* onItem = hits.Contains(htOnItem) ? GetNodeAt(x, y) : nullptr;
        if (hotTrack_ && onItem != hot_) {
            if (hot_) RepaintNode(*hot_);
            hot_ = onItem;
            if (hot_) RepaintNode(*hot_);
        }
        const bool hints = Application && Application->GetShowHint() && !AnyButton(shift);
        SetNewHint(hints ? onItem : nullptr);
    }
    if (self) thorn::ScrollingControl::MouseMove(shift, x, y);
}

void TCustomTreeView::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TCustomTreeView> self(this);
    dragArmed_ = false;
    if (dragging_ && button == mbLeft) {
        lastDragPoint_ = {x, y};
        EndDrag(true);
    } else if (button == mbLeft && pressOnSelected_ && !readOnly_) {
        UpdateRows();
        TTreeNode* node = GetNodeAt(x, y);
        if (node && node == GetSelected() && GetHitTestInfoAt(x, y).Contains(htOnLabel)) {
            StartEditTimer();
            editCandidate_ = node;
        }
    }
    if (!self) return;  // the drop's handlers freed the view
    pressOnSelected_ = false;
    thorn::ScrollingControl::MouseUp(button, shift, x, y);
}

bool TCustomTreeView::WMMouseWheel(TShiftState shift, int wheelDelta, TPoint screenPos) {
    UpdateRows();
    SetNewHint(nullptr);
    return RowView::WMMouseWheel(shift, wheelDelta, screenPos);
}

void TCustomTreeView::WMVScroll(int code, int pos) {
    UpdateRows();
    RowView::WMVScroll(code, pos);
}

void TCustomTreeView::WMHScroll(int code, int pos) {
    UpdateRows();
    RowView::WMHScroll(code, pos);
}

void TCustomTreeView::ScrollPosChanged(TPoint old) {
    // The label box does not follow a scrolling tree: the edit ends first.
    if (editor_) FinishEdit(false);
    SetNewHint(nullptr);
    RowView::ScrollPosChanged(old);
}

void TCustomTreeView::CMMouseLeave() {
    // The hint shown over a row takes the pointer on window systems that
    // cannot pass it through: leaving for it is no leaving.
    const TPoint origin = ClientToScreen({0, 0});
    const TRect client{origin.X, origin.Y, origin.X + GetClientWidth(), origin.Y + GetClientHeight()};
    if (!Application || !PtInRect(client, Application->GetHost().GetCursorPos())) {
        if (hot_) {
            RepaintNode(*hot_);
            hot_ = nullptr;
        }
        SetNewHint(nullptr);
    }
    RowView::CMMouseLeave();
}

void TCustomTreeView::CMCancelMode() {
    SetNewHint(nullptr);
    if (dragging_) EndDrag(false);
    dragArmed_ = false;
    RowView::CMCancelMode();
}

void TCustomTreeView::WMSize() {
    UpdateRows();
    RowView::WMSize();
}

void TCustomTreeView::WMKillFocus() {
    StopEditTimer();
    RowView::WMKillFocus();
}

// ---- dragging nodes

void TCustomTreeView::BeginDrag(bool immediate, int threshold) {
    if (dragging_) return;
    if (!immediate) {
        dragArmed_ = true;
        dragThreshold_ = std::max(0, threshold);
        dragStart_ = Application ? ScreenToClient(Application->GetHost().GetCursorPos()) : TPoint{};
        return;
    }
    dragArmed_ = false;
    dragging_ = true;
    dragAccepted_ = false;
    SetNewHint(nullptr);
    if (!GetMouseCapture()) SetMouseCapture(true);
    DoStartDrag();
}

void TCustomTreeView::DoStartDrag() {
    if (OnStartDrag) OnStartDrag(this);
}

void TCustomTreeView::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
    accept = static_cast<bool>(OnDragOver);
    if (OnDragOver) OnDragOver(this, source, x, y, state, accept);
}

void TCustomTreeView::DragDrop(TObject* source, int x, int y) {
    if (OnDragDrop) OnDragDrop(this, source, x, y);
}

void TCustomTreeView::DoEndDrag(TObject* target, int x, int y) {
    if (OnEndDrag) OnEndDrag(this, target, x, y);
}

void TCustomTreeView::AutoScrollWhileDragging(int y) {
    const TRect viewport = GetViewport();
    const int edge = std::max(2, GetRowHeight() / 2);
    if (y < viewport.Top + edge)
        SetTopRow(GetTopRow() - 1);
    else if (y >= viewport.Bottom - edge)
        SetTopRow(GetTopRow() + 1);
}

void TCustomTreeView::DragTo(int x, int y) {
    thorn::ComponentRef<TCustomTreeView> self(this);
    lastDragPoint_ = {x, y};
    AutoScrollWhileDragging(y);
    const bool inside = PtInRect(GetClientRect(), {x, y});
    bool accept = false;
    if (inside) DragOver(this, x, y, dsDragMove, accept);
    if (!self || !dragging_) return;
    dragAccepted_ = accept;
    SetDropTarget(accept ? GetNodeAt(x, y) : nullptr);
    if (Screen) Screen->SetCursor(accept ? crDrag : crNoDrop);
}

void TCustomTreeView::EndDrag(bool drop) {
    if (!dragging_) {
        dragArmed_ = false;
        return;
    }
    thorn::ComponentRef<TCustomTreeView> self(this);
    dragging_ = false;
    if (Screen) Screen->SetCursor(crDefault);
    const TPoint at = lastDragPoint_;
    const bool dropped = drop && dragAccepted_;
    dragAccepted_ = false;
    if (dropped) DragDrop(this, at.X, at.Y);
    if (!self) return;
    SetDropTarget(nullptr);
    DoEndDrag(dropped ? this : nullptr, at.X, at.Y);
}
