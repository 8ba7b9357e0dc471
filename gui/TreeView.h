#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/DragDrop.h"
#include "gui/Edit.h"
#include "gui/ImageList.h"
#include "gui/RowView.h"
#include "gui/TreeNodes.h"

class TCustomEdit;
class TTimer;
class THintWindow;

namespace thorn {
class TreeLabelEdit;
}

using TTVChangingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowChange)>;
using TTVChangedEvent = std::function<void(TObject* sender, TTreeNode* node)>;
using TTVExpandingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowExpansion)>;
using TTVCollapsingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* sender, TTreeNode* node)>;
using TTVEditingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowEdit)>;
using TTVEditedEvent = std::function<void(TObject* sender, TTreeNode* node, std::string& text)>;
using TTVCompareEvent =
    std::function<void(TObject* sender, TTreeNode* node1, TTreeNode* node2, int32_t data, int& compare)>;
using TTVCustomDrawEvent = std::function<void(TObject* sender, const TRect& rect, bool& defaultDraw)>;
using TTVCustomDrawItemEvent =
    std::function<void(TObject* sender, TTreeNode* node, TCustomDrawState state, bool& defaultDraw)>;
using TTVAdvancedCustomDrawEvent =
    std::function<void(TObject* sender, const TRect& rect, TCustomDrawStage stage, bool& defaultDraw)>;
using TTVAdvancedCustomDrawItemEvent =
    std::function<void(TObject* sender, TTreeNode* node, TCustomDrawState state, TCustomDrawStage stage,
                       bool& paintImages, bool& defaultDraw)>;

// The tree view: nodes in rows indented by their level, with buttons to
// expand and collapse them, dotted lines between them, images, a selection,
// label editing, hot tracking, hints for cut-off texts and dragging of
// nodes. The rows are those of the row view: only the expanded part of the
// tree is laid out, only the rows in sight are painted, so a tree of
// 100,000 nodes scrolls as fast as one of ten.
//
// Keys: Up and Down, Page Up and Page Down, Home and End move the
// selection; Right expands a node or goes to its first child, Left
// collapses it or goes to its parent, Backspace goes to the parent; "+" and
// "-" of the keypad expand and collapse, "*" expands the whole branch; F2
// edits the label; typed characters find the next node whose text begins
// with them. With MultiSelect, Shift selects the range from the anchor and
// Ctrl moves alone (Ctrl+Space selects or deselects). The mouse: a press on
// a button expands or collapses, on a node selects it (Ctrl and Shift as
// the keys), a double click expands or collapses, a second click on the
// selected node's label edits it after a pause; the wheel scrolls.
//
// OnChanging may refuse a selection; OnChange follows each one (after
// ChangeDelay milliseconds when that is above 0). OnExpanding and
// OnCollapsing may refuse, OnExpanded and OnCollapsed follow. OnEditing may
// refuse an edit; OnEdited may change the text typed before the node takes
// it. OnDeletion runs for every node deleted.
class TCustomTreeView : public thorn::RowView, private thorn::RowSource {
public:
    TCustomTreeView();
    ~TCustomTreeView() override;
    void BeforeDestruction() override;

    TTreeNodes* GetItems() const { return items_.get(); }
    void SetItems(const TTreeNodes& value) { items_->Assign(value); }

    // ---- look
    // Pixels each level is indented by (19 at the start).
    int GetIndent() const { return indent_; }
    void SetIndent(int value);
    bool GetShowButtons() const { return showButtons_; }
    void SetShowButtons(bool value);
    bool GetShowLines() const { return showLines_; }
    void SetShowLines(bool value);
    // The roots get buttons and lines too.
    bool GetShowRoot() const { return showRoot_; }
    void SetShowRoot(bool value);
    // The node under the pointer is underlined.
    bool GetHotTrack() const { return hotTrack_; }
    void SetHotTrack(bool value);
    // The whole row is highlighted when selected (else the text alone).
    bool GetRowSelect() const { return rowSelect_; }
    void SetRowSelect(bool value);
    // No label editing.
    bool GetReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    // A text cut off by the right edge shows whole in a hint over it while
    // the pointer rests on it.
    bool GetToolTips() const { return toolTips_; }
    void SetToolTips(bool value);
    // Selecting a node expands it and collapses the one selected before.
    bool GetAutoExpand() const { return autoExpand_; }
    void SetAutoExpand(bool value) { autoExpand_ = value; }
    // A right press selects the node under it.
    bool GetRightClickSelect() const { return rightClickSelect_; }
    void SetRightClickSelect(bool value) { rightClickSelect_ = value; }
    // Milliseconds between a change of the selection and OnChange (0: at once).
    int GetChangeDelay() const { return changeDelay_; }
    void SetChangeDelay(int value);
    TSortType GetSortType() const { return sortType_; }
    // Sorts the whole tree at once when the new type sorts by text, or by
    // data with OnCompare set.
    void SetSortType(TSortType value);
    TCustomImageList* GetImages() const { return images_.Get(); }
    void SetImages(TCustomImageList* value);
    TCustomImageList* GetStateImages() const { return stateImages_.Get(); }
    void SetStateImages(TCustomImageList* value);

    // ---- nodes
    // The selected node (the focused one with multiple selection); setting
    // selects it alone, shows it and runs OnChanging and OnChange.
    TTreeNode* GetSelected() const;
    void SetSelected(TTreeNode* node);
    // The node with the keyboard's place.
    TTreeNode* GetFocussedNode() const;
    int GetSelectionCount() const;
    // The selected nodes in pre-order.
    TTreeNode* GetSelection(int index) const;
    // The first row in sight.
    TTreeNode* GetTopItem() const;
    void SetTopItem(TTreeNode* node);
    TTreeNode* GetDropTarget() const { return dropTarget_; }
    void SetDropTarget(TTreeNode* node);
    // The node on the row at (x, y) of the client area, or null.
    TTreeNode* GetNodeAt(int x, int y) const;
    THitTests GetHitTestInfoAt(int x, int y) const;
    // Rows in sight (whole ones).
    int GetVisibleCount() const { return VisibleRowCount(); }
    void FullExpand();
    void FullCollapse();
    // Sorts the roots and every node with children.
    bool AlphaSort(bool recurse = true);
    bool CustomSort(const TTVCompare& compare, int32_t data, bool recurse = true);

    // ---- label editing
    bool IsEditing() const;
    // The node whose label is being edited, or null.
    TTreeNode* GetEditingNode() const { return editingNode_; }
    // The edit box over the label while editing, else null.
    TCustomEdit* GetEditControl() const;

    // ---- the text form: a line per node in pre-order, indented by a tab
    // for each level, ended by CR LF. Loading takes a line's leading tabs or
    // blanks as its level; a line more than one level below the one before
    // raises ETreeViewError "Invalid level (%d) for item "%s"".
    void SaveToStream(TStream& stream) const;
    void LoadFromStream(TStream& stream);
    void SaveToFile(const std::filesystem::path& file) const;
    void LoadFromFile(const std::filesystem::path& file);

    // ---- dragging nodes
    TDragMode GetDragMode() const { return dragMode_; }
    void SetDragMode(TDragMode value) { dragMode_ = value; }
    // Starts dragging the selected node (at once, or once the pointer has
    // moved threshold pixels with the button held).
    void BeginDrag(bool immediate, int threshold = 5);
    // Ends a drag: dropping where the pointer is when drop and accepted.
    void EndDrag(bool drop);
    bool Dragging() const { return dragging_; }

    TTVChangingEvent OnChanging;
    TTVChangedEvent OnChange;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVCollapsingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;
    TTVEditingEvent OnEditing;
    TTVEditedEvent OnEdited;
    TTVExpandedEvent OnDeletion;
    TTVExpandedEvent OnAddition;
    TTVExpandedEvent OnGetImageIndex;
    TTVExpandedEvent OnGetSelectedIndex;
    TTVCompareEvent OnCompare;
    TTVCustomDrawEvent OnCustomDraw;
    TTVCustomDrawItemEvent OnCustomDrawItem;
    TTVAdvancedCustomDrawEvent OnAdvancedCustomDraw;
    TTVAdvancedCustomDrawItemEvent OnAdvancedCustomDrawItem;
    TStartDragEvent OnStartDrag;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;

protected:
    friend class TTreeNode;
    friend class TTreeNodes;

    // A new node of the view's kind; a view whose nodes carry more makes
    // its own.
    virtual std::unique_ptr<TTreeNode> CreateNode();
    // Gives the view a collection of its own kind (only while it is empty).
    void SetNodes(std::unique_ptr<TTreeNodes> nodes);

    // ---- the tree's notifications; each base runs its event
    virtual bool CanChange(TTreeNode* node);
    virtual void Change(TTreeNode* node);
    virtual bool CanExpand(TTreeNode* node);
    virtual void Expand(TTreeNode* node);
    virtual bool CanCollapse(TTreeNode* node);
    virtual void Collapse(TTreeNode* node);
    virtual bool CanEdit(TTreeNode* node);
    virtual void Edit(TTreeNode* node, std::string& text);
    virtual void Delete(TTreeNode* node);
    virtual void Added(TTreeNode* node);
    // Let the program choose the images a node shows.
    virtual void GetImageIndex(TTreeNode* node);
    virtual void GetSelectedIndex(TTreeNode* node);
    // The order of two nodes in sorts: OnCompare, else their texts (letter
    // case first ignored, then lower case first).
    virtual int CompareNodes(TTreeNode* node1, TTreeNode* node2, int32_t data);
    // Whether the program orders nodes itself (OnCompare).
    virtual bool HasCompareHandler() const;
    // Answer false to leave the default drawing out.
    virtual bool CustomDraw(const TRect& rect, TCustomDrawStage stage);
    virtual bool CustomDrawItem(TTreeNode* node, TCustomDrawState state, TCustomDrawStage stage,
                                bool& paintImages);
    virtual bool IsCustomDrawn() const;
    // Shows node's text whole over its row when it is cut off (null hides the
    // hint).
    virtual void SetNewHint(TTreeNode* node);
    virtual void DoStartDrag();
    virtual void DoEndDrag(TObject* target, int x, int y);
    virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
    virtual void DragDrop(TObject* source, int x, int y);

    // The rectangle of node's text (client coordinates), wherever it lies.
    TRect TextRect(const TTreeNode& node) const;
    // Lays the rows out again when the tree changed since.
    void UpdateRows();

    void Paint() override;
    void KeyDown(TKey& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    bool WMMouseWheel(TShiftState shift, int wheelDelta, TPoint screenPos) override;
    void WMVScroll(int code, int pos) override;
    void WMHScroll(int code, int pos) override;
    void CMMouseLeave() override;
    void CMCancelMode() override;
    void CMFontChanged() override;
    void WMSize() override;
    void WMKillFocus() override;
    void ScrollPosChanged(TPoint old) override;

private:
    friend class thorn::TreeLabelEdit;

    // thorn::RowSource over the expanded part of the tree.
    int RowCount() const override { return static_cast<int>(rows_.size()); }
    std::string RowText(int row) const override;
    bool IsRowSelected(int row) const override;
    void SetRowSelected(int row, bool selected) override;
    void DrawRow(TCanvas& canvas, int row, const TRect& rect, TOwnerDrawState state) override;

    // ---- what the nodes tell the view
    void NodesChanged();
    // The last EndUpdate: the rows are laid out and painted anew.
    void UpdateEnded();
    void RepaintNode(const TTreeNode& node);
    void NodeAdded(TTreeNode& node);
    void NodeDeleting(TTreeNode& node);
    // Around the deletion of a subtree: the selection inside it moves on.
    void SubtreeDeleting(TTreeNode& top);
    void SubtreeDeleted();
    void NodesCleared();
    bool SetNodeExpanded(TTreeNode& node, bool expanded);
    void NodeSelecting(TTreeNode& node, bool selected);
    void ResortAfterChange(TTreeNode& node, bool textChanged);

    // ---- layout
    TTreeNode* NodeOfRow(int row) const;
    // The row node stands on, -1 when it is not laid out.
    int RowOf(const TTreeNode& node) const;
    void UpdateRowHeight();
    int TextWidth(const TTreeNode& node) const;
    // The columns of buttons and lines the roots get (0 or 1).
    int RootColumns() const;
    // Where the images of a node of that level begin, from the row's left.
    int ItemLeft(int level) const;
    // The room the state images and the images take.
    int ImagesWidth() const;
    // Where the parts of a node's row lie: the column of its button and
    // lines, the button (empty without one), its images and its text box.
    struct RowParts {
        TRect column, button, stateImage, image, text;
    };
    RowParts PartsOf(const TTreeNode& node, int level, const TRect& row) const;
    void DrawLines(TCanvas& canvas, const TTreeNode& node, int level, const TRect& row);
    void DrawButton(TCanvas& canvas, const TRect& box, bool expanded);

    // ---- selection
    // Selects node as a user does (alone, or as shift asks with
    // MultiSelect); answers false when OnChanging refused.
    bool SelectAsUser(TTreeNode* node, TShiftState shift, bool fromMouse);
    void SetFocusedNode(TTreeNode* node);
    // Puts the keyboard's place on node, once the rows are laid out.
    void FocusNode(TTreeNode* node);
    void SelectionChanged(TTreeNode* node);
    void FireChangeLater();

    // ---- editing
    void StartEditTimer();
    void StopEditTimer();
    bool BeginEdit(TTreeNode& node);
    void FinishEdit(bool cancel);

    // ---- dragging
    void DragTo(int x, int y);
    void AutoScrollWhileDragging(int y);

    std::unique_ptr<TTreeNodes> items_;
    std::vector<TTreeNode*> rows_;  // the laid-out nodes, null where one was deleted
    bool rowsStale_ = true;
    uint32_t rowGeneration_ = 1;
    uint32_t widthGeneration_ = 1;
    mutable std::array<int16_t, 256> advances_{};
    int indent_ = 19;
    bool showButtons_ = true;
    bool showLines_ = true;
    bool showRoot_ = true;
    bool hotTrack_ = false;
    bool rowSelect_ = false;
    bool readOnly_ = false;
    bool toolTips_ = true;
    bool autoExpand_ = false;
    bool rightClickSelect_ = false;
    int changeDelay_ = 0;
    TSortType sortType_ = stNone;
    thorn::ComponentRef<TCustomImageList> images_;
    thorn::ComponentRef<TCustomImageList> stateImages_;
    TCustomImageList::Subscription imagesSubscription_;
    TCustomImageList::Subscription stateImagesSubscription_;

    TTreeNode* selected_ = nullptr;  // single selection: the selected node
    TTreeNode* hot_ = nullptr;
    TTreeNode* dropTarget_ = nullptr;
    TTreeNode* pendingFocus_ = nullptr;
    TTreeNode* replacement_ = nullptr;  // takes the selection of a deleted subtree
    bool selectionLost_ = false;
    TTreeNode* changePending_ = nullptr;
    bool changeIsPending_ = false;
    TTimer* changeTimer_ = nullptr;

    // label editing
    thorn::TreeLabelEdit* editor_ = nullptr;
    TTreeNode* editingNode_ = nullptr;
    TTimer* editTimer_ = nullptr;
    TTreeNode* editCandidate_ = nullptr;
    bool pressOnSelected_ = false;
    TTreeNode* editWatch_ = nullptr;  // reads null once that node is deleted

    // dragging
    TDragMode dragMode_ = dmManual;
    bool dragging_ = false;
    bool dragArmed_ = false;
    TPoint dragStart_;
    int dragThreshold_ = 5;
    bool dragAccepted_ = false;
    TPoint lastDragPoint_;
};

class TTreeView : public TCustomTreeView {};
