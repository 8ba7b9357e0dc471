#pragma once

#include <span>
#include <string>
#include <string_view>

#include "controls/Rmlibrary_Texts.h"

// System routines of the controls library: the operating system's version,
// the machine's network name and address, and switches of the command line.

enum TWinOSVersion { wosWin3x, wosWin95, wosWin98, wosWinNT3x, wosWinNT4x, wosWinNT2k, wosWinNTX, wosUnknown };

// The family of the original platform the program runs on: wosUnknown here,
// as for any system outside that family.
TWinOSVersion WinOSVersion();

// The machine's official host name, or the empty text when the name of the
// machine cannot be looked up.
std::string LocalName();
// The last IPv4 address the machine's name resolves to, in dotted form, or
// the empty text when there is none.
std::string LocalIP();

// Looks through the program's parameters for the first one that starts with
// one of chars (any character when chars is empty) followed by switchName
// (compared without case when ignoreCase); param receives the rest of it and
// the answer is true ("-oC:\x" with the switch "o" gives "C:\x"). Otherwise
// param is emptied and the answer is false.
bool FindCmdLineSwitchWithParam(std::string_view switchName, const TrmCharSet& chars, bool ignoreCase,
                                std::string& param);

namespace thorn {
// The same over the given parameters (without the program's own name).
bool FindSwitchWithParam(std::span<const std::string> params, std::string_view switchName, const TrmCharSet& chars,
                         bool ignoreCase, std::string& param);
}  // namespace thorn
