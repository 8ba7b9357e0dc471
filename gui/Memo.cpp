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

int MemoLines::GetCount() const { return holding_ ? static_cast<int>(held_.size()) : static_cast<int>(Split().size()); }

std::string MemoLines::Get(int index) const {
    std::vector<std::string> split;
    const std::vector<std::string>& lines = holding_ ? held_ : (split = Split());
    if (index < 0 || index >= static_cast<int>(lines.size())) ThrowListIndexError(index);
    return lines[static_cast<size_t>(index)];
}

void MemoLines::Put(int index, const std::string& s) {
    Edit([&](std::vector<std::string>& lines) {
        if (index < 0 || index >= static_cast<int>(lines.size())) ThrowListIndexError(index);
        lines[static_cast<size_t>(index)] = s;
    });
}

void MemoLines::Insert(int index, const std::string& s) {
    Edit([&](std::vector<std::string>& lines) {
        if (index < 0 || index > static_cast<int>(lines.size())) ThrowListIndexError(index);
        lines.insert(lines.begin() + index, s);
    });
}

void MemoLines::Delete(int index) {
    Edit([&](std::vector<std::string>& lines) {
        if (index < 0 || index >= static_cast<int>(lines.size())) ThrowListIndexError(index);
        lines.erase(lines.begin() + index);
    });
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
