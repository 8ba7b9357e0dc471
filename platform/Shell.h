#pragma once

#include <string>
#include <string_view>

namespace thorn {

// Opens a link (a web address or a file) with the desktop's handler: runs
// "xdg-open" with the link as its one argument, through no shell, and does
// not wait for it to finish. Answers whether the program was started. An
// empty link, or one beginning with "-" (which the handler would take for an
// option), is not opened.
bool OpenLink(std::string_view link);

// The program OpenLink runs, looked up in PATH unless it names a file; an
// empty name restores "xdg-open". Tests put a program of their own there.
void SetLinkOpener(std::string program);

}  // namespace thorn
