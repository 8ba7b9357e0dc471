#pragma once

#include <memory>

class TApplication;

namespace thorn {

class Host;

// What the program does once its application stands: the application's
// title, the main window (its creation loads the start folder's files),
// then the warnings window, the text dialog and the about box.
void CreateEditorWindows(TApplication& app);

// The whole program on a host: the application, the main module's objects,
// the windows and the message loop until the main window closes; then the
// same undone in the reverse order. An exception that escapes is shown with
// the exception box. Answers 0.
int RunEditor(std::unique_ptr<Host> host);

// The program is about to end abruptly (its display went away): the
// settings and the windows' places are written as the main window's close
// writes them, if it has not yet. Throws what the write meets.
void WriteSettingsBeforeTheEnd();

}  // namespace thorn
