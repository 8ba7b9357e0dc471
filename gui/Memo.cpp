#include "gui/Memo.h"

#include <utility>

#include "platform/Collections.h"

namespace thorn {

std::vector<std::string> MemoLines::Split() const {
    std::vector<std::string> lines;
    const std::string& text = memo_.GetText();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

void MemoLines::Store(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += lines[i];
    }
    memo_.SetText(text);
}

template <typename Change>
void MemoLines::Edit(Change change) {
    if (holding_) {
        change(held_);
        return;
    }
    std::vector<std::string> lines = Split();
    change(lines);
    Store(lines);
}

bool MemoLines::Joined() const {
    const TextCore& core = memo_.Core();
    if (joinedRevision_ == core.GetRevision()) return joined_;
    const std::string& text = core.GetText();
    bool joined = text.empty() || (text.back() != '\r' && text.back() != '\n');
    for (size_t i = 0; joined && i < text.size(); ++i) {
        if (text[i] == '\r') joined = i + 1 < text.size() && text[i + 1] == '\n';
        else if (text[i] == '\n') joined = i > 0 && text[i - 1] == '\r';
    }
    joinedRevision_ = core.GetRevision();
    joined_ = joined;
    return joined;
}

int MemoLines::Start(int index) const { return memo_.Core().LineStart(index); }

int MemoLines::End(int index) const { return memo_.Core().LineEnd(index); }

void MemoLines::Replace(int pos, int count, const std::string& text, const std::string& line) {
    // The text stays joined unless the line brings breaks of its own or
    // the text comes to end in a break; known before the change, as its
    // OnChange may free the memo.
    const std::string& old = memo_.GetText();
    const size_t end = static_cast<size_t>(pos) + static_cast<size_t>(count);
    char last = ' ';  // an empty text is joined
    if (end < old.size())
        last = old.back();
    else if (!text.empty())
        last = text.back();
    else if (pos > 0)
        last = old[static_cast<size_t>(pos) - 1];
    joined_ = line.find_first_of("\r\n") == std::string::npos && last != '\r' && last != '\n';
    joinedRevision_ = memo_.Core().GetRevision() + 1;
    memo_.ReplaceText(pos, count, text);
}

int MemoLines::GetCount() const {
    if (holding_) return static_cast<int>(held_.size());
    const TextCore& core = memo_.Core();
    const std::string& text = core.GetText();
    if (text.empty()) return 0;
    // A break at the very end starts no line.
    return core.LineCount() - (text.back() == '\r' || text.back() == '\n' ? 1 : 0);
}

std::string MemoLines::Get(int index) const {
    if (holding_) {
        if (index < 0 || index >= static_cast<int>(held_.size())) ThrowListIndexError(index);
        return held_[static_cast<size_t>(index)];
    }
    if (index < 0 || index >= GetCount()) ThrowListIndexError(index);
    const int start = Start(index);
    return memo_.GetText().substr(static_cast<size_t>(start), static_cast<size_t>(End(index) - start));
}

void MemoLines::Put(int index, const std::string& s) {
    if (holding_ || !Joined()) {
        Edit([&](std::vector<std::string>& lines) {
            if (index < 0 || index >= static_cast<int>(lines.size())) ThrowListIndexError(index);
            lines[static_cast<size_t>(index)] = s;
        });
        return;
    }
    if (index < 0 || index >= GetCount()) ThrowListIndexError(index);
    Replace(Start(index), End(index) - Start(index), s, s);
}

void MemoLines::Insert(int index, const std::string& s) {
    if (holding_ || !Joined()) {
        Edit([&](std::vector<std::string>& lines) {
            if (index < 0 || index > static_cast<int>(lines.size())) ThrowListIndexError(index);
            lines.insert(lines.begin() + index, s);
        });
        return;
    }
    const int count = GetCount();
    if (index < 0 || index > count) ThrowListIndexError(index);
    if (index < count)
        Replace(Start(index), 0, s + "\r\n", s);
    else if (count == 0)
        Replace(0, 0, s, s);
    else
        Replace(memo_.Core().Length(), 0, "\r\n" + s, s);
}

void MemoLines::Delete(int index) {
    if (holding_ || !Joined()) {
        Edit([&](std::vector<std::string>& lines) {
            if (index < 0 || index >= static_cast<int>(lines.size())) ThrowListIndexError(index);
            lines.erase(lines.begin() + index);
        });
        return;
    }
    const int count = GetCount();
    if (index < 0 || index >= count) ThrowListIndexError(index);
    // The line goes with the break after it; the last one with the break
    // before it.
    const int length = memo_.Core().Length();
    if (count == 1)
        Replace(0, length, {}, {});
    else if (index + 1 < count)
        Replace(Start(index), Start(index + 1) - Start(index), {}, {});
    else
        Replace(End(index - 1), length - End(index - 1), {}, {});
}

void MemoLines::Clear() {
    Edit([](std::vector<std::string>& lines) { lines.clear(); });
}

void MemoLines::SetUpdateState(bool updating) {
    if (updating) {
        held_ = Split();
        holding_ = true;
        return;
    }
    holding_ = false;
    // Storing tells OnChange, which may free the memo and these lines with it.
    const std::vector<std::string> lines = std::exchange(held_, {});
    Store(lines);
}

}  // namespace thorn

TCustomMemo::TCustomMemo() : lines_(*this) {
    SetAutoSize(false);
    SetMultiLine(true);
    SetWordWrap(true);
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

uint32_t TCustomMemo::WMGetDlgCode() {
    uint32_t code = TCustomEdit::WMGetDlgCode();
    if (wantTabs_) code |= DLGC_WANTTAB;
    return code;
}
