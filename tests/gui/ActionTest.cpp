#include <gtest/gtest.h>

#include "TestControls.h"
#include "gui/ActnList.h"
#include "gui/MenuBar.h"
#include "gui/MenuWindow.h"
#include "gui/Menus.h"

namespace {

using thorn::test::AddControl;
using thorn::test::MakeForm;
using thorn::test::Swatch;
using Log = std::vector<std::string>;

// A main window whose command "ActShowEvents" (F4) is shown by a menu item
// and by a button-like control.
class GuiAction : public ::testing::Test {
protected:
    GuiAction() {
        form = MakeForm(300, 200);
        list = thorn::Make<TActionList>(*form);
        action = thorn::Make<TAction>(*form);
        action->SetName("ActShowEvents");
        action->SetActionList(list);
        action->SetCaption("Events &List");
        action->SetHint("Events|Show the events window");
        action->SetShortCut(ShortCut(VK_F4, {}));
        action->OnExecute = [this](TObject*) { log.push_back("execute"); };
        menu = thorn::Make<TMainMenu>(*form);
        TMenuItem* view = thorn::Make<TMenuItem>(*form);
        view->SetCaption("&View");
        menu->GetItems()->Add(view);
        item = thorn::Make<TMenuItem>(*form);
        item->SetAction(action);
        view->Add(item);
        button = AddControl<Swatch>(*form, "Button", {10, 10, 80, 30}, &log);
        button->SetAction(action);
        button->SetTabStop(true);
        form->SetMenu(menu);
        form->Show();
        log.clear();
    }
    int Executed() const { return static_cast<int>(std::count(log.begin(), log.end(), "execute")); }
    void ChooseFromMenu() {
        host.PressKey('V', {ssAlt});
        host.PressKey(VK_RETURN);
    }
    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    Log log;
    TForm* form = nullptr;
    TActionList* list = nullptr;
    TAction* action = nullptr;
    TMainMenu* menu = nullptr;
    TMenuItem* item = nullptr;
    Swatch* button = nullptr;
};

TEST_F(GuiAction, EveryLinkedControlFollowsEachChangeAtOnce) {
    EXPECT_EQ(item->GetCaption(), "Events &List");
    EXPECT_EQ(button->GetCaption(), "Events &List");
    EXPECT_EQ(item->GetShortCut(), ShortCut(VK_F4, {}));
    EXPECT_EQ(button->GetHint(), "Events|Show the events window");
    struct Case {
        const char* what;
        std::function<void()> change;
        std::function<bool()> itemShows;
        std::function<bool()> buttonShows;
    };
    const Case cases[] = {
        {"caption", [&] { action->SetCaption("&Events"); }, [&] { return item->GetCaption() == "&Events"; },
         [&] { return button->GetCaption() == "&Events"; }},
        {"hint", [&] { action->SetHint("E|Events"); }, [&] { return item->GetHint() == "E|Events"; },
         [&] { return button->GetHint() == "E|Events"; }},
        {"disabled", [&] { action->SetEnabled(false); }, [&] { return !item->GetEnabled(); },
         [&] { return !button->GetEnabled(); }},
        {"hidden", [&] { action->SetVisible(false); }, [&] { return !item->GetVisible(); },
         [&] { return !button->GetVisible(); }},
        {"checked", [&] { action->SetChecked(true); }, [&] { return item->GetChecked(); }, [] { return true; }},
        {"image", [&] { action->SetImageIndex(3); }, [&] { return item->GetImageIndex() == 3; }, [] { return true; }},
        {"shortcut", [&] { action->SetShortCut(ShortCut('E', {ssCtrl})); },
         [&] { return item->GetShortCut() == ShortCut('E', {ssCtrl}); }, [] { return true; }},
    };
    for (const Case& c : cases) {
        c.change();
        EXPECT_TRUE(c.itemShows()) << c.what;
        EXPECT_TRUE(c.buttonShows()) << c.what;
    }
}

TEST_F(GuiAction, TheMenuTheControlAndTheShortCutRunTheActionOnlyWhileItIsEnabled) {
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"menu", [&] { ChooseFromMenu(); }},
        {"control", [&] { host.Click(*form, 20, 20 + form->GetMenuBarHeight()); }},
        {"shortcut", [&] { host.PressKey(VK_F4); }},
    };
    for (const auto& [what, run] : ways) {
        SCOPED_TRACE(what);
        for (bool enabled : {true, false}) {
            action->SetEnabled(enabled);
            log.clear();
            run();
            EXPECT_EQ(Executed(), enabled ? 1 : 0);
            form->GetMenuBar()->Cancel();  // a disabled item leaves its menu open
        }
    }
}

TEST_F(GuiAction, AHiddenActionStillRunsFromItsShortCut) {
    action->SetVisible(false);
    host.PressKey(VK_F4);
    EXPECT_EQ(Executed(), 1);
}

TEST_F(GuiAction, OnUpdateSetsTheStateBeforeAMenuShowsAndBeforeTheActionRuns) {
    bool open = false;
    int updates = 0;
    action->OnUpdate = [&](TObject*) {
        ++updates;
        action->SetEnabled(open);
    };
    host.PressKey(VK_F4);
    EXPECT_EQ(Executed(), 0);
    EXPECT_FALSE(button->GetEnabled());
    open = true;
    host.PressKey('V', {ssAlt});
    EXPECT_TRUE(item->GetEnabled());
    host.PressKey(VK_ESCAPE);
    host.PressKey(VK_ESCAPE);
    // Idle time updates the actions of what the windows show.
    open = false;
    int before = updates;
    Application->HandleMessage();
    EXPECT_GT(updates, before);
    EXPECT_FALSE(button->GetEnabled());
}

TEST_F(GuiAction, AutoCheckFlipsTheMarkAndAGroupKeepsOneChecked) {
    action->SetAutoCheck(true);
    host.PressKey(VK_F4);
    EXPECT_TRUE(item->GetChecked());
    host.PressKey(VK_F4);
    EXPECT_FALSE(item->GetChecked());

    TAction* other = thorn::Make<TAction>(*form);
    other->SetActionList(list);
    other->SetShortCut(ShortCut(VK_F5, {}));
    other->SetAutoCheck(true);
    for (TAction* a : {action, other}) a->SetGroupIndex(2);
    host.PressKey(VK_F4);
    host.PressKey(VK_F5);
    host.PressKey(VK_F5);  // a checked member of a group stays checked
    EXPECT_FALSE(action->GetChecked());
    EXPECT_TRUE(other->GetChecked());
    EXPECT_FALSE(item->GetChecked());
}

TEST_F(GuiAction, ATiedControlOutlivesItsActionAndTheActionItsControls) {
    thorn::Free(item);
    action->SetCaption("After the item");
    EXPECT_EQ(button->GetCaption(), "After the item");
    thorn::Free(action);
    EXPECT_EQ(button->GetAction(), nullptr);
    EXPECT_EQ(button->GetCaption(), "After the item");
    host.PressKey(VK_F4);
    host.Click(*form, 20, 20 + form->GetMenuBarHeight());
    EXPECT_EQ(list->GetActionCount(), 0);
}

TEST_F(GuiAction, AToolWindowsKeysReachTheMainWindowsCommandsButAModalDialogsDoNot) {
    TForm* tool = MakeForm(100, 80);
    Swatch* field = AddControl<Swatch>(*tool, "ToolField", {0, 0, 50, 20}, &log);
    field->SetTabStop(true);
    tool->Show();
    host.PressKey(VK_F4);
    EXPECT_EQ(Executed(), 1);

    log.clear();
    TForm* dialog = MakeForm(100, 80);
    thorn::DialogScript script;
    script.act = [&](TCustomForm&) { host.PressKey(VK_F4); };
    script.result = mrOk;
    host.ScriptDialog(script);
    dialog->ShowModal();
    EXPECT_EQ(Executed(), 0);
}

}  // namespace
