#include "MainCommands.h"

#include <gtest/gtest.h>

#include "DialogInput.h"
#include "gui/MenuBar.h"
#include "gui/MenuWindow.h"
#include "gui/ShortCuts.h"

namespace thorn::test {

namespace {

int TitleIndex(TMainForm& main, std::string_view title) {
    MenuBar& bar = *main.GetMenuBar();
    for (int i = 0; i < bar.TitleCount(); ++i)
        if (StripHotkey(bar.Title(i)->GetCaption()) == title) return i;
    ADD_FAILURE() << "no menu " << title;
    return -1;
}

MenuWindow* DropMenu(HeadlessHost& host, TMainForm& main, std::string_view title) {
    const int index = TitleIndex(main, title);
    if (index < 0) return nullptr;
    MenuBar& bar = *main.GetMenuBar();
    const TRect r = bar.TitleRect(index);
    host.Click(main, r.Left + 5, r.Top + 5);
    MenuWindow* menu = bar.GetDropDown();
    if (!menu || !menu->IsPopupOpen()) {
        ADD_FAILURE() << "the menu " << title << " did not drop";
        return nullptr;
    }
    return menu;
}

std::string RowText(const TMenuItem& item) {
    if (item.IsLine()) return "-";
    std::string text = item.GetEnabled() ? "" : "~";
    text += StripHotkey(item.GetCaption());
    if (const std::string key = ShortCutToText(item.GetShortCut()); !key.empty()) text += "\t" + key;
    if (item.GetChecked()) text += " *";
    return text;
}

std::vector<TToolBar*> ToolBars(const TMainForm& main) {
    return {main.TBrShow, main.TBProvButtons, main.ToolBar2, main.TBGenerateIncome};
}

}  // namespace

void ChooseMenuItem(HeadlessHost& host, TMainForm& main, std::string_view title, std::string_view caption) {
    MenuWindow* menu = DropMenu(host, main, title);
    if (!menu) return;
    for (int row = 0; row < menu->RowCount(); ++row) {
        if (StripHotkey(menu->RowItem(row)->GetCaption()) != caption) continue;
        const TRect r = menu->RowRect(row);
        host.Click(*menu, r.Left + 10, (r.Top + r.Bottom) / 2);
        return;
    }
    ADD_FAILURE() << "no item " << caption << " in the menu " << title;
    host.PressKey(VK_ESCAPE);
}

std::vector<std::string> MenuRows(HeadlessHost& host, TMainForm& main, std::string_view title) {
    std::vector<std::string> rows;
    MenuWindow* menu = DropMenu(host, main, title);
    if (!menu) return rows;
    for (int row = 0; row < menu->RowCount(); ++row) rows.push_back(RowText(*menu->RowItem(row)));
    host.PressKey(VK_ESCAPE);
    return rows;
}

TToolButton* ToolButtonOf(const TMainForm& main, const TAction& action) {
    for (TToolBar* bar : ToolBars(main))
        for (int i = 0; i < bar->GetButtonCount(); ++i)
            if (bar->GetButton(i)->GetAction() == &action) return bar->GetButton(i);
    return nullptr;
}

void ClickToolButton(HeadlessHost& host, TMainForm& main, const TAction& action) {
    TToolButton* button = ToolButtonOf(main, action);
    if (!button) {
        ADD_FAILURE() << "no button shows " << action.GetName();
        return;
    }
    if (!button->IsShowing()) ADD_FAILURE() << "the button of " << action.GetName() << " is out of sight";
    const TPoint at = OnWindow(*button, {button->GetWidth() / 2, button->GetHeight() / 2});
    host.Click(main, at.X, at.Y);
}

}  // namespace thorn::test
