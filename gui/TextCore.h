#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The editing model behind every edit-like control (edit, memo, the combo
// box's edit part, the spin and button edits): Windows-1252 text, a caret
// with a selection, editing that respects a length limit, and one level of
// undo. It knows nothing of fonts or windows; TCustomEdit lays it out and
// paints it.
//
// Positions are byte offsets, 0 to Length(). The selection runs between the
// anchor (where it began) and the caret (the end that moves). A multi-line
// text breaks its lines at CR LF, at a lone CR and at a lone LF; a break is
// stepped over, deleted and selected as one character, and the caret never
// stands inside a CR LF. A single-line text is one line whatever it holds.
namespace thorn {

// One change of a text: at pos, removed characters gave way to inserted ones.
struct TextChange {
    int pos = 0;
    int removed = 0;
    int inserted = 0;
};

class TextCore {
public:
    explicit TextCore(bool multiLine = false);

    // ---- the text
    const std::string& GetText() const { return text_; }
    int Length() const { return static_cast<int>(text_.size()); }
    // Replaces the whole text as a program does: the length limit does not
    // apply, the caret goes to the start, the undo step and the modified
    // flag are cleared.
    void SetText(std::string_view text) { ReplaceText(0, Length(), text); }
    // Replaces count characters at pos as SetText replaces them all: one
    // change, after which the caret is at the start, with no undo step and
    // no modified flag; the line index follows the change alone.
    void ReplaceText(int pos, int count, std::string_view text);
    bool IsMultiLine() const { return multiLine_; }
    void SetMultiLine(bool value);
    // The most characters editing may leave in the text; 0 is no limit.
    int GetMaxLength() const { return maxLength_; }
    void SetMaxLength(int value) { maxLength_ = value < 0 ? 0 : value; }
    // Whether the user changed the text since SetText (or SetModified).
    bool GetModified() const { return modified_; }
    void SetModified(bool value) { modified_ = value; }
    // Changes with every change of the text.
    uint64_t GetRevision() const { return revision_; }
    // What the last change did: the text of revision GetRevision() - 1 with
    // this change applied is the text of GetRevision(). SetText is one
    // change of the whole text.
    const TextChange& GetLastChange() const { return lastChange_; }

    // ---- selection
    int GetCaret() const { return caret_; }
    int GetAnchor() const { return anchor_; }
    int GetSelStart() const { return std::min(anchor_, caret_); }
    int GetSelLength() const { return std::abs(caret_ - anchor_); }
    std::string GetSelText() const { return text_.substr(GetSelStart(), GetSelLength()); }
    // Both ends are kept inside the text and out of line breaks.
    void Select(int anchor, int caret);
    // Moves the caret; extend keeps the anchor (a Shift+arrow), otherwise
    // the selection collapses onto the caret.
    void MoveCaret(int pos, bool extend);
    void SelectAll() { Select(0, Length()); }

    // ---- editing; each answers whether the text changed
    enum class EditKind { Typing, Other };
    // Replaces the selection with text, cut to the room the length limit
    // leaves (never inside a CR LF); the caret ends after it. Consecutive
    // typing, with its Backspaces and Deletes, is undone as one step.
    bool ReplaceSelection(std::string_view text, EditKind kind = EditKind::Other);
    // Whether the last ReplaceSelection had to cut or refuse its text.
    bool WasCut() const { return cut_; }
    // Backspace and Delete: the selection when there is one, else the
    // character (or line break) before or after the caret.
    bool DeleteBackward();
    bool DeleteForward();

    // ---- undo: one step; undoing again redoes it
    bool CanUndo() const { return undo_.has_value(); }
    bool Undo();
    void ClearUndo();

    // ---- stepping through the text
    // The next and previous caret stops (a line break is one step).
    int NextPos(int pos) const;
    int PrevPos(int pos) const;
    // Where Ctrl+Left and Ctrl+Right go: the start of the word at or before
    // pos, and the start of the next word.
    int WordLeft(int pos) const;
    int WordRight(int pos) const;
    // The run of word characters, blanks or other characters at pos (the
    // one before pos at the end of a line): what a double click selects.
    std::pair<int, int> WordAt(int pos) const;

    // ---- lines (one line when single-line)
    int LineCount() const;
    int LineOf(int pos) const;
    int LineStart(int line) const;
    // The end of the line's text, before its break.
    int LineEnd(int line) const;

private:
    struct UndoStep {
        int pos = 0;
        std::string removed;   // what the step took out
        std::string inserted;  // what it put in its place
    };

    // Replaces [pos, pos + count) with text; the caret ends after it.
    void Splice(int pos, int count, std::string_view text);
    // Whether the caret stands at the end of an open typing step.
    bool ContinuesTyping() const;
    void DeleteRange(int from, int to);
    int BreakLengthAt(int pos) const;
    bool InsideCrLf(int pos) const;
    int Clamp(int pos) const;
    void IndexLines() const;
    // Keeps a built line index in step with a splice.
    void ReindexLines(const TextChange& change);
    // Whether a line starts at pos (after a line break).
    bool StartsLine(int pos) const;

    std::string text_;
    bool multiLine_;
    int maxLength_ = 0;
    bool modified_ = false;
    uint64_t revision_ = 0;
    TextChange lastChange_;
    int anchor_ = 0;
    int caret_ = 0;
    bool cut_ = false;
    std::optional<UndoStep> undo_;
    bool typing_ = false;  // the undo step is open for more typing
    mutable std::vector<int> lineStarts_;
    mutable bool linesValid_ = false;
};

}  // namespace thorn
