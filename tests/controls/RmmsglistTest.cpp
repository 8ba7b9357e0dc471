#include <gtest/gtest.h>

#include "controls/Rmmsglist.h"

namespace {

TEST(Rmmsglist, NamesOfMessageNumbers) {
    struct Case {
        int32_t number;
        const char* name;
    } const cases[] = {
        {0x0000, "wm_Null"},
        {0x000E, "wm_GetTextLength"},
        {0x0083, "wm_NCCalcSize"},
        {0x010D, "wm_IME_StartComposition"},
        {0x0203, "wm_LButtonDblClk"},
        {0x0312, "wm_HotKey"},
        {0x0318, "wm_PrintClient"},
        {0xB009, "CM_PARENTCOLORCHANGED"},
        {0xB021, "CM_RELEASE"},
        {0xB039, "CM_UNDOCKCLIENT"},
        {0xBC2C, "CN_MEASUREITEM"},
        {0xBD11, "CN_COMMAND"},
        {0x1100, "TVM_INSERTITEMA"},
        {0x1122, "TVM_GETSCROLLTIME"},
        {0x1125, "TVM_SETINSERTMARKCOLOR"},
        {0x1132, "TVM_INSERTITEMW"},
        {0x1141, "TVM_EDITLABELW"},
        // The two tree-view numbers without a published name are entries of
        // their own, not the forms for unnamed numbers.
        {0x1123, "Unknown (TVM-$1123)"},
        {0x1124, "Unknown (TVM-$1124)"},
        // Numbers without a name: the application's own range, or neither.
        {0x0004, "Undocumented (4)"},
        {0x03FF, "Undocumented (1023)"},
        {0x0400, "wm_User message (1024)"},
        {0x0401, "wm_User message (1025)"},
        {0x1103, "wm_User message (4355)"},  // tree-view numbers lie in that range too
        {0x7FFF, "wm_User message (32767)"},
        {0x8000, "Undocumented (32768)"},
        {-1, "Undocumented (-1)"},
        {INT32_MIN, "Undocumented (-2147483648)"},
    };
    for (const auto& [number, name] : cases) EXPECT_EQ(GetMessageName(number), name) << number;
}

}  // namespace
