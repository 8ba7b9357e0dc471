#include "ToolWindows.h"

#include "SampleProject.h"
#include "gui/Application.h"
#include "inspector/Rmbtnedit.h"
#include "inspector/Rmspeedbtns.h"

namespace thorn::test {

ToolWindowTest::ToolWindowTest() {
    editor.Start();
    NewSampleProject();
}

ToolWindowTest::~ToolWindowTest() {
    if (MapProject) MapProject->Modified = 0;  // no save question on the way out
    editor.Close();
}

CStringTable& ToolWindowTest::TableInUse() const { return *MapProject->Tables.GetAt(1); }

CStringTable& ToolWindowTest::OtherTable() const { return *MapProject->Tables.GetAt(0); }

void ToolWindowTest::ShowWith(TAction& command) {
    if (!command.GetChecked()) command.Execute();
    Application->ProcessMessages();
}

void ToolWindowTest::ClickOn(const TControl& control, TPoint at) {
    TCustomForm* form = control.GetParentForm();
    ASSERT_NE(form, nullptr);
    // Screen points, so a window's menu bar counts.
    const TPoint p = control.ClientToScreen(at);
    Host().Click(*form, p.X - form->GetLeft(), p.Y - form->GetTop());
}

void ToolWindowTest::ClickMiddle(const TControl& control) {
    ClickOn(control, {control.GetClientWidth() / 2, control.GetClientHeight() / 2});
}

void ToolWindowTest::ClickValue(TrmInspector& grid, std::string_view key) {
    TrmCustomInspectorItem* item = grid.GetItemByName(key);
    ASSERT_NE(item, nullptr) << key;
    const int row = grid.VisibileItemIndex(item);
    ASSERT_GE(row, 0) << key;
    TCustomForm& form = *grid.GetParentForm();
    while ((row + 1) * grid.RowHeight() > grid.GetClientHeight() && form.GetHeight() < Host().GetWorkArea().Height())
        Host().ResizeWindow(form, form.GetClientWidth(), form.GetClientHeight() + 100);
    ASSERT_LE((row + 1) * grid.RowHeight(), grid.GetClientHeight()) << key;
    ClickOn(grid, {grid.GetSplitPos() + 30, row * grid.RowHeight() + grid.RowHeight() / 2});
}

void ToolWindowTest::TypeInto(TrmInspector& grid, std::string_view key, std::string_view text) {
    ClickValue(grid, key);
    ASSERT_NE(grid.GetEditor(), nullptr) << key;
    Host().PressKey(VK_HOME);
    Host().PressKey(VK_END, {ssShift});
    if (text.empty())
        Host().PressKey(VK_DELETE);
    else
        Host().TypeText(text);
    Host().PressKey(VK_RETURN);
}

void ToolWindowTest::ClickEllipsis(TrmInspector& grid, std::string_view key) {
    ClickValue(grid, key);
    auto* edit = dynamic_cast<TrmBtnEdit*>(grid.GetEditor());
    ASSERT_NE(edit, nullptr) << key;
    ClickMiddle(*edit->Btn1());
}

std::string ToolWindowTest::ValueOf(const TrmInspector& grid, std::string_view key) const {
    TrmCustomInspectorItem* item = grid.GetItemByName(key);
    return item ? item->GetAsString() : "(no row)";
}

}  // namespace thorn::test
