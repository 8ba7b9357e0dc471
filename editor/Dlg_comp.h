#pragma once

#include <filesystem>

#include "gui/BitBtn.h"
#include "gui/Buttons.h"
#include "gui/Dialogs.h"
#include "gui/Forms.h"
#include "gui/Memo.h"
#include "gui/Panel.h"

// "Edit text": the modal dialog the mission and events windows edit long
// texts in. The caller sets the caption, the memo's MaxLength and text,
// shows it modally and takes the memo's text when it answers mrOk ("Ok");
// "Cancel" and Escape answer mrCancel. "Load" replaces the text by a file's.
class TDlgComplex : public TForm {
public:
    explicit TDlgComplex(TComponent& owner);

    // ---- events
    // Gives "Load" the open-file picture of the start folder's small strip.
    void FormCreate(TObject* sender);
    // Asks for a file and loads it into the memo.
    void BitBtnClick(TObject* sender);

    TMemo* Memo = nullptr;
    TPanel* Pn = nullptr;
    TBitBtn* BitBtn = nullptr;
    TButton* BtnOk = nullptr;
    TButton* BtnCancel = nullptr;
    TOpenDialog* OpenDialog = nullptr;

private:
    // The memo's whole text becomes the file's, read as UTF-8 or Windows-1252
    // and cut to the memo's MaxLength with a message; a file holding a NUL or
    // a character Windows-1252 lacks is refused with a message and the memo
    // keeps its text. A file that cannot be read raises the platform's
    // error, the memo keeping its text too.
    void LoadFile(const std::filesystem::path& file);
};
