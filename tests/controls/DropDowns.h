#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string_view>

#include "gui/Application.h"
#include "gui/Edit.h"
#include "gui/Forms.h"
#include "gui/headless/HeadlessHost.h"

namespace thorn::test {

// A form at (100, 100) on a work area of 800 x 600, holding the control
// under test at (10, 10) and a plain edit below it to move the focus to.
template <typename Control>
class DropDownForm : public ::testing::Test {
protected:
    DropDownForm() {
        host.SetWorkArea({0, 0, 800, 600});
        form = Application->CreateForm<TForm>();
        form->SetBounds(100, 100, 300, 200);
        control = thorn::Make<Control>(*form);
        control->SetParent(form);
        control->SetBounds(10, 10, 120, 21);
        other = thorn::Make<TEdit>(*form);
        other->SetParent(form);
        other->SetBounds(10, 120, 120, 21);
        form->Show();
        control->SetFocus();
    }
    // A press and release on a point of a control of the form.
    void ClickOn(TControl& c, TPoint p) {
        const TPoint at = c.ClientToParent(p, form);
        host.Click(*form, at.X, at.Y);
    }
    // Where the control's top-left corner is on the screen.
    TPoint ScreenTopLeft() const { return form->ClientToScreen({control->GetLeft(), control->GetTop()}); }
    void Type(std::string_view text) {
        for (char ch : text) {
            const auto key = static_cast<TKey>(std::toupper(static_cast<unsigned char>(ch)));
            host.KeyDown(key);
            host.TypeText(std::string_view(&ch, 1));
            host.KeyUp(key);
        }
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    Control* control = nullptr;
    TEdit* other = nullptr;
};

}  // namespace thorn::test
