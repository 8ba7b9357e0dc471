#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gui/TreeView.h"
#include "inspector/PathIndex.h"
#include "platform/Components.h"

// The path tree view: a tree view whose nodes are also found by their paths.
// A node's path is the separator followed by its text, for each ancestor from
// the root down and the node itself: a root Fruit with a child Apple gives
// /Fruit/Apple with the default separator '/'. An index of the paths' CRC-32
// hashes turns a path into its node without walking the tree; paths are
// compared in full among the entries of equal hash, so two paths of one hash
// never find each other's node. A path can be added in one call, its missing
// ancestors with it.
//
// The index follows the tree: a node added with a text by the Add family is
// entered under its path, a renamed or moved node takes its subtree to the
// new paths, a deleted node's entry goes. As the class always did, a node
// made by Insert or read from a node stream is not entered (Assign enters a
// copied tree whole), a node whose text was empty is not entered by being
// given one, and a path is entered once: a second node of an equal path is
// not found by it.
//
// When the pointer rests on a node whose text runs past the right edge, the
// whole text shows over it in the hint window the library's grid uses, one
// window shared by every path tree view.

class TrmCustomPathTreeView;
class TrmTreeNodes;

class TrmTreeNode : public TTreeNode {
public:
    explicit TrmTreeNode(TTreeNodes& owner) : TTreeNode(owner) {}

    TrmTreeNodes& GetOwner() const;
    TrmCustomPathTreeView& GetTreeView() const;
    TrmTreeNode* GetParent() const { return Typed(TTreeNode::GetParent()); }
    TrmTreeNode* GetItem(int index) const { return Typed(TTreeNode::GetItem(index)); }
    TrmTreeNode* GetFirstChild() const { return Typed(TTreeNode::GetFirstChild()); }
    TrmTreeNode* GetLastChild() const { return Typed(TTreeNode::GetLastChild()); }
    TrmTreeNode* GetNextSibling() const { return Typed(TTreeNode::GetNextSibling()); }
    TrmTreeNode* GetPrevSibling() const { return Typed(TTreeNode::GetPrevSibling()); }
    TrmTreeNode* GetNext() const { return Typed(TTreeNode::GetNext()); }
    TrmTreeNode* GetPrev() const { return Typed(TTreeNode::GetPrev()); }
    TrmTreeNode* GetNextVisible() const { return Typed(TTreeNode::GetNextVisible()); }
    TrmTreeNode* GetPrevVisible() const { return Typed(TTreeNode::GetPrevVisible()); }

    // Whether the node has an entry in the path index.
    bool GetHashed() const { return hashEntry_ >= 0; }
    // Takes the entries of the node and every descendant out of the index.
    void RemoveHash();
    // Enters the node and every descendant under their current paths,
    // parents before children.
    void RenewHash();

private:
    friend class TrmTreeNodes;
    static TrmTreeNode* Typed(TTreeNode* node) { return static_cast<TrmTreeNode*>(node); }

    int32_t hashEntry_ = -1;  // the node's entry in the index, -1 without one
};

// The nodes of a path tree view and the index of their paths.
class TrmTreeNodes : public TTreeNodes {
public:
    // One entry of the path index: the hash of the path a node is entered
    // under, that path's length, and the node. (The grid's path tree has an
    // entry of its own of that name: this one belongs to its collection.)
    class TrmHashData : public TObject {
    public:
        int32_t Hash = 0;
        int32_t Length = 0;
        TrmTreeNode* Node = nullptr;
    };

    explicit TrmTreeNodes(TrmCustomPathTreeView& owner);
    ~TrmTreeNodes() override;

    TrmCustomPathTreeView& GetOwner() const;
    TrmTreeNode* GetFirstNode() const { return Typed(TTreeNodes::GetFirstNode()); }
    TrmTreeNode* GetItem(int index) const { return Typed(TTreeNodes::GetItem(index)); }
    TrmTreeNode* Add(TTreeNode* sibling, const std::string& text) { return Typed(TTreeNodes::Add(sibling, text)); }
    TrmTreeNode* AddObject(TTreeNode* sibling, const std::string& text, void* data) {
        return Typed(TTreeNodes::AddObject(sibling, text, data));
    }
    TrmTreeNode* AddFirst(TTreeNode* sibling, const std::string& text) {
        return Typed(TTreeNodes::AddFirst(sibling, text));
    }
    TrmTreeNode* AddObjectFirst(TTreeNode* sibling, const std::string& text, void* data) {
        return Typed(TTreeNodes::AddObjectFirst(sibling, text, data));
    }
    TrmTreeNode* AddChild(TTreeNode* parent, const std::string& text) {
        return Typed(TTreeNodes::AddChild(parent, text));
    }
    TrmTreeNode* AddChildObject(TTreeNode* parent, const std::string& text, void* data) {
        return Typed(TTreeNodes::AddChildObject(parent, text, data));
    }
    TrmTreeNode* AddChildFirst(TTreeNode* parent, const std::string& text) {
        return Typed(TTreeNodes::AddChildFirst(parent, text));
    }
    TrmTreeNode* AddChildObjectFirst(TTreeNode* parent, const std::string& text, void* data) {
        return Typed(TTreeNodes::AddChildObjectFirst(parent, text, data));
    }
    TrmTreeNode* Insert(TTreeNode* sibling, const std::string& text) {
        return Typed(TTreeNodes::Insert(sibling, text));
    }
    TrmTreeNode* InsertObject(TTreeNode* sibling, const std::string& text, void* data) {
        return Typed(TTreeNodes::InsertObject(sibling, text, data));
    }

    // ---- the path index
    int32_t HashValue(std::string_view path) const;
    // The entry whose node's path is path, -1 when none is.
    int LocateHashIndex(std::string_view path) const;
    TrmTreeNode* LocateNode(std::string_view path) const;
    // Enters node under path, unless an entry of an equal path exists (a node
    // entered before under another path moves to this one).
    void BinaryInsert(std::string_view path, TrmTreeNode* node);
    // Takes node's entry out of the index.
    void RemoveHash(TrmTreeNode* node);
    int GetHashCount() const { return index_.Count(); }
    // Entry index (the positions LocateHashIndex answers).
    const TrmHashData& GetHashData(int index) const;
    // Writes a new file "tvhash-<unique part>.txt" in the system's temporary
    // folder: the path of every entry's node, a line each, in ascending order
    // of hash. Answers the file.
    std::filesystem::path DumpHash() const;

    // From another collection through the node stream; from another path
    // tree's, every copied node is entered too.
    void Assign(const TPersistent& source) override;

protected:
    void NodeAdded(TTreeNode& node, bool inserted) override;
    void TextChanging(TTreeNode& node, const std::string& newText) override;
    void TextChanged(TTreeNode& node, const std::string& oldText) override;
    void SubtreeMoving(TTreeNode& node) override;
    void SubtreeMoved(TTreeNode& node) override;
    void NodeDeleting(TTreeNode& node) override;
    void NodesCleared() override;

private:
    friend class TrmTreeNode;
    friend class TrmCustomPathTreeView;
    // A path and its hash, worked out by whoever adds a node under it.
    struct KnownPath {
        int32_t hash;
        std::string_view path;
    };
    static TrmTreeNode* Typed(TTreeNode* node) { return static_cast<TrmTreeNode*>(node); }
    // The entry of hash whose node's path is path, -1.
    int FindEntry(int32_t hash, std::string_view path) const;
    void InsertEntry(int32_t hash, std::string_view path, TrmTreeNode* node);
    // AddChild for a node whose path and hash are known already.
    TrmTreeNode* AddChildKnowing(TTreeNode* parent, const std::string& text, const KnownPath& known);

    TrmCustomPathTreeView* owner_;
    // The index's entries are the TrmHashData records; a node keeps the
    // position of its own.
    struct IndexTraits {
        using Entry = TrmHashData;
        using Node = TrmTreeNode;
        static Entry Make(int32_t hash, size_t length, Node* node) {
            Entry entry;
            entry.Hash = hash;
            entry.Length = static_cast<int32_t>(length);
            entry.Node = node;
            return entry;
        }
        static int32_t HashOf(const Entry& entry) { return entry.Hash; }
        static size_t LengthOf(const Entry& entry) { return static_cast<size_t>(entry.Length); }
        static Node* NodeOf(const Entry& entry) { return entry.Node; }
        static int32_t& PositionOf(Node& node) { return node.hashEntry_; }
    };
    thorn::PathIndex<IndexTraits> index_;
    const KnownPath* known_ = nullptr;
};

using TrmTVChangingEvent = std::function<void(TObject* sender, TrmTreeNode* node, bool& allowChange)>;
using TrmTVChangedEvent = std::function<void(TObject* sender, TrmTreeNode* node)>;
using TrmTVExpandingEvent = std::function<void(TObject* sender, TrmTreeNode* node, bool& allowExpansion)>;
using TrmTVCollapsingEvent = std::function<void(TObject* sender, TrmTreeNode* node, bool& allowCollapse)>;
using TrmTVExpandedEvent = std::function<void(TObject* sender, TrmTreeNode* node)>;
using TrmTVEditingEvent = std::function<void(TObject* sender, TrmTreeNode* node, bool& allowEdit)>;
using TrmTVEditedEvent = std::function<void(TObject* sender, TrmTreeNode* node, std::string& text)>;
using TrmTVCompareEvent =
    std::function<void(TObject* sender, TrmTreeNode* node1, TrmTreeNode* node2, int32_t data, int& compare)>;
using TrmTVCustomDrawItemEvent =
    std::function<void(TObject* sender, TrmTreeNode* node, TCustomDrawState state, bool& defaultDraw)>;
using TrmTVAdvancedCustomDrawItemEvent =
    std::function<void(TObject* sender, TrmTreeNode* node, TCustomDrawState state, TCustomDrawStage stage,
                       bool& paintImages, bool& defaultDraw)>;

class TrmCustomPathTreeView : public TCustomTreeView {
public:
    TrmCustomPathTreeView();
    ~TrmCustomPathTreeView() override;

    TrmTreeNodes* GetItems() const { return static_cast<TrmTreeNodes*>(TCustomTreeView::GetItems()); }
    char GetSepChar() const { return sepChar_; }
    // Nodes keep the entries they have: set it before adding nodes.
    void SetSepChar(char value) { sepChar_ = value; }

    // ---- paths
    // The separator and text of each ancestor and the node; "" for none.
    std::string NodePath(const TTreeNode* node) const;
    // The node indexed under path, taken as it is given; null.
    TrmTreeNode* FindPathNode(std::string_view path) const;
    // The node of path (a leading separator is put in front when missing),
    // added as the last child of its parent's node with its missing ancestors
    // when not found; null for an empty path. The node given is not used.
    TrmTreeNode* AddPathNode(TTreeNode* node, std::string_view path);
    // /a/b gives /a; /a/b/ gives /a; /a gives "".
    std::string ParentName(std::string_view path) const;
    // /a/b and /a/b/ give b; a text without separator is itself.
    std::string ChildName(std::string_view path) const;

    // ---- typed views of the tree view's nodes
    TrmTreeNode* GetSelection() const { return Typed(GetSelected()); }
    void SetSelection(TrmTreeNode* node) { SetSelected(node); }
    using TCustomTreeView::GetSelection;
    TrmTreeNode* GetTopItem() const { return Typed(TCustomTreeView::GetTopItem()); }
    TrmTreeNode* GetDropTarget() const { return Typed(TCustomTreeView::GetDropTarget()); }
    TrmTreeNode* GetFocussedNode() const { return Typed(TCustomTreeView::GetFocussedNode()); }
    TrmTreeNode* GetNodeAt(int x, int y) const { return Typed(TCustomTreeView::GetNodeAt(x, y)); }

    TrmTVChangingEvent OnChanging;
    TrmTVChangedEvent OnChange;
    TrmTVExpandingEvent OnExpanding;
    TrmTVExpandedEvent OnExpanded;
    TrmTVCollapsingEvent OnCollapsing;
    TrmTVExpandedEvent OnCollapsed;
    TrmTVEditingEvent OnEditing;
    TrmTVEditedEvent OnEdited;
    TrmTVExpandedEvent OnDeletion;
    TrmTVExpandedEvent OnGetImageIndex;
    TrmTVExpandedEvent OnGetSelectedIndex;
    TrmTVCompareEvent OnCompare;
    TrmTVCustomDrawItemEvent OnCustomDrawItem;
    TrmTVAdvancedCustomDrawItemEvent OnAdvancedCustomDrawItem;

protected:
    std::unique_ptr<TTreeNode> CreateNode() override;
    bool CanChange(TTreeNode* node) override;
    void Change(TTreeNode* node) override;
    bool CanExpand(TTreeNode* node) override;
    void Expand(TTreeNode* node) override;
    bool CanCollapse(TTreeNode* node) override;
    void Collapse(TTreeNode* node) override;
    bool CanEdit(TTreeNode* node) override;
    void Edit(TTreeNode* node, std::string& text) override;
    void Delete(TTreeNode* node) override;
    void GetImageIndex(TTreeNode* node) override;
    void GetSelectedIndex(TTreeNode* node) override;
    int CompareNodes(TTreeNode* node1, TTreeNode* node2, int32_t data) override;
    bool HasCompareHandler() const override { return static_cast<bool>(OnCompare); }
    bool IsCustomDrawn() const override;
    bool CustomDrawItem(TTreeNode* node, TCustomDrawState state, TCustomDrawStage stage, bool& paintImages) override;
    void SetNewHint(TTreeNode* node) override;

private:
    static TrmTreeNode* Typed(TTreeNode* node) { return static_cast<TrmTreeNode*>(node); }

    char sepChar_ = '/';
};

// The published path tree view, streamed by its class name.
class TrmPathTreeView : public TrmCustomPathTreeView {
public:
    TrmPathTreeView();
    void PublishProperties(thorn::PropertyList& list) override;
};

// The properties of a node as a component stream carries them.
class TrmNodeInfo : public TComponent {
public:
    int32_t ImageIndex = -1;
    int32_t SelectedIndex = -1;
    int32_t StateIndex = -1;
    int32_t OverlayIndex = -1;
    int32_t Data = 0;
    std::string Path;

    void PublishProperties(thorn::PropertyList& list) override;
};
