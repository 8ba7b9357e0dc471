#include "gui/TextCore.h"

#include <algorithm>
#include <cstdlib>

namespace thorn {
namespace {

enum class CharClass { Blank, Word, Other };

CharClass ClassOf(unsigned char c) {
    if (c <= ' ' || c == 0xA0) return CharClass::Blank;
    bool letter = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
                  c == 0x83 || c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E ||
                  c == 0x9F || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
    return letter ? CharClass::Word : CharClass::Other;
}

}  // namespace

TextCore::TextCore(bool multiLine) : multiLine_(multiLine) {}

// ---- the text

void TextCore::ReplaceText(int pos, int count, std::string_view text) {
    const bool whole = pos == 0 && count == Length();
    lastChange_ = {pos, count, static_cast<int>(text.size())};
    text_.replace(static_cast<size_t>(pos), static_cast<size_t>(count), text);
    anchor_ = caret_ = 0;
    modified_ = false;
    ClearUndo();
    ++revision_;
    // A whole new text is indexed when its lines are first asked for.
    if (whole)
        linesValid_ = false;
    else if (linesValid_)
        ReindexLines(lastChange_);
}

void TextCore::SetMultiLine(bool value) {
    multiLine_ = value;
    linesValid_ = false;
    Select(anchor_, caret_);
}

// ---- selection

bool TextCore::InsideCrLf(int pos) const {
    return multiLine_ && pos > 0 && pos < Length() && text_[pos - 1] == '\r' && text_[pos] == '\n';
}

int TextCore::Clamp(int pos) const {
    pos = std::clamp(pos, 0, Length());
    return InsideCrLf(pos) ? pos - 1 : pos;
}

void TextCore::Select(int anchor, int caret) {
    anchor_ = Clamp(anchor);
    caret_ = Clamp(caret);
    typing_ = false;
}

void TextCore::MoveCaret(int pos, bool extend) { Select(extend ? anchor_ : pos, pos); }

// ---- editing

void TextCore::Splice(int pos, int count, std::string_view text) {
    text_.replace(static_cast<size_t>(pos), static_cast<size_t>(count), text);
    anchor_ = caret_ = pos + static_cast<int>(text.size());
    modified_ = true;
    ++revision_;
    lastChange_ = {pos, count, static_cast<int>(text.size())};
    if (linesValid_) ReindexLines(lastChange_);
}

bool TextCore::ContinuesTyping() const {
    return typing_ && undo_ && anchor_ == caret_ &&
           caret_ == undo_->pos + static_cast<int>(undo_->inserted.size());
}

bool TextCore::ReplaceSelection(std::string_view text, EditKind kind) {
    int start = GetSelStart(), length = GetSelLength();
    cut_ = false;
    if (maxLength_ > 0) {
        int room = std::max(0, maxLength_ - (Length() - length));
        if (static_cast<int>(text.size()) > room) {
            cut_ = true;
            size_t keep = static_cast<size_t>(room);
            if (keep > 0 && text[keep - 1] == '\r' && keep < text.size() && text[keep] == '\n') --keep;
            text = text.substr(0, keep);
        }
    }
    if (text.empty() && length == 0) return false;
    if (kind == EditKind::Typing && length == 0 && ContinuesTyping()) {
        undo_->inserted.append(text);
    } else {
        undo_ = UndoStep{start, text_.substr(static_cast<size_t>(start), static_cast<size_t>(length)), std::string(text)};
    }
    typing_ = kind == EditKind::Typing;
    Splice(start, length, text);
    return true;
}

void TextCore::DeleteRange(int from, int to) {
    std::string gone = text_.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
    if (ContinuesTyping()) {
        // Backspace and Delete at the end of typing belong to the same step.
        UndoStep& step = *undo_;
        int insertedEnd = step.pos + static_cast<int>(step.inserted.size());
        if (from >= insertedEnd) {
            step.removed.append(gone);
        } else if (from >= step.pos) {
            step.inserted.erase(static_cast<size_t>(from - step.pos));
        } else {
            step.removed.insert(0, text_.substr(static_cast<size_t>(from), static_cast<size_t>(step.pos - from)));
            step.inserted.clear();
            step.pos = from;
        }
    } else {
        undo_ = UndoStep{from, gone, {}};
    }
    typing_ = true;
    Splice(from, to - from, {});
}

bool TextCore::DeleteBackward() {
    if (anchor_ != caret_) return ReplaceSelection({}, EditKind::Typing);
    if (caret_ == 0) return false;
    DeleteRange(PrevPos(caret_), caret_);
    return true;
}

bool TextCore::DeleteForward() {
    if (anchor_ != caret_) return ReplaceSelection({}, EditKind::Typing);
    if (caret_ == Length()) return false;
    DeleteRange(caret_, NextPos(caret_));
    return true;
}

// ---- undo

bool TextCore::Undo() {
    if (!undo_) return false;
    UndoStep step = std::move(*undo_);
    Splice(step.pos, static_cast<int>(step.inserted.size()), step.removed);
    // What came back is selected; the step now puts back what it took.
    anchor_ = step.pos;
    undo_ = UndoStep{step.pos, std::move(step.inserted), std::move(step.removed)};
    typing_ = false;
    return true;
}

void TextCore::ClearUndo() {
    undo_.reset();
    typing_ = false;
}

// ---- stepping

int TextCore::BreakLengthAt(int pos) const {
    if (!multiLine_ || pos >= Length()) return 0;
    if (text_[pos] == '\r') return pos + 1 < Length() && text_[pos + 1] == '\n' ? 2 : 1;
    return text_[pos] == '\n' ? 1 : 0;
}

int TextCore::NextPos(int pos) const {
    if (pos >= Length()) return Length();
    return pos + std::max(1, BreakLengthAt(pos));
}

int TextCore::PrevPos(int pos) const {
    if (pos <= 0) return 0;
    return InsideCrLf(pos - 1) ? pos - 2 : pos - 1;
}

int TextCore::WordLeft(int pos) const {
    auto cls = [&](int i) { return ClassOf(static_cast<unsigned char>(text_[i])); };
    pos = std::clamp(pos, 0, Length());
    while (pos > 0 && cls(pos - 1) == CharClass::Blank) --pos;
    if (pos == 0) return 0;
    CharClass run = cls(pos - 1);
    while (pos > 0 && cls(pos - 1) == run) --pos;
    return Clamp(pos);
}

int TextCore::WordRight(int pos) const {
    auto cls = [&](int i) { return ClassOf(static_cast<unsigned char>(text_[i])); };
    pos = std::clamp(pos, 0, Length());
    if (pos < Length() && cls(pos) != CharClass::Blank) {
        CharClass run = cls(pos);
        while (pos < Length() && cls(pos) == run) ++pos;
    }
    while (pos < Length() && cls(pos) == CharClass::Blank && !BreakLengthAt(pos)) ++pos;
    return Clamp(pos);
}

std::pair<int, int> TextCore::WordAt(int pos) const {
    pos = std::clamp(pos, 0, Length());
    int line = LineOf(pos);
    int lineStart = LineStart(line), lineEnd = LineEnd(line);
    if (lineStart == lineEnd) return {pos, pos};
    if (pos >= lineEnd) pos = lineEnd - 1;
    auto cls = [&](int i) { return ClassOf(static_cast<unsigned char>(text_[i])); };
    CharClass run = cls(pos);
    int from = pos, to = pos;
    while (from > lineStart && cls(from - 1) == run) --from;
    while (to < lineEnd && cls(to) == run) ++to;
    return {from, to};
}

// ---- lines

void TextCore::IndexLines() const {
    if (linesValid_) return;
    lineStarts_.assign(1, 0);
    if (multiLine_) {
        for (int pos = 0; pos < Length();) {
            int br = BreakLengthAt(pos);
            pos += br ? br : 1;
            if (br) lineStarts_.push_back(pos);
        }
    }
    linesValid_ = true;
}

bool TextCore::StartsLine(int pos) const {
    if (pos <= 0 || pos > Length()) return false;
    char before = text_[static_cast<size_t>(pos) - 1];
    if (before == '\n') return true;
    return before == '\r' && (pos == Length() || text_[static_cast<size_t>(pos)] != '\n');
}

void TextCore::ReindexLines(const TextChange& change) {
    if (!multiLine_) return;
    // Whether a line starts at a position depends on the two characters
    // around it, so the starts before the change and those past its first
    // character after it stand; only the ones between are looked at again.
    const int delta = change.inserted - change.removed;
    auto first = std::lower_bound(lineStarts_.begin() + 1, lineStarts_.end(), change.pos);
    auto last = std::lower_bound(first, lineStarts_.end(), change.pos + change.removed + 1);
    for (auto it = last; it != lineStarts_.end(); ++it) *it += delta;
    std::vector<int> found;
    for (int pos = std::max(1, change.pos); pos <= change.pos + change.inserted; ++pos)
        if (StartsLine(pos)) found.push_back(pos);
    auto at = lineStarts_.erase(first, last);
    lineStarts_.insert(at, found.begin(), found.end());
}

int TextCore::LineCount() const {
    IndexLines();
    return static_cast<int>(lineStarts_.size());
}

int TextCore::LineOf(int pos) const {
    IndexLines();
    auto it = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), pos);
    return static_cast<int>(it - lineStarts_.begin()) - 1;
}

int TextCore::LineStart(int line) const {
    IndexLines();
    line = std::clamp(line, 0, static_cast<int>(lineStarts_.size()) - 1);
    return lineStarts_[static_cast<size_t>(line)];
}

int TextCore::LineEnd(int line) const {
    IndexLines();
    line = std::clamp(line, 0, static_cast<int>(lineStarts_.size()) - 1);
    if (line + 1 == static_cast<int>(lineStarts_.size())) return Length();
    int next = lineStarts_[static_cast<size_t>(line) + 1];
    int end = next - 1;
    if (end > 0 && text_[end] == '\n' && text_[end - 1] == '\r') --end;
    return end;
}

}  // namespace thorn
