#pragma once

#include "gui/Edit.h"

class TCustomTreeView;

namespace thorn {

// The edit box a tree view lays over a node's label while the user renames
// it: Enter keeps the typed text, Escape drops it, and so does nothing but
// leaving the box, which keeps it. The view owns the box and frees it once
// the edit has ended.
class TreeLabelEdit : public TCustomEdit {
public:
    explicit TreeLabelEdit(TCustomTreeView& view);

protected:
    uint32_t WMGetDlgCode() override { return TCustomEdit::WMGetDlgCode() | DLGC_WANTALLKEYS; }
    void KeyDown(TKey& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void DoExit() override;

private:
    TCustomTreeView& view_;
};

}  // namespace thorn
