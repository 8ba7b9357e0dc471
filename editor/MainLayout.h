#pragma once

class TMainForm;

namespace thorn {

// Places the main window's controls as it is designed: the tool bar on top
// with the buttons of its actions, the status bar's four panels, the players
// and provinces pages on the left beside the splitter, and the scroll box of
// the world view with its placeholder text; the castle and marker picture
// lists and the blink timer. The actions must exist already.
void BuildMainLayout(TMainForm& form);

}  // namespace thorn
