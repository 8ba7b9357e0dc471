#pragma once

class TMainForm;

namespace thorn {

// Makes the main window's image list and action list with every command
// (caption, hint, shortcut, state, image and handler as designed) and the
// main menu that places them.
void BuildMainActions(TMainForm& form);

}  // namespace thorn
