#include "inspector/Rmbaseedit.h"

uint32_t TrmCustomEdit::WMGetDlgCode() {
    uint32_t code = TCustomEdit::WMGetDlgCode();
    if (wantTabs_) code |= DLGC_WANTTAB;
    return code;
}
