#include "inspector/Rminspector.h"

#include <exception>
#include <string_view>
#include <utility>
#include <vector>

#include "gui/Application.h"
#include "gui/ComboBox.h"
#include "gui/Edit.h"
#include "gui/Forms.h"
#include "inspector/Rmcheckbox.h"
#include "inspector/Rminspectoritems.h"
#include "inspector/Rmlibrary.h"
#include "platform/DateTime.h"
#include "platform/Properties.h"

namespace {

// The abstract item is known by name too, so that a form stream naming it
// fails with a clear message instead of an unknown class.
const bool kRegistered =
    (thorn::RegisterClassInfo(thorn::ClassInfo("TrmCustomInspectorItem", typeid(TrmCustomInspectorItem),
                                               [] { return std::unique_ptr<TPersistent>(); })),
     RegisterClass<TrmInspector>("TrmInspector"), true);

constexpr char kSeparator = '\x01';
constexpr std::string_view kNewItem = "New Item";

// The change event of an editor: a check box's own, else the edit's.
TNotifyEvent* ChangeEventOf(TWinControl& editor) {
    if (auto* box = dynamic_cast<TrmCustomCheckBox*>(&editor)) return &box->OnChange;
    if (auto* combo = dynamic_cast<TCustomComboBox*>(&editor)) return &combo->OnChange;
    if (auto* edit = dynamic_cast<TCustomEdit*>(&editor)) return &edit->OnChange;
    return nullptr;
}

// Calls visit for every visible row in order, until it answers true: the
// roots, and the children of every open row, each list walked by index.
template <typename Visit>
void WalkVisible(const TrmTreeNonViewNodes& items, Visit&& visit) {
    std::vector<std::pair<const TrmTreeNonViewNode*, int>> open;  // open rows and their next child
    for (TrmTreeNonViewNode* root = items.GetFirstNode(); root; root = root->GetNextSibling()) {
        for (TrmTreeNonViewNode* node = root; node;) {
            if (visit(node)) return;
            if (node->GetExpanded() && node->GetChildren()) open.emplace_back(node, 0);
            node = nullptr;
            while (!open.empty() && !node) {
                auto& [parent, next] = open.back();
                if (next < parent->GetCount()) node = parent->GetItem(next++);
                else open.pop_back();
            }
        }
    }
}

}  // namespace

// ======================================================= TrmCustomInspectorItem

// The rows of a grid hear nothing of each other: clearing a grid frees each
// row without telling the rows left.
TrmCustomInspectorItem::TrmCustomInspectorItem() { HearNoRemovals(); }

TrmCustomInspectorItem::TrmCustomInspectorItem(bool editabled) : editabled_(editabled), editabledAtStart_(editabled) {
    HearNoRemovals();
}

TrmCustomInspectorItem::~TrmCustomInspectorItem() {
    // A grid that is not being destroyed itself lets go of the row's item.
    if (TrmInspector* grid = inspector_.Get()) grid->ItemDestroyed(this);
}

void TrmCustomInspectorItem::GetValueFromEditor(TWinControl*) {
    if (TrmInspector* grid = inspector_.Get(); grid && node_) grid->UpdateText(node_->GetParent());
}

void TrmCustomInspectorItem::ValueChanged() {
    TrmInspector* grid = inspector_.Get();
    if (!grid || !node_) return;
    grid->UpdateText(node_->GetParent());
    grid->Invalidate();
}

void TrmCustomInspectorItem::PublishProperties(thorn::PropertyList& list) {
    TComponent::PublishProperties(list);
    list.String("AsString", [this] { return GetAsString(); }, [this](const std::string& v) { SetAsString(v); });
    list.String("Hint", [this] { return hint_; }, [this](const std::string& v) { hint_ = v; });
    // Stored when true, as against the declared default false; a row of a
    // kind that starts Editabled stores false too, or it would read back
    // editable.
    list.Boolean("Editabled", [this] { return editabled_; }, [this](bool v) { editabled_ = v; });
    list.StoredWhen([this] { return editabled_ || editabledAtStart_; });
}

// ================================================================= TrmInspector

TrmInspector::TrmInspector() : tree_(std::make_unique<TrmTreeNonView>()) {
    TControlStyle style = GetControlStyle();
    style.Include(csOpaque);
    SetControlStyle(style);
    SetBounds(GetLeft(), GetTop(), 225, 200);
    SetTabStop(false);
    Canvas().Font().Assign(GetFont());
    tree_->SetSepChar(kSeparator);
    tree_->OnNodeTextChanged = [this](TObject* sender, TrmTreeNonViewNode* node) { DoNodeTextChanged(sender, node); };
    tree_->OnDeletion = [this](TObject* sender, TrmTreeNonViewNode* node) { DoNodeDelete(sender, node); };
    UpdateVScrollBar();
}

TrmInspector::~TrmInspector() {
    // A grid nobody owns (one read from a form stream is held by a
    // std::unique_ptr) is freed without BeforeDestruction: its tree would
    // clear its rows through DoNodeDelete after the editor reference and the
    // saved handlers that it closes are gone.
    Destroying();
    LetGoOfTheTree();
}

void TrmInspector::BeforeDestruction() {
    thorn::ScrollingControl::BeforeDestruction();
    LetGoOfTheTree();
}

void TrmInspector::LetGoOfTheTree() {
    // The items go with what the grid owns; the tree only lets go of the
    // references it holds.
    tree_->OnDeletion = nullptr;
    tree_->OnNodeTextChanged = nullptr;
    currentNode_ = nullptr;
    selectedNode_ = nullptr;
    CloseHint();
}

// ---- settings

void TrmInspector::SetSelectedItemBgColor(TColor value) {
    if (value == selectedItemBgColor_) return;
    selectedItemBgColor_ = value;
    Invalidate();
}

void TrmInspector::SetItemHeight(int value) {
    if (value != -1 && value <= 0) return;
    requestedItemHeight_ = value;
    rowHeight_ = value;
    UpdateVScrollBar();
    Invalidate();
}

void TrmInspector::SetReadonly(bool value) {
    readonly_ = value;
    if (TWinControl* editor = editor_.Get()) editor->SetVisible(!value);
    if (value) {
        editorFocus_ = false;
        if (CanFocus()) SetFocus();
        Invalidate();
    }
}

void TrmInspector::SetShowFocusRect(bool value) {
    showFocusRect_ = value;
    Invalidate();
}

void TrmInspector::SetShowVScrollBars(bool value) {
    if (value == showVScrollBars_) return;
    showVScrollBars_ = value;
    UpdateVScrollBar();
    Invalidate();
}

void TrmInspector::SetSepChar(char value) {
    if (value != tree_->GetSepChar()) tree_->SetSepChar(value);
}

// ---- finding rows

TrmCustomInspectorItem* TrmInspector::ItemOf(const TrmTreeNonViewNode* node) const {
    return node ? dynamic_cast<TrmCustomInspectorItem*>(node->GetData()) : nullptr;
}

bool TrmInspector::Owns(const TrmTreeNonViewNode* node) const { return node && &node->GetOwner() == &GetItems(); }

TrmCustomInspectorItem* TrmInspector::GetItemByName(std::string_view name) const {
    for (TrmTreeNonViewNode* node = GetItems().GetFirstNode(); node; node = node->GetNext())
        if (TrmCustomInspectorItem* item = ItemOf(node); item && item->GetName() == name) return item;
    return nullptr;
}

TrmTreeNonViewNode* TrmInspector::GetNodeByItem(const TrmCustomInspectorItem* item) const {
    if (!item) return nullptr;
    if (item->inspector_ == this && item->node_ && item->node_->GetData() == item) return item->node_;
    for (TrmTreeNonViewNode* node = GetItems().GetFirstNode(); node; node = node->GetNext())
        if (node->GetData() == item) return node;
    return nullptr;
}

TrmCustomInspectorItem* TrmInspector::GetCurrentInspectorItem() const { return ItemOf(currentNode_); }

TrmCustomInspectorItem* TrmInspector::FindInspectorItem(std::string_view path) const {
    return ItemOf(tree_->FindPathNode(path));
}

std::string TrmInspector::GetCurrentPath() const { return currentNode_ ? tree_->NodePath(currentNode_) : ""; }

void TrmInspector::SetCurrentPath(std::string_view path) {
    TrmTreeNonViewNode* node = tree_->FindPathNode(path);
    if (!node) throw ErmInspectorError("Unable to find Inspector Item");
    SetCurrentNode(node);
}

void TrmInspector::SetCurrentNode(TrmTreeNonViewNode* node) {
    if (!Owns(node)) return;
    for (TrmTreeNonViewNode* parent = node->GetParent(); parent; parent = parent->GetParent())
        parent->SetExpanded(true);
    UpdateVScrollBar();
    // OnItemIndexChanging and OnItemIndexChanged may free the grid.
    thorn::ComponentRef<TrmInspector> self(this);
    SetItemIndex(VisibileNodeIndex(node));
    if (self) AfterMove();
}

bool TrmInspector::IsNodeVisible(const TrmTreeNonViewNode* node) const {
    if (!Owns(node)) return false;
    for (const TrmTreeNonViewNode* parent = node->GetParent(); parent; parent = parent->GetParent())
        if (!parent->GetExpanded()) return false;
    return true;
}

bool TrmInspector::IsItemVisible(const TrmCustomInspectorItem* item) const {
    return item && item->inspector_ == this && IsNodeVisible(item->node_);
}

int TrmInspector::VisibileNodeIndex(const TrmTreeNonViewNode* node) const {
    if (!IsNodeVisible(node)) return -1;
    int row = 0, found = -1;
    WalkVisible(GetItems(), [&](const TrmTreeNonViewNode* shown) {
        if (shown == node) found = row;
        ++row;
        return found >= 0;
    });
    return found;
}

int TrmInspector::VisibileItemIndex(const TrmCustomInspectorItem* item) const {
    return item && item->inspector_ == this ? VisibileNodeIndex(item->node_) : -1;
}

std::string TrmInspector::ParentPath(std::string_view path) const { return tree_->ParentName(path); }

// ---- rows on screen


int TrmInspector::VisibleItemCount() const { return GetItems().GetShownCount(); }

TrmTreeNonViewNode* TrmInspector::GetVisibleItem(int row) const {
    TrmTreeNonViewNode* found = nullptr;
    if (row < 0) return nullptr;
    int at = 0;
    WalkVisible(GetItems(), [&](TrmTreeNonViewNode* node) {
        if (at++ < row) return false;
        found = node;
        return true;
    });
    return found;
}

std::vector<TrmTreeNonViewNode*> TrmInspector::VisibleRows(int first, int count) const {
    std::vector<TrmTreeNonViewNode*> rows;
    int at = 0;
    WalkVisible(GetItems(), [&](TrmTreeNonViewNode* node) {
        if (at++ >= first) rows.push_back(node);
        return static_cast<int>(rows.size()) >= count;
    });
    return rows;
}

// ---- adding and removing rows

std::string TrmInspector::NewItemName(const thorn::ClassInfo& itemClass) {
    return FirstFreeName(itemClass.Name().substr(1));
}

TrmCustomInspectorItem* TrmInspector::AddItem(TrmTreeNonViewNode* node, const thorn::ClassInfo& itemClass) {
    const std::string base = tree_->NodePath(node) + GetSepChar() + std::string(kNewItem);
    // A row without an item holds its path too.
    const std::string path = newPaths_.FirstFree(base, GetItems().GetHashRemovals(),
                                                 [this](const std::string& p) { return tree_->FindPathNode(p); });
    std::string value = "<Empty Value>";
    const std::string& kind = itemClass.Name();
    if (kind == "TrmIntegerInspectorItem") value = "0";
    else if (kind == "TrmDateInspectorItem") value = DateToStr(Date());
    else if (kind == "TrmNodeInspectorItem" || kind == "TrmSafeIntegerInspectorItem" || kind == "TrmBlankInspectorItem")
        value.clear();
    TrmCustomInspectorItem* item = AddInspectorItem(path, value, itemClass);
    if (!item) return nullptr;
    item->SetName(NewItemName(itemClass));
    if (item->node_) UpdateText(item->node_->GetParent());
    return item;
}

TrmCustomInspectorItem* TrmInspector::AddItem(std::string_view name, const thorn::ClassInfo& itemClass) {
    TrmCustomInspectorItem* parent = GetItemByName(name);
    return parent ? AddItem(parent->node_, itemClass) : nullptr;
}

TrmCustomInspectorItem* TrmInspector::AddInspectorItem(std::string_view path, const std::string& value,
                                                       const thorn::ClassInfo& itemClass) {
    if (tree_->FindPathNode(path)) throw EAbort("The specified path item already exists");
    std::unique_ptr<TrmCustomInspectorItem> made = itemClass.Create<TrmCustomInspectorItem>();
    if (!made) throw EInvalidOperation("Class " + itemClass.Name() + " is not an inspector item");
    TrmCustomInspectorItem* item = thorn::Adopt(*this, std::move(made));
    item->inspector_ = this;
    try {
        item->SetStringValue(value);
    } catch (...) {
        thorn::Free(item);
        throw;
    }
    TrmTreeNonViewNode* node = tree_->AddPathNode(nullptr, path);
    if (!node) {
        // A path naming no row (empty, or a separator alone).
        thorn::Free(item);
        return nullptr;
    }
    item->node_ = node;
    node->SetData(item);
    // Only the groups above the new row sum it up.
    UpdateText(node->GetParent());
    FollowSelectedRow();
    Invalidate();
    return item;
}

void TrmInspector::RemoveNode(TrmTreeNonViewNode* node) {
    if (!Owns(node)) return;
    // The selection leaves the rows going away first, its editor storing
    // what it holds. OnItemIndexChanged, there or as the rows go, may free
    // the grid.
    thorn::ComponentRef<TrmInspector> self(this);
    const TrmTreeNonViewNode* selected = GetVisibleItem(itemIndex_);
    if (currentNode_ && (currentNode_ == node || currentNode_->HasAsParent(node))) SetItemIndex(-1);
    if (!self) return;
    if (selected && (selected == node || selected->HasAsParent(node))) Deselect();
    node->Delete();
    if (!self) return;
    RowsChanged();
    Invalidate();
}

void TrmInspector::RemoveItem(std::string_view name) {
    if (TrmCustomInspectorItem* item = GetItemByName(name)) RemoveNode(item->node_);
}

void TrmInspector::DeleteItem(std::string_view path) { RemoveNode(tree_->FindPathNode(path)); }

void TrmInspector::ClearNode(TrmTreeNonViewNode* node) {
    if (!Owns(node)) return;
    thorn::ComponentRef<TrmInspector> self(this);
    const TrmTreeNonViewNode* selected = GetVisibleItem(itemIndex_);
    if (currentNode_ && currentNode_ != node && currentNode_->HasAsParent(node)) SetItemIndex(-1);
    if (!self) return;
    if (selected && selected != node && selected->HasAsParent(node)) Deselect();
    node->DeleteChildren();
    if (!self) return;
    RowsChanged();
    Invalidate();
}

void TrmInspector::ClearNode(std::string_view name) {
    if (TrmCustomInspectorItem* item = GetItemByName(name)) ClearNode(item->node_);
}

void TrmInspector::ClearItems() {
    // The open editor closes with its row (DoNodeDelete), where
    // OnItemIndexChanged may free the grid.
    thorn::ComponentRef<TrmInspector> self(this);
    GetItems().Clear();
    if (!self) return;
    Deselect();
    SetScrollPos({0, 0});
    RowsChanged();
    Invalidate();
}

void TrmInspector::MoveItem(TrmTreeNonViewNode* node1, TrmTreeNonViewNode* node2) {
    if (!node1) return;
    GetItems().Move(GetItems().GetIndex(node1), GetItems().GetIndex(node2) + 1);
    RowsChanged();
    Invalidate();
}

void TrmInspector::MoveItem(int index1, int index2) {
    GetItems().Move(index1, index2 + 1);
    RowsChanged();
    Invalidate();
}

void TrmInspector::MoveItem(std::string_view path1, std::string_view path2) {
    if (path1.empty()) return;
    MoveItem(tree_->FindPathNode(path1), tree_->FindPathNode(path2));
}

void TrmInspector::MoveItem(TrmTreeNonViewNode* parent, TrmTreeNonViewNode* node1, TrmTreeNonViewNode* node2) {
    if (!parent) {
        MoveItem(node1, node2);
        return;
    }
    parent->MoveItem(node1, node2);
    RowsChanged();
    Invalidate();
}

void TrmInspector::AssignItems(const TrmTreeNonViewNodes& source) {
    if (&source == &GetItems()) return;
    // OnItemIndexChanged, as the chosen row is left or goes, may free the grid.
    thorn::ComponentRef<TrmInspector> self(this);
    SetItemIndex(-1);
    if (!self) return;
    GetItems().Assign(source);
    if (!self) return;
    Deselect();
    AdoptItems();
    RowsChanged();
    Invalidate();
}

void TrmInspector::AdoptItems() {
    for (TrmTreeNonViewNode* node = GetItems().GetFirstNode(); node; node = node->GetNext()) {
        auto* item = ItemOf(node);
        std::unique_ptr<TComponent> owned = node->ReleaseOwnedData();
        if (!item) continue;
        if (owned && owned.get() == item) {
            // Names are unique among the grid's components; a copy of a row
            // whose name is taken gets a new one.
            if (!item->GetName().empty() && FindComponent(item->GetName())) {
                item->SetName({});
                if (const thorn::ClassInfo* kind = thorn::ClassOf(*item)) item->SetName(NewItemName(*kind));
            }
            thorn::Adopt(*this, std::move(owned));
        }
        item->inspector_ = this;
        item->node_ = node;
    }
}

void TrmInspector::ItemDestroyed(TrmCustomInspectorItem* item) {
    TrmTreeNonViewNode* node = item->node_;
    item->node_ = nullptr;
    if (!node) return;
    if (node->GetData() == item) node->SetData(nullptr);
    if (node == currentNode_) {
        currentNode_ = nullptr;
        CloseEditor();
    }
    summariesStale_ = true;
    thorn::ScrollingControl::Invalidate();
}

void TrmInspector::RowsChanged() {
    summariesStale_ = true;
    FollowSelectedRow();
}

void TrmInspector::FollowSelectedRow() {
    // Rows coming, going or folding above the selected one leave it on its
    // row, whether or not the row has an editor.
    if (!selectedNode_) return;
    if (const int row = VisibileNodeIndex(selectedNode_); row >= 0) itemIndex_ = row;
}

void TrmInspector::Deselect() {
    itemIndex_ = -1;
    selectedNode_ = nullptr;
}

// ---- group summaries

namespace {

// The summary of a group row from its children; false when the row is no
// group or has no children (it keeps what it shows).
bool Summary(const TrmTreeNonViewNode& node, std::string& summary) {
    if (!dynamic_cast<TrmNodeInspectorItem*>(node.GetData()) || !node.GetChildren()) return false;
    std::string text;
    for (int i = 0; i < node.GetCount(); ++i) {
        const TrmTreeNonViewNode& child = *node.GetItem(i);
        auto* item = dynamic_cast<TrmCustomInspectorItem*>(child.GetData());
        const bool group = dynamic_cast<TrmNodeInspectorItem*>(item) != nullptr;
        if (!group && child.GetChildren()) {
            summary = "(...)";
            return true;
        }
        if (group) text += ", (...)";
        else if (item) text += ", " + item->GetAsString();
    }
    // Built by appending: GCC 12 warns of a false overlap in "(" + text.
    std::string whole(1, '(');
    if (text.size() >= 2) whole.append(text, 2);
    whole += ')';
    summary = std::move(whole);
    return true;
}

void StoreSummary(TrmTreeNonViewNode& node) {
    if (std::string summary; Summary(node, summary))
        static_cast<TrmNodeInspectorItem*>(node.GetData())->SetSummary(summary);
}

}  // namespace

void TrmInspector::UpdateText(TrmTreeNonViewNode* node) {
    for (; node; node = node->GetParent()) StoreSummary(*node);
}

void TrmInspector::RefreshSummaries() {
    if (summariesStale_) {
        summariesStale_ = false;
        // Children before their parents, each group once.
        std::vector<TrmTreeNonViewNode*> order;
        for (TrmTreeNonViewNode* node = GetItems().GetFirstNode(); node; node = node->GetNext()) order.push_back(node);
        for (auto it = order.rbegin(); it != order.rend(); ++it) StoreSummary(**it);
        return;
    }
    // Values reach their groups as they change; the rows on screen are
    // summed again for what changed unseen (a three-state row's captions).
    for (TrmTreeNonViewNode* node : VisibleRows(GetVScrollPos(), vLines())) StoreSummary(*node);
}

// ---- the editor life cycle

template <typename Fn>
void TrmInspector::Pushing(Fn&& fn) {
    ++pushing_;
    struct Done {
        int& count;
        ~Done() { --count; }
    } done{pushing_};
    fn();
}

void TrmInspector::SetItemIndex(int value) {
    if (IsLoading()) {
        loadedItemIndex_ = value;
        return;
    }
    if (value == itemIndex_) return;
    const int row = SetInRange(value, -1, VisibleItemCount() - 1);
    TrmTreeNonViewNode* newNode = GetVisibleItem(row);
    TrmTreeNonViewNode* oldNode = currentNode_;
    if (newNode == oldNode) return;
    TrmCustomInspectorItem* oldItem = ItemOf(oldNode);
    TrmCustomInspectorItem* newItem = ItemOf(newNode);
    thorn::ComponentRef<TrmInspector> self(this);
    if (OnItemIndexChanging) {
        bool allow = true;
        OnItemIndexChanging(oldItem, newItem, allow);
        if (!self || !allow) return;
    }
    currentNode_ = nullptr;
    // A value the item refuses is reported once the selection has moved:
    // the editor is never left open without its row.
    std::exception_ptr refused;
    if (oldItem) {
        // What was typed is in the row already; the editor goes.
        if (!readonly_ && oldItem->GetEditabled() && editor_ && !std::exchange(typing_, false)) {
            try {
                oldItem->GetValueFromEditor(editor_.Get());
            } catch (...) {
                refused = std::current_exception();
            }
        }
        CloseEditor();
        if (oldNode) UpdateText(oldNode->GetParent());
    }
    if (newItem && newItem->GetEditabled()) OpenEditor(newNode, newItem, row);
    if (!self) return;  // OnEditorCreated freed the grid
    itemIndex_ = row;
    selectedNode_ = newNode;
    if (OnItemIndexChanged) OnItemIndexChanged(this);
    if (!self) return;
    Invalidate();
    if (refused) std::rethrow_exception(refused);
}

void TrmInspector::OpenEditor(TrmTreeNonViewNode* node, TrmCustomInspectorItem* item, int row) {
    const thorn::ClassInfo* editorClass = item->EditorClass();
    if (!editorClass) return;
    std::unique_ptr<TWinControl> made = editorClass->Create<TWinControl>();
    if (!made) return;
    TWinControl* editor = thorn::Adopt(*this, std::move(made));
    editor->SetVisible(false);
    editor->SetParent(this);
    if (!FindComponent(item->GetName() + "_editor")) editor->SetName(item->GetName() + "_editor");
    editor_ = editor;
    typing_ = false;
    thorn::ComponentRef<TWinControl> alive(editor);
    if (OnEditorCreated) OnEditorCreated(this);
    if (!alive) return;
    savedEditorKeyDown_ = editor->OnKeyDown;
    editor->OnKeyDown = [this](TObject* sender, TKey& key, TShiftState shift) { EditorKeyDown(sender, key, shift); };
    Pushing([&] {
        item->SetupEditor(this, editor);
        item->SetValueIntoEditor(editor);
    });
    currentNode_ = node;
    const TRect cell = GetVisibleItemRect(row - GetVScrollPos(), true);
    editor->SetBoundsRect(cell);
    if (readonly_) editorFocus_ = false;
    else editor->SetVisible(true);
    if (TNotifyEvent* change = ChangeEventOf(*editor)) {
        savedEditorChange_ = *change;
        *change = [this](TObject* sender) { EditorChange(sender); };
    }
    if (editorFocus_ && editor->CanFocus()) editor->SetFocus();
}

void TrmInspector::CloseEditor() {
    TWinControl* editor = editor_.Get();
    editor_.Reset();
    typing_ = false;
    if (!editor) return;
    editor->OnKeyDown = std::move(savedEditorKeyDown_);
    savedEditorKeyDown_ = nullptr;
    if (TNotifyEvent* change = ChangeEventOf(*editor)) *change = std::move(savedEditorChange_);
    savedEditorChange_ = nullptr;
    if (TCustomForm* form = GetParentForm(); form && editor->ContainsControl(form->GetFocusedControl()) &&
                                             !IsDestroying() && CanFocus())
        SetFocus();
    editor->SetVisible(false);
    editor->SetName({});
    // The editor may be inside its own event (a key that moved the
    // selection): it is freed once that has returned.
    if (Application) Application->ReleaseComponent(editor);
    else thorn::Free(editor);
}

void TrmInspector::EditorChange(TObject* sender) {
    if (pushing_) return;
    thorn::ComponentRef<TrmInspector> self(this);
    TrmCustomInspectorItem* item = ItemOf(currentNode_);
    if (TWinControl* editor = editor_.Get(); item && !readonly_ && item->GetEditabled() && editor) {
        typing_ = true;
        item->GetValueFromEditor(editor);
    }
    if (!self) return;
    if (const TNotifyEvent saved = savedEditorChange_) saved(sender);
    if (!self) return;
    if (OnItemChange) OnItemChange(sender);
    if (!self) return;
    if (currentNode_ && ItemOf(currentNode_)) UpdateText(currentNode_->GetParent());
    Invalidate();
}

void TrmInspector::EditorKeyDown(TObject* sender, TKey& key, TShiftState shift) {
    thorn::ComponentRef<TrmInspector> self(this);
    // The editor's own handler may be replaced by the next editor's when
    // the key moves the selection.
    const TKeyEvent saved = savedEditorKeyDown_;
    if (thorn::NoShiftKeys(shift)) {
        TWinControl* editor = editor_.Get();
        TrmCustomInspectorItem* item = ItemOf(currentNode_);
        const bool shown = editor && editor->GetVisible() && item;
        switch (key) {
            case VK_UP:
                key = 0;
                if (itemIndex_ > 0) {
                    SetItemIndex(itemIndex_ - 1);
                    if (self) AfterMove();
                }
                break;
            case VK_DOWN:
                key = 0;
                SetItemIndex(itemIndex_ + 1);
                if (self) AfterMove();
                break;
            case VK_ESCAPE:
                if (shown) {
                    typing_ = false;
                    Pushing([&] { item->SetValueIntoEditor(editor); });
                }
                break;
            case VK_TAB:
                key = 0;
                if (shown && typing_) FinishEdit(*item, *editor);
                editorFocus_ = false;
                if (CanFocus()) SetFocus();
                if (self) Invalidate();
                break;
            case VK_RETURN:
                if (shown) {
                    FinishEdit(*item, *editor);
                    if (self) Repaint();
                }
                break;
            default: break;
        }
    }
    if (!self) return;
    if (saved) saved(sender, key, shift);
    if (self && OnItemKeyDown) OnItemKeyDown(sender, key, shift);
}

void TrmInspector::DoComplexEdit(TObject*) {
    if (TWinControl* editor = editor_.Get(); editor && OnComplexEdit) OnComplexEdit(editor);
}

void TrmInspector::DoNodeTextChanged(TObject*, TrmTreeNonViewNode*) { thorn::ScrollingControl::Invalidate(); }

void TrmInspector::DoNodeDelete(TObject*, TrmTreeNonViewNode* node) {
    if (node == selectedNode_) selectedNode_ = nullptr;
    TrmCustomInspectorItem* item = ItemOf(node);
    if (!item) return;
    summariesStale_ = true;
    if (node == currentNode_) {
        currentNode_ = nullptr;
        CloseEditor();
        Deselect();
        // The handler may free the grid: its rows (this item too) go with it.
        thorn::ComponentRef<TrmInspector> self(this);
        if (OnItemIndexChanged) OnItemIndexChanged(this);
        if (!self) return;
    }
    node->SetData(nullptr);
    item->node_ = nullptr;
    std::unique_ptr<TComponent> owned = node->ReleaseOwnedData();
    if (item->GetOwner() == this) thorn::Free(item);
    // A row read from a stream and not yet taken by the grid holds its item
    // itself; it goes with `owned`.
}

void TrmInspector::DoExit() {
    thorn::ComponentRef<TrmInspector> self(this);
    TWinControl* editor = editor_.Get();
    if (TrmCustomInspectorItem* item = ItemOf(currentNode_); item && editor && editor->GetVisible())
        FinishEdit(*item, *editor);
    if (self) thorn::ScrollingControl::DoExit();
}

void TrmInspector::EditorKillFocus(TObject* sender) {
    TWinControl* editor = editor_.Get();
    if (!typing_ || IsDestroying() || !editor || sender != editor) return;
    if (TrmCustomInspectorItem* item = ItemOf(currentNode_)) FinishEdit(*item, *editor);
}

void TrmInspector::FinishEdit(TrmCustomInspectorItem& item, TWinControl& editor) {
    if (std::exchange(typing_, false))
        Pushing([&] { item.SetValueIntoEditor(&editor); });
    else
        item.GetValueFromEditor(&editor);
    if (OnEditEnded) OnEditEnded(this);
}

void TrmInspector::PlaceEditor() {
    TWinControl* editor = editor_.Get();
    if (!editor) return;
    const int line = itemIndex_ - GetVScrollPos();
    if (itemIndex_ >= 0 && line >= 0 && line < vLines())
        editor->SetBoundsRect(GetVisibleItemRect(line, true));
    else
        editor->SetTop(GetClientHeight() + 1);
}

void TrmInspector::SyncEditor() {
    TWinControl* editor = editor_.Get();
    if (!editor) return;
    PlaceEditor();
    if (TrmCustomInspectorItem* item = ItemOf(currentNode_); item && item->GetEditabled())
        Pushing([&] { item->RefreshEditor(editor, typing_); });
}

void TrmInspector::Invalidate() {
    if (!tree_ || IsDestroying() || syncing_) {
        thorn::ScrollingControl::Invalidate();
        return;
    }
    syncing_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{syncing_};
    FollowSelectedRow();
    RefreshSummaries();
    UpdateVScrollBar();
    thorn::ScrollingControl::Invalidate();
    SyncEditor();
}

void TrmInspector::Loaded() {
    thorn::ScrollingControl::Loaded();
    AdoptItems();
    summariesStale_ = true;
    UpdateVScrollBar();
    if (loadedItemIndex_ != -1) SetItemIndex(std::exchange(loadedItemIndex_, -1));
    Invalidate();
}

// ---- streaming

void TrmInspector::PublishProperties(thorn::PropertyList& list) {
    thorn::ScrollingControl::PublishProperties(list);
    list.Integer("SelectedItemBgColor", [this] { return selectedItemBgColor_; },
                 [this](int32_t v) { SetSelectedItemBgColor(v); }, clWindow);
    list.Integer("ItemHeight", [this] { return requestedItemHeight_; }, [this](int32_t v) { SetItemHeight(v); }, -1);
    list.Boolean("SplitResize", [this] { return splitResize_; }, [this](bool v) { SetSplitResize(v); }, false);
    list.Boolean("Readonly", [this] { return readonly_; }, [this](bool v) { SetReadonly(v); }, false);
    list.Boolean("ToolTip", [this] { return toolTip_; }, [this](bool v) { SetToolTip(v); }, true);
    list.Integer("ItemIndex", [this] { return itemIndex_; }, [this](int32_t v) { SetItemIndex(v); }, -1);
    list.Object("Items", [this] { return &GetItems(); });
    list.Enumeration<TBorderStyle>("BorderStyle", [this] { return borderStyle_; },
                                   [this](TBorderStyle v) { SetBorderStyle(v); }, thorn::kBorderStyleNames, bsNone);
    list.Integer("SplitPos", [this] { return splitPos_; }, [this](int32_t v) { setSplit(v); }, 100);
    list.Boolean("Ctl3D", [this] { return ctl3D_; }, [this](bool v) { SetCtl3D(v); }, true);
    list.Enumeration<TAlign>("Align", [this] { return GetAlign(); }, [this](TAlign v) { SetAlign(v); },
                             thorn::kAlignNames, alNone);
    list.Boolean("TabStop", [this] { return GetTabStop(); }, [this](bool v) { SetTabStop(v); }, false);
    list.Boolean("ShowHint", [this] { return GetShowHint(); }, [this](bool v) { SetShowHint(v); }, false);
}
