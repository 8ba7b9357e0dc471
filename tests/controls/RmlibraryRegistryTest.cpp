#include <gtest/gtest.h>

#include "controls/Rmlibrary_Registry.h"
#include "gui/TestControls.h"
#include "support/TempDir.h"

namespace {

constexpr const char* kKey = "Software\\Thornvale\\Editor";

// A headless application whose registry lives in a fresh configuration
// folder.
class RegistryRoutines : public ::testing::Test {
protected:

    // A form of the given name and bounds.
    TForm* Form(const std::string& name, TRect bounds) {
        TForm* form = Application->CreateForm<TForm>();
        form->SetName(name);
        form->SetBoundsRect(bounds);
        return form;
    }
    TRect Bounds(const TForm& form) const {
        return {form.GetLeft(), form.GetTop(), form.GetLeft() + form.GetWidth(), form.GetTop() + form.GetHeight()};
    }

    thorn::test::TempConfigHome dir_;
    thorn::HeadlessApplication session;
};

TEST_F(RegistryRoutines, Strings) {
    WriteRegString(HKEY_CURRENT_USER, kKey, "Item_0", "Isle of Thorns");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kKey, "Item_0", "none"), "Isle of Thorns");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kKey, "Item_1", "none"), "none");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, "Software\\Other", "Item_0", "none"), "none");
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kKey, "Item_0", "none"), "none");
}

TEST_F(RegistryRoutines, DialogPositions) {
    TForm* first = Form("Find", {10, 20, 310, 220});
    SaveDialogPosition(*first, kKey, HKEY_CURRENT_USER);
    thorn::Free(first);  // the names of an owner's forms are unique
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(std::string(kKey) + "\\Dialog\\Find"));
    EXPECT_EQ(registry.ReadInteger("Height"), 200);

    TForm* again = Form("Find", {0, 0, 100, 100});
    EXPECT_TRUE(LoadDialogPosition(*again, kKey, HKEY_CURRENT_USER));
    EXPECT_EQ(Bounds(*again), (TRect{10, 20, 310, 220}));
    thorn::Free(again);

    // A missing value leaves that bound as it was, and the answer is false.
    ASSERT_TRUE(registry.OpenKey(std::string("\\") + kKey + "\\Dialog\\Find", false));
    ASSERT_TRUE(registry.DeleteValue("Width"));
    TForm* part = Form("Find", {0, 0, 50, 60});
    EXPECT_FALSE(LoadDialogPosition(*part, kKey, HKEY_CURRENT_USER));
    EXPECT_EQ(Bounds(*part), (TRect{10, 20, 60, 220}));

    TForm* unknown = Form("Replace", {1, 2, 3, 4});
    EXPECT_FALSE(LoadDialogPosition(*unknown, kKey, HKEY_CURRENT_USER));
    EXPECT_EQ(Bounds(*unknown), (TRect{1, 2, 3, 4}));
}

TEST_F(RegistryRoutines, FormStates) {
    struct Case {
        TWindowState state;
        bool restoreState;
        TWindowState restored;
        TRect bounds;  // of the form the state is loaded into, {5, 5, 55, 55} before
    } const cases[] = {
        {wsNormal, true, wsNormal, {30, 40, 430, 340}},
        {wsMinimized, true, wsMinimized, {30, 40, 430, 340}},
        {wsMaximized, true, wsMaximized, {5, 5, 55, 55}},  // a maximized form keeps no bounds
        {wsMaximized, false, wsNormal, {5, 5, 55, 55}},
    };
    int n = 0;
    for (const auto& [state, restoreState, restored, bounds] : cases) {
        SCOPED_TRACE(n);
        const std::string name = "Tool" + std::to_string(n++);
        TForm* saved = Form(name, {30, 40, 430, 340});
        saved->SetWindowState(state);
        SaveFormState(*saved, kKey, HKEY_CURRENT_USER);
        thorn::Free(saved);
        TForm* loaded = Form(name, {5, 5, 55, 55});
        LoadFormState(*loaded, kKey, false, restoreState, HKEY_CURRENT_USER);
        EXPECT_EQ(loaded->GetWindowState(), restored);
        EXPECT_EQ(Bounds(*loaded), bounds);
    }

    for (bool maximize : {true, false}) {
        TForm* fresh = Form("Fresh", {5, 5, 55, 55});
        fresh->SetWindowState(wsMinimized);
        LoadFormState(*fresh, kKey, maximize, true, HKEY_CURRENT_USER);
        EXPECT_EQ(fresh->GetWindowState(), maximize ? wsMaximized : wsNormal);
        EXPECT_EQ(Bounds(*fresh), (TRect{5, 5, 55, 55}));
        thorn::Free(fresh);
    }
    EXPECT_TRUE(session.Host().ShownDialogs().empty());
}

TEST_F(RegistryRoutines, FailuresAreWarnedAbout) {
    TForm* form = Form("Main", {30, 40, 430, 340});
    SaveFormState(*form, kKey, HKEY_CURRENT_USER);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(std::string(kKey) + "\\Form\\Main", false));
    registry.WriteString("Left", "far left");
    session.Host().AnswerMessageBox(IDOK, "Error occured while restoring window state.");
    LoadFormState(*form, kKey, false, true, HKEY_CURRENT_USER);

    // Every write of the store locks the lock file beside it; a folder in
    // its place makes every write fail.
    std::filesystem::remove(dir_ / "thornvale-editor/registry.lock");
    std::filesystem::create_directories(dir_ / "thornvale-editor/registry.lock/blocked");
    session.Host().AnswerMessageBox(IDOK, "Error occured while saving window state.");
    SaveFormState(*form, kKey, HKEY_CURRENT_USER);
    EXPECT_EQ(session.Host().PendingScripts(), 0u);
}

}  // namespace
