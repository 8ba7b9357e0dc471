#include "gui/ExtDlgs.h"

TOpenPictureDialog::TOpenPictureDialog() {
    SetFilter("All (*.bmp;*.jpg;*.jpeg;*.ico)|*.bmp;*.jpg;*.jpeg;*.ico|Bitmaps (*.bmp)|*.bmp|"
              "JPEG Image File (*.jpg;*.jpeg)|*.jpg;*.jpeg|Icons (*.ico)|*.ico");
}

thorn::FileDialogSetup TOpenPictureDialog::MakeSetup() const {
    thorn::FileDialogSetup setup = TOpenDialog::MakeSetup();
    setup.preview = true;
    return setup;
}

thorn::FileDialogSetup TSavePictureDialog::MakeSetup() const {
    thorn::FileDialogSetup setup = TOpenPictureDialog::MakeSetup();
    setup.save = true;
    return setup;
}
