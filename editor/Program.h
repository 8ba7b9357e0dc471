#pragma once

#include <memory>

class TApplication;

namespace thorn {

class Host;

// What the program does once its application stands: the application's
// title, the main window (its creation loads the start folder's files),
// then the warnings window, the text dialog and the about box.
void CreateEditorWindows(TApplication& app);

// The whole program on a host: the main module's objects, the application,
// the windows and the message loop until the main window closes. An
// exception that escapes is shown with the exception box. Answers 0.
int RunEditor(std::unique_ptr<Host> host);

}  // namespace thorn
