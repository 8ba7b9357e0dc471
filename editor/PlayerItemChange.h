#pragma once

class TMainForm;

namespace thorn {

// Ties the player grid's events to the main window: every edit reaches
// RMIPlayerItemChange, and a name the project refused while it was typed
// gives way to the stored one when the edit ends (Enter, or another row).
void ConnectPlayerGrid(TMainForm& form);

}  // namespace thorn
