#include "inspector/Rmtreenonview.h"

#include <algorithm>

#include "gui/TreeWalks.h"
#include "inspector/Rmlibrary.h"
#include "platform/ClassRegistry.h"
#include "platform/Crc32.h"
#include "platform/Filer.h"
#include "platform/Properties.h"

namespace {

const bool kRegistered = (RegisterClass<TrmTreeNonView>("TrmTreeNonView"), true);

[[noreturn]] void NoNodeReference() { throw ErmTreeNonViewError("Unable to find Node reference"); }

// Takes entry from out of list and puts it back at to (after the removal);
// a to past the end puts it last.
void MoveWithin(thorn::FrontList<std::unique_ptr<TrmTreeNonViewNode>>& list, int from, int to) {
    if (from < 0 || from >= static_cast<int>(list.size())) throw ErmTreeNonViewError("List Index Out of Bounds");
    std::unique_ptr<TrmTreeNonViewNode> moving = list.take(static_cast<size_t>(from));
    to = std::clamp(to, 0, static_cast<int>(list.size()));
    list.insert(static_cast<size_t>(to), std::move(moving));
}

int32_t ReadInt32(TStream& stream) {
    uint8_t bytes[4];
    stream.ReadBuffer(bytes, 4);
    return static_cast<int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}

void WriteInt32(TStream& stream, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    const uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                              static_cast<uint8_t>(v >> 24)};
    stream.WriteBuffer(bytes, 4);
}

// The least a node takes in the stream: N, an empty record and the flag.
constexpr int64_t kSmallestNode = 4 + 5 + 4;
constexpr int32_t kLongestText = 255;

// N and the record of N bytes of the node stream; kept out of the reader
// of a node, which recurses, so that its record buffer is not on the stack
// once a level.
TNodeInfo ReadNodeInfo(TStream& stream) {
    const int32_t size = ReadInt32(stream);
    if (size < 5 || size > 5 + kLongestText || size > stream.Remaining()) throw EReadError("Invalid node stream");
    uint8_t record[5 + kLongestText];
    stream.ReadBuffer(record, size);
    TNodeInfo info;
    info.Count = static_cast<int32_t>(record[0] | record[1] << 8 | record[2] << 16 |
                                      static_cast<uint32_t>(record[3]) << 24);
    const int length = record[4];
    if (length > size - 5) throw EReadError("Invalid node stream");
    info.Text.assign(reinterpret_cast<const char*>(record + 5), static_cast<size_t>(length));
    return info;
}

std::span<const uint8_t> BytesOf(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// The CRC of a path carried on by a separator and a name.
thorn::Crc32 Extended(thorn::Crc32 crc, char sep, std::string_view name) {
    crc.Update(BytesOf(std::string_view(&sep, 1)));
    crc.Update(BytesOf(name));
    return crc;
}

}  // namespace

// ---------------------------------------------------------------- node

TrmTreeNonViewNode::TrmTreeNonViewNode(TrmTreeNonViewNodes& owner) : owner_(&owner) {}

TrmTreeNonViewNode::~TrmTreeNonViewNode() { ForgetFreedData(); }

TrmCustomTreeNonView& TrmTreeNonViewNode::GetrmTreeNonView() const { return owner_->GetOwner(); }

void TrmTreeNonViewNode::ForgetFreedData() {
    // A deletion handler that frees the node's data frees what the node
    // holds: it must not be freed a second time.
    if (!ownedAlive_) static_cast<void>(ownedData_.release());
}

void TrmTreeNonViewNode::HoldData(std::unique_ptr<TComponent> component) {
    ForgetFreedData();
    ownedData_ = std::move(component);
    ownedAlive_ = ownedData_.get();
    data_ = ownedData_.get();
}

std::unique_ptr<TComponent> TrmTreeNonViewNode::ReleaseOwnedData() {
    ForgetFreedData();
    ownedAlive_.Reset();
    return std::move(ownedData_);
}

void TrmTreeNonViewNode::SetText(const std::string& text) {
    if (text != text_) {
        text_ = text;
        Reindex();
    }
    TrmCustomTreeNonView& tree = GetrmTreeNonView();
    if (tree.OnNodeTextChanged) tree.OnNodeTextChanged(&tree, this);
}

void TrmTreeNonViewNode::Reindex() {
    if (GetHashed()) owner_->IndexAtItsPath(this);
    for (const auto& child : children_) child->Reindex();
}

TrmTreeNonViewNode* TrmTreeNonViewNode::GetItem(int index) const {
    if (index < 0 || index >= GetCount()) throw ErmTreeNonViewError("List Index Out of Bounds");
    return children_[static_cast<size_t>(index)].get();
}

void TrmTreeNonViewNode::SetItem(int index, const TrmTreeNonViewNode& node) { GetItem(index)->Assign(node); }

int TrmTreeNonViewNode::IndexOf(const TrmTreeNonViewNode* node) const { return PositionIn(children_, node); }

int TrmTreeNonViewNode::PositionIn(const NodeList& list, const TrmTreeNonViewNode* node) {
    if (!node) return -1;
    const uint32_t kept = node->position_ - list.Shift();
    if (kept < list.size() && list[kept].get() == node) return static_cast<int>(kept);
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].get() == node) {
            node->position_ = static_cast<uint32_t>(i) + list.Shift();
            return static_cast<int>(i);
        }
    return -1;
}

void TrmTreeNonViewNode::Renumber(NodeList& list, size_t from) {
    if (from < list.size()) list[from]->owner_->renumbered_ += list.size() - from;
    for (size_t i = from; i < list.size(); ++i) list[i]->position_ = static_cast<uint32_t>(i) + list.Shift();
}

std::unique_ptr<TrmTreeNonViewNode> TrmTreeNonViewNode::TakeFrom(NodeList& list, size_t at) {
    std::unique_ptr<TrmTreeNonViewNode> node = list.take(at);
    // The first node taken moves the list's shift with the positions of
    // the rest.
    if (at > 0) Renumber(list, at);
    return node;
}

void TrmTreeNonViewNode::PutInto(NodeList& list, size_t at, std::unique_ptr<TrmTreeNonViewNode> node) {
    list.insert(at, std::move(node));
    if (at == 0) list[0]->position_ = list.Shift();
    else Renumber(list, at);
}

void TrmTreeNonViewNode::SetExpanded(bool value) {
    if (value == expanded_) return;
    const int before = OpenRows();
    expanded_ = value;
    owner_->ShownRowsChanged(parent_, OpenRows() - before);
}

TrmTreeNonViewNode::NodeList& TrmTreeNonViewNode::Siblings() const {
    return parent_ ? parent_->children_ : owner_->roots_;
}

int TrmTreeNonViewNode::GetIndex() const { return PositionIn(Siblings(), this); }

int TrmTreeNonViewNode::GetLevel() const {
    int level = 0;
    for (const TrmTreeNonViewNode* p = parent_; p; p = p->parent_) ++level;
    return level;
}

int TrmTreeNonViewNode::GetItemCount() const {
    int count = 0;
    for (const auto& child : children_) count += 1 + child->GetItemCount();
    return count;
}

TrmTreeNonViewNode* TrmTreeNonViewNode::GetFirstChild() const {
    return children_.empty() ? nullptr : children_.front().get();
}

TrmTreeNonViewNode* TrmTreeNonViewNode::GetLastChild() const {
    return children_.empty() ? nullptr : children_.back().get();
}

TrmTreeNonViewNode* TrmTreeNonViewNode::GetNextSibling() const {
    const NodeList& list = Siblings();
    const int i = PositionIn(list, this);
    return i >= 0 && i + 1 < static_cast<int>(list.size()) ? list[static_cast<size_t>(i) + 1].get() : nullptr;
}

TrmTreeNonViewNode* TrmTreeNonViewNode::getPrevSibling() const {
    const NodeList& list = Siblings();
    const int i = PositionIn(list, this);
    return i > 0 ? list[static_cast<size_t>(i) - 1].get() : nullptr;
}

TrmTreeNonViewNode* TrmTreeNonViewNode::GetNextChild(const TrmTreeNonViewNode* child) const {
    return child ? child->GetNextSibling() : nullptr;
}

TrmTreeNonViewNode* TrmTreeNonViewNode::GetPrevChild(const TrmTreeNonViewNode* child) const {
    return child ? child->getPrevSibling() : nullptr;
}

TrmTreeNonViewNode* TrmTreeNonViewNode::GetNext() const { return thorn::PreOrderNext(*this); }

TrmTreeNonViewNode* TrmTreeNonViewNode::GetPrev() const { return thorn::PreOrderPrev(*this, getPrevSibling()); }

bool TrmTreeNonViewNode::HasAsParent(const TrmTreeNonViewNode* node) const {
    if (!node) return true;
    for (const TrmTreeNonViewNode* p = parent_; p; p = p->parent_)
        if (p == node) return true;
    return false;
}

TrmTreeNonViewNode* TrmTreeNonViewNode::GetNodeByItem(const TObject* data) {
    if (data_ == data) return this;
    for (const auto& child : children_)
        if (TrmTreeNonViewNode* found = child->GetNodeByItem(data)) return found;
    return nullptr;
}

void TrmTreeNonViewNode::MoveItem(TrmTreeNonViewNode* a, TrmTreeNonViewNode* b) {
    const int from = IndexOf(a);
    if (from < 0) return;
    MoveWithin(children_, from, IndexOf(b) + 1);
    Renumber(children_, 0);
}

TrmTreeNonViewNode* TrmTreeNonViewNode::MoveTo(TrmTreeNonViewNode* destination, TNodeAttachMode mode) {
    if (destination && (destination == this || destination->HasAsParent(this)) &&
        (mode == naAddChild || mode == naAddChildFirst || destination != this))
        return nullptr;
    if (destination && &destination->GetOwner() != owner_) NoNodeReference();
    const bool asChild = mode == naAddChild || mode == naAddChildFirst;
    if (asChild && !destination) NoNodeReference();
    // Just before itself is where the node is. (Its position could not be
    // looked up below: it has left the list by then.)
    if (mode == naInsert && destination == this) return this;
    TrmTreeNonViewNode* newParent = asChild ? destination : destination ? destination->parent_ : nullptr;

    RemoveHash();
    NodeList& list = Siblings();
    std::unique_ptr<TrmTreeNonViewNode> self = TakeFrom(list, static_cast<size_t>(PositionIn(list, this)));
    const int rows = 1 + OpenRows();
    owner_->ShownRowsChanged(parent_, -rows);
    if (parent_ && parent_->children_.empty()) parent_->expanded_ = false;

    parent_ = newParent;
    NodeList& to = Siblings();
    int position = static_cast<int>(to.size());
    if (mode == naAddFirst || mode == naAddChildFirst) position = 0;
    if (mode == naInsert) position = destination ? PositionIn(to, destination) : 0;
    PutInto(to, static_cast<size_t>(position), std::move(self));
    owner_->ShownRowsChanged(parent_, rows);
    RenewHash();
    return this;
}

bool TrmTreeNonViewNode::Delete() {
    // The children first, last child first, each after its own subtree: the
    // deepest last node goes each time, and the walk goes on from its
    // parent. A loop rather than a recursion, as a tree may be as deep as
    // the longest path anyone asked for.
    TrmTreeNonViewNode* node = this;
    for (;;) {
        while (!node->children_.empty()) node = node->children_.back().get();
        if (node == this) break;
        TrmTreeNonViewNode* parent = node->parent_;
        if (!node->DeleteChildless()) return false;
        node = parent;
    }
    return DeleteChildless();
}

bool TrmTreeNonViewNode::DeleteChildless() {
    // OnDeletion may free the tree, and its nodes with it.
    const thorn::ComponentWatch tree(&GetrmTreeNonView());
    owner_->RemoveHash(this);
    NodeList& list = Siblings();
    std::unique_ptr<TrmTreeNonViewNode> self = TakeFrom(list, static_cast<size_t>(PositionIn(list, this)));
    --owner_->count_;
    owner_->ShownRowsChanged(parent_, -1);
    if (parent_ && parent_->children_.empty()) parent_->expanded_ = false;
    GetrmTreeNonView().Delete(this);
    // self frees the node (and a component it still holds) here.
    return !tree.Freed();
}

void TrmTreeNonViewNode::DeleteChildren() {
    while (!children_.empty())
        if (!children_.back()->Delete()) return;
}

void TrmTreeNonViewNode::Assign(const TPersistent& source) {
    if (const auto* node = dynamic_cast<const TrmTreeNonViewNode*>(&source)) {
        SetText(node->text_);
        SetData(node->data_);
        return;
    }
    TPersistent::Assign(source);
}

bool TrmTreeNonViewNode::IsEqual(const TrmTreeNonViewNode* node) const {
    return node && text_ == node->text_ && data_ == node->data_;
}

std::string TrmTreeNonViewNode::GetNodePath() const { return GetrmTreeNonView().NodePath(this); }

void TrmTreeNonViewNode::RemoveHash() {
    owner_->RemoveHash(this);
    for (const auto& child : children_) child->RemoveHash();
}

void TrmTreeNonViewNode::RenewHash() {
    owner_->IndexAtItsPath(this);
    for (const auto& child : children_) child->RenewHash();
}

void TrmTreeNonViewNode::WriteData(TStream& stream) const {
    const auto length = static_cast<int32_t>(std::min<size_t>(text_.size(), kLongestText));
    WriteInt32(stream, length + 5);
    WriteInt32(stream, GetCount());
    const auto lengthByte = static_cast<uint8_t>(length);
    stream.WriteBuffer(&lengthByte, 1);
    stream.WriteBuffer(text_.data(), length);
    auto* component = dynamic_cast<TComponent*>(data_);
    WriteInt32(stream, component ? 1 : 0);
    if (component) thorn::WriteComponent(stream, *component);
    for (const auto& child : children_) child->WriteData(stream);
}

void TrmTreeNonViewNode::ReadData(TStream& stream) { ReadSubtree(stream); }

bool TrmTreeNonViewNode::ReadSubtree(TStream& stream) {
    // A level of the one budget the form streams around this tree and the
    // trees on its components' nodes share.
    const thorn::ReadNesting level("Node stream nested too deeply");
    const TNodeInfo info = ReadNodeInfo(stream);
    const thorn::ComponentWatch tree(&GetrmTreeNonView());
    SetText(info.Text);
    if (tree.Freed()) return false;
    if (info.Count < 0 || info.Count > (stream.Remaining() - 4) / kSmallestNode)
        throw EReadError("Invalid node stream");
    if (ReadInt32(stream) == 1) HoldData(thorn::ReadComponent(stream));
    for (int32_t i = 0; i < info.Count; ++i) {
        TrmTreeNonViewNode* child = owner_->AddChild(this, {});
        if (!child || !child->ReadSubtree(stream)) return false;
    }
    return true;
}

// ---------------------------------------------------------------- nodes

TrmTreeNonViewNodes::TrmTreeNonViewNodes(TrmCustomTreeNonView& owner) : owner_(&owner) {}

TrmTreeNonViewNodes::~TrmTreeNonViewNodes() = default;

TrmTreeNonViewNode* TrmTreeNonViewNodes::GetFirstNode() const {
    return roots_.empty() ? nullptr : roots_.front().get();
}

TrmTreeNonViewNode* TrmTreeNonViewNodes::GetNodeFromIndex(int index) const {
    TrmTreeNonViewNode* node = index < 0 ? nullptr : GetFirstNode();
    for (int i = 0; i < index && node; ++i) node = node->GetNext();
    if (!node) throw ErmTreeNonViewError("Index out of range");
    return node;
}

void TrmTreeNonViewNodes::SetItem(int index, const TrmTreeNonViewNode& node) { GetNodeFromIndex(index)->Assign(node); }

TrmTreeNonViewNode* TrmTreeNonViewNodes::AddChildFirst(TrmTreeNonViewNode* parent, const std::string& text) {
    return InternalAddObject(parent, text, nullptr, taAddFirst);
}
TrmTreeNonViewNode* TrmTreeNonViewNodes::AddChildObjectFirst(TrmTreeNonViewNode* parent, const std::string& text,
                                                             TObject* data) {
    return InternalAddObject(parent, text, data, taAddFirst);
}
TrmTreeNonViewNode* TrmTreeNonViewNodes::AddChild(TrmTreeNonViewNode* parent, const std::string& text) {
    return InternalAddObject(parent, text, nullptr, taAdd);
}
TrmTreeNonViewNode* TrmTreeNonViewNodes::AddChildObject(TrmTreeNonViewNode* parent, const std::string& text,
                                                        TObject* data) {
    return InternalAddObject(parent, text, data, taAdd);
}
TrmTreeNonViewNode* TrmTreeNonViewNodes::AddFirst(TrmTreeNonViewNode* sibling, const std::string& text) {
    return AddObjectFirst(sibling, text, nullptr);
}
TrmTreeNonViewNode* TrmTreeNonViewNodes::AddObjectFirst(TrmTreeNonViewNode* sibling, const std::string& text,
                                                        TObject* data) {
    return InternalAddObject(sibling ? sibling->parent_ : nullptr, text, data, taAddFirst);
}
TrmTreeNonViewNode* TrmTreeNonViewNodes::Add(TrmTreeNonViewNode* sibling, const std::string& text) {
    return AddObject(sibling, text, nullptr);
}
TrmTreeNonViewNode* TrmTreeNonViewNodes::AddObject(TrmTreeNonViewNode* sibling, const std::string& text,
                                                   TObject* data) {
    return InternalAddObject(sibling ? sibling->parent_ : nullptr, text, data, taAdd);
}
TrmTreeNonViewNode* TrmTreeNonViewNodes::Insert(TrmTreeNonViewNode* sibling, const std::string& text) {
    return InternalAddObject(sibling, text, nullptr, taInsert);
}
TrmTreeNonViewNode* TrmTreeNonViewNodes::InsertObject(TrmTreeNonViewNode* sibling, const std::string& text,
                                                      TObject* data) {
    return InternalAddObject(sibling, text, data, taInsert);
}

void TrmTreeNonViewNodes::ShownRowsChanged(TrmTreeNonViewNode* parent, int delta) {
    for (; parent; parent = parent->parent_) {
        parent->rowsBelow_ += delta;
        if (!parent->expanded_) return;
    }
    shownRows_ += delta;
}

void TrmTreeNonViewNodes::CheckOwned(const TrmTreeNonViewNode* node) const {
    if (node && node->owner_ != this) NoNodeReference();
}

TrmTreeNonViewNode* TrmTreeNonViewNodes::InternalAddObject(TrmTreeNonViewNode* node, const std::string& text,
                                                           TObject* data, TAddMode mode) {
    CheckOwned(node);
    std::unique_ptr<TrmTreeNonViewNode> made = owner_->CreateNode();
    TrmTreeNonViewNode* added = made.get();
    TrmTreeNonViewNode* parent = mode == taInsert ? (node ? node->parent_ : nullptr) : node;
    NodeList& list = parent ? parent->children_ : roots_;
    size_t position = mode == taAddFirst ? 0 : list.size();
    if (mode == taInsert) {
        const int at = node ? TrmTreeNonViewNode::PositionIn(list, node) : 0;
        if (at < 0) NoNodeReference();
        position = static_cast<size_t>(at);
    }
    TrmTreeNonViewNode::PutInto(list, position, std::move(made));
    ++count_;
    added->parent_ = parent;
    ShownRowsChanged(parent, 1);
    added->SetData(data);
    // OnNodeTextChanged may free the tree, and these nodes with it.
    const thorn::ComponentWatch tree(owner_);
    added->SetText(text);
    if (tree.Freed()) return nullptr;
    IndexAtItsPath(added);
    return added;
}

void TrmTreeNonViewNodes::Delete(TrmTreeNonViewNode* node) {
    if (!node) return;
    CheckOwned(node);
    node->Delete();
}

void TrmTreeNonViewNodes::Clear() {
    while (!roots_.empty())
        if (!roots_.front()->Delete()) return;
    index_.Clear();
}

int TrmTreeNonViewNodes::GetIndex(const TrmTreeNonViewNode* node) const {
    return TrmTreeNonViewNode::PositionIn(roots_, node);
}

void TrmTreeNonViewNodes::Move(int from, int to) {
    MoveWithin(roots_, from, to);
    TrmTreeNonViewNode::Renumber(roots_, 0);
}

TrmTreeNonViewNode* TrmTreeNonViewNodes::GetNodeByItem(const TObject* data) const {
    for (const auto& root : roots_)
        if (root->data_ == data) return root.get();
    return nullptr;
}

// ---- the path index

int32_t TrmTreeNonViewNodes::HashValue(std::string_view path) const { return GetStrCRC32(path); }

TrmTreeNonViewNode* TrmTreeNonViewNodes::LocateChild(const TrmTreeNonViewNode* parent, std::string_view text,
                                                     int32_t hash, size_t pathLength) const {
    const int index = index_.Find(hash, [&](uint32_t position) {
        const TrmHashData& entry = index_[static_cast<int>(position)];
        return static_cast<size_t>(entry.pathLength) == pathLength && entry.node->parent_ == parent &&
               entry.node->text_ == text;
    });
    return index < 0 ? nullptr : index_[index].node;
}

int TrmTreeNonViewNodes::LocateHashIndex(std::string_view path) const {
    return index_.FindPath(HashValue(path), path, owner_->GetSepChar());
}

TrmTreeNonViewNode* TrmTreeNonViewNodes::LocateNode(std::string_view path) const {
    const int index = LocateHashIndex(path);
    return index < 0 ? nullptr : index_[index].node;
}

void TrmTreeNonViewNodes::BinaryInsert(std::string_view path, TrmTreeNonViewNode* node) {
    CheckOwned(node);
    // Every entry holds the hash and length of its node's current path:
    // the hashes of children are carried on from it (IndexAtItsPath).
    if (!node || !thorn::PathIs(node, path, owner_->GetSepChar())) return;
    const int32_t hash = HashValue(path);
    if (node->GetHashed()) {
        const TrmHashData& own = index_[node->hashIndex_];
        if (own.hash == hash && static_cast<size_t>(own.pathLength) == path.size()) return;
        index_.Remove(node->hashIndex_);
    }
    index_.Add(hash, path.size(), node);
}

void TrmTreeNonViewNodes::IndexAtItsPath(TrmTreeNonViewNode* node) {
    const TrmTreeNonViewNode* parent = node->parent_;
    if (parent && !parent->GetHashed()) {
        BinaryInsert(node->GetNodePath(), node);
        return;
    }
    // Hashing every path of a subtree whole would make a chain of n levels
    // cost n times its length, to add, rename or move.
    thorn::Crc32 crc;
    size_t length = 0;
    if (parent) {
        const TrmHashData& above = index_[parent->hashIndex_];
        crc = thorn::Crc32(static_cast<uint32_t>(above.hash));
        length = static_cast<size_t>(above.pathLength);
    }
    crc = Extended(crc, owner_->GetSepChar(), node->text_);
    const auto hash = static_cast<int32_t>(crc.Value());
    length += 1 + node->text_.size();
    if (node->GetHashed()) {
        const TrmHashData& own = index_[node->hashIndex_];
        if (own.hash == hash && static_cast<size_t>(own.pathLength) == length) return;
        index_.Remove(node->hashIndex_);
    }
    index_.Add(hash, length, node);
}

void TrmTreeNonViewNodes::RemoveHash(TrmTreeNonViewNode* node) {
    if (node && node->owner_ == this && node->GetHashed()) index_.Remove(node->hashIndex_);
}

const TrmHashData& TrmTreeNonViewNodes::GetHashData(int index) const {
    if (index < 0 || index >= GetHashCount()) throw ErmTreeNonViewError("List Index Out of Bounds");
    return index_[index];
}

void TrmTreeNonViewNodes::dumphash() const {
    std::vector<const TrmHashData*> order;
    for (const TrmHashData& entry : index_.Entries()) order.push_back(&entry);
    std::stable_sort(order.begin(), order.end(),
                     [](const TrmHashData* a, const TrmHashData* b) { return a->hash < b->hash; });
    TFileStream file("hash.txt", TFileMode::fmCreate);
    for (const TrmHashData* entry : order) {
        const std::string line = entry->node->GetNodePath() + "\r\n";
        file.WriteBuffer(line.data(), static_cast<int64_t>(line.size()));
    }
}

void TrmTreeNonViewNodes::Assign(const TPersistent& source) {
    if (const auto* other = dynamic_cast<const TrmTreeNonViewNodes*>(&source)) {
        if (other == this) return;
        // OnDeletion and OnNodeTextChanged may free the tree, and these
        // nodes with it.
        const thorn::ComponentWatch tree(owner_);
        Clear();
        if (tree.Freed()) return;
        TMemoryStream stream;
        other->WriteData(stream);
        stream.SetPosition(0);
        ReadData(stream);
        if (tree.Freed()) return;
        for (const auto& root : roots_) root->RenewHash();
        return;
    }
    TPersistent::Assign(source);
}

void TrmTreeNonViewNodes::DefineProperties(TFiler& filer) {
    filer.DefineBinaryProperty(
        "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); }, GetCount() > 0);
}

void TrmTreeNonViewNodes::ReadData(TStream& stream) {
    // OnDeletion and OnNodeTextChanged may free the tree, and these nodes
    // with it.
    const thorn::ComponentWatch tree(owner_);
    Clear();
    if (tree.Freed()) return;
    try {
        const int32_t roots = ReadInt32(stream);
        if (roots < 0 || roots > stream.Remaining() / kSmallestNode) throw EReadError("Invalid node stream");
        for (int32_t i = 0; i < roots; ++i) {
            TrmTreeNonViewNode* root = Add(nullptr, {});
            if (!root || !root->ReadSubtree(stream)) return;
        }
    } catch (...) {
        if (!tree.Freed()) Clear();
        throw;
    }
}

void TrmTreeNonViewNodes::WriteData(TStream& stream) const {
    WriteInt32(stream, static_cast<int32_t>(roots_.size()));
    for (const auto& root : roots_) root->WriteData(stream);
}

// ---------------------------------------------------------------- tree

TrmCustomTreeNonView::TrmCustomTreeNonView() : items_(std::make_unique<TrmTreeNonViewNodes>(*this)) {}

TrmCustomTreeNonView::~TrmCustomTreeNonView() { items_->Clear(); }

void TrmCustomTreeNonView::SetrmTreeNonViewNodes(const TrmTreeNonViewNodes& source) { items_->Assign(source); }

std::unique_ptr<TrmTreeNonViewNode> TrmCustomTreeNonView::CreateNode() {
    return std::make_unique<TrmTreeNonViewNode>(*items_);
}

void TrmCustomTreeNonView::Delete(TrmTreeNonViewNode* node) {
    if (OnDeletion) OnDeletion(this, node);
}

std::string TrmCustomTreeNonView::NodePath(const TrmTreeNonViewNode* node) const {
    return thorn::PathOf(node, sepChar_);
}

TrmTreeNonViewNode* TrmCustomTreeNonView::FindPathNode(std::string_view path) const {
    return items_->LocateNode(path);
}

TrmTreeNonViewNode* TrmCustomTreeNonView::AddPathNode(TrmTreeNonViewNode* node, std::string_view path) {
    if (path.empty()) return nullptr;
    std::string full = NodePath(node);
    if (path.front() != sepChar_) full += sepChar_;
    full += path;
    if (TrmTreeNonViewNode* found = items_->LocateNode(full)) return found;
    // Down from the roots one name at a time, each looked up among the
    // children of the node reached, the hash of its path carried on from
    // that node's: no path is built or hashed twice.
    TrmTreeNonViewNode* at = nullptr;
    // A node added tells OnNodeTextChanged, which may free the tree.
    const thorn::ComponentWatch tree(this);
    thorn::Crc32 crc;  // of the path of at
    size_t length = 0;
    std::string_view rest(full);
    rest.remove_prefix(1);  // the leading separator
    for (;;) {
        const size_t end = rest.find(sepChar_);
        const std::string_view name = rest.substr(0, end);
        const thorn::Crc32 next = Extended(crc, sepChar_, name);
        const size_t nextLength = length + 1 + name.size();
        TrmTreeNonViewNode* child = items_->LocateChild(at, name, static_cast<int32_t>(next.Value()), nextLength);
        if (!child && !name.empty()) {
            child = items_->AddChild(at, std::string(name));
            if (tree.Freed()) return nullptr;
        }
        if (child) {
            at = child;
            crc = next;
            length = nextLength;
        }
        if (end == std::string_view::npos) return at;
        rest.remove_prefix(end + 1);
    }
}

std::string TrmCustomTreeNonView::ParentName(std::string_view path) const {
    if (!path.empty() && path.back() == sepChar_) path.remove_suffix(1);
    while (!path.empty() && path.back() != sepChar_) path.remove_suffix(1);
    if (!path.empty()) path.remove_suffix(1);
    return std::string(path);
}

std::string TrmCustomTreeNonView::ChildName(std::string_view path) const {
    if (!path.empty() && path.back() == sepChar_) path.remove_suffix(1);
    const size_t sep = path.rfind(sepChar_);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

TrmTreeNonViewNode* TrmCustomTreeNonView::GetNodeByItem(const TObject* data) const {
    return items_->GetNodeByItem(data);
}

void TrmCustomTreeNonView::TextSort(TrmTreeNonViewNode* node, bool recursive) {
    auto& list = node ? node->children_ : items_->roots_;
    auto work = std::move(list);
    list.clear();
    for (auto& entry : work) {
        if (recursive) TextSort(entry.get(), true);
        auto before = std::find_if(list.begin(), list.end(),
                                   [&](const auto& placed) { return placed->GetText() >= entry->GetText(); });
        list.insert(static_cast<size_t>(before - list.begin()), std::move(entry));
    }
    TrmTreeNonViewNode::Renumber(list, 0);
}

TrmTreeNonViewNode* TrmCustomTreeNonView::GetFirstRootNode() const { return items_->GetFirstNode(); }

TrmTreeNonViewNode* TrmCustomTreeNonView::GetNextRootNode(const TrmTreeNonViewNode* node) const {
    return node && !node->GetParent() && &node->GetOwner() == items_.get() ? node->GetNextSibling() : nullptr;
}

void TrmCustomTreeNonView::SaveToStream(TStream& stream) const {
    for (const TrmTreeNonViewNode* node = items_->GetFirstNode(); node; node = node->GetNext()) {
        const std::string line = NodePath(node) + "\r\n";
        stream.WriteBuffer(line.data(), static_cast<int64_t>(line.size()));
    }
}

void TrmCustomTreeNonView::SaveToFile(const std::filesystem::path& file) const {
    TFileStream stream(file, TFileMode::fmCreate);
    SaveToStream(stream);
}

void TrmCustomTreeNonView::LoadFromFile(const std::filesystem::path& file) {
    TFileStream stream(file, TFileMode::fmOpenRead);
    LoadFromStream(stream);
}

void TrmTreeNonView::PublishProperties(thorn::PropertyList& list) {
    TrmCustomTreeNonView::PublishProperties(list);
    list.Char("SepChar", [this] { return GetSepChar(); }, [this](char c) { SetSepChar(c); }, '/');
    list.Object("Items", [this] { return &GetItems(); });
}
