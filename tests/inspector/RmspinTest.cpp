#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "gui/Application.h"
#include "gui/Edit.h"
#include "gui/Forms.h"
#include "gui/headless/HeadlessHost.h"
#include "inspector/Rmspeedbtns.h"
#include "inspector/Rmspin.h"
#include "platform/Filer.h"

namespace {

// A focused spin edit at (10, 10), 100 x 24, beside a plain edit to move the
// focus to.
class SpinEdit : public ::testing::Test {
protected:
    SpinEdit() {
        form = Application->CreateForm<TForm>();
        form->SetBounds(100, 100, 240, 120);
        spin = thorn::Make<TrmSpinEdit>(*form);
        spin->SetParent(form);
        spin->SetBounds(10, 10, 100, 24);
        other = thorn::Make<TEdit>(*form);
        other->SetParent(form);
        other->SetBounds(10, 60, 100, 24);
        form->Show();
        spin->SetFocus();
    }
    // Typed at the end of the text, as a keyboard delivers it.
    void Type(std::string_view text) {
        spin->SetSelStart(static_cast<int>(spin->GetText().size()));
        for (char ch : text) {
            const auto key = static_cast<TKey>(std::toupper(static_cast<unsigned char>(ch)));
            host.KeyDown(key);
            host.TypeText(std::string_view(&ch, 1));
            host.KeyUp(key);
        }
    }
    void ClickHalf(bool up) {
        TrmSpeedButton* half = up ? static_cast<TrmSpeedButton*>(spin->GetButton()->GetUpButton())
                                  : static_cast<TrmSpeedButton*>(spin->GetButton()->GetDownButton());
        const TPoint p = half->ClientToParent({half->GetWidth() / 2, half->GetHeight() / 2}, form);
        host.Click(*form, p.X, p.Y);
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TrmSpinEdit* spin = nullptr;
    TEdit* other = nullptr;
};

TEST_F(SpinEdit, TypingKeepsToSignAndDigits) {
    struct Case {
        const char* what;
        bool editorEnabled;
        const char* typed;
        const char* text;
        int beeps;
    };
    const Case cases[] = {
        {"digits and a sign", true, "-12", "0-12", 0},
        {"letters and a plus refused", true, "ab+", "0", 3},
        {"nothing typed while the editor is off", false, "7", "0", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        spin->SetText("0");
        spin->SetEditorEnabled(c.editorEnabled);
        const int beeps = host.BeepCount();
        Type(c.typed);
        EXPECT_EQ(spin->GetText(), c.text);
        EXPECT_EQ(host.BeepCount() - beeps, c.beeps);
    }
    // Enter is refused too (the key types its character itself).
    const int before = host.BeepCount();
    host.PressKey(VK_RETURN);
    EXPECT_EQ(host.BeepCount() - before, 1);
    // With the editor off, Backspace and pasting do nothing either; the
    // arrows still step.
    host.PressKey(VK_BACK);
    host.SetClipboardText("42");
    host.PressKey('V', {ssCtrl});
    EXPECT_EQ(spin->GetText(), "0");
    host.PressKey(VK_UP);
    EXPECT_EQ(spin->GetText(), "1");
}

TEST_F(SpinEdit, StepsWithKeysAndButtonsWithinTheRange) {
    spin->SetMaxValue(10);
    spin->SetUseRanges(true);
    spin->SetValue(9);
    host.PressKey(VK_UP);
    EXPECT_EQ(spin->GetText(), "10");
    EXPECT_EQ(spin->GetSelLength(), 2) << "a step selects the text";
    EXPECT_FALSE(spin->GetButton()->GetUpEnabled());
    host.PressKey(VK_UP);
    ClickHalf(true);
    EXPECT_EQ(spin->GetValue(), 10) << "nothing past the limit";
    ClickHalf(false);
    EXPECT_EQ(spin->GetValue(), 9);
    EXPECT_TRUE(spin->GetButton()->GetUpEnabled());

    // A limit that would pass the other is ignored.
    spin->SetMaxValue(-5);
    EXPECT_EQ(spin->GetMaxValue(), 10);
    spin->SetMinValue(11);
    EXPECT_EQ(spin->GetMinValue(), 0);

    // Text that is no number steps from MinValue.
    spin->SetText("x");
    host.PressKey(VK_UP);
    EXPECT_EQ(spin->GetText(), "1");

    // A read-only edit beeps and keeps its value.
    spin->SetReadOnly(true);
    const int beeps = host.BeepCount();
    host.PressKey(VK_DOWN);
    EXPECT_EQ(spin->GetText(), "1");
    EXPECT_EQ(host.BeepCount(), beeps + 1);
}

TEST_F(SpinEdit, LeavingPutsTheValueBackInRange) {
    spin->SetUseRanges(true);
    // Digits typed one by one pass through numbers beyond the range; the
    // text stays as typed until the edit is left.
    struct Case {
        int minimum, maximum;
        const char* typed;
        const char* left;
    };
    for (const Case& c : {Case{0, 10, "12", "10"}, Case{100, 200, "150", "150"}}) {
        SCOPED_TRACE(c.typed);
        spin->SetMaxValue(c.maximum);
        spin->SetMinValue(c.minimum);
        spin->SetFocus();
        spin->SetText("");
        const std::string typed = c.typed;
        for (size_t i = 1; i <= typed.size(); ++i) {
            Type(typed.substr(i - 1, 1));
            EXPECT_EQ(spin->GetText(), typed.substr(0, i));
            EXPECT_EQ(spin->GetSelStart(), static_cast<int>(i));
        }
        other->SetFocus();
        EXPECT_EQ(spin->GetText(), c.left);
    }
    // Without ranges nothing is clamped, and a step keeps to 32 bits.
    spin->SetUseRanges(false);
    spin->SetValue(2147483647);
    spin->SetFocus();
    host.PressKey(VK_UP);
    EXPECT_EQ(spin->GetText(), "2147483647");
    EXPECT_TRUE(spin->GetButton()->GetUpEnabled());
    EXPECT_TRUE(spin->GetButton()->GetDownEnabled());
}

TEST_F(SpinEdit, TheButtonsSitRightOfTheText) {
    const TRect text = spin->GetFormattingRect();
    const TrmSpinButton& buttons = *spin->GetButton();
    EXPECT_EQ(buttons.GetLeft() + buttons.GetWidth(), spin->GetClientWidth());
    EXPECT_EQ(buttons.GetHeight(), spin->GetClientHeight());
    EXPECT_EQ(text.Right, buttons.GetLeft() - 1);
}

TEST(SpinEditStream, LimitsReadBackInAnyOrder) {
    RegisterClass<TrmSpinEdit>("TrmSpinEdit");
    TrmSpinEdit source;
    source.SetName("Turn");
    // Both below the other's default: either read alone would be refused.
    source.SetMinValue(-20);
    source.SetMaxValue(-10);
    source.SetUseRanges(true);
    source.SetValue(-15);
    source.SetIncrement(5);
    TMemoryStream stream;
    thorn::WriteComponent(stream, source);
    stream.SetPosition(0);
    std::unique_ptr<TComponent> copy = thorn::ReadComponent(stream);
    auto* read = dynamic_cast<TrmSpinEdit*>(copy.get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetMinValue(), -20);
    EXPECT_EQ(read->GetMaxValue(), -10);
    EXPECT_EQ(read->GetValue(), -15);
    EXPECT_EQ(read->GetIncrement(), 5);
    EXPECT_TRUE(read->GetUseRanges());
}

}  // namespace
