#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gui/ScrollingControl.h"
#include "inspector/Rmtreenonview.h"
#include "platform/ClassRegistry.h"
#include "platform/NumberedNames.h"

// The property grid: a two-column grid whose rows are the nodes of a path
// tree it owns, each carrying an inspector item that turns its value into
// the row's text and names the control that edits it. One editor at a time
// is open, in the value cell of the selected row; every change made in it
// flows into the item and out through OnItemChange.

class TrmInspector;
class TrmHintWindow;

class ErmInspectorError : public Exception {
    using Exception::Exception;
};

// A row's item: what the row shows and how it is edited. The grid that
// creates an item owns it and ties it to its node; each kind supplies the
// value texts and the editor exchange.
class TrmCustomInspectorItem : public TComponent {
public:
    TrmCustomInspectorItem();
    ~TrmCustomInspectorItem() override;

    const std::string& GetHint() const { return hint_; }
    void SetHint(const std::string& value) { hint_ = value; }
    // Whether the row opens an editor.
    bool GetEditabled() const { return editabled_; }
    void SetEditabled(bool value) { editabled_ = value; }
    // The grid and node the item belongs to; null for a loose item.
    TrmInspector* GetInspector() const { return inspector_.Get(); }
    TrmTreeNonViewNode* GetNode() const { return node_; }

    std::string GetAsString() const { return GetStringValue(); }
    void SetAsString(const std::string& value) { SetStringValue(value); }

    // The row's value text, and the value set from a text.
    virtual std::string GetStringValue() const = 0;
    virtual void SetStringValue(const std::string& value) = 0;
    // The control class that edits the value; null for none.
    virtual const thorn::ClassInfo* EditorClass() const = 0;
    // Takes the value from the editor; here only the summary of the parent
    // row follows.
    virtual void GetValueFromEditor(TWinControl* editor);
    virtual void SetValueIntoEditor(TWinControl* editor) = 0;
    // Prepares a freshly made editor.
    virtual void SetupEditor(TrmInspector* inspector, TWinControl* editor) = 0;
    // Shows the stored value in the open editor when it changed. While the
    // designer types into it (typing), a kind whose text may stand for
    // another value than the one kept (a number being typed, beyond the
    // range) leaves the text and the caret alone.
    virtual void RefreshEditor(TWinControl* editor, bool typing) { SetValueIntoEditor(editor); }

    // The kind the item is, from the eleven (a derived kind reports the
    // first it belongs to: String, Complex, Combo, ComboEx, Integer, Date,
    // CheckBox, Node, SafeInteger, Blank, CheckBoxEx); other classes report
    // the string kind.
    const thorn::ClassInfo* GetItemClass() const;
    // Whether editor is of the class this kind opens (the exchange with any
    // other editor does nothing).
    bool IsOwnEditor(const TWinControl* editor) const;

    void PublishProperties(thorn::PropertyList& list) override;

protected:
    // Kinds that open an editor start Editabled.
    explicit TrmCustomInspectorItem(bool editabled);
    // After every change of the value: the parent row's summary follows
    // and the grid shows it.
    void ValueChanged();
    bool IsLoading() const { return GetComponentState().Contains(csLoading); }

private:
    friend class TrmInspector;

    std::string hint_;
    thorn::ComponentRef<TrmInspector> inspector_;
    bool editabled_ = false;
    bool editabledAtStart_ = false;
    TrmTreeNonViewNode* node_ = nullptr;
};

using TrmItemIndexChangingEvent =
    std::function<void(TrmCustomInspectorItem* currentItem, TrmCustomInspectorItem* newItem, bool& allowChange)>;

class TrmInspector : public thorn::ScrollingControl {
public:
    TrmInspector();
    ~TrmInspector() override;
    void BeforeDestruction() override;

    // ---- published settings
    // Background of the selected row's value cell and of every editor.
    TColor GetSelectedItemBgColor() const { return selectedItemBgColor_; }
    void SetSelectedItemBgColor(TColor value);
    // -1: the rows are the font's text height + 7 high.
    int GetItemHeight() const { return requestedItemHeight_; }
    void SetItemHeight(int value);
    bool GetSplitResize() const { return splitResize_; }
    void SetSplitResize(bool value) { splitResize_ = value; }
    // Values are shown, never edited: the editor stays hidden.
    bool GetReadonly() const { return readonly_; }
    void SetReadonly(bool value);
    // Captions and values cut off by their cells show whole in a hint.
    bool GetToolTip() const { return toolTip_; }
    void SetToolTip(bool value) { toolTip_ = value; }
    int GetItemIndex() const { return itemIndex_; }
    // Selects visible row value (kept within the rows, -1 for none),
    // closing the open editor (its value stored) and opening the new row's.
    void SetItemIndex(int value);
    TrmTreeNonViewNodes& GetItems() const { return tree_->GetItems(); }
    // The rows of another collection, copied with their items.
    void SetItems(const TrmTreeNonViewNodes& value) { AssignItems(value); }
    TBorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    bool GetCtl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);
    int GetSplitPos() const { return splitPos_; }
    // Kept 15 pixels from either side (15 in a grid too narrow for that).
    void SetSplitPos(int value) { setSplit(value); }
    void setSplit(int value);
    bool GetShowFocusRect() const { return showFocusRect_; }
    void SetShowFocusRect(bool value);
    bool GetShowVScrollBars() const { return showVScrollBars_; }
    void SetShowVScrollBars(bool value);

    // ---- finding rows
    // The first item in row order with exactly that component name; null.
    TrmCustomInspectorItem* GetItemByName(std::string_view name) const;
    TrmTreeNonViewNode* GetNodeByItem(const TrmCustomInspectorItem* item) const;
    // The item of the row whose editor is open; null.
    TrmCustomInspectorItem* GetCurrentInspectorItem() const;
    TrmCustomInspectorItem* FindInspectorItem(std::string_view path) const;
    std::string GetCurrentPath() const;
    // "Unable to find Inspector Item" when no row has the path.
    void SetCurrentPath(std::string_view path);
    // Selects node's row, opening its closed ancestors.
    void SetCurrentNode(TrmTreeNonViewNode* node);
    // Whether every ancestor of the node is open (false for none or a node
    // of another grid).
    bool IsNodeVisible(const TrmTreeNonViewNode* node) const;
    bool IsItemVisible(const TrmCustomInspectorItem* item) const;
    // The node's row among the visible ones; -1.
    int VisibileNodeIndex(const TrmTreeNonViewNode* node) const;
    int VisibileItemIndex(const TrmCustomInspectorItem* item) const;
    char GetSepChar() const { return tree_->GetSepChar(); }
    // Rows already there keep the paths they were indexed under.
    void SetSepChar(char value);
    // Path of the parent of the row at path ("" for a root): the path
    // without its last part.
    std::string ParentPath(std::string_view path) const;

    // ---- adding and removing rows
    // A new row "New Item<n>" under node (the roots for none) with an item
    // of the class, named after the class ("rmStringInspectorItem1" ...).
    TrmCustomInspectorItem* AddItem(TrmTreeNonViewNode* node, const thorn::ClassInfo& itemClass);
    // The same under the row of the item named name; null when none is.
    TrmCustomInspectorItem* AddItem(std::string_view name, const thorn::ClassInfo& itemClass);
    // The row of path (with rows without items for its missing ancestors)
    // and its item holding value. A path that has a row raises EAbort "The
    // specified path item already exists".
    TrmCustomInspectorItem* AddInspectorItem(std::string_view path, const std::string& value,
                                             const thorn::ClassInfo& itemClass);
    // Deletes the row and the rows below it, with their items; a selection
    // among them goes first.
    void RemoveNode(TrmTreeNonViewNode* node);
    void RemoveItem(std::string_view name);
    void DeleteItem(std::string_view path);
    // Deletes the rows below node.
    void ClearNode(TrmTreeNonViewNode* node);
    void ClearNode(std::string_view name);
    void ClearItems();
    // Moves a root row after another (index1 to index2 + 1), or a child
    // within parent's rows.
    void MoveItem(TrmTreeNonViewNode* node1, TrmTreeNonViewNode* node2);
    void MoveItem(int index1, int index2);
    void MoveItem(std::string_view path1, std::string_view path2);
    void MoveItem(TrmTreeNonViewNode* parent, TrmTreeNonViewNode* node1, TrmTreeNonViewNode* node2);
    // Takes source's rows, with copies of their items.
    void AssignItems(const TrmTreeNonViewNodes& source);
    // Recomputes the summary of a group row and of the group rows above it:
    // its children's values, "(" a, b ... ")", a child group as "(...)", and
    // "(...)" alone when a child that is no group has children itself.
    void UpdateText(TrmTreeNonViewNode* node);

    // ---- rows on screen
    // Row height in pixels: ItemHeight, or else the font's text height + 7
    // measured once and kept through font changes.
    int RowHeight();
    int VisibleItemCount() const;
    // The node of visible row; null for none.
    TrmTreeNonViewNode* GetVisibleItem(int row) const;
    // The caption or value cell of screen line.
    TRect GetVisibleItemRect(int line, bool valueSide);
    // Screen lines: whole rows and a part row.
    int vLines();
    // The highest top row.
    int GetVScrollSize() const { return GetMaxScrollPos().Y; }
    int GetVScrollPos() const { return GetScrollPos().Y; }
    void SetVScrollPos(int value);
    void UpdateVScrollBar();
    // Scrolls the selected row into view (with none, selects the first).
    void ScrollToVisible();

    // ---- the editor
    TWinControl* GetEditor() const { return editor_.Get(); }
    // The open editor's keys, installed as its OnKeyDown: Up and Down move
    // the selection, Escape puts the stored value back, Enter ends the edit
    // (the stored value shows again), Tab ends it and goes back to the
    // grid; then the editor's own handler and OnItemKeyDown.
    void EditorKeyDown(TObject* sender, TKey& key, TShiftState shift);
    // The open editor changed: the item takes the value, OnItemChange runs.
    // Until the edit ends the text stays as the designer types it.
    void EditorChange(TObject* sender);
    // The open editor lost the keyboard (to another control or another
    // window): the edit ends and the stored value shows again.
    void EditorKillFocus(TObject* sender);
    // The ellipsis of a long-text row: OnComplexEdit.
    void DoComplexEdit(TObject* sender);

    void Invalidate() override;
    void Loaded() override;
    void PublishProperties(thorn::PropertyList& list) override;

    TrmItemIndexChangingEvent OnItemIndexChanging;
    TNotifyEvent OnItemIndexChanged;
    TNotifyEvent OnComplexEdit;
    TNotifyEvent OnEditorCreated;
    TKeyEvent OnItemKeyDown;
    TNotifyEvent OnItemChange;
    // An edit has ended (Enter, Tab, the keyboard leaving the editor for
    // another control or window) and the editor shows the row's value again.
    TNotifyEvent OnEditEnded;
    // Kept for the forms that set them; the grid does not run them.
    TKeyEvent OnEditorKeyDown;
    TKeyEvent OnEditorKeyUp;
    TKeyPressEvent OnEditorKeyPress;
    TNotifyEvent OnEditorEnter;
    TNotifyEvent OnEditorExit;

protected:
    virtual void DoNodeDelete(TObject* sender, TrmTreeNonViewNode* node);
    void DoNodeTextChanged(TObject* sender, TrmTreeNonViewNode* node);

    void Paint() override;
    void ScrollPosChanged(TPoint old) override;
    bool WMMouseWheel(TShiftState shift, int wheelDelta, TPoint screenPos) override;
    uint32_t WMGetDlgCode() override;
    void WMNCCalcSize(TRect& rect) const override;
    void WMNCPaint(TCanvas& canvas) override;
    bool WMEraseBkgnd(TCanvas& canvas) override { return false; }
    void WMSize() override;
    void CMFontChanged() override;
    void CMMouseLeave() override;
    void CMCancelMode() override;
    void DoExit() override;
    void KeyDown(TKey& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    friend class TrmCustomInspectorItem;

    TrmCustomInspectorItem* ItemOf(const TrmTreeNonViewNode* node) const;
    // The nodes of count visible rows from row first on.
    std::vector<TrmTreeNonViewNode*> VisibleRows(int first, int count) const;
    bool Owns(const TrmTreeNonViewNode* node) const;
    bool IsLoading() const { return GetComponentState().Contains(csLoading); }
    bool IsDestroying() const { return GetComponentState().Contains(csDestroying); }

    // The editor life cycle.
    void OpenEditor(TrmTreeNonViewNode* node, TrmCustomInspectorItem* item, int row);
    // Hides the editor and frees it once the event under way has returned;
    // its own handlers are back in place.
    void CloseEditor();
    // Runs fn with the editor's change reports held back: what the program
    // shows in it is no edit.
    template <typename Fn>
    void Pushing(Fn&& fn);
    void PlaceEditor();
    void SyncEditor();
    // The end of an edit in the open editor. What the designer typed was
    // taken key by key, and the row (or the window behind it) may have kept
    // another value than the text says: the stored value shows again. An
    // editor nothing was typed into hands its value to the row.
    void FinishEdit(TrmCustomInspectorItem& item, TWinControl& editor);
    // Keeps the selection on the row of the open editor after rows moved.
    void FollowSelectedRow();
    void Deselect();
    // Every item the tree holds belongs to the grid and knows its node.
    void AdoptItems();
    // An item of the grid is going: its row keeps no reference to it.
    void ItemDestroyed(TrmCustomInspectorItem* item);
    void RefreshSummaries();
    std::string NewItemName(const thorn::ClassInfo& itemClass);
    void RowsChanged();

    // Painting and input helpers.
    int Indent(const TrmTreeNonViewNode* node) const;
    void PaintRow(TCanvas& canvas, int line, TrmTreeNonViewNode* node, bool selected);
    void PaintMark(TCanvas& canvas, int x, int top, bool expanded);
    void PaintIndicator(TCanvas& canvas, int top);
    void AfterMove();
    void ShowHintAt(int x, int y);
    void SetNewHint(TrmTreeNonViewNode* node, const TRect& rect, bool valueSide);
    void CloseHint();
    // Stops the tree's calls into the grid before the grid goes.
    void LetGoOfTheTree();

    TColor selectedItemBgColor_ = clWindow;
    int requestedItemHeight_ = -1;
    int rowHeight_ = -1;
    bool splitResize_ = false;
    std::unique_ptr<TrmTreeNonView> tree_;
    // The "New Item<n>" paths given out under each parent path.
    thorn::NumberedNames newPaths_;
    bool editorFocus_ = false;
    thorn::ComponentRef<TWinControl> editor_;
    bool showFocusRect_ = true;
    bool showVScrollBars_ = true;
    TBorderStyle borderStyle_ = bsNone;
    bool ctl3D_ = true;
    int itemIndex_ = -1;
    TrmTreeNonViewNode* currentNode_ = nullptr;
    // The node of the selected row, with or without an editor.
    const TrmTreeNonViewNode* selectedNode_ = nullptr;
    int splitPos_ = 100;
    bool splitDrag_ = false;
    bool toolTip_ = true;
    TKeyEvent savedEditorKeyDown_;
    TNotifyEvent savedEditorChange_;
    bool readonly_ = false;

    bool summariesStale_ = false;
    int pushing_ = 0;
    // The designer changed the open editor since it last showed the value.
    bool typing_ = false;
    bool syncing_ = false;
    int loadedItemIndex_ = -1;
};
