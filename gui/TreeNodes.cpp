#include "gui/TreeNodes.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "gui/TreeView.h"
#include "gui/TreeWalks.h"
#include "platform/Filer.h"
#include "platform/Streams.h"

namespace {

// The fixed part of a node record: six integers and the length byte.
constexpr int32_t kRecordFixed = 25;
constexpr int32_t kMaxText = 255;
// The fewest bytes a node takes in the stream: its size and a record of an
// empty text.
constexpr int64_t kSmallestNode = 4 + kRecordFixed;

int32_t ReadInt32(TStream& stream) {
    std::array<uint8_t, 4> b{};
    stream.ReadBuffer(b);
    return static_cast<int32_t>(uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24);
}

void PutInt32(std::vector<uint8_t>& out, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

int32_t GetInt32(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
}

[[noreturn]] void InvalidIndex() { throw ETreeViewError("Invalid index"); }
[[noreturn]] void InvalidStream() { throw EReadError("Invalid node stream"); }

}  // namespace

// ================================================================== TTreeNode

TTreeNode::TTreeNode(TTreeNodes& owner) : owner_(&owner) {}

TTreeNode::~TTreeNode() = default;

TCustomTreeView& TTreeNode::GetTreeView() const { return owner_->GetOwner(); }

void TTreeNode::SetText(const std::string& value) {
    if (value == text_) return;
    std::string old = text_;
    owner_->TextChanging(*this, value);
    text_ = value;
    widthGeneration_ = 0;
    owner_->TextChanged(*this, old);
    TCustomTreeView& view = GetTreeView();
    view.NodesChanged();
    view.ResortAfterChange(*this, true);
}

void TTreeNode::SetData(void* value) {
    if (value == data_) return;
    data_ = value;
    GetTreeView().ResortAfterChange(*this, false);
}

void TTreeNode::SetImageIndex(int32_t value) {
    // OnGetImageIndex sets it while the row paints: the same value again
    // must not ask for another paint.
    if (value == imageIndex_) return;
    imageIndex_ = value;
    GetTreeView().RepaintNode(*this);
}

void TTreeNode::SetSelectedIndex(int32_t value) {
    if (value == selectedIndex_) return;
    selectedIndex_ = value;
    GetTreeView().RepaintNode(*this);
}

void TTreeNode::SetStateIndex(int32_t value) {
    if (value == stateIndex_) return;
    stateIndex_ = value;
    GetTreeView().NodesChanged();
}

void TTreeNode::SetOverlayIndex(int32_t value) {
    if (value == overlayIndex_) return;
    overlayIndex_ = value;
    GetTreeView().RepaintNode(*this);
}

void TTreeNode::SetExpanded(bool value) {
    if (value)
        Expand(false);
    else
        Collapse(false);
}

void TTreeNode::SetSelected(bool value) { GetTreeView().NodeSelecting(*this, value); }

bool TTreeNode::GetFocused() const { return GetTreeView().GetFocussedNode() == this; }

void TTreeNode::SetFocused(bool value) {
    TCustomTreeView& view = GetTreeView();
    if (value)
        view.SetFocusedNode(this);
    else if (GetFocused())
        view.SetFocusedNode(nullptr);
}

void TTreeNode::SetCut(bool value) {
    if (value == cut_) return;
    cut_ = value;
    GetTreeView().RepaintNode(*this);
}

void TTreeNode::SetDropTarget(bool value) {
    TCustomTreeView& view = GetTreeView();
    if (value)
        view.SetDropTarget(this);
    else if (view.GetDropTarget() == this)
        view.SetDropTarget(nullptr);
}

void TTreeNode::SetHasChildren(bool value) {
    if (value == hasChildren_) return;
    hasChildren_ = value;
    if (!value) expanded_ = false;
    GetTreeView().NodesChanged();
}

bool TTreeNode::IsVisible() const {
    for (const TTreeNode* p = parent_; p; p = p->parent_)
        if (!p->expanded_) return false;
    return true;
}

// ---- structure

TTreeNode::NodeList& TTreeNode::Siblings() const { return parent_ ? parent_->children_ : owner_->roots_; }

TTreeNode* TTreeNode::GetItem(int index) const {
    if (index < 0 || index >= GetCount()) InvalidIndex();
    return children_[static_cast<size_t>(index)].get();
}

int TTreeNode::IndexOf(const TTreeNode* child) const {
    return child && child->parent_ == this ? child->index_ : -1;
}

int TTreeNode::GetLevel() const {
    int level = 0;
    for (const TTreeNode* p = parent_; p; p = p->parent_) ++level;
    return level;
}

int TTreeNode::GetAbsoluteIndex() const {
    int index = 0;
    for (const TTreeNode* n = GetPrev(); n; n = n->GetPrev()) ++index;
    return index;
}

TTreeNode* TTreeNode::GetNextSibling() const {
    const NodeList& list = Siblings();
    const auto next = static_cast<size_t>(index_) + 1;
    return next < list.size() ? list[next].get() : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const { return index_ > 0 ? Siblings()[index_ - 1].get() : nullptr; }

TTreeNode* TTreeNode::GetNextChild(const TTreeNode* child) const {
    return IndexOf(child) >= 0 ? child->GetNextSibling() : nullptr;
}

TTreeNode* TTreeNode::GetPrevChild(const TTreeNode* child) const {
    return IndexOf(child) >= 0 ? child->GetPrevSibling() : nullptr;
}

TTreeNode* TTreeNode::GetNext() const { return thorn::PreOrderNext(*this); }

TTreeNode* TTreeNode::GetPrev() const { return thorn::PreOrderPrev(*this, GetPrevSibling()); }

TTreeNode* TTreeNode::GetNextVisible() const {
    if (!IsVisible()) return nullptr;
    if (expanded_ && !children_.empty()) return children_.front().get();
    for (const TTreeNode* n = this; n; n = n->parent_)
        if (TTreeNode* sibling = n->GetNextSibling()) return sibling;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
    if (!IsVisible()) return nullptr;
    TTreeNode* n = GetPrevSibling();
    if (!n) return parent_;
    while (n->expanded_ && !n->children_.empty()) n = n->children_.back().get();
    return n;
}

bool TTreeNode::HasAsParent(const TTreeNode* node) const {
    if (!node) return false;
    for (const TTreeNode* p = parent_; p; p = p->parent_)
        if (p == node) return true;
    return false;
}

bool TTreeNode::IsEqual(const TTreeNode* node) const { return node && node->text_ == text_ && node->data_ == data_; }

// ---- changes

void TTreeNode::MoveTo(TTreeNode* destination, TNodeAttachMode mode) {
    owner_->CheckOwned(destination);
    if (destination == this || (destination && destination->HasAsParent(this)) || deleting_) return;
    const bool asChild = mode == naAddChild || mode == naAddChildFirst;
    TTreeNode* newParent = asChild ? destination : (destination ? destination->parent_ : nullptr);
    size_t position = 0;
    NodeList& target = newParent ? newParent->children_ : owner_->roots_;
    switch (mode) {
        case naAdd:
        case naAddChild: position = target.size(); break;
        case naAddFirst:
        case naAddChildFirst: position = 0; break;
        case naInsert: position = destination ? static_cast<size_t>(destination->index_) : 0; break;
    }
    owner_->SubtreeMoving(*this);
    TCustomTreeView& view = GetTreeView();
    // Out of the old list (its later members move up, the target position
    // with them when it is the same list).
    TTreeNode* oldParent = parent_;
    NodeList& source = Siblings();
    const auto from = static_cast<size_t>(index_);
    std::unique_ptr<TTreeNode> held = std::move(source[from]);
    source.erase(source.begin() + static_cast<std::ptrdiff_t>(from));
    if (&source == &target && from < position) --position;
    owner_->RenumberList(source, from);
    if (oldParent && oldParent->children_.empty()) {
        oldParent->hasChildren_ = false;
        oldParent->expanded_ = false;
    }
    // Into the new one; a tree that keeps its texts sorted puts it in its place.
    parent_ = newParent;
    if (view.GetSortType() == stText || view.GetSortType() == stBoth) {
        const TTreeNodes::ViewWatch watch(&view);
        position = owner_->SortedPosition(target, *this);
        if (watch.Freed()) return;  // this node goes with held
    }
    target.insert(target.begin() + static_cast<std::ptrdiff_t>(position), std::move(held));
    owner_->RenumberList(target, position);
    owner_->StructureChanged();
    view.NodesChanged();
    if (newParent) {
        newParent->hasChildren_ = true;
        view.SetNodeExpanded(*newParent, true);
    }
    owner_->SubtreeMoved(*this);
}

void TTreeNode::Delete() {
    if (deleting_) return;
    owner_->DeleteNode(*this);
}

void TTreeNode::DeleteChildren() {
    while (!children_.empty()) {
        TTreeNode* last = children_.back().get();
        if (last->deleting_) break;
        if (!owner_->DeleteNode(*last)) return;
    }
    hasChildren_ = false;
    expanded_ = false;
    GetTreeView().NodesChanged();
}

void TTreeNode::Expand(bool recurse) {
    TCustomTreeView& view = GetTreeView();
    view.SetNodeExpanded(*this, true);
    if (!recurse) return;
    // The subtree in pre-order, parents before their children; a child added
    // by an OnExpanding handler is met too.
    const TTreeNode* end = this;
    TTreeNode* n = GetFirstChild();
    while (n) {
        view.SetNodeExpanded(*n, true);
        if (!n->children_.empty()) {
            n = n->children_.front().get();
            continue;
        }
        while (n && n != end && !n->GetNextSibling()) n = n->parent_;
        n = n && n != end ? n->GetNextSibling() : nullptr;
    }
}

void TTreeNode::Collapse(bool recurse) {
    TCustomTreeView& view = GetTreeView();
    if (recurse) {
        // Children first, so the node itself is last to close.
        std::vector<TTreeNode*> open;
        const TTreeNode* end = this;
        for (TTreeNode* n = GetFirstChild(); n;) {
            if (n->expanded_) open.push_back(n);
            if (!n->children_.empty()) {
                n = n->children_.front().get();
                continue;
            }
            while (n && n != end && !n->GetNextSibling()) n = n->parent_;
            n = n && n != end ? n->GetNextSibling() : nullptr;
        }
        for (auto it = open.rbegin(); it != open.rend(); ++it) view.SetNodeExpanded(**it, false);
    }
    view.SetNodeExpanded(*this, false);
}

bool TTreeNode::AlphaSort(bool recurse) { return CustomSort(nullptr, 0, recurse); }

bool TTreeNode::CustomSort(const TTVCompare& compare, int32_t data, bool recurse) {
    if (!SortChildren(compare, data, recurse)) return false;
    GetTreeView().NodesChanged();
    return true;
}

bool TTreeNode::SortChildren(const TTVCompare& compare, int32_t data, bool recurse) {
    std::vector<TTreeNode*> parents{this};
    if (recurse)
        for (size_t i = 0; i < parents.size(); ++i)
            for (const auto& child : parents[i]->children_)
                if (!child->children_.empty()) parents.push_back(child.get());
    for (TTreeNode* parent : parents)
        if (!owner_->SortList(parent->children_, compare, data)) return false;
    return true;
}

void TTreeNode::MakeVisible() {
    TCustomTreeView& view = GetTreeView();
    std::vector<TTreeNode*> ancestors;
    for (TTreeNode* p = parent_; p; p = p->parent_) ancestors.push_back(p);
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) view.SetNodeExpanded(**it, true);
    view.UpdateRows();
    view.MakeRowVisible(view.RowOf(*this));
}

bool TTreeNode::EditText() { return GetTreeView().BeginEdit(*this); }

void TTreeNode::EndEdit(bool cancel) {
    TCustomTreeView& view = GetTreeView();
    if (view.GetEditingNode() == this) view.FinishEdit(cancel);
}

TRect TTreeNode::DisplayRect(bool textOnly) const {
    TCustomTreeView& view = GetTreeView();
    view.UpdateRows();
    const int row = view.RowOf(*this);
    if (row < 0) return {};
    return textOnly ? view.TextRect(*this) : view.RowRect(row);
}

void TTreeNode::Assign(const TPersistent& source) {
    if (const auto* node = dynamic_cast<const TTreeNode*>(&source)) {
        SetText(node->text_);
        SetData(node->data_);
        SetImageIndex(node->imageIndex_);
        SetSelectedIndex(node->selectedIndex_);
        SetStateIndex(node->stateIndex_);
        SetOverlayIndex(node->overlayIndex_);
        SetCut(node->cut_);
        SetHasChildren(node->hasChildren_);
        return;
    }
    TPersistent::Assign(source);
}

// ================================================================= TTreeNodes

TTreeNodes::TTreeNodes(TCustomTreeView& owner) : owner_(&owner) {}

TTreeNodes::~TTreeNodes() {
    // Without recursion, however deep the tree; nobody is told any more.
    std::vector<std::unique_ptr<TTreeNode>> pending = std::move(roots_);
    while (!pending.empty()) {
        std::unique_ptr<TTreeNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->children_) pending.push_back(std::move(child));
    }
}

TTreeNode* TTreeNodes::GetRoot(int index) const {
    if (index < 0 || index >= GetRootCount()) InvalidIndex();
    return roots_[static_cast<size_t>(index)].get();
}

TTreeNode* TTreeNodes::GetItem(int index) const {
    if (index < 0 || index >= count_) InvalidIndex();
    const TTreeNode* node = nullptr;
    if (cachedNode_ && index == cachedIndex_)
        node = cachedNode_;
    else if (cachedNode_ && index == cachedIndex_ + 1)
        node = cachedNode_->GetNext();
    else if (cachedNode_ && index == cachedIndex_ - 1)
        node = cachedNode_->GetPrev();
    else {
        node = GetFirstNode();
        for (int i = 0; i < index && node; ++i) node = node->GetNext();
    }
    if (!node) InvalidIndex();
    cachedNode_ = node;
    cachedIndex_ = index;
    return const_cast<TTreeNode*>(node);
}

void TTreeNodes::CheckOwned(const TTreeNode* node) const {
    if (node && node->owner_ != this) throw ETreeViewError("The node belongs to another tree");
}

void TTreeNodes::StructureChanged() {
    cachedNode_ = nullptr;
    cachedIndex_ = -1;
}

void TTreeNodes::RenumberList(NodeList& list, size_t from) {
    for (size_t i = from; i < list.size(); ++i) list[i]->index_ = static_cast<int>(i);
}

// Ends a search or a sort whose comparison freed the view.
struct TTreeNodes::ViewGone {};

size_t TTreeNodes::SortedPosition(const NodeList& list, TTreeNode& node) const {
    const ViewWatch watch(owner_);
    try {
        const auto first = list.begin();
        auto at = std::upper_bound(first, list.end(), &node, [&](TTreeNode* a, const auto& b) {
            if (watch.Freed()) throw ViewGone{};
            return owner_->CompareNodes(a, b.get(), 0) < 0;
        });
        // The last comparison may have freed the list.
        return watch.Freed() ? 0 : static_cast<size_t>(at - first);
    } catch (const ViewGone&) {
        return 0;
    }
}

bool TTreeNodes::SortList(NodeList& list, const TTVCompare& compare, int32_t data) {
    // A comparison may free the view, and the list with it: the order is
    // worked out on positions and taken only while the view lives.
    const ViewWatch watch(owner_);
    std::vector<size_t> order(list.size());
    std::iota(order.begin(), order.end(), size_t{0});
    try {
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            if (watch.Freed()) throw ViewGone{};
            TTreeNode* first = list[a].get();
            TTreeNode* second = list[b].get();
            return (compare ? compare(first, second, data) : owner_->CompareNodes(first, second, data)) < 0;
        });
    } catch (const ViewGone&) {
        return false;
    }
    if (watch.Freed()) return false;
    NodeList sorted;
    sorted.reserve(list.size());
    for (size_t i : order) sorted.push_back(std::move(list[i]));
    list = std::move(sorted);
    RenumberList(list, 0);
    StructureChanged();
    return true;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) { return AddObject(sibling, text, nullptr); }
TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const std::string& text, void* data) {
    CheckOwned(sibling);
    return InternalAddObject(sibling ? sibling->parent_ : nullptr, text, data, taAdd, false);
}
TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const std::string& text) {
    return AddObjectFirst(sibling, text, nullptr);
}
TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* sibling, const std::string& text, void* data) {
    CheckOwned(sibling);
    return InternalAddObject(sibling ? sibling->parent_ : nullptr, text, data, taAddFirst, false);
}
TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
    return AddChildObject(parent, text, nullptr);
}
TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const std::string& text, void* data) {
    return InternalAddObject(parent, text, data, taAdd, false);
}
TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::string& text) {
    return AddChildObjectFirst(parent, text, nullptr);
}
TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* parent, const std::string& text, void* data) {
    return InternalAddObject(parent, text, data, taAddFirst, false);
}
TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::string& text) {
    return InsertObject(sibling, text, nullptr);
}
TTreeNode* TTreeNodes::InsertObject(TTreeNode* sibling, const std::string& text, void* data) {
    return InternalAddObject(sibling, text, data, taInsert, true);
}

TTreeNode* TTreeNodes::InternalAddObject(TTreeNode* node, const std::string& text, void* data, TAddMode mode,
                                         bool inserted) {
    CheckOwned(node);
    if (node && node->deleting_) throw EOutOfResources("Unable to insert an item");
    TTreeNode* parent = mode == taInsert ? (node ? node->parent_ : nullptr) : node;
    NodeList& list = parent ? parent->children_ : roots_;
    std::unique_ptr<TTreeNode> made = owner_->CreateNode();
    TTreeNode* added = made.get();
    added->owner_ = this;
    added->parent_ = parent;
    added->text_ = text;
    added->data_ = data;
    size_t position = mode == taAddFirst ? 0 : list.size();
    if (mode == taInsert) position = node ? static_cast<size_t>(node->index_) : 0;
    // The comparison of a sorted tree, and the handlers told of the node,
    // may free the view.
    const ViewWatch watch(owner_);
    const TSortType sort = owner_->GetSortType();
    if (sort == stText || sort == stBoth) position = SortedPosition(list, *added);
    if (watch.Freed()) return nullptr;
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(position), std::move(made));
    RenumberList(list, position);
    ++count_;
    StructureChanged();
    if (parent) parent->hasChildren_ = true;
    NodeAdded(*added, inserted);
    owner_->NodeAdded(*added);
    return watch.Freed() ? nullptr : added;
}

void TTreeNodes::Delete(TTreeNode* node) {
    if (!node) return;
    CheckOwned(node);
    node->Delete();
}

bool TTreeNodes::DeleteNode(TTreeNode& top) {
    CheckOwned(&top);
    const ViewWatch watch(owner_);
    // Nothing of the subtree can be deleted again by a handler meanwhile.
    for (TTreeNode* n = &top;;) {
        n->deleting_ = true;
        if (!n->children_.empty()) {
            n = n->children_.front().get();
            continue;
        }
        while (n != &top && !n->GetNextSibling()) n = n->parent_;
        if (n == &top) break;
        n = n->GetNextSibling();
    }
    owner_->SubtreeDeleting(top);
    // Children first, the last child first: each is a leaf when it goes.
    TTreeNode* n = &top;
    for (;;) {
        while (!n->children_.empty()) n = n->children_.back().get();
        TTreeNode* parent = n->parent_;
        const bool last = n == &top;
        if (!DeleteLeaf(*n, watch)) return false;
        if (last) break;
        n = parent;
    }
    owner_->SubtreeDeleted();
    return !watch.Freed();
}

bool TTreeNodes::DeleteLeaf(TTreeNode& node, const ViewWatch& watch) {
    NodeDeleting(node);
    owner_->NodeDeleting(node);
    if (watch.Freed()) return false;
    TTreeNode* parent = node.parent_;
    NodeList& list = node.Siblings();
    const auto at = static_cast<size_t>(node.index_);
    std::unique_ptr<TTreeNode> gone = std::move(list[at]);
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(at));
    RenumberList(list, at);
    --count_;
    StructureChanged();
    if (parent && parent->children_.empty()) {
        parent->hasChildren_ = false;
        parent->expanded_ = false;
    }
    owner_->NodesChanged();
    return true;
}

void TTreeNodes::Clear() {
    const Updating updating(*this);
    clearing_ = true;
    struct Cleared {
        TTreeNodes& nodes;
        const Updating& updating;
        ~Cleared() {
            if (!updating.ViewFreed()) nodes.clearing_ = false;
        }
    } cleared{*this, updating};
    while (!roots_.empty()) {
        TTreeNode* last = roots_.back().get();
        if (last->deleting_) break;
        if (!DeleteNode(*last)) return;
    }
    clearing_ = false;
    StructureChanged();
    NodesCleared();
    owner_->NodesCleared();
}

void TTreeNodes::BeginUpdate() { ++updateCount_; }

TTreeNodes::Updating::Updating(TTreeNodes& nodes) : nodes_(nodes), view_(nodes.owner_) { nodes_.BeginUpdate(); }

TTreeNodes::Updating::~Updating() {
    if (!view_.Freed()) nodes_.EndUpdate();
}

void TTreeNodes::EndUpdate() {
    if (updateCount_ <= 0) return;
    if (--updateCount_ == 0) owner_->UpdateEnded();
}

// ---- streams

void TTreeNodes::Assign(const TPersistent& source) {
    if (const auto* other = dynamic_cast<const TTreeNodes*>(&source)) {
        if (other == this) return;
        TMemoryStream stream;
        other->WriteData(stream);
        stream.SetPosition(0);
        ReadData(stream);
        return;
    }
    TPersistent::Assign(source);
}

void TTreeNodes::DefineProperties(TFiler& filer) {
    filer.DefineBinaryProperty(
        "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); }, GetCount() > 0);
}

void TTreeNodes::WriteData(TStream& stream) const {
    std::vector<uint8_t> out;
    PutInt32(out, static_cast<int32_t>(roots_.size()));
    for (const TTreeNode* n = GetFirstNode(); n; n = n->GetNext()) {
        const size_t length = std::min<size_t>(n->text_.size(), kMaxText);
        PutInt32(out, kRecordFixed + static_cast<int32_t>(length));
        PutInt32(out, n->imageIndex_);
        PutInt32(out, n->selectedIndex_);
        PutInt32(out, n->stateIndex_);
        PutInt32(out, n->overlayIndex_);
        // The stream holds the data as a 32-bit value, as it always has.
        PutInt32(out, static_cast<int32_t>(reinterpret_cast<intptr_t>(n->data_)));
        PutInt32(out, n->GetCount());
        out.push_back(static_cast<uint8_t>(length));
        out.insert(out.end(), n->text_.begin(), n->text_.begin() + static_cast<std::ptrdiff_t>(length));
    }
    stream.WriteBuffer(out);
}

void TTreeNodes::ReadData(TStream& stream) {
    const Updating updating(*this);
    Clear();
    if (updating.ViewFreed()) return;
    try {
        struct Level {
            TTreeNode* parent;
            int64_t left;  // nodes still to read into parent
        };
        const int32_t roots = ReadInt32(stream);
        // Every node announced and not read yet needs at least its smallest
        // record from what is left.
        int64_t announced = roots;
        if (roots < 0 || announced > stream.Remaining() / kSmallestNode) InvalidStream();
        std::vector<Level> levels{{nullptr, roots}};
        std::array<uint8_t, kRecordFixed + kMaxText> record{};
        while (!levels.empty()) {
            if (levels.back().left == 0) {
                levels.pop_back();
                continue;
            }
            --levels.back().left;
            --announced;
            const int32_t size = ReadInt32(stream);
            if (size < kRecordFixed || size > kRecordFixed + kMaxText || size > stream.Remaining()) InvalidStream();
            stream.ReadBuffer(record.data(), size);
            const uint8_t length = record[24];
            const int32_t children = GetInt32(&record[20]);
            if (length > size - kRecordFixed || children < 0) InvalidStream();
            announced += children;
            if (announced > stream.Remaining() / kSmallestNode) InvalidStream();
            // The handlers told of the node, and a sorted tree's comparisons
            // as it takes its text and data, may free the view.
            TTreeNode* node = AddChild(levels.back().parent, {});
            if (!node) return;
            node->SetText(std::string(reinterpret_cast<const char*>(&record[25]), length));
            if (updating.ViewFreed()) return;
            node->SetImageIndex(GetInt32(&record[0]));
            node->SetSelectedIndex(GetInt32(&record[4]));
            node->SetStateIndex(GetInt32(&record[8]));
            node->SetOverlayIndex(GetInt32(&record[12]));
            node->SetData(reinterpret_cast<void*>(static_cast<intptr_t>(GetInt32(&record[16]))));
            if (updating.ViewFreed()) return;
            if (children > 0) levels.push_back({node, children});
        }
    } catch (...) {
        if (!updating.ViewFreed()) Clear();
        throw;
    }
}

void TTreeNodes::WriteExpandedState(TStream& stream) const {
    std::vector<uint8_t> out;
    PutInt32(out, count_);
    for (const TTreeNode* n = GetFirstNode(); n; n = n->GetNext()) out.push_back(n->expanded_ ? 1 : 0);
    stream.WriteBuffer(out);
}

void TTreeNodes::ReadExpandedState(TStream& stream) {
    if (stream.Remaining() < 4) return;
    const int32_t stored = ReadInt32(stream);
    int32_t i = 0;
    // OnExpanding and its kin may free the view, and these nodes with it.
    const ViewWatch watch(owner_);
    for (TTreeNode* n = GetFirstNode(); n && i < stored && stream.Remaining() > 0; n = n->GetNext(), ++i) {
        uint8_t expanded = 0;
        stream.ReadBuffer(&expanded, 1);
        n->SetExpanded(expanded != 0);
        if (watch.Freed()) return;
    }
}
