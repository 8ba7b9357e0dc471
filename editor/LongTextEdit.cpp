#include "editor/LongTextEdit.h"

#include "editor/Dlg_comp.h"
#include "editor/Main.h"

namespace thorn {

std::optional<std::string> EditLongText(std::string_view caption, int limit, std::string_view text) {
    if (!DlgComplex) return std::nullopt;
    TDlgComplex& dialog = *DlgComplex.Get();
    dialog.SetCaption(std::string(caption));
    TMemo& memo = *dialog.Memo;
    memo.GetLines()->Clear();
    memo.SetWantReturns(true);
    memo.SetMaxLength(limit);
    memo.SetText(std::string(text));
    ComponentRef<TMemo> alive(&memo);
    if (dialog.ShowModal() != mrOk || !alive) return std::nullopt;
    return memo.GetText();
}

}  // namespace thorn
