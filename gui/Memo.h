#pragma once

#include <string>
#include <vector>

#include "gui/Edit.h"
#include "platform/StringList.h"

class TCustomMemo;

namespace thorn {

// A memo's text seen as lines (broken at CR LF, a lone CR or a lone LF; a
// break at the very end starts no line of its own). Changes go straight
// into the memo's text; inside BeginUpdate/EndUpdate they are gathered and
// written once at the end.
class MemoLines : public TStrings {
public:
    explicit MemoLines(TCustomMemo& memo) : memo_(memo) {}

    int GetCount() const override;
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;

protected:
    void SetUpdateState(bool updating) override;

private:
    std::vector<std::string> Split() const;
    void Store(const std::vector<std::string>& lines);
    // Changes the lines, held or read from the text and written back.
    template <typename Change>
    void Edit(Change change);

    TCustomMemo& memo_;
    std::vector<std::string> held_;
    bool holding_ = false;
};

}  // namespace thorn

// The multi-line edit: lines with CR LF, Enter typing a line break, word
// wrap (on by default), scroll bars as ScrollBars says, MaxLength limiting
// what the user types, and the selection, clipboard and undo of the edit.
class TCustomMemo : public TCustomEdit {
public:
    TCustomMemo();
    ~TCustomMemo() override;

    TStrings* GetLines() { return &lines_; }
    void SetLines(const TStrings& lines) { lines_.Assign(lines); }
    using TCustomEdit::GetWantReturns;
    using TCustomEdit::GetWordWrap;
    using TCustomEdit::SetWantReturns;
    using TCustomEdit::SetWordWrap;
    // Tab types a tab instead of moving to the next control.
    bool GetWantTabs() const { return wantTabs_; }
    void SetWantTabs(bool value) { wantTabs_ = value; }

protected:
    uint32_t WMGetDlgCode() override;

private:
    thorn::MemoLines lines_;
    bool wantTabs_ = false;
};

class TMemo : public TCustomMemo {};
