#pragma once

#include <filesystem>
#include <string>
#include <string_view>

class TMainForm;

namespace thorn {

// The name of the project file Save As writes for the name chosen in its
// dialog: a final ".pw" (exactly so, in lower case) is kept, anything else
// gets ".pw" added, so "a.PW" becomes "a.PW.pw".
std::string ProjectFileName(std::string_view chosen);

// Whether the game keeps the name for its own first scenario: "scenario01"
// in any case, whatever the folder and the extension.
bool IsReservedMissionName(const std::filesystem::path& chosen);

// "[" width ":" height "]", the world's size as its status panel shows it.
std::string WorldSizeText(int width, int height);

// The save question before a command replaces the project or the window
// closes (a project must exist). Answers whether the command may go on: not
// after Cancel, and after Yes only once the changes are saved, so a
// cancelled Save As or a failed write loses nothing.
bool ChangesSettled(TMainForm& form);

// The main window's file dialogs: the world picture, the project to open
// and the file to save to. The commands that share a dialog set its filter
// before they show it.
void BuildFileDialogs(TMainForm& form);

}  // namespace thorn
