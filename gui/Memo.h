#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/Edit.h"
#include "platform/StringList.h"

class TCustomMemo;

namespace thorn {

// A memo's text seen as lines (broken at CR LF, a lone CR or a lone LF; a
// break at the very end starts no line of its own). Changes go straight
// into the memo's text, which then holds the lines joined by CR LF; inside
// BeginUpdate/EndUpdate they are gathered and written once at the end.
//
// The lines are read through the memo's line index. While the text is what
// joining its lines gives (every break a CR LF, none at the end), a change
// replaces only the part of the text its lines take, so adding a line costs
// the line, not the text; any other text is split and joined whole.
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
    // Whether the text is its lines joined by CR LF.
    bool Joined() const;
    // Where line index starts and ends in a joined text.
    int Start(int index) const;
    int End(int index) const;
    // Replaces count characters of a joined text at pos with text, which
    // holds line and the breaks around it.
    void Replace(int pos, int count, const std::string& text, const std::string& line);

    TCustomMemo& memo_;
    std::vector<std::string> held_;
    bool holding_ = false;
    // The text's revision Joined last looked at, and its answer.
    mutable uint64_t joinedRevision_ = UINT64_MAX;
    mutable bool joined_ = false;
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
    friend class thorn::MemoLines;

    thorn::MemoLines lines_;
    bool wantTabs_ = false;
};

class TMemo : public TCustomMemo {};
