#include "gui/TreeLabelEdit.h"

#include "gui/TreeView.h"

namespace thorn {

TreeLabelEdit::TreeLabelEdit(TCustomTreeView& view) : view_(view) {
    SetBorderStyle(bsNone);
    SetAutoSelect(false);
    SetTabStop(false);
}

void TreeLabelEdit::KeyDown(TKey& key, TShiftState shift) {
    if (key == VK_RETURN || key == VK_ESCAPE) {
        const bool cancel = key == VK_ESCAPE;
        key = 0;
        view_.FinishEdit(cancel);
        return;
    }
    TCustomEdit::KeyDown(key, shift);
}

void TreeLabelEdit::KeyPress(char& key) {
    // The characters of Enter and Escape already ended the edit.
    if (key == '\r' || key == '\x1b') {
        key = 0;
        return;
    }
    TCustomEdit::KeyPress(key);
}

void TreeLabelEdit::DoExit() {
    TCustomEdit::DoExit();
    if (view_.GetEditControl() == this) view_.FinishEdit(false);
}

}  // namespace thorn
