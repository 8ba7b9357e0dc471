#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gui/TreeNodeTypes.h"
#include "inspector/PathIndex.h"
#include "platform/FrontList.h"
#include "platform/Components.h"
#include "platform/ReadNesting.h"
#include "platform/Streams.h"

// The path tree: a non-visual component keeping an ordered tree of nodes,
// each with a text, an untyped data reference and ordered children, that
// finds any node by its path. A node's path is the texts of its ancestors
// and itself, each preceded by the tree's separator: a root a with a child b
// gives "/a/b" with the default separator "/". An index of CRC-32 path
// hashes turns a path into its node without walking the tree; paths are
// compared in full among the entries of equal hash, so two paths of one
// hash never find each other's node.
//
// Every node is indexed under its current path: a rename or a move takes
// its whole subtree to the new paths. Two nodes of one path (two siblings of
// one text) are both indexed; a lookup finds the one indexed first.
//
// The node collection writes and reads itself as the binary property "Data"
// (the node stream), so a form stream carries a whole tree with the
// components hung on its nodes.

class TrmTreeNonViewNode;
class TrmTreeNonViewNodes;
class TrmCustomTreeNonView;
class TFiler;

class ErmTreeNonViewError : public Exception {
    using Exception::Exception;
};

using TrmTreeNonViewEvent = std::function<void(TObject* sender, TrmTreeNonViewNode* node)>;

// One entry of the path index: the hash of the path a node is indexed
// under, that path's length and the node.
struct TrmHashData {
    int32_t hash = 0;
    int32_t pathLength = 0;
    TrmTreeNonViewNode* node = nullptr;
};

// A node as the node stream holds it, after its 32-bit size N = 5 + length:
// the 32-bit child count, a length byte and at most 255 characters of the
// text.
struct TNodeInfo {
    int32_t Count = 0;
    std::string Text;
};

class TrmTreeNonViewNode : public TPersistent {
public:
    explicit TrmTreeNonViewNode(TrmTreeNonViewNodes& owner);
    ~TrmTreeNonViewNode() override;
    TrmTreeNonViewNode(const TrmTreeNonViewNode&) = delete;
    TrmTreeNonViewNode& operator=(const TrmTreeNonViewNode&) = delete;

    const std::string& GetText() const { return text_; }
    // Stores the text and, when it changed, indexes the subtree under its
    // new paths; OnNodeTextChanged runs either way.
    void SetText(const std::string& text);
    // The data is a reference: the tree frees only a component the node
    // read itself (see ReleaseOwnedData).
    TObject* GetData() const { return data_; }
    void SetData(TObject* data) { data_ = data; }
    // The group row's open state; deleting the last child clears it.
    bool GetExpanded() const { return expanded_; }
    void SetExpanded(bool value);
    // Whether the node has an entry in the path index.
    bool GetHashed() const { return hashIndex_ >= 0; }

    // A component this node read from a node stream (or copied from
    // another tree by Assign): nobody else owns it, so the node holds it
    // and frees it with itself, unless it was taken here or freed before
    // (by an OnDeletion handler that frees the node's data, say). Null when
    // the node holds none; Data is left as it is.
    std::unique_ptr<TComponent> ReleaseOwnedData();

    TrmTreeNonViewNodes& GetOwner() const { return *owner_; }
    TrmCustomTreeNonView& GetrmTreeNonView() const;
    TrmTreeNonViewNode* GetParent() const { return parent_; }
    bool GetChildren() const { return !children_.empty(); }
    int GetCount() const { return static_cast<int>(children_.size()); }
    // Child index; outside 0..Count-1 raises "List Index Out of Bounds".
    TrmTreeNonViewNode* GetItem(int index) const;
    // Child index takes text and data from node.
    void SetItem(int index, const TrmTreeNonViewNode& node);
    // Position among the children, -1 when node is none of them.
    int IndexOf(const TrmTreeNonViewNode* node) const;
    // Position in the parent's child list, or in the root list for a root.
    int GetIndex() const;
    // Number of ancestors: 0 for a root.
    int GetLevel() const;
    // Number of all descendants.
    int GetItemCount() const;

    TrmTreeNonViewNode* GetFirstChild() const;
    TrmTreeNonViewNode* GetLastChild() const;
    // Neighbours in the parent's child list (the root list for a roots).
    TrmTreeNonViewNode* GetNextSibling() const;
    TrmTreeNonViewNode* getPrevSibling() const;
    // The neighbours of one of the children; null for no child.
    TrmTreeNonViewNode* GetNextChild(const TrmTreeNonViewNode* child) const;
    TrmTreeNonViewNode* GetPrevChild(const TrmTreeNonViewNode* child) const;
    // Pre-order successor and predecessor in the whole tree.
    TrmTreeNonViewNode* GetNext() const;
    TrmTreeNonViewNode* GetPrev() const;
    // Whether node is an ancestor of this one; true for no node.
    bool HasAsParent(const TrmTreeNonViewNode* node) const;
    // This node when its data is data, else the first such node of the
    // subtree depth-first; null.
    TrmTreeNonViewNode* GetNodeByItem(const TObject* data);

    // Moves child a to position IndexOf(b) + 1 as a list move (taken out,
    // then put in; past the end means last). Nothing when a is no child.
    void MoveItem(TrmTreeNonViewNode* a, TrmTreeNonViewNode* b);
    // Moves the node with its subtree, data and index entries:
    //   naAdd, naAddFirst            last, first in destination's level (the
    //                                root list for a root or no destination)
    //   naAddChild, naAddChildFirst  last, first among destination's children
    //   naInsert                     just before destination (first root for
    //                                no destination); before itself, where
    //                                it is
    // Answers the node, or null when nothing moved: destination lies inside
    // the node's subtree, or the node would become its own child.
    TrmTreeNonViewNode* MoveTo(TrmTreeNonViewNode* destination, TNodeAttachMode mode);
    // Deletes the children (last first), the node's index entry, the node
    // from its list (a parent left without children is closed), fires the
    // tree's OnDeletion and frees the node. The node is gone afterwards;
    // false when a handler freed the tree too.
    bool Delete();
    void DeleteChildren();

    // From another node: its text and data. Other classes raise.
    void Assign(const TPersistent& source) override;
    // Same text (case-sensitive) and the same data.
    bool IsEqual(const TrmTreeNonViewNode* node) const;
    std::string GetNodePath() const;
    // Takes the subtree's entries out of the path index, or puts them in
    // under their current paths.
    void RemoveHash();
    void RenewHash();

    // The node and its subtree in the node stream.
    void WriteData(TStream& stream) const;
    // Each node is a level of the thread's read nesting (platform/ReadNesting.h).
    void ReadData(TStream& stream);

private:
    friend class TrmTreeNonViewNodes;
    friend class TrmCustomTreeNonView;
    // A tree emptied from its first root on takes each root out of the
    // front of its list in a time of its own.
    using NodeList = thorn::FrontList<std::unique_ptr<TrmTreeNonViewNode>>;

    // The list the node is in: its parent's children or the root list.
    NodeList& Siblings() const;
    // Where node stands in list, -1 when it is not there: the position the
    // node keeps when it is still true, else found by a search.
    static int PositionIn(const NodeList& list, const TrmTreeNonViewNode* node);
    // The nodes of list from position from on keep their new positions.
    static void Renumber(NodeList& list, size_t from);
    // The node at position at taken out of list, and node put in at
    // position at; the nodes after it keep their new positions.
    static std::unique_ptr<TrmTreeNonViewNode> TakeFrom(NodeList& list, size_t at);
    static void PutInto(NodeList& list, size_t at, std::unique_ptr<TrmTreeNonViewNode> node);
    // Rows shown for this node's subtree besides its own: those below it
    // when it is open, none when it is closed.
    int OpenRows() const { return expanded_ ? rowsBelow_ : 0; }
    // Steps of Delete for a node without children, the node freed last;
    // false when OnDeletion freed the tree.
    bool DeleteChildless();
    // Holds a component read for the node as its data.
    void HoldData(std::unique_ptr<TComponent> component);
    // Lets go of the held component when someone else freed it.
    void ForgetFreedData();
    // Indexes every indexed node of the subtree again under its current path.
    void Reindex();
    // ReadData; false when OnNodeTextChanged freed the tree, and the node
    // with it.
    bool ReadSubtree(TStream& stream);

    TrmTreeNonViewNodes* owner_;
    std::string text_;
    TObject* data_ = nullptr;
    NodeList children_;
    TrmTreeNonViewNode* parent_ = nullptr;
    bool expanded_ = false;
    // The rows its children show when the node is open: each child, and
    // the rows below the open ones.
    int rowsBelow_ = 0;
    // Its position in its list plus the list's Shift() (modulo 2^32), kept
    // as the list changes.
    mutable uint32_t position_ = 0;
    int32_t hashIndex_ = -1;    // position of the node's entry in the index
    std::unique_ptr<TComponent> ownedData_;
    thorn::ComponentRef<TComponent> ownedAlive_;  // reads null once ownedData_ was freed elsewhere
};

// The nodes of a tree: the root list and the path index.
class TrmTreeNonViewNodes : public TPersistent {
public:
    explicit TrmTreeNonViewNodes(TrmCustomTreeNonView& owner);
    ~TrmTreeNonViewNodes() override;
    TrmTreeNonViewNodes(const TrmTreeNonViewNodes&) = delete;
    TrmTreeNonViewNodes& operator=(const TrmTreeNonViewNodes&) = delete;

    TrmCustomTreeNonView& GetOwner() const { return *owner_; }
    // Number of all nodes.
    int GetCount() const { return count_; }
    // The rows the tree shows as a grid shows it: the roots and every child
    // of an open node that is shown itself. Kept as nodes come, go, move,
    // open and close.
    int GetShownCount() const { return shownRows_; }
    // Root 0, or null.
    TrmTreeNonViewNode* GetFirstNode() const;
    // The node at pre-order position index; past the last node (or below 0)
    // raises "Index out of range".
    TrmTreeNonViewNode* GetNodeFromIndex(int index) const;
    TrmTreeNonViewNode* GetItem(int index) const { return GetNodeFromIndex(index); }
    void SetItem(int index, const TrmTreeNonViewNode& node);

    // New nodes: first or last among parent's children (the roots for no
    // parent), first or last in sibling's level, or just before sibling.
    TrmTreeNonViewNode* AddChildFirst(TrmTreeNonViewNode* parent, const std::string& text);
    TrmTreeNonViewNode* AddChildObjectFirst(TrmTreeNonViewNode* parent, const std::string& text, TObject* data);
    TrmTreeNonViewNode* AddChild(TrmTreeNonViewNode* parent, const std::string& text);
    TrmTreeNonViewNode* AddChildObject(TrmTreeNonViewNode* parent, const std::string& text, TObject* data);
    TrmTreeNonViewNode* AddFirst(TrmTreeNonViewNode* sibling, const std::string& text);
    TrmTreeNonViewNode* AddObjectFirst(TrmTreeNonViewNode* sibling, const std::string& text, TObject* data);
    TrmTreeNonViewNode* Add(TrmTreeNonViewNode* sibling, const std::string& text);
    TrmTreeNonViewNode* AddObject(TrmTreeNonViewNode* sibling, const std::string& text, TObject* data);
    TrmTreeNonViewNode* Insert(TrmTreeNonViewNode* sibling, const std::string& text);
    TrmTreeNonViewNode* InsertObject(TrmTreeNonViewNode* sibling, const std::string& text, TObject* data);
    // The worker of the above: taAddFirst and taAdd put the node first or
    // last among node's children (the roots for none), taInsert just before
    // node (first root for none). A node of another tree, or a sibling not
    // in its list, raises "Unable to find Node reference". Null when
    // OnNodeTextChanged, told of the new node, freed the tree.
    TrmTreeNonViewNode* InternalAddObject(TrmTreeNonViewNode* node, const std::string& text, TObject* data,
                                          TAddMode mode);

    void Delete(TrmTreeNonViewNode* node);
    // Deletes root 0 until none is left (OnDeletion fires for every node,
    // children before their parent).
    void Clear();
    // Position in the root list, -1 for no root.
    int GetIndex(const TrmTreeNonViewNode* node) const;
    // Moves root from to position to (taken out, then put in; past the end
    // means last). A from outside the list raises "List Index Out of Bounds".
    void Move(int from, int to);
    // The positions written over the nodes after one put in or taken out
    // in the middle of its list, or over a list moved in or sorted, since
    // the tree was made. A node taken from either end of its list, or put
    // at either end, costs at most its own: emptying a list from its first
    // node on costs its nodes, not their square.
    uint64_t GetRenumbered() const { return renumbered_; }
    // The first root whose data is data (roots only); null.
    TrmTreeNonViewNode* GetNodeByItem(const TObject* data) const;

    // ---- the path index
    int32_t HashValue(std::string_view path) const;
    // The entry indexing path, -1 when none does.
    int LocateHashIndex(std::string_view path) const;
    TrmTreeNonViewNode* LocateNode(std::string_view path) const;
    // Indexes node under path (moving its entry when it had one). Only the
    // node's own path is indexed: an entry under any other could never find
    // it.
    void BinaryInsert(std::string_view path, TrmTreeNonViewNode* node);
    // Takes node's entry out of the index.
    void RemoveHash(TrmTreeNonViewNode* node);
    int GetHashCount() const { return index_.Count(); }
    // Grows whenever a path leaves the index (a node deleted, renamed or
    // moved): a path found taken stays taken while it stands.
    uint64_t GetHashRemovals() const { return index_.Removals(); }
    const TrmHashData& GetHashData(int index) const;
    // Writes "hash.txt" in the current folder: the path of every entry, in
    // ascending order of hash.
    void dumphash() const;

    // ---- streaming
    // From another collection: its nodes and (copies of) their components,
    // through the node stream. Other classes raise.
    void Assign(const TPersistent& source) override;
    void DefineProperties(TFiler& filer) override;
    // The node stream, all integers 32-bit little-endian: the root count,
    // then every root and its subtree in pre-order as: N, the TNodeInfo of
    // N bytes, a has-data flag (1 when the data is a component, whose form
    // stream follows), the children. Reading checks every count and length
    // against the bytes left and nests at most kMaxStreamDepth levels,
    // counted with the levels of the form streams it is read within and
    // those of its components; a refused stream raises EReadError and
    // leaves the tree empty.
    void ReadData(TStream& stream);
    void WriteData(TStream& stream) const;
    static constexpr int kMaxStreamDepth = thorn::kMaxReadNesting;

private:
    friend class TrmTreeNonViewNode;
    friend class TrmCustomTreeNonView;
    using NodeList = TrmTreeNonViewNode::NodeList;
    // The indexed child of parent (a root for none) of that text, whose path
    // has that hash and length; null.
    TrmTreeNonViewNode* LocateChild(const TrmTreeNonViewNode* parent, std::string_view text, int32_t hash,
                                    size_t pathLength) const;
    // Indexes node under its current path (moving its entry when it had
    // one), the hash carried on from its parent's entry, which must be
    // current: a subtree is indexed parents first.
    void IndexAtItsPath(TrmTreeNonViewNode* node);
    void CheckOwned(const TrmTreeNonViewNode* node) const;
    // The rows a child of parent (a root for none) shows grew by delta:
    // its ancestors count them as far up as they are open.
    void ShownRowsChanged(TrmTreeNonViewNode* parent, int delta);

    TrmCustomTreeNonView* owner_;
    NodeList roots_;
    int count_ = 0;
    int shownRows_ = 0;
    uint64_t renumbered_ = 0;
    // The index's entries are the TrmHashData records; a node keeps the
    // position of its own.
    struct IndexTraits {
        using Entry = TrmHashData;
        using Node = TrmTreeNonViewNode;
        static Entry Make(int32_t hash, size_t length, Node* node) {
            return {hash, static_cast<int32_t>(length), node};
        }
        static int32_t HashOf(const Entry& entry) { return entry.hash; }
        static size_t LengthOf(const Entry& entry) { return static_cast<size_t>(entry.pathLength); }
        static Node* NodeOf(const Entry& entry) { return entry.node; }
        static int32_t& PositionOf(Node& node) { return node.hashIndex_; }
    };
    thorn::PathIndex<IndexTraits> index_;
};

class TrmCustomTreeNonView : public TComponent {
public:
    TrmCustomTreeNonView();
    ~TrmCustomTreeNonView() override;

    TrmTreeNonViewNodes& GetItems() const { return *items_; }
    // Items takes source's nodes (see TrmTreeNonViewNodes::Assign).
    void SetrmTreeNonViewNodes(const TrmTreeNonViewNodes& source);
    char GetSepChar() const { return sepChar_; }
    // Existing nodes keep their index entries: set it before adding nodes.
    void SetSepChar(char value) { sepChar_ = value; }

    // Separator and text of each ancestor and the node; "" for no node.
    std::string NodePath(const TrmTreeNonViewNode* node) const;
    TrmTreeNonViewNode* FindPathNode(std::string_view path) const;
    // The node of path, made with any missing ancestors when absent. A
    // path without a leading separator is taken below node (the roots for
    // none). An empty name (a doubled or trailing separator) names a node of
    // empty text where there is one and is passed over otherwise, so
    // "/a//b/" is "/a/b". An empty path, or one naming no node (a lone
    // separator), gives null, and so does a path whose node, told to
    // OnNodeTextChanged, freed the tree. The work is linear in the path's
    // length.
    TrmTreeNonViewNode* AddPathNode(TrmTreeNonViewNode* node, std::string_view path);
    // Splitting a path ("/a/b" gives "/a" and "b"; a trailing separator is
    // left out first).
    std::string ParentName(std::string_view path) const;
    std::string ChildName(std::string_view path) const;
    // The first root whose data is data; null.
    TrmTreeNonViewNode* GetNodeByItem(const TObject* data) const;
    // Sorts node's children (the roots for none) by text, byte by byte;
    // equal texts come out in reverse of their former order. Paths do not
    // change, so the index stays as it is.
    virtual void TextSort(TrmTreeNonViewNode* node, bool recursive);
    // The first root, and the root after node (null after the last one or
    // for a node that is no root).
    TrmTreeNonViewNode* GetFirstRootNode() const;
    TrmTreeNonViewNode* GetNextRootNode(const TrmTreeNonViewNode* node) const;

    // Every node's path in pre-order, each line ended by CR LF.
    void SaveToStream(TStream& stream) const;
    void SaveToFile(const std::filesystem::path& file) const;
    // Opens the file (EFOpenError when it cannot) and reads nothing: the text
    // form is for looking at.
    void LoadFromFile(const std::filesystem::path& file);
    void LoadFromStream(TStream& stream) {}

    // Fires OnDeletion for a node being deleted.
    virtual void Delete(TrmTreeNonViewNode* node);

    TrmTreeNonViewEvent OnDeletion;
    TrmTreeNonViewEvent OnNodeTextChanged;

protected:
    friend class TrmTreeNonViewNodes;
    virtual std::unique_ptr<TrmTreeNonViewNode> CreateNode();

private:
    std::unique_ptr<TrmTreeNonViewNodes> items_;
    char sepChar_ = '/';
};

// The tree with its properties published: SepChar (default "/") and Items
// (the node stream as "Items.Data").
class TrmTreeNonView : public TrmCustomTreeNonView {
public:
    void PublishProperties(thorn::PropertyList& list) override;
};
