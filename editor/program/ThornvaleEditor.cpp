#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <string>

#include "editor/Program.h"
#include "gui/sdl/SdlHost.h"
#include "gui/sdl/X11Errors.h"

namespace {

bool Set(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

constexpr const char* kNoDisplay =
    "thornvale-editor: no display to show its windows on; set DISPLAY (X11) or WAYLAND_DISPLAY (Wayland)";

}  // namespace

// The editor takes no arguments: it works in the folder it is started in.
int main() {
    // SDL_VIDEODRIVER names a display of its own (a test's "dummy").
    if (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY") && !Set("SDL_VIDEODRIVER")) {
        std::cerr << kNoDisplay << '\n';
        return 1;
    }
    std::unique_ptr<thorn::SdlHost> host;
    try {
        host = std::make_unique<thorn::SdlHost>();
    } catch (const std::exception& e) {
        std::cerr << kNoDisplay << " (" << e.what() << ")\n";
        return 1;
    }
    // When the display named cannot be reached, SDL falls back to a driver
    // that shows nothing: the editor would wait there for ever.
    const std::string driver = host->VideoDriver();
    if (!Set("SDL_VIDEODRIVER") && driver != "x11" && driver != "wayland") {
        std::cerr << kNoDisplay << " (SDL found no display but \"" << driver << "\")\n";
        return 1;
    }
    // A display that goes away ends the program at once: what can still be
    // kept of the session is.
    thorn::SetDisplayLostHandler(thorn::WriteSettingsBeforeTheEnd);
    return thorn::RunEditor(std::move(host));
}
