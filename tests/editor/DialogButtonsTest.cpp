#include <gtest/gtest.h>

#include "EditorSession.h"
#include "editor/Dlg_comp.h"
#include "editor/Dlg_error.h"
#include "editor/Main.h"

namespace {

using thorn::test::EditorSession;

// Where the button stands in its window's client area.
TPoint InWindow(const TCustomForm& form, const TControl& button) {
    return form.ScreenToClient(button.ClientToScreen({0, 0}));
}

// The buttons of the dialogs' bottom strips stay where a user looks for them
// as the window is sized: on the strip's row 33 pixels above the bottom, the
// right ones as far from the right edge as before, the left ones in place.
TEST(DialogButtons, KeepTheirPlaceOnTheBottomStripAsTheWindowIsSized) {
    EditorSession editor;
    editor.Start();
    struct Row {
        const char* name;
        TCustomForm* form;
        TButton* button;
        bool right;
    };
    const Row rows[] = {
        {"text dialog: Load", DlgComplex.Get(), DlgComplex->BitBtn, false},
        {"text dialog: Ok", DlgComplex.Get(), DlgComplex->BtnOk, true},
        {"text dialog: Cancel", DlgComplex.Get(), DlgComplex->BtnCancel, true},
        {"warnings: Close", DlgError.Get(), DlgError->BtnOk, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TCustomForm& form = *row.form;
        const TPoint before = InWindow(form, *row.button);
        EXPECT_EQ(before.Y, form.GetClientHeight() - 33);
        const int gap = form.GetClientWidth() - before.X;
        form.Show();
        editor.Host().ResizeWindow(form, form.GetWidth() + 90, form.GetHeight() + 40);
        const TPoint after = InWindow(form, *row.button);
        EXPECT_EQ(after.Y, form.GetClientHeight() - 33);
        EXPECT_EQ(after.X, row.right ? form.GetClientWidth() - gap : before.X);
        EXPECT_EQ(row.button->GetHeight(), 25);
        form.Hide();
    }
    editor.Close();
}

}  // namespace
