#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "controls/Rmbtncombo.h"
#include "controls/Rmcalendar.h"
#include "controls/Rmcombobox.h"
#include "controls/Rmspin.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/headless/HeadlessHost.h"
#include "inspector/Rminspectoritems.h"
#include "platform/ClassRegistry.h"

namespace {

// Form files and the grid name the library's controls by class; each must
// be made by that name.
TEST(ControlsClassNames, EveryControlIsMadeByItsClassName) {
    for (const char* name : {"TrmBtnCombo", "TrmNewComboBox", "TrmCalendar", "TrmComboCalendar", "TrmFloatSpinEdit",
                             "TrmTimeSpinEdit"}) {
        SCOPED_TRACE(name);
        const thorn::ClassInfo* info = GetClass(name);
        ASSERT_NE(info, nullptr);
        std::unique_ptr<TComponent> made = info->Create<TComponent>();
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(thorn::ClassName(*made), name);
    }
}

// A grid with an extended combo row and a date row, edited end to end by
// the mouse and the keys.
class GridEditors : public ::testing::Test {
protected:
    GridEditors() {
        thorn::SetDateTimeSource([] { return EncodeDate(2024, 2, 10); });
        host.SetWorkArea({0, 0, 800, 600});
        form = Application->CreateForm<TForm>();
        form->SetBounds(100, 100, 300, 200);
        grid = thorn::Make<TrmInspector>(*form);
        grid->SetParent(form);
        grid->SetBounds(10, 10, 260, 120);
        grid->SetSplitPos(100);
        terrain = static_cast<TrmComboInspectorItemEx*>(
            grid->AddInspectorItem("Terrain", "Hills", FindClass("TrmComboInspectorItemEx")));
        for (const char* choice : {"Plains", "Hills", "Forest"}) terrain->GetItems().Add(choice);
        founded = static_cast<TrmDateInspectorItem*>(
            grid->AddInspectorItem("Founded", "03/01/2024", FindClass("TrmDateInspectorItem")));
        grid->OnItemChange = [this](TObject* sender) {
            EXPECT_EQ(sender, grid->GetEditor());
            ++changes;
        };
        grid->OnComplexEdit = [this](TObject*) { ++complexEdits; };
        form->Show();
        Application->ProcessMessages();
    }
    ~GridEditors() override { thorn::SetDateTimeSource({}); }
    void ClickValue(int row) {
        const int h = grid->RowHeight();
        const TPoint p = grid->ClientToParent({200, row * h + h / 2}, form);
        host.Click(*form, p.X, p.Y);
    }
    void AltDown() {
        host.KeyDown(VK_DOWN, {ssAlt});
        host.KeyUp(VK_DOWN, {ssAlt});
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TrmInspector* grid = nullptr;
    TrmComboInspectorItemEx* terrain = nullptr;
    TrmDateInspectorItem* founded = nullptr;
    int changes = 0;
    int complexEdits = 0;
};

TEST_F(GridEditors, AnExtendedComboRowEditsThroughTheButtonCombo) {
    ClickValue(0);
    auto* combo = dynamic_cast<TrmBtnCombo*>(grid->GetEditor());
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetText(), "Hills") << "the value shows in the editor";
    EXPECT_TRUE(combo->GetReadOnly());
    AltDown();
    ASSERT_TRUE(combo->GetDroppedDown());
    host.PressKey(VK_DOWN);
    host.PressKey(VK_RETURN);
    EXPECT_EQ(terrain->GetValue(), "Forest");
    EXPECT_EQ(changes, 1);
    host.PressKey(VK_UP);
    EXPECT_EQ(terrain->GetValue(), "Hills") << "a step while closed is an edit too";
    EXPECT_EQ(changes, 2);
    Application->ProcessMessages();
    EXPECT_EQ(grid->GetEditor(), combo) << "the row stays selected";
    host.PressKey(VK_RETURN, {ssCtrl});
    EXPECT_EQ(complexEdits, 1) << "the ellipsis raises OnComplexEdit";
}

TEST_F(GridEditors, ADateRowEditsThroughTheDropDownCalendar) {
    EXPECT_EQ(founded->GetAsString(), "03/01/2024");
    ClickValue(1);
    auto* edit = dynamic_cast<TrmComboCalendar*>(grid->GetEditor());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->GetText(), "03/01/2024");
    EXPECT_EQ(changes, 0) << "what the grid shows is no edit";
    AltDown();
    ASSERT_TRUE(edit->GetCalendar()->GetVisible());
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", edit->GetCalendar()->GetWorkingDate()), "2024-03-01");
    host.PressKey(VK_RIGHT, {ssCtrl});
    host.PressKey(VK_DOWN);
    host.PressKey(VK_RETURN);
    EXPECT_FALSE(edit->GetCalendar()->GetVisible());
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", founded->GetValue()), "2024-04-08");
    EXPECT_EQ(founded->GetAsString(), "04/08/2024");
    EXPECT_EQ(changes, 1);
    // Up in the closed date edit moves to the row above, storing nothing more.
    host.PressKey(VK_UP);
    EXPECT_EQ(grid->GetItemIndex(), 0);
    EXPECT_EQ(changes, 1);
}

}  // namespace
