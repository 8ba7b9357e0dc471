#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "gui/ControlTypes.h"
#include "gui/Forms.h"
#include "gui/ImageList.h"

class TBitmap32;

// Shell routines of the controls library: the type name and icon of a file
// and shortcut (".lnk") files. There is no system list of file icons here, so
// the icon routines give their "none" answers.

struct TShortcutDetails {
    std::string Arguments;
    std::string Description;
    TShortCut HotKey = scNone;  // key in the low byte with scShift, scCtrl, scAlt
    std::string IconLocation;
    int32_t IconIndex = 0;
    std::string Path;
    TWindowState ShowCommand = wsNormal;
    std::string WorkingDirectory;

    bool operator==(const TShortcutDetails&) const = default;
};

// The file's type as the user sees it: its extension in capitals followed by
// " File" ("XYZ File" for ".xyz"), or "File" without an extension. An empty
// name raises Exception "No file specified".
std::string GetFileType(const std::filesystem::path& fileName);

// The file's icon (none here) and its place in the system's icon list (-1
// here). An empty name raises Exception "No file specified"; a missing file
// named ".lnk" is read as a shortcut, which raises "Error opening Shortcut.".
TBitmap32* GetFileIcon(const std::filesystem::path& fileName, bool small);
int32_t GetFileImageIndex(const std::filesystem::path& fileName, bool small);

// Would attach the system's list of file icons (large, or small when asked)
// to images without handing it over; there is none here, so images stays as
// it is and the answer is false.
bool GetFileImages(TCustomImageList& images, bool small);

// What a shortcut file holds. A file that cannot be read or is not a
// complete, well-formed shortcut raises Exception "Error opening Shortcut.".
TShortcutDetails ReadShortCutFile(const std::filesystem::path& fileName);
// Writes details as a shortcut file (in full or not at all); a failure
// raises Exception "Error creating Shortcut.".
void WriteShortCutFile(const std::filesystem::path& fileName, const TShortcutDetails& details);
