#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/Main.h"
#include "gui/headless/HeadlessHost.h"

namespace thorn::test {

// The designer's ways to the main window's commands: its menus, its tool
// bars and their buttons, as a hand on the headless host reaches them.

// Drops the menu of the title (its caption without the "&") with a click
// and clicks the item of the caption; fails the test when the menu holds
// no such item.
void ChooseMenuItem(HeadlessHost& host, TMainForm& main, std::string_view title, std::string_view caption);

// What the menu of the title shows, one text a row: the caption without
// its "&", then the shortcut's text after a tab when it has one; "-" for a
// line. A greyed row starts with "~", a ticked one ends with " *". The menu
// is dropped with a click and closed with Escape.
std::vector<std::string> MenuRows(HeadlessHost& host, TMainForm& main, std::string_view title);

// The button of the action on the main window's tool bars, null when none
// shows it.
TToolButton* ToolButtonOf(const TMainForm& main, const TAction& action);
// Clicks the button of the action; fails the test when there is none.
void ClickToolButton(HeadlessHost& host, TMainForm& main, const TAction& action);

}  // namespace thorn::test
