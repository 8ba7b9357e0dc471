#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gui/Buttons.h"
#include "gui/Forms.h"

namespace thorn {

// The message box: an icon, the text and a row of buttons (OK; OK and
// Cancel; Yes and No; Yes, No and Cancel; Abort, Retry and Ignore; Retry and
// Cancel). Enter clicks the focused or default button, Escape the Cancel
// button (the OK button when OK is the only one); a box without either
// cannot be closed from its frame. A button's underlined letter clicks it,
// with Alt or without (Y, N, C in a Yes, No, Cancel box), as desktop boxes
// do.
class TMessageForm : public TCustomForm {
public:
    TMessageForm(std::string_view text, std::string_view caption, uint32_t flags);

    std::string DialogText() const override { return text_; }
    const std::string& GetMessageText() const { return text_; }
    uint32_t GetFlags() const { return flags_; }
    // The IDs of the buttons, left to right.
    const std::vector<int>& GetButtonIds() const { return ids_; }
    bool HasButton(int id) const;
    TButton* GetButton(int id) const;
    bool CloseQuery() override;

protected:
    void Paint() override;
    void KeyDown(TKey& key, TShiftState shift) override;

private:
    std::string text_;
    uint32_t flags_;
    std::vector<int> ids_;
    std::vector<TButton*> buttons_;
    TRect textRect_;
    int escapeResult_ = 0;
};

// Shows a message box modally and answers the ID of the button chosen.
int RunMessageBox(std::string_view text, std::string_view caption, uint32_t flags);

}  // namespace thorn
