#pragma once

#include <functional>
#include <vector>

#include "gui/TextCore.h"

namespace thorn {

// The rows a multi-line text shows in, with the width of each: its lines, or
// with a wrap width the pieces they are broken into, each broken after the
// last blank that fits (or anywhere in a word wider than the row), blanks at
// the break hanging at the end of the row.
//
// A row depends only on the text from its start to the end of its line, so
// after an edit the rows are laid out again from the row the edit begins in
// until they meet the old rows past the edit: a keystroke costs the rows it
// touches, not the whole text.
class TextRows {
public:
    struct Row {
        int start = 0;
        int end = 0;    // the end of its characters, hanging blanks included
        int width = 0;  // of its characters up to the break, in pixels
    };
    // The advance of the character shown at a position of the text.
    using AdvanceAt = std::function<int(int pos)>;

    // Lays the whole text out; wrapWidth 0 keeps every line one row.
    void Build(const TextCore& core, int wrapWidth, const AdvanceAt& advance);
    // Follows the one change that made the core's text from the text the
    // rows were laid out for, with the same wrap width and advances.
    void Update(const TextCore& core, const TextChange& change, const AdvanceAt& advance);

    int Count() const { return static_cast<int>(rows_.size()); }
    // The row, kept inside the rows.
    const Row& At(int row) const;
    // The row holding pos (the later one where a row ends and the next starts).
    int RowOf(int pos) const;
    // The widest row's width.
    int Widest() const { return widest_; }

private:
    // Lays out rows from `from` in line `line` on, handing each to take,
    // which answers false to stop.
    void LayOut(const TextCore& core, int line, int from, const AdvanceAt& advance,
                const std::function<bool(const Row&)>& take) const;
    // Keeps widest_ and widestCount_ as rows come and go.
    void Tally(const Row& row);
    void Untally(const Row& row);
    void TallyAll();

    std::vector<Row> rows_;
    int wrapWidth_ = 0;
    int widest_ = 0;
    int widestCount_ = 0;  // rows as wide as widest_
};

}  // namespace thorn
