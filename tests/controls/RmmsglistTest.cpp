#include <gtest/gtest.h>

#include "controls/Rmmsglist.h"

namespace {

struct NamedMessage {
    int32_t number;
    const char* name;
};

class MessageNames : public testing::TestWithParam<NamedMessage> {};

TEST_P(MessageNames, NumberGivesItsName) { EXPECT_EQ(GetMessageName(GetParam().number), GetParam().name); }

INSTANTIATE_TEST_SUITE_P(
    Table, MessageNames,
    testing::Values(NamedMessage{0x0000, "wm_Null"}, NamedMessage{0x0001, "wm_Create"},
                    NamedMessage{0x000E, "wm_GetTextLength"}, NamedMessage{0x0083, "wm_NCCalcSize"},
                    NamedMessage{0x010D, "wm_IME_StartComposition"}, NamedMessage{0x0203, "wm_LButtonDblClk"},
                    NamedMessage{0x0312, "wm_HotKey"}, NamedMessage{0x0318, "wm_PrintClient"},
                    NamedMessage{0xB009, "CM_PARENTCOLORCHANGED"}, NamedMessage{0xB021, "CM_RELEASE"},
                    NamedMessage{0xB039, "CM_UNDOCKCLIENT"}, NamedMessage{0xBC2C, "CN_MEASUREITEM"},
                    NamedMessage{0xBD11, "CN_COMMAND"}, NamedMessage{0x1100, "TVM_INSERTITEMA"},
                    NamedMessage{0x1122, "TVM_GETSCROLLTIME"}, NamedMessage{0x1125, "TVM_SETINSERTMARKCOLOR"},
                    NamedMessage{0x1132, "TVM_INSERTITEMW"}, NamedMessage{0x1141, "TVM_EDITLABELW"},
                    // The two tree-view numbers without a published name are
                    // entries of their own, not the forms for unnamed numbers.
                    NamedMessage{0x1123, "Unknown (TVM-$1123)"}, NamedMessage{0x1124, "Unknown (TVM-$1124)"}));

class UnnamedMessages : public testing::TestWithParam<NamedMessage> {};

TEST_P(UnnamedMessages, NumberGivesTheFormOfItsRange) {
    EXPECT_EQ(GetMessageName(GetParam().number), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnnamedMessages,
    testing::Values(NamedMessage{0x0004, "Undocumented (4)"}, NamedMessage{0x03FF, "Undocumented (1023)"},
                    NamedMessage{0x0400, "wm_User message (1024)"}, NamedMessage{0x0401, "wm_User message (1025)"},
                    // Tree-view numbers lie in the application's range too.
                    NamedMessage{0x1103, "wm_User message (4355)"}, NamedMessage{0x7FFF, "wm_User message (32767)"},
                    NamedMessage{0x8000, "Undocumented (32768)"}, NamedMessage{-1, "Undocumented (-1)"},
                    NamedMessage{INT32_MIN, "Undocumented (-2147483648)"}));

}  // namespace
