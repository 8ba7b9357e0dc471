#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/TreeNodeTypes.h"
#include "platform/Classes.h"
#include "platform/Components.h"
#include "platform/Types.h"

class TCustomTreeView;
class TStream;
class TTreeNode;
class TTreeNodes;

class ETreeViewError : public Exception {
    using Exception::Exception;
};

// Orders two nodes for a sort: below 0 when node1 comes first.
using TTVCompare = std::function<int(TTreeNode* node1, TTreeNode* node2, int32_t data)>;

// One node of a tree view: a text, an untyped pointer of the program's, the
// images it shows, its state (expanded, selected, cut, drop target) and its
// children. The collection owns it; deleting the node frees it with its
// children.
class TTreeNode : public TPersistent {
public:
    explicit TTreeNode(TTreeNodes& owner);
    ~TTreeNode() override;
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    // ---- what the node shows
    const std::string& GetText() const { return text_; }
    void SetText(const std::string& value);
    void* GetData() const { return data_; }
    // Re-sorts the siblings when the view sorts by data.
    void SetData(void* value);
    int32_t GetImageIndex() const { return imageIndex_; }
    void SetImageIndex(int32_t value);
    int32_t GetSelectedIndex() const { return selectedIndex_; }
    void SetSelectedIndex(int32_t value);
    // The image of the view's state images shown left of the image; -1 none.
    int32_t GetStateIndex() const { return stateIndex_; }
    void SetStateIndex(int32_t value);
    // The image drawn over the node's image; -1 none.
    int32_t GetOverlayIndex() const { return overlayIndex_; }
    void SetOverlayIndex(int32_t value);

    // ---- state
    bool GetExpanded() const { return expanded_; }
    // As Expand and Collapse of the node alone.
    void SetExpanded(bool value);
    bool GetSelected() const { return selected_; }
    // Selects the node alone (with multiple selection: adds or removes it).
    void SetSelected(bool value);
    // Whether the node has the keyboard's place in the view.
    bool GetFocused() const;
    void SetFocused(bool value);
    // Shown ghosted, as cut to the clipboard.
    bool GetCut() const { return cut_; }
    void SetCut(bool value);
    // Highlighted as the place a drag would drop on.
    bool GetDropTarget() const { return dropTarget_; }
    void SetDropTarget(bool value);
    // Whether the node shows a button: set by adding a child, cleared by
    // removing the last; a program may set it for children it adds later.
    bool GetHasChildren() const { return hasChildren_; }
    void SetHasChildren(bool value);
    // Set while the node is being deleted.
    bool GetDeleting() const { return deleting_; }
    // Every ancestor is expanded.
    bool IsVisible() const;

    // ---- structure
    TTreeNodes& GetOwner() const { return *owner_; }
    TCustomTreeView& GetTreeView() const;
    TTreeNode* GetParent() const { return parent_; }
    int GetCount() const { return static_cast<int>(children_.size()); }
    // Child index; outside 0..Count-1 raises ETreeViewError "Invalid index".
    TTreeNode* GetItem(int index) const;
    TTreeNode* operator[](int index) const { return GetItem(index); }
    int IndexOf(const TTreeNode* child) const;
    // Place among the siblings (the roots for a root).
    int GetIndex() const { return index_; }
    // Number of ancestors.
    int GetLevel() const;
    // Place in the whole tree in pre-order.
    int GetAbsoluteIndex() const;

    TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
    TTreeNode* GetLastChild() const { return children_.empty() ? nullptr : children_.back().get(); }
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    // The child after or before child; null for none or a node that is no child.
    TTreeNode* GetNextChild(const TTreeNode* child) const;
    TTreeNode* GetPrevChild(const TTreeNode* child) const;
    // Pre-order successor and predecessor in the whole tree.
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    // The next and previous node a user sees (ancestors expanded).
    TTreeNode* GetNextVisible() const;
    TTreeNode* GetPrevVisible() const;
    // Whether node is an ancestor of this one.
    bool HasAsParent(const TTreeNode* node) const;
    // Same text and the same data.
    bool IsEqual(const TTreeNode* node) const;

    // ---- changes
    // Moves the node with its subtree (see TNodeAttachMode; no destination
    // means the roots). A destination inside the node's own subtree, or the
    // node itself, moves nothing. The new parent shows a button and is
    // expanded; a parent left without children collapses.
    virtual void MoveTo(TTreeNode* destination, TNodeAttachMode mode);
    // Deletes the children, then the node (OnDeletion for each, children
    // first). The node is gone afterwards.
    void Delete();
    void DeleteChildren();
    void Expand(bool recurse);
    void Collapse(bool recurse);
    // Sorts the children by the view's comparison (OnCompare, else the
    // texts), and with recurse their children too.
    bool AlphaSort(bool recurse = false);
    bool CustomSort(const TTVCompare& compare, int32_t data, bool recurse = false);
    // Expands the ancestors and scrolls the node into sight.
    void MakeVisible();
    // Starts editing the label; false when the view refuses.
    bool EditText();
    // Ends an edit of this node's label, keeping the typed text unless cancel.
    void EndEdit(bool cancel);
    // The row's place in the view's client coordinates, or only the text's;
    // an empty rectangle when the node is not shown.
    TRect DisplayRect(bool textOnly) const;

    // From another node: text, data, images and state flags.
    void Assign(const TPersistent& source) override;

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    using NodeList = std::vector<std::unique_ptr<TTreeNode>>;

    NodeList& Siblings() const;
    // False when a comparison freed the view.
    bool SortChildren(const TTVCompare& compare, int32_t data, bool recurse);

    TTreeNodes* owner_;
    TTreeNode* parent_ = nullptr;
    NodeList children_;
    int index_ = 0;
    std::string text_;
    void* data_ = nullptr;
    int32_t imageIndex_ = 0;
    int32_t selectedIndex_ = 0;
    int32_t stateIndex_ = -1;
    int32_t overlayIndex_ = -1;
    bool expanded_ = false;
    bool selected_ = false;
    bool cut_ = false;
    bool dropTarget_ = false;
    bool hasChildren_ = false;
    bool deleting_ = false;
    // The view's bookkeeping: the row the node stood on when the rows were
    // last laid out (valid while rowGeneration_ is the view's), and the
    // width of its text in the font of widthGeneration_.
    mutable uint32_t rowGeneration_ = 0;
    mutable int row_ = -1;
    mutable uint32_t widthGeneration_ = 0;
    mutable int textWidth_ = 0;
};

// The nodes of a tree view, as a tree (the roots and their children) and as
// one list in pre-order (GetItem). The collection owns every node.
class TTreeNodes : public TPersistent {
public:
    explicit TTreeNodes(TCustomTreeView& owner);
    ~TTreeNodes() override;
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;

    TCustomTreeView& GetOwner() const { return *owner_; }
    // Every node, at every level.
    int GetCount() const { return count_; }
    TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front().get(); }
    int GetRootCount() const { return static_cast<int>(roots_.size()); }
    TTreeNode* GetRoot(int index) const;
    // The node at place index in pre-order; a negative index or one past the
    // end raises ETreeViewError "Invalid index". A request beside the last
    // one answered starts from there.
    TTreeNode* GetItem(int index) const;
    TTreeNode* operator[](int index) const { return GetItem(index); }

    // New nodes: last or first among sibling's siblings (the roots for
    // none), last or first among parent's children (the roots for none), or
    // just before sibling (the first root for none). Null when a handler
    // told of the node (a comparison, OnChange, OnAddition) freed the view.
    TTreeNode* Add(TTreeNode* sibling, const std::string& text);
    TTreeNode* AddObject(TTreeNode* sibling, const std::string& text, void* data);
    TTreeNode* AddFirst(TTreeNode* sibling, const std::string& text);
    TTreeNode* AddObjectFirst(TTreeNode* sibling, const std::string& text, void* data);
    TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
    TTreeNode* AddChildObject(TTreeNode* parent, const std::string& text, void* data);
    TTreeNode* AddChildFirst(TTreeNode* parent, const std::string& text);
    TTreeNode* AddChildObjectFirst(TTreeNode* parent, const std::string& text, void* data);
    TTreeNode* Insert(TTreeNode* sibling, const std::string& text);
    TTreeNode* InsertObject(TTreeNode* sibling, const std::string& text, void* data);

    void Delete(TTreeNode* node);
    // Deletes every node (OnDeletion for each).
    void Clear();
    // Counted: the view is laid out and painted again only after the last
    // EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    int GetUpdateCount() const { return updateCount_; }

    // An update bracket for the length of a scope that ends it only while
    // the view lives: a handler told of a node deleted or added (or asked
    // to compare two) may free the view, and these nodes with it.
    class Updating {
    public:
        explicit Updating(TTreeNodes& nodes);
        ~Updating();
        Updating(const Updating&) = delete;
        Updating& operator=(const Updating&) = delete;
        bool ViewFreed() const { return view_.Freed(); }

    private:
        TTreeNodes& nodes_;
        thorn::ComponentWatch view_;
    };

    // From another collection: its nodes through the node stream.
    void Assign(const TPersistent& source) override;
    // The nodes as the binary property "Data" (the node stream), written when
    // there are any.
    void DefineProperties(TFiler& filer) override;
    // The node stream, 32-bit integers little-endian: the root count, then
    // every root and its subtree in pre-order, each node as its size
    // (25 + L), its image, selected image, state and overlay indices, data,
    // child count, and its text as a length byte L and L characters (texts
    // longer than 255 are cut). Reading replaces the nodes; it checks every
    // count and size against the bytes left, and a refused stream raises
    // EReadError and leaves the collection empty.
    void ReadData(TStream& stream);
    void WriteData(TStream& stream) const;
    // Which nodes are expanded: the node count, then a byte per node in
    // pre-order (1 expanded). Reading applies what the stream holds to the
    // nodes there are, until a handler frees the view.
    void ReadExpandedState(TStream& stream);
    void WriteExpandedState(TStream& stream) const;

protected:
    // Hooks for a collection that keeps more about its nodes (an index of
    // their paths). NodeAdded follows every new node, inserted telling
    // Insert and InsertObject from the Add family; TextChanging and
    // TextChanged come around a change of a node's text; SubtreeMoving and
    // SubtreeMoved around MoveTo; NodeDeleting before a node is freed (its
    // children first); NodesCleared after Clear.
    virtual void NodeAdded(TTreeNode& node, bool inserted) {}
    virtual void TextChanging(TTreeNode& node, const std::string& newText) {}
    virtual void TextChanged(TTreeNode& node, const std::string& oldText) {}
    virtual void SubtreeMoving(TTreeNode& node) {}
    virtual void SubtreeMoved(TTreeNode& node) {}
    virtual void NodeDeleting(TTreeNode& node) {}
    virtual void NodesCleared() {}

    // The worker of the Add and Insert families.
    TTreeNode* InternalAddObject(TTreeNode* node, const std::string& text, void* data, TAddMode mode,
                                 bool inserted);

private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    using NodeList = TTreeNode::NodeList;

    // Whether a handler freed the view, and its nodes with it, meanwhile.
    using ViewWatch = thorn::ComponentWatch;

    void CheckOwned(const TTreeNode* node) const;
    // Deletes node's subtree without recursion, children first, telling the
    // view and the hooks about each. False when a handler freed the view,
    // and these nodes with it.
    bool DeleteNode(TTreeNode& node);
    bool DeleteLeaf(TTreeNode& node, const ViewWatch& watch);
    void StructureChanged();
    static void RenumberList(NodeList& list, size_t from);
    // Where node goes among list to keep it sorted (after its equals).
    struct ViewGone;
    size_t SortedPosition(const NodeList& list, TTreeNode& node) const;
    // False when a comparison freed the view, and the list with it.
    bool SortList(NodeList& list, const TTVCompare& compare, int32_t data);

    TCustomTreeView* owner_;
    NodeList roots_;
    int count_ = 0;
    int updateCount_ = 0;
    bool clearing_ = false;
    mutable const TTreeNode* cachedNode_ = nullptr;
    mutable int cachedIndex_ = -1;
};
