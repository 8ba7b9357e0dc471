#pragma once

#include <cstdint>

#include "gui/Edit.h"

// The library's single-line edit, base of its edit-like controls (the grid's
// string editor, the button edit, the spin edits): an edit that can keep
// the Tab key from its dialog.
class TrmCustomEdit : public TCustomEdit {
public:
    // When set, Tab reaches the edit instead of moving the focus on.
    bool GetWantTabs() const { return wantTabs_; }
    void SetWantTabs(bool value) { wantTabs_ = value; }

protected:
    uint32_t WMGetDlgCode() override;

private:
    bool wantTabs_ = false;
};
