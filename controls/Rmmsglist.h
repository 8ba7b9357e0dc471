#pragma once

#include <cstdint>
#include <string>

// Readable names of window-message numbers, for tracing the messages a
// control receives.

// The name of message msg: a window message of the platform ("wm_Paint"), a
// control or reflected notification message of the class library
// ("CM_RELEASE", "CN_COMMAND") or a tree-view message ("TVM_EXPAND"). A number
// without a name gives "wm_User message (<msg>)" inside the application's own
// range 0x0400..0x7FFF and "Undocumented (<msg>)" elsewhere. Never fails.
std::string GetMessageName(int32_t msg);
