#include "gui/TreeStrings.h"

#include "gui/TreeNodes.h"

namespace {

// The level a line's leading tabs or blanks give, and the text after them.
std::string Unindent(const std::string& line, int& level) {
    const size_t indent = line.find_first_not_of("\t ");
    const size_t at = indent == std::string::npos ? line.size() : indent;
    level = static_cast<int>(at);
    return line.substr(at);
}

[[noreturn]] void InvalidLevel() { throw ETreeViewError("Invalid item level assignment"); }

}  // namespace

int TTreeStrings::GetCount() const { return owner_.GetCount(); }

std::string TTreeStrings::Get(int index) const {
    const TTreeNode* node = owner_.GetItem(index);
    return std::string(static_cast<size_t>(node->GetLevel()), '\t') + node->GetText();
}

TObject* TTreeStrings::GetObject(int index) const { return static_cast<TObject*>(owner_.GetItem(index)->GetData()); }

void TTreeStrings::PutObject(int index, TObject* object) { owner_.GetItem(index)->SetData(object); }

int TTreeStrings::Add(const std::string& s) {
    const int result = GetCount();
    if (s.size() == 1 && s[0] == '\x1a') return result;
    int level = 0;
    const std::string text = Unindent(s, level);
    TTreeNode* node = result > 0 ? owner_.GetItem(result - 1) : nullptr;
    const int oldLevel = node ? node->GetLevel() : 0;
    if (!node || level > oldLevel) {
        if (level - oldLevel > 1) InvalidLevel();
    } else {
        // Up from the line before to the parent the new line goes under.
        for (int i = oldLevel; i >= level; --i) {
            node = node->GetParent();
            if (!node && i - level > 0) InvalidLevel();
        }
    }
    owner_.AddChild(node, text);
    return result;
}

void TTreeStrings::Insert(int index, const std::string& s) {
    int level = 0;
    owner_.Insert(owner_.GetItem(index), Unindent(s, level));
}

void TTreeStrings::Delete(int index) { owner_.GetItem(index)->Delete(); }

void TTreeStrings::Clear() { owner_.Clear(); }

void TTreeStrings::SetUpdateState(bool updating) {
    if (updating)
        owner_.BeginUpdate();
    else
        owner_.EndUpdate();
}
