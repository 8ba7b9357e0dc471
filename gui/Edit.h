#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gui/Forms.h"
#include "gui/ScrollingControl.h"
#include "gui/TextCore.h"
#include "gui/TextRows.h"

// The edit: text the user types, selects with the mouse and the keys, cuts,
// copies and pastes through the host's clipboard and undoes one step of,
// shown in the window colour inside a sunken edge. Text is Windows-1252
// (GetText/SetText of the control); setting it by program runs OnChange,
// clears Modified and the undo step, and ignores MaxLength.
//
// The text lies in the formatting rectangle, the client area unless a
// descendant narrows it (a button edit keeps its buttons beside it); a size
// change puts it back to the whole client area, so a descendant narrows it
// again after the inherited WMSize. A single line scrolls sideways to keep
// the caret in sight, by whole characters, and paints only the characters
// in sight, however long the text.
//
// Keys: arrows, Home and End move the caret (Shift selects, Ctrl goes by
// words), Backspace and Delete delete, Ctrl+C / Ctrl+Insert copy, Ctrl+X /
// Shift+Delete cut, Ctrl+V / Shift+Insert paste, Ctrl+Z / Alt+Backspace
// undo. The clipboard keys arrive as characters (3, 22, 24, 26) through
// KeyPress, so an OnKeyPress that drops a character drops them too. A
// refused character (Enter in a single line, typing past MaxLength or into
// a read-only edit) beeps.
//
// Multi-line (for the memo built on it): lines break at CR LF, Enter types
// one when WantReturns, Up, Down, Page Up and Page Down move by lines, and
// the content scrolls on the scrolling base with the line as vertical unit.
class TCustomEdit : public thorn::ScrollingControl {
public:
    TCustomEdit();
    ~TCustomEdit() override;
    void BeforeDestruction() override;

    // Selects all text when the edit takes the focus from the keyboard.
    bool GetAutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool value) { autoSelect_ = value; }
    // The most characters typing and pasting may leave; 0 is no limit.
    int GetMaxLength() const { return core_.GetMaxLength(); }
    void SetMaxLength(int value) { core_.SetMaxLength(value); }
    bool GetReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    // Shown in place of every character when not 0; such text cannot be
    // copied or cut.
    char GetPasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char value);
    // Hides the selection while the edit has no focus.
    bool GetHideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    // bsSingle draws the edge (sunken with Ctl3D, else a plain line); bsNone
    // none.
    TBorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    bool GetCtl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);
    // Whether the user changed the text since it was last set.
    bool GetModified() const { return core_.GetModified(); }
    void SetModified(bool value) { core_.SetModified(value); }

    // ---- selection
    int GetSelStart() const { return core_.GetSelStart(); }
    // Puts the caret there with nothing selected.
    void SetSelStart(int value);
    int GetSelLength() const { return core_.GetSelLength(); }
    // Selects that many characters from SelStart.
    void SetSelLength(int value);
    std::string GetSelText() const { return core_.GetSelText(); }
    // Replaces the selection (within MaxLength); this cannot be undone.
    void SetSelText(std::string_view value);
    void SelectAll();
    // The character position under a point of the client area.
    int CharAtPoint(TPoint p);

    // ---- editing
    void Clear() { SetText({}); }
    void ClearSelection() { WMClear(); }
    void CopyToClipboard() { WMCopy(); }
    void CutToClipboard() { WMCut(); }
    void PasteFromClipboard() { WMPaste(); }
    void Undo() { WMUndo(); }
    bool CanUndo() const { return core_.CanUndo(); }
    void ClearUndo() { core_.ClearUndo(); }

    // ---- the formatting rectangle (client coordinates)
    TRect GetFormattingRect() const;
    void SetFormattingRect(const TRect& rect);

    TRect GetViewport() const override { return GetFormattingRect(); }

    TNotifyEvent OnChange;

protected:
    const thorn::TextCore& Core() const { return core_; }
    // Replaces count characters at pos as a program's SetText of the whole
    // result would (OnChange, the caret at the start with nothing selected,
    // no undo step, not modified, scrolled to the top), laying out again
    // only the rows the change touches. Nothing happens when the text
    // stays the same.
    void ReplaceText(int pos, int count, std::string_view text);
    // The text changed, by the user or by program: OnChange.
    virtual void Change();
    // Clipboard and undo requests, from the keys and the calls above; a
    // descendant may refuse them.
    virtual void WMCut();
    virtual void WMCopy();
    virtual void WMPaste();
    virtual void WMClear();
    virtual void WMUndo();

    bool GetMultiLine() const { return core_.IsMultiLine(); }
    void SetMultiLine(bool value);
    // Enter types a line break (multi-line only).
    bool GetWantReturns() const { return wantReturns_; }
    void SetWantReturns(bool value) { wantReturns_ = value; }
    // Multi-line: lines wider than the formatting rectangle go on in rows
    // below, broken after the last blank that fits (or anywhere in a word
    // wider than the row); nothing scrolls sideways then.
    bool GetWordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);

    uint32_t WMGetDlgCode() override;
    void WMNCCalcSize(TRect& rect) const override;
    void WMNCPaint(TCanvas& canvas) override;
    void WMSize() override;
    void WMSetFocus() override;
    void WMKillFocus() override;
    void DoEnter() override;
    void CMTextChanged() override;
    void CMFontChanged() override;
    void CMEnabledChanged() override;
    bool CanAutoSize(int& newWidth, int& newHeight) override;
    void KeyDown(TKey& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Paint() override;
    void ScrollPosChanged(TPoint old) override;

private:
    int Advance(unsigned char ch) const;
    int LineHeight();
    unsigned char Shown(int pos) const;
    // Width of the characters [from, to) of one line.
    int RunWidth(int from, int to) const;
    // The rows the text shows in: its lines, or with WordWrap the pieces
    // they are broken into. Positions as the text core's.
    bool Wraps() const { return wordWrap_ && GetMultiLine(); }
    // Brings the rows of a multi-line text up to date with the text, the
    // wrap width and the font; after one edit only the rows it touches are
    // laid out again.
    const thorn::TextRows& Rows() const;
    void ForgetRows() const { rowsRevision_ = kNoRows; }
    int RowCount() const;
    int RowOf(int pos) const;
    int RowStart(int row) const;
    int RowEnd(int row) const;
    // Where the line's characters start, and its first character there
    // (single line: the first one in sight).
    int LineLeft(int line) const;
    int LineTop(int line);
    int FirstShown(int line) const;
    int XOf(int pos);
    int PosAtX(int line, int x);
    int LineAtY(int y);
    void MoveCaretTo(int pos, bool extend);
    void KeepCaretInView();
    void UpdateCaret();
    void UpdateContent();
    // After the user changed the text: the control's text follows, the
    // caret stays in sight, OnChange runs.
    void Edited();
    // After a program replaced the text, or part of it: back to the start,
    // OnChange.
    void TextReplaced();
    bool CanEdit();
    void Refuse();
    void AdjustHeight();

    thorn::TextCore core_;
    bool autoSelect_ = true;
    bool readOnly_ = false;
    char passwordChar_ = 0;
    bool hideSelection_ = true;
    TBorderStyle borderStyle_ = bsSingle;
    bool ctl3D_ = true;
    bool wantReturns_ = true;
    bool wordWrap_ = false;
    mutable thorn::TextRows rows_;
    static constexpr uint64_t kNoRows = UINT64_MAX;
    mutable uint64_t rowsRevision_ = kNoRows;  // of the text the rows were laid out for
    mutable int rowsWrapWidth_ = 0;
    TRect formattingRect_;
    bool formattingRectSet_ = false;
    int firstChar_ = 0;     // single line: the first character in sight
    int desiredX_ = -1;     // multi-line: the column Up and Down keep to
    bool selecting_ = false;
    bool focusingByMouse_ = false;
    bool pushingText_ = false;
    mutable std::array<int16_t, 256> advances_{};
    int lineHeight_ = 0;
};

class TEdit : public TCustomEdit {
public:
    TEdit();
};
