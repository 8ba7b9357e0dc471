#include "gui/LoneAlt.h"

namespace thorn {

void LoneAlt::Key(const KeyInput& input) {
    released_ = false;
    if (input.key == VK_MENU) {
        if (input.action == KeyAction::Down) {
            alone_ = true;
        } else {
            released_ = alone_;
            alone_ = false;
        }
        return;
    }
    // A key let go (one pressed before Alt) takes nothing from Alt's press.
    if (input.action == KeyAction::Down) alone_ = false;
}

void LoneAlt::Spoil() {
    alone_ = false;
    released_ = false;
}

}  // namespace thorn
