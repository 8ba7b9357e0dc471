#include <gtest/gtest.h>

#include <memory>

#include "platform/ClassRegistry.h"
#include "platform/Components.h"

namespace {

// Form files and the grid's rows name the library's controls by class; each
// must be made by that name.
TEST(InspectorClassNames, EveryControlOfTheLibraryIsMadeByItsClassName) {
    for (const char* name : {"TrmInspector", "TrmTreeNonView", "TrmBtnEdit", "TrmSpinEdit", "TrmSpeedButton",
                             "TrmSpinButton", "TrmCheckBox", "TrmCheckBoxEx", "TrmComboBox"}) {
        SCOPED_TRACE(name);
        const thorn::ClassInfo* info = GetClass(name);
        ASSERT_NE(info, nullptr);
        std::unique_ptr<TComponent> made = info->Create<TComponent>();
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(thorn::ClassName(*made), name);
    }
}

}  // namespace
