#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ProvinceGrid.h"

namespace {

using thorn::test::ProvinceGridFixture;

// Numbers typed digit by digit into number rows whose ranges start at 0, at
// 1 and at 100, and into a row a window keeps inside a 16-bit field.
class GridTyping : public ::testing::Test, public ProvinceGridFixture {
protected:
    GridTyping() : ProvinceGridFixture(260, 340) {
        // Row 13: a plain integer row, as a form file may hold one.
        auto* turn =
            static_cast<TrmIntegerInspectorItem*>(GetOrAdd(*grid, nullptr, "TrmIntegerInspectorItem", "Turn", "Turn"));
        turn->SetMaxValue(255);
        turn->SetMinValue(1);
        turn->SetUseRange(true);
        Number("Res_1").SetMinValue(1);
        Number("Res_2").SetMaxValue(200);
        Number("Res_2").SetMinValue(100);
        // The window behind the archers stores a 16-bit count and shows what
        // it stored, as the editor's windows do.
        grid->OnItemChange = [this](TObject*) {
            auto& archers = Number("Army_0");
            if (grid->GetCurrentInspectorItem() != &archers) return;
            field = static_cast<uint16_t>(std::clamp(archers.GetValue(), 0, 65535));
            archers.SetUseRange(false);
            archers.SetValue(field);
            archers.SetUseRange(true);
        };
        other = Application->CreateForm<TForm>();
        other->SetBounds(500, 100, 100, 100);
        other->Show();
        form->Show();
        session.App().ProcessMessages();
    }
    TrmIntegerInspectorItem& Number(const char* key) const {
        return *static_cast<TrmIntegerInspectorItem*>(grid->GetItemByName(key));
    }

    TForm* other = nullptr;
    uint16_t field = 0;
};

TEST_F(GridTyping, TheTextStaysAsTypedAndTheEndOfTheEditShowsWhatTheRowKept) {
    struct Row {
        const char* what;
        int row;
        const char* key;
        const char* before;
        const char* typed;
        std::vector<const char*> kept;  // after each key
        const char* shown;              // once the edit ends
    };
    const Row rows[] = {
        {"from 0", 3, "Res_0", "10", "007", {"0", "0", "7"}, "7"},
        {"from 0, past the top", 3, "Res_0", "10", "300", {"3", "30", "255"}, "255"},
        {"from 1", 4, "Res_1", "20", "007", {"1", "1", "7"}, "7"},
        {"from 1, a plain integer row", 13, "Turn", "5", "007", {"1", "1", "7"}, "7"},
        {"to its top, a plain integer row", 13, "Turn", "5", "255", {"2", "25", "255"}, "255"},
        {"from 100", 5, "Res_2", "120", "150", {"100", "100", "150"}, "150"},
        {"from 100, a sign first", 5, "Res_2", "120", "-5", {"120", "100"}, "100"},
        {"a 16-bit field", 10, "Army_0", "0", "70000", {"7", "70", "700", "7000", "65535"}, "65535"},
    };
    struct End {
        const char* what;
        std::function<void()> act;
        bool editorStays;
    };
    const End ends[] = {
        {"Enter", [&] { host.PressKey(VK_RETURN); }, true},
        {"Tab", [&] { host.PressKey(VK_TAB); }, true},
        {"Escape", [&] { host.PressKey(VK_ESCAPE); }, true},
        {"another window takes the keyboard", [&] { host.Click(*other, 50, 50); }, true},
        {"another row chosen", [&] { Click(ValueOf(0)); }, false},
    };
    for (const End& end : ends) {
        for (const Row& r : rows) {
            SCOPED_TRACE(std::string(end.what) + ", a range " + r.what);
            Click(ValueOf(0));
            grid->GetItemByName(r.key)->SetStringValue(r.before);
            Click(ValueOf(r.row));
            TWinControl* editor = grid->GetEditor();
            auto* edit = dynamic_cast<TCustomEdit*>(editor);
            ASSERT_NE(edit, nullptr);
            ASSERT_EQ(form->GetFocusedControl(), editor);
            host.PressKey(VK_HOME);
            host.PressKey(VK_END, {ssShift});
            const std::string typed = r.typed;
            for (size_t i = 0; i < typed.size(); ++i) {
                host.TypeText(typed.substr(i, 1));
                EXPECT_EQ(edit->GetText(), typed.substr(0, i + 1));
                EXPECT_EQ(edit->GetSelStart(), static_cast<int>(i + 1)) << "the caret stays after the last digit";
                EXPECT_EQ(edit->GetSelLength(), 0);
                EXPECT_EQ(grid->GetItemByName(r.key)->GetAsString(), r.kept[i]) << typed.substr(0, i + 1);
            }
            end.act();
            EXPECT_EQ(grid->GetItemByName(r.key)->GetAsString(), r.shown);
            if (end.editorStays) {
                EXPECT_EQ(editor->GetText(), r.shown) << "the stored value shows again";
            }
            if (std::string(r.key) == "Army_0") {
                EXPECT_EQ(field, 65535);
            }
            if (!form->GetActive()) host.Click(*form, 5, 5);
        }
    }
    EXPECT_TRUE(host.ShownDialogs().empty()) << "no message for a number beyond the range";
}

}  // namespace
