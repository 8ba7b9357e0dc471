#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <optional>

#include "gui/Application.h"
#include "gui/Edit.h"
#include "gui/headless/HeadlessHost.h"
#include "inspector/Rmcombobox.h"
#include "platform/Registry.h"
#include "support/TempDir.h"

namespace {

std::vector<std::string> Lines(const TStrings& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.GetCount(); ++i) out.push_back(list[i]);
    return out;
}

// A focused completing combo box at (10, 10), 150 wide, beside an edit, with
// the registry in a fresh folder.
class CompletingCombo : public ::testing::Test {
protected:
    CompletingCombo() {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) saved = old;
        setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
        form = Application->CreateForm<TForm>();
        form->SetBounds(100, 100, 300, 200);
        combo = thorn::Make<TrmComboBox>(*form);
        combo->SetParent(form);
        combo->SetBounds(10, 10, 150, 0);
        other = thorn::Make<TEdit>(*form);
        other->SetParent(form);
        other->SetBounds(10, 100, 100, 21);
        combo->OnChange = [this](TObject*) { ++changes; };
        form->Show();
        combo->SetFocus();
    }
    ~CompletingCombo() override {
        if (saved) setenv("XDG_CONFIG_HOME", saved->c_str(), 1);
        else unsetenv("XDG_CONFIG_HOME");
    }
    void UseRegistry() {
        combo->SetRegKey(rkHKEY_CURRENT_USER);
        combo->SetRegName("Names");
        combo->SetRegPath("Software\\Thornvale");
        combo->SetMRUCombo(true);
    }
    std::string Selected() const { return combo->GetSelText(); }
    // Types as a keyboard does: key down, the character, key up.
    void Type(std::string_view text) {
        for (char ch : text) {
            const auto key = static_cast<TKey>(std::toupper(static_cast<unsigned char>(ch)));
            host.KeyDown(key);
            host.TypeText(std::string_view(&ch, 1));
            host.KeyUp(key);
        }
    }

    thorn::test::TempDir dir;
    std::optional<std::string> saved;
    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TrmComboBox* combo = nullptr;
    TEdit* other = nullptr;
    int changes = 0;
};

TEST_F(CompletingCombo, TypedTextCompletesFromTheItems) {
    combo->SetTextCompletion(true);
    for (const char* item : {"Abc", "abd", "Stone"}) combo->GetItems()->Add(item);
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* text;
        int selStart;
        const char* selected;
    };
    const Step steps[] = {
        {"typing completes", [&] { Type("ab"); }, "Abc", 2, "c"},
        {"Down finds the next", [&] { host.PressKey(VK_DOWN); }, "abd", 2, "d"},
        {"and goes round", [&] { host.PressKey(VK_DOWN); }, "Abc", 2, "c"},
        {"Right accepts the completion", [&] { host.PressKey(VK_RIGHT); }, "Abc", 3, ""},
        {"Backspace never completes", [&] { host.PressKey(VK_BACK); }, "Ab", 2, ""},
        {"nor a key with the caret inside", [&] { host.PressKey(VK_LEFT); Type("x"); }, "Axb", 2, ""},
        {"Left keeps a tail", [&] { combo->SetText({}); Type("s"); host.PressKey(VK_LEFT); }, "Stone", 1, ""},
        {"then moves as usual", [&] { host.PressKey(VK_LEFT); }, "Stone", 0, ""},
        {"Down without a match changes nothing", [&] { host.PressKey(VK_END); Type("x"); host.PressKey(VK_DOWN); },
         "Stonex", 6, ""},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(combo->GetText(), s.text);
        EXPECT_EQ(combo->GetSelStart(), s.selStart);
        EXPECT_EQ(Selected(), s.selected);
        EXPECT_FALSE(combo->GetDroppedDown());
    }
    host.PressKey(VK_DOWN, {ssAlt});
    EXPECT_TRUE(combo->GetDroppedDown());
}

TEST_F(CompletingCombo, ADeletedTailStaysDeleted) {
    combo->SetTextCompletion(true);
    combo->SetMRUCombo(true);
    for (const char* item : {"Gold", "Stone"}) combo->GetItems()->Add(item);
    std::string changed;
    combo->OnChange = [&](TObject*) { changed = combo->GetText(); };
    struct Case {
        const char* what;
        std::function<void()> act;
        int selStart;
    };
    const Case cases[] = {
        {"End", [&] { host.PressKey(VK_END); }, 1},
        {"Shift", [&] { host.PressKey(VK_SHIFT); }, 1},
        {"Enter", [&] { host.PressKey(VK_RETURN); }, 1},
        {"Left after selecting to the end by hand",
         [&] {
             host.PressKey(VK_HOME, {ssShift});
             host.PressKey(VK_LEFT);
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        combo->SetText({});
        Type("s");
        ASSERT_EQ(Selected(), "tone");
        host.PressKey(VK_BACK);
        c.act();
        EXPECT_EQ(combo->GetText(), "S");
        EXPECT_EQ(combo->GetSelStart(), c.selStart);
        EXPECT_EQ(changed, "S");
    }
    EXPECT_EQ(combo->GetHistory()[0], "S");
}

TEST_F(CompletingCombo, TheHistoryKeepsMaxHistoryEntries) {
    combo->SetMRUCombo(true);
    combo->SetMaxHistory(3);
    for (const char* typed : {"Gold", "Wood", "Iron", "Wood", "Salt", "Ore"}) {
        combo->SetText({});
        host.TypeText(typed);
        host.PressKey(VK_RETURN);
    }
    EXPECT_EQ(Lines(combo->GetHistory()), (std::vector<std::string>{"Ore", "Salt", "Wood"}));
}

TEST_F(CompletingCombo, EnterAndLeavingRecordTheHistoryInTheRegistry) {
    UseRegistry();
    EXPECT_EQ(combo->GetRegPath(), "Software\\Thornvale\\");
    for (const char* typed : {"Gold", "Wood", "gold"}) {
        combo->SetText({});
        host.TypeText(typed);
        host.PressKey(VK_RETURN);
    }
    // The other letter case moved the entry to the top instead of adding one.
    EXPECT_EQ(Lines(combo->GetHistory()), (std::vector<std::string>{"Gold", "Wood"}));
    host.TypeText("Iron");
    other->SetFocus();
    EXPECT_EQ(combo->GetHistory()[0], "goldIron");
    // Only MaxHistory entries reach the registry.
    for (int i = 0; i < 25; ++i) combo->GetHistory().Add("More " + std::to_string(i));
    combo->SetMaxHistory(20);
    combo->SaveHistory();
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly("Software\\Thornvale\\Names"));
    EXPECT_EQ(registry.ReadString("Item_0"), "goldIron");
    EXPECT_EQ(registry.ReadString("Item_19"), "More 16");
    EXPECT_FALSE(registry.ValueExists("Item_20"));
    // A new combo box reads it back as its items when its list drops down.
    auto* reader = thorn::Make<TrmComboBox>(*form);
    reader->SetParent(form);
    reader->SetBounds(10, 50, 150, 0);
    reader->SetRegKey(rkHKEY_CURRENT_USER);
    reader->SetRegPath("Software\\Thornvale");
    reader->SetRegName("Names");
    reader->SetMRUCombo(true);
    reader->SetDroppedDown(true);
    ASSERT_EQ(reader->GetItems()->GetCount(), 20);
    EXPECT_EQ((*reader->GetItems())[2], "Wood");
}

TEST_F(CompletingCombo, EscapeRestoresTheEntryTextButNotAfterALaterPick) {
    for (const char* item : {"Gold", "Wood"}) combo->GetItems()->Add(item);
    combo->SetAutoUpdateHistory(false);
    combo->SetMRUCombo(true);
    host.TypeText("Ore");
    host.PressKey(VK_ESCAPE);
    EXPECT_EQ(combo->GetText(), "");
    host.TypeText("Salt");
    host.PressKey(VK_RETURN);
    other->SetFocus();
    EXPECT_EQ(combo->GetHistory().GetCount(), 0);  // no automatic history
    combo->SetFocus();
    host.PressKey(VK_END);
    host.TypeText("y");
    host.PressKey(VK_ESCAPE);
    EXPECT_EQ(combo->GetText(), "Salt");
    EXPECT_EQ(Selected(), "Salt");
    // A pick with the mouse after Escape stays picked.
    combo->SetMRUCombo(false);
    const int before = changes;
    combo->SetDroppedDown(true);
    const TRect row = combo->GetListView()->RowRect(1);
    host.Click(*combo->GetListWindow(), 20, 1 + (row.Top + row.Bottom) / 2);
    EXPECT_EQ(combo->GetText(), "Wood");
    EXPECT_EQ(changes, before + 1);
}

}  // namespace
