#include "gui/TreeView.h"

#include <algorithm>

#include "gui/Application.h"
#include "gui/Timers.h"
#include "gui/TreeLabelEdit.h"
#include "platform/StringList.h"
#include "platform/Streams.h"

namespace {

// A second click on the selected node's label edits it after this pause,
// unless it was the first half of a double click.
constexpr uint32_t kEditPause = 500;

// Letter case ignored first, then lower case before upper case.
int CompareTexts(const std::string& a, const std::string& b) {
    if (int r = thorn::CompareText(a, b); r != 0) return r;
    return -a.compare(b);
}

}  // namespace

TCustomTreeView::TCustomTreeView() : items_(std::make_unique<TTreeNodes>(*this)) {
    advances_.fill(-1);
    SetScrollBars(ssBoth);
    SetShowFocusRect(false);  // the label's own focus rectangle is drawn instead
    SetHideSelection(true);
    SetSource(this);
    SetLineStep(8, 1);
    SetBounds(0, 0, 121, 97);
    UpdateRowHeight();
}

TCustomTreeView::~TCustomTreeView() = default;

void TCustomTreeView::BeforeDestruction() {
    // Handlers of the deletions below see the view as gone already.
    Destroying();
    SetNewHint(nullptr);
    StopEditTimer();
    editingNode_ = nullptr;
    editor_ = nullptr;  // owned: it goes with the view
    // Every node is deleted as a program's deletion would (OnDeletion for each).
    items_->Clear();
    RowView::BeforeDestruction();
}

std::unique_ptr<TTreeNode> TCustomTreeView::CreateNode() { return std::make_unique<TTreeNode>(*items_); }

void TCustomTreeView::SetNodes(std::unique_ptr<TTreeNodes> nodes) {
    if (!nodes || items_->GetCount() > 0) throw EInvalidOperation("A tree view takes new nodes only while it is empty");
    items_ = std::move(nodes);
    NodesChanged();
}

// ---- look

void TCustomTreeView::SetIndent(int value) {
    value = std::max(0, value);
    if (value == indent_) return;
    indent_ = value;
    NodesChanged();
}

void TCustomTreeView::SetShowButtons(bool value) {
    if (value == showButtons_) return;
    showButtons_ = value;
    NodesChanged();
}

void TCustomTreeView::SetShowLines(bool value) {
    if (value == showLines_) return;
    showLines_ = value;
    NodesChanged();
}

void TCustomTreeView::SetShowRoot(bool value) {
    if (value == showRoot_) return;
    showRoot_ = value;
    NodesChanged();
}

void TCustomTreeView::SetHotTrack(bool value) {
    hotTrack_ = value;
    if (!value && hot_) RepaintNode(*hot_);
    if (!value) hot_ = nullptr;
}

void TCustomTreeView::SetRowSelect(bool value) {
    if (value == rowSelect_) return;
    rowSelect_ = value;
    Invalidate();
}

void TCustomTreeView::SetReadOnly(bool value) {
    readOnly_ = value;
    if (value) FinishEdit(true);
}

void TCustomTreeView::SetToolTips(bool value) {
    toolTips_ = value;
    SetNewHint(nullptr);
}

void TCustomTreeView::SetChangeDelay(int value) { changeDelay_ = value; }

void TCustomTreeView::SetSortType(TSortType value) {
    if (value == sortType_) return;
    sortType_ = value;
    if (value == stText || value == stBoth || (value == stData && HasCompareHandler())) AlphaSort(true);
}

void TCustomTreeView::SetImages(TCustomImageList* value) {
    images_ = value;
    imagesSubscription_ = value ? value->Subscribe([this] {
        UpdateRowHeight();
        NodesChanged();
    })
                                : nullptr;
    UpdateRowHeight();
    NodesChanged();
}

void TCustomTreeView::SetStateImages(TCustomImageList* value) {
    stateImages_ = value;
    stateImagesSubscription_ = value ? value->Subscribe([this] {
        UpdateRowHeight();
        NodesChanged();
    })
                                     : nullptr;
    UpdateRowHeight();
    NodesChanged();
}

// ---- what the nodes tell the view

void TCustomTreeView::NodesChanged() {
    if (rowsStale_) return;
    rowsStale_ = true;
    // While the nodes are being updated the view shows them as they were;
    // the last EndUpdate paints what came of it.
    if (items_->GetUpdateCount() == 0) Invalidate();
}

void TCustomTreeView::UpdateEnded() {
    rowsStale_ = true;
    Invalidate();
}

void TCustomTreeView::RepaintNode(const TTreeNode& node) {
    const int row = RowOf(node);
    if (row >= 0) InvalidateRow(row);
}

void TCustomTreeView::NodeAdded(TTreeNode& node) {
    // A change waiting for its delay is told now, before the tree moves on.
    if (changeIsPending_) {
        if (changeTimer_) changeTimer_->SetEnabled(false);
        changeIsPending_ = false;
        // OnChange may free the view.
        thorn::ComponentRef<TCustomTreeView> self(this);
        Change(changePending_);
        if (!self) return;
    }
    NodesChanged();
    Added(&node);
}

void TCustomTreeView::SubtreeDeleting(TTreeNode& top) {
    if (!selected_ || (selected_ != &top && !selected_->HasAsParent(&top))) return;
    selectionLost_ = true;
    // The selection goes to a neighbour, as a user would expect; a tree
    // being emptied keeps none.
    replacement_ = nullptr;
    if (items_->clearing_) return;
    replacement_ = top.GetNextSibling();
    if (!replacement_) replacement_ = top.GetPrevSibling();
    if (!replacement_) replacement_ = top.GetParent();
}

void TCustomTreeView::SubtreeDeleted() {
    if (!selectionLost_ || items_->clearing_) return;
    selectionLost_ = false;
    TTreeNode* next = replacement_;
    replacement_ = nullptr;
    if (GetComponentState().Contains(csDestroying)) return;
    if (next && !next->GetDeleting()) {
        next->selected_ = true;
        selected_ = next;
        FocusNode(next);
        RepaintNode(*next);
    }
    Change(next);
}

void TCustomTreeView::NodeDeleting(TTreeNode& node) {
    if (node.rowGeneration_ == rowGeneration_ && node.row_ >= 0 && node.row_ < static_cast<int>(rows_.size()) &&
        rows_[static_cast<size_t>(node.row_)] == &node)
        rows_[static_cast<size_t>(node.row_)] = nullptr;
    for (TTreeNode** ref : {&selected_, &hot_, &dropTarget_, &pendingFocus_, &editCandidate_, &replacement_,
                            &editWatch_})
        if (*ref == &node) *ref = nullptr;
    if (changePending_ == &node) {
        changePending_ = nullptr;
        changeIsPending_ = false;
        if (changeTimer_) changeTimer_->SetEnabled(false);
    }
    if (editingNode_ == &node) FinishEdit(true);
    NodesChanged();
    Delete(&node);
}

void TCustomTreeView::NodesCleared() {
    if (selectionLost_) SubtreeDeleted();
}

bool TCustomTreeView::SetNodeExpanded(TTreeNode& node, bool expanded) {
    // The handlers asked and told may free the view.
    thorn::ComponentRef<TCustomTreeView> self(this);
    if (expanded) {
        if (node.expanded_) return true;
        if (node.children_.empty() && !node.hasChildren_) return false;
        if (!CanExpand(&node) || !self) return false;
        if (node.children_.empty()) {
            // Nothing came to show: the button goes.
            node.hasChildren_ = false;
            NodesChanged();
            return false;
        }
        node.expanded_ = true;
        NodesChanged();
        Expand(&node);
        return true;
    }
    if (!node.expanded_) return true;
    if (!CanCollapse(&node) || !self) return false;
    node.expanded_ = false;
    // What the user had inside the closed branch comes up to the node.
    if (GetMultiSelect()) {
        for (TTreeNode* n = node.GetFirstChild(); n && n->HasAsParent(&node); n = n->GetNext())
            if (n->selected_) {
                n->selected_ = false;
                if (selected_ == n) selected_ = nullptr;
            }
    } else if (selected_ && selected_->HasAsParent(&node)) {
        SelectAsUser(&node, {}, false);
        if (!self) return false;
    }
    if (TTreeNode* focus = NodeOfRow(GetFocusedRow()); focus && focus->HasAsParent(&node)) FocusNode(&node);
    NodesChanged();
    Collapse(&node);
    return true;
}

void TCustomTreeView::NodeSelecting(TTreeNode& node, bool selected) {
    if (!GetMultiSelect()) {
        if (selected)
            SetSelected(&node);
        else if (selected_ == &node)
            SetSelected(nullptr);
        return;
    }
    if (node.selected_ == selected) return;
    node.selected_ = selected;
    if (selected) selected_ = &node;
    if (!selected && selected_ == &node) selected_ = nullptr;
    RepaintNode(node);
}

void TCustomTreeView::ResortAfterChange(TTreeNode& node, bool textChanged) {
    if (node.deleting_) return;
    const bool byText = sortType_ == stText || sortType_ == stBoth;
    const bool byData = (sortType_ == stData || sortType_ == stBoth) && HasCompareHandler();
    if (textChanged ? !byText : !byData) return;
    if (textChanged && !node.parent_) {
        AlphaSort(true);
        return;
    }
    if (items_->SortList(node.Siblings(), nullptr, 0)) NodesChanged();
}

// ---- notifications

bool TCustomTreeView::CanChange(TTreeNode* node) {
    bool allow = true;
    if (OnChanging) OnChanging(this, node, allow);
    return allow;
}

void TCustomTreeView::Change(TTreeNode* node) {
    if (OnChange) OnChange(this, node);
}

bool TCustomTreeView::CanExpand(TTreeNode* node) {
    bool allow = true;
    if (OnExpanding) OnExpanding(this, node, allow);
    return allow;
}

void TCustomTreeView::Expand(TTreeNode* node) {
    if (OnExpanded) OnExpanded(this, node);
}

bool TCustomTreeView::CanCollapse(TTreeNode* node) {
    bool allow = true;
    if (OnCollapsing) OnCollapsing(this, node, allow);
    return allow;
}

void TCustomTreeView::Collapse(TTreeNode* node) {
    if (OnCollapsed) OnCollapsed(this, node);
}

bool TCustomTreeView::CanEdit(TTreeNode* node) {
    bool allow = true;
    if (OnEditing) OnEditing(this, node, allow);
    return allow;
}

void TCustomTreeView::Edit(TTreeNode* node, std::string& text) {
    if (OnEdited) OnEdited(this, node, text);
}

void TCustomTreeView::Delete(TTreeNode* node) {
    if (OnDeletion) OnDeletion(this, node);
}

void TCustomTreeView::Added(TTreeNode* node) {
    if (OnAddition) OnAddition(this, node);
}

void TCustomTreeView::GetImageIndex(TTreeNode* node) {
    if (OnGetImageIndex) OnGetImageIndex(this, node);
}

void TCustomTreeView::GetSelectedIndex(TTreeNode* node) {
    if (OnGetSelectedIndex) OnGetSelectedIndex(this, node);
}

bool TCustomTreeView::HasCompareHandler() const { return static_cast<bool>(OnCompare); }

int TCustomTreeView::CompareNodes(TTreeNode* node1, TTreeNode* node2, int32_t data) {
    if (OnCompare) {
        int compare = 0;
        OnCompare(this, node1, node2, data, compare);
        return compare;
    }
    return CompareTexts(node1->GetText(), node2->GetText());
}

// ---- nodes

TTreeNode* TCustomTreeView::GetSelected() const {
    if (GetMultiSelect()) {
        TTreeNode* focus = NodeOfRow(GetFocusedRow());
        if (focus && focus->selected_) return focus;
    }
    return selected_;
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
    items_->CheckOwned(node);
    if (!node) {
        if (!GetMultiSelect()) {
            if (!selected_ || !CanChange(nullptr)) return;
            TTreeNode* old = selected_;
            old->selected_ = false;
            selected_ = nullptr;
            RepaintNode(*old);
            SelectionChanged(nullptr);
            return;
        }
        for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext())
            if (n->selected_) {
                n->selected_ = false;
                RepaintNode(*n);
            }
        selected_ = nullptr;
        SelectionChanged(nullptr);
        return;
    }
    std::vector<TTreeNode*> ancestors;
    for (TTreeNode* p = node->parent_; p; p = p->parent_) ancestors.push_back(p);
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) SetNodeExpanded(**it, true);
    if (!node->IsVisible()) return;
    SelectAsUser(node, {}, false);
}

TTreeNode* TCustomTreeView::GetFocussedNode() const { return NodeOfRow(GetFocusedRow()); }

int TCustomTreeView::GetSelectionCount() const {
    if (!GetMultiSelect()) return selected_ ? 1 : 0;
    int count = 0;
    for (const TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext()) count += n->selected_;
    return count;
}

TTreeNode* TCustomTreeView::GetSelection(int index) const {
    for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext())
        if (n->selected_ && index-- == 0) return n;
    throw ETreeViewError("Invalid index");
}

TTreeNode* TCustomTreeView::GetTopItem() const {
    const_cast<TCustomTreeView*>(this)->UpdateRows();
    return NodeOfRow(GetTopRow());
}

void TCustomTreeView::SetTopItem(TTreeNode* node) {
    if (!node) return;
    items_->CheckOwned(node);
    UpdateRows();
    const int row = RowOf(*node);
    if (row >= 0) SetTopRow(row);
}

void TCustomTreeView::SetDropTarget(TTreeNode* node) {
    if (node == dropTarget_) return;
    items_->CheckOwned(node);
    if (dropTarget_) {
        dropTarget_->dropTarget_ = false;
        RepaintNode(*dropTarget_);
    }
    dropTarget_ = node;
    if (node) {
        node->dropTarget_ = true;
        RepaintNode(*node);
    }
}

void TCustomTreeView::FullExpand() {
    for (TTreeNode* root = items_->GetFirstNode(); root; root = root->GetNextSibling()) root->Expand(true);
}

void TCustomTreeView::FullCollapse() {
    for (TTreeNode* root = items_->GetFirstNode(); root; root = root->GetNextSibling()) root->Collapse(true);
}

bool TCustomTreeView::AlphaSort(bool recurse) { return CustomSort(nullptr, 0, recurse); }

bool TCustomTreeView::CustomSort(const TTVCompare& compare, int32_t data, bool recurse) {
    // A comparison may free the view.
    if (!items_->SortList(items_->roots_, compare, data)) return false;
    if (recurse)
        for (const auto& root : items_->roots_)
            if (!root->children_.empty() && !root->SortChildren(compare, data, true)) return false;
    NodesChanged();
    return true;
}

// ---- selection

void TCustomTreeView::FocusNode(TTreeNode* node) {
    if (rowsStale_) {
        pendingFocus_ = node;
        return;
    }
    SetFocusedRow(node ? RowOf(*node) : -1);
}

void TCustomTreeView::SetFocusedNode(TTreeNode* node) {
    items_->CheckOwned(node);
    if (node) node->MakeVisible();
    UpdateRows();
    SetFocusedRow(node ? RowOf(*node) : -1);
}

bool TCustomTreeView::SelectAsUser(TTreeNode* node, TShiftState shift, bool fromMouse) {
    if (!node) return false;
    const bool multi = GetMultiSelect();
    const bool ctrl = shift.Contains(ssCtrl), range = shift.Contains(ssShift);
    thorn::ComponentRef<TCustomTreeView> self(this);
    if (!multi || (!ctrl && !range)) {
        if (node == selected_ && node->selected_ && (!multi || GetSelectionCount() == 1)) {
            FocusNode(node);
            return true;
        }
        if (!CanChange(node)) return false;
        if (!self || node->deleting_) return false;
        TTreeNode* old = selected_;
        if (multi) {
            UpdateRows();
            for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext())
                if (n->selected_ && n != node) {
                    n->selected_ = false;
                    RepaintNode(*n);
                }
        } else if (old) {
            old->selected_ = false;
            RepaintNode(*old);
        }
        node->selected_ = true;
        selected_ = node;
        RepaintNode(*node);
        FocusNode(node);
        if (autoExpand_) {
            if (old && old != node && !node->HasAsParent(old)) SetNodeExpanded(*old, false);
            SetNodeExpanded(*node, true);
        }
        SelectionChanged(node);
        return true;
    }
    if (ctrl && !range && !fromMouse) {
        // Ctrl with a key moves the focus alone.
        UpdateRows();
        SetFocusedRow(RowOf(*node));
        return true;
    }
    if (!CanChange(node)) return false;
    if (!self || node->deleting_) return false;
    UpdateRows();
    const int row = RowOf(*node);
    if (row < 0) return false;
    if (range)
        SelectRange(row, ctrl);
    else
        ToggleRow(row);
    if (!self) return false;
    if (node->selected_) selected_ = node;
    SelectionChanged(node);
    return true;
}

void TCustomTreeView::SelectionChanged(TTreeNode* node) {
    if (changeDelay_ <= 0) {
        Change(node);
        return;
    }
    changePending_ = node;
    changeIsPending_ = true;
    if (!changeTimer_) {
        changeTimer_ = thorn::Make<TTimer>(*this);
        changeTimer_->SetOnTimer([this](TObject*) {
            changeTimer_->SetEnabled(false);
            if (!changeIsPending_) return;
            changeIsPending_ = false;
            Change(changePending_);
        });
    }
    changeTimer_->SetEnabled(false);
    changeTimer_->SetInterval(static_cast<uint32_t>(changeDelay_));
    changeTimer_->SetEnabled(true);
}

// ---- label editing

bool TCustomTreeView::IsEditing() const { return editor_ != nullptr; }

TCustomEdit* TCustomTreeView::GetEditControl() const { return editor_; }

void TCustomTreeView::StartEditTimer() {
    if (!editTimer_) {
        editTimer_ = thorn::Make<TTimer>(*this);
        editTimer_->SetOnTimer([this](TObject*) {
            TTreeNode* node = editCandidate_;
            StopEditTimer();
            if (node && node == GetSelected()) BeginEdit(*node);
        });
    }
    editTimer_->SetEnabled(false);
    editTimer_->SetInterval(kEditPause);
    editTimer_->SetEnabled(true);
}

void TCustomTreeView::StopEditTimer() {
    editCandidate_ = nullptr;
    if (editTimer_) editTimer_->SetEnabled(false);
}

bool TCustomTreeView::BeginEdit(TTreeNode& node) {
    items_->CheckOwned(&node);
    if (readOnly_ || node.deleting_) return false;
    if (editingNode_ == &node) return true;
    if (editingNode_) FinishEdit(false);
    StopEditTimer();
    thorn::ComponentRef<TCustomTreeView> self(this);
    editWatch_ = &node;
    if (!CanEdit(&node) || !self || !editWatch_) return false;
    node.MakeVisible();
    UpdateRows();
    SetNewHint(nullptr);
    editingNode_ = &node;
    editor_ = thorn::Make<thorn::TreeLabelEdit>(*this, *this);
    editor_->Font().Assign(GetFont());
    TRect box = TextRect(node);
    box.Right = std::min(std::max(box.Right + 16, box.Left + 64), std::max(box.Right, GetClientWidth()));
    editor_->SetBoundsRect(box);
    editor_->SetParent(this);
    editor_->SetText(node.GetText());
    editor_->SelectAll();
    if (editor_->CanFocus()) editor_->SetFocus();
    return true;
}

void TCustomTreeView::FinishEdit(bool cancel) {
    if (!editor_) return;
    thorn::TreeLabelEdit* editor = editor_;
    TTreeNode* node = editingNode_;
    editor_ = nullptr;
    editingNode_ = nullptr;
    std::string text = editor->GetText();
    const bool hadFocus = editor->Focused();
    thorn::ComponentRef<TCustomTreeView> self(this);
    // The box goes once its own event (a key, its exit) has returned.
    editor->Hide();
    if (Application && !GetComponentState().Contains(csDestroying))
        Application->ReleaseComponent(editor);
    if (self && hadFocus && CanFocus()) SetFocus();
    if (!self || cancel || !node) return;
    editWatch_ = node;
    Edit(node, text);
    // OnEdited may free the view, or delete the node.
    if (!self) return;
    if (editWatch_) node->SetText(text);
    if (self) editWatch_ = nullptr;
}

// ---- the text form

void TCustomTreeView::SaveToStream(TStream& stream) const {
    std::string out;
    int level = 0;
    for (const TTreeNode* n = items_->GetFirstNode(); n;) {
        out.append(static_cast<size_t>(level), '\t');
        out += n->GetText();
        out += "\r\n";
        if (!n->children_.empty()) {
            n = n->children_.front().get();
            ++level;
            continue;
        }
        while (n && !n->GetNextSibling()) {
            n = n->parent_;
            --level;
        }
        if (n) n = n->GetNextSibling();
    }
    stream.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
}

void TCustomTreeView::LoadFromStream(TStream& stream) {
    TStringList lines;
    lines.LoadFromStream(stream);
    // A handler told of a node deleted or added (OnCompare of a sorted
    // tree too) may free the view: AddChild then answers null.
    const TTreeNodes::Updating updating(*items_);
    items_->Clear();
    if (updating.ViewFreed()) return;
    TTreeNode* node = nullptr;
    int nodeLevel = 0;
    for (int i = 0; i < lines.GetCount(); ++i) {
        const std::string line = lines.Get(i);
        const size_t indent = line.find_first_not_of("\t ");
        const int level = static_cast<int>(indent == std::string::npos ? line.size() : indent);
        const std::string text = line.substr(static_cast<size_t>(level));
        if (!node) {
            node = items_->AddChild(nullptr, text);
            nodeLevel = 0;
        } else if (level == nodeLevel) {
            node = items_->AddChild(node->parent_, text);
        } else if (level == nodeLevel + 1) {
            node = items_->AddChild(node, text);
            nodeLevel = level;
        } else if (level < nodeLevel) {
            TTreeNode* above = node->parent_;
            for (int l = nodeLevel - 1; l > level; --l) above = above->parent_;
            node = items_->AddChild(above->parent_, text);
            nodeLevel = level;
        } else {
            throw ETreeViewError("Invalid level (" + std::to_string(level) + ") for item \"" + text + "\"");
        }
        if (!node) return;
    }
}

void TCustomTreeView::SaveToFile(const std::filesystem::path& file) const {
    TFileStream stream(file, TFileMode::fmCreate);
    SaveToStream(stream);
}

void TCustomTreeView::LoadFromFile(const std::filesystem::path& file) {
    TFileStream stream(file, TFileMode::fmOpenRead);
    LoadFromStream(stream);
}
