#pragma once

#include "gui/Dialogs.h"

// The picture dialogs: the open and save dialogs with a preview of the
// picture chosen in the list beside it. Their filter starts with the
// pictures the platform reads.
class TOpenPictureDialog : public TOpenDialog {
public:
    TOpenPictureDialog();

protected:
    thorn::FileDialogSetup MakeSetup() const override;
};

class TSavePictureDialog : public TOpenPictureDialog {
protected:
    std::string DefaultTitle() const override { return "Save As"; }
    thorn::FileDialogSetup MakeSetup() const override;
};
