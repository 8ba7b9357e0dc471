#include "gui/TextRows.h"

#include <algorithm>

namespace thorn {

void TextRows::LayOut(const TextCore& core, int line, int from, const AdvanceAt& advance,
                      const std::function<bool(const Row&)>& take) const {
    const std::string& text = core.GetText();
    auto blank = [&text](int i) { return text[static_cast<size_t>(i)] == ' '; };
    // from lies in the first line, so the later ones start at their start.
    for (int lines = core.LineCount(); line < lines; ++line) {
        int pos = std::max(from, core.LineStart(line));
        const int end = core.LineEnd(line);
        do {
            int x = 0, i = pos, lastBreak = -1, widthAtBreak = 0;
            for (; i < end; ++i) {
                int w = advance(i);
                if (wrapWidth_ > 0 && x + w > wrapWidth_ && i > pos) break;
                x += w;
                if (blank(i)) {
                    lastBreak = i + 1;
                    widthAtBreak = x;
                }
            }
            if (i >= end) {
                if (!take({pos, end, x})) return;
                break;
            }
            int rowEnd = i, width = x;
            if (lastBreak > pos) {
                rowEnd = lastBreak;
                width = widthAtBreak;
            }
            while (rowEnd < end && blank(rowEnd)) ++rowEnd;
            if (!take({pos, rowEnd, width})) return;
            pos = rowEnd;
        } while (pos < end);
    }
}

void TextRows::Build(const TextCore& core, int wrapWidth, const AdvanceAt& advance) {
    wrapWidth_ = std::max(0, wrapWidth);
    rows_.clear();
    LayOut(core, 0, 0, advance, [this](const Row& row) {
        rows_.push_back(row);
        return true;
    });
    TallyAll();
}

void TextRows::Update(const TextCore& core, const TextChange& change, const AdvanceAt& advance) {
    // A row is laid out from its characters and those up to the end of the
    // row after it (a word that did not fit is measured into the next row),
    // so the rows before the last one ending before the change stand. The
    // rest are laid out again from there.
    auto firstTouched = std::lower_bound(rows_.begin(), rows_.end(), change.pos,
                                         [](const Row& row, int pos) { return row.end < pos; });
    if (firstTouched != rows_.begin()) --firstTouched;
    int line = 0, from = 0;
    if (firstTouched != rows_.begin()) {
        const Row& before = *(firstTouched - 1);
        line = core.LineOf(before.start);
        if (before.end == core.LineEnd(line))
            ++line;
        else
            from = before.end;
    }
    // Past the change, a row that starts where an old row started is laid
    // out as that one was, and so are all after it: the old rows from there
    // on only move.
    const int delta = change.inserted - change.removed;
    const int settled = change.pos + change.removed;
    auto old = std::lower_bound(firstTouched, rows_.end(), settled,
                                [](const Row& row, int pos) { return row.start < pos; });
    std::vector<Row> fresh;
    bool met = false;
    LayOut(core, line, from, advance, [&](const Row& row) {
        while (old != rows_.end() && old->start + delta < row.start) ++old;
        met = old != rows_.end() && old->start + delta == row.start;
        if (!met) fresh.push_back(row);
        return !met;
    });
    // Without a meeting the new rows run to the end of the text, and none
    // of the old ones is left.
    if (!met) old = rows_.end();
    for (auto it = old; it != rows_.end(); ++it) {
        it->start += delta;
        it->end += delta;
    }
    for (auto it = firstTouched; it != old; ++it) Untally(*it);
    for (const Row& row : fresh) Tally(row);
    auto at = rows_.erase(firstTouched, old);
    rows_.insert(at, fresh.begin(), fresh.end());
    if (widestCount_ == 0) TallyAll();
}

const TextRows::Row& TextRows::At(int row) const {
    return rows_[static_cast<size_t>(std::clamp(row, 0, Count() - 1))];
}

int TextRows::RowOf(int pos) const {
    auto it = std::upper_bound(rows_.begin(), rows_.end(), pos, [](int p, const Row& row) { return p < row.start; });
    return std::max(0, static_cast<int>(it - rows_.begin()) - 1);
}

void TextRows::Tally(const Row& row) {
    if (row.width > widest_) {
        widest_ = row.width;
        widestCount_ = 1;
    } else if (row.width == widest_) {
        ++widestCount_;
    }
}

void TextRows::Untally(const Row& row) {
    if (row.width == widest_) --widestCount_;
}

void TextRows::TallyAll() {
    widest_ = 0;
    widestCount_ = 0;
    for (const Row& row : rows_) Tally(row);
}

}  // namespace thorn
