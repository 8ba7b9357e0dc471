#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "gui/headless/HeadlessHost.h"
#include "inspector/Rminspectoritems.h"
#include "platform/ClassRegistry.h"
#include "platform/DateTime.h"

namespace {

std::unique_ptr<TrmCustomInspectorItem> Make(const char* kind) {
    return FindClass(kind).Create<TrmCustomInspectorItem>();
}

TEST(InspectorItems, EveryKindIsMadeByItsClassName) {
    struct Case {
        const char* name;
        const char* reportedKind;
        bool editable;
    };
    const Case cases[] = {
        {"TrmStringInspectorItem", "TrmStringInspectorItem", true},
        {"TrmComplexInspectorItem", "TrmComplexInspectorItem", true},
        {"TrmComboInspectorItem", "TrmComboInspectorItem", true},
        // A derived kind reports the first kind it belongs to.
        {"TrmComboInspectorItemEx", "TrmComboInspectorItem", true},
        {"TrmIntegerInspectorItem", "TrmIntegerInspectorItem", true},
        {"TrmSafeIntegerInspectorItem", "TrmIntegerInspectorItem", true},
        {"TrmDateInspectorItem", "TrmDateInspectorItem", true},
        {"TrmCheckBoxInspectorItem", "TrmCheckBoxInspectorItem", true},
        {"TrmCheckBoxExInspectorItem", "TrmCheckBoxExInspectorItem", true},
        {"TrmNodeInspectorItem", "TrmNodeInspectorItem", false},
        {"TrmBlankInspectorItem", "TrmBlankInspectorItem", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<TrmCustomInspectorItem> item = Make(c.name);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(thorn::ClassName(*item), c.name);
        ASSERT_NE(item->GetItemClass(), nullptr);
        EXPECT_EQ(item->GetItemClass()->Name(), c.reportedKind);
        EXPECT_EQ(item->GetEditabled(), c.editable);
    }
    EXPECT_EQ(FindClass("TrmCustomInspectorItem").Create<TrmCustomInspectorItem>(), nullptr) << "abstract";
}

TEST(InspectorItems, ValueTextsRangesAndMessages) {
    thorn::SetDateTimeSource([] { return EncodeDate(2024, 3, 14); });
    struct Case {
        const char* what;
        const char* kind;
        std::function<void(TrmCustomInspectorItem&)> prepare;
        const char* text;
        const char* shown;               // the row's text afterwards
        std::optional<std::string> error;  // the message raised, if any
    };
    auto range = [](int min, int max) {
        return [min, max](TrmCustomInspectorItem& item) {
            auto& number = dynamic_cast<TrmIntegerInspectorItem&>(item);
            number.SetMaxValue(max);
            number.SetMinValue(min);
            number.SetUseRange(true);
            number.SetStringValue("5");
        };
    };
    auto captions = [](TrmCustomInspectorItem& item) {
        auto& strings = dynamic_cast<TrmCheckBoxExInspectorItem&>(item).GetStrings();
        strings.SetTrueState("yes");
        strings.SetFalseState("no");
        strings.SetUndefined("maybe");
    };
    const auto none = [](TrmCustomInspectorItem&) {};
    const Case cases[] = {
        {"a string", "TrmStringInspectorItem", none, "Stone", "Stone", {}},
        {"an integer", "TrmIntegerInspectorItem", none, "-42", "-42", {}},
        {"an integer above its range", "TrmIntegerInspectorItem", range(0, 10), "11", "5",
         "Value must be between 0 and 10"},
        {"an integer that is no number", "TrmIntegerInspectorItem", none, "abc", "0", "'abc' is not a valid integer value"},
        {"a safe integer above its range", "TrmSafeIntegerInspectorItem", range(0, 10), "11", "5", {}},
        {"a safe integer written shorter", "TrmSafeIntegerInspectorItem", none, "007", "7", {}},
        {"a safe integer emptied", "TrmSafeIntegerInspectorItem", range(0, 10), "", "", {}},
        {"a safe integer that is no number", "TrmSafeIntegerInspectorItem", range(0, 10), "x", "5",
         "'x' is not a valid integer value"},
        {"a check box", "TrmCheckBoxInspectorItem", none, " TRUE ", "True", {}},
        {"a check box given yes", "TrmCheckBoxInspectorItem", none, "yes", "False", {}},
        {"a three-state box", "TrmCheckBoxExInspectorItem", captions, "no", "no", {}},
        {"a three-state box given another text", "TrmCheckBoxExInspectorItem", captions, "True", "maybe", {}},
        {"a date", "TrmDateInspectorItem", none, "12/25/2023", "12/25/2023", {}},
        {"a group", "TrmNodeInspectorItem", none, "(1, 2)", "(1, 2)", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<TrmCustomInspectorItem> item = Make(c.kind);
        c.prepare(*item);
        try {
            item->SetStringValue(c.text);
            EXPECT_FALSE(c.error) << "nothing raised";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.error.value_or("(none)"));
        }
        EXPECT_EQ(item->GetAsString(), c.shown);
    }
    thorn::SetDateTimeSource(nullptr);
}

TEST(InspectorItems, RangeSettersKeepTheValueInside) {
    std::unique_ptr<TrmCustomInspectorItem> made = Make("TrmIntegerInspectorItem");
    auto& number = dynamic_cast<TrmIntegerInspectorItem&>(*made);
    EXPECT_EQ(number.GetMinValue(), 0);
    EXPECT_EQ(number.GetMaxValue(), 1);
    number.SetMaxValue(0);
    EXPECT_EQ(number.GetMaxValue(), 1) << "not above the minimum";
    number.SetMaxValue(100);
    number.SetValue(80);
    number.SetUseRange(true);
    number.SetMaxValue(50);
    EXPECT_EQ(number.GetValue(), 50);
    EXPECT_THROW(number.SetValue(51), ErmInspectorError);

    std::unique_ptr<TrmCustomInspectorItem> madeSafe = Make("TrmSafeIntegerInspectorItem");
    auto& safe = dynamic_cast<TrmSafeIntegerInspectorItem&>(*madeSafe);
    EXPECT_EQ(safe.GetMaxValue(), 255);
    EXPECT_TRUE(safe.GetUseRange());
    EXPECT_EQ(safe.GetAsString(), "") << "a new safe integer shows nothing";
    safe.SetStringValue("150");
    safe.SetMaxValue(100);
    EXPECT_EQ(safe.GetAsString(), "100");
    safe.SetMinValue(120);
    EXPECT_EQ(safe.GetMinValue(), 0) << "not above the maximum";
    safe.SetValue(300);
    EXPECT_EQ(safe.GetAsString(), "100") << "out of range: ignored";
}

TEST(InspectorItems, AnEditorOfAnotherClassIsLeftAlone) {
    thorn::HeadlessApplication session;
    std::unique_ptr<TrmCustomInspectorItem> made = Make("TrmStringInspectorItem");
    auto& text = dynamic_cast<TrmStringInspectorItem&>(*made);
    text.SetValue("Stone");
    TrmInspectorCheckBox box;
    TrmInspectorEdit edit;
    edit.SetText("Iron");
    text.SetValueIntoEditor(&box);
    text.GetValueFromEditor(&box);
    EXPECT_EQ(box.GetCaption(), "");
    EXPECT_EQ(text.GetValue(), "Stone");
    text.GetValueFromEditor(&edit);
    EXPECT_EQ(text.GetValue(), "Iron");
}

}  // namespace
