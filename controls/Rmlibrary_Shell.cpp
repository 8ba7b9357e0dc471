#include "controls/Rmlibrary_Shell.h"

#include "platform/Charset.h"
#include "platform/Classes.h"
#include "platform/Files.h"
#include "platform/ShellLink.h"

namespace {

// Shortcut files are a few kilobytes; anything far larger is not one.
constexpr uint64_t kMaxShortcutFile = uint64_t{16} << 20;

// Modifier bits of a link's hot key, in its high byte.
constexpr uint16_t kLinkShift = 0x100;
constexpr uint16_t kLinkCtrl = 0x200;
constexpr uint16_t kLinkAlt = 0x400;

// How a link asks the target's window to be shown.
constexpr uint32_t kShowNormal = 1;
constexpr uint32_t kShowMaximized = 3;
constexpr uint32_t kShowMinNoActive = 7;

void RequireName(const std::filesystem::path& fileName) {
    if (fileName.empty()) throw Exception("No file specified");
}

// The extension with its dot, after the last folder separator: ".bashrc"
// has the extension ".bashrc", "a.tar.gz" ".gz".
std::string ExtensionOf(const std::filesystem::path& fileName) {
    const std::string name = fileName.string();
    const size_t dot = name.find_last_of('.');
    const size_t folder = name.find_last_of("/\\:");
    if (dot == std::string::npos || (folder != std::string::npos && dot < folder)) return {};
    return name.substr(dot);
}

// A missing shortcut is read all the same, so that its error is reported.
void CheckShortcut(const std::filesystem::path& fileName) {
    RequireName(fileName);
    std::string extension = ExtensionOf(fileName);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::error_code error;
    if (extension == ".lnk" && !std::filesystem::exists(fileName, error)) ReadShortCutFile(fileName);
}

TWindowState StateOfShowCommand(uint32_t command) {
    switch (command) {
        case 2: case 6: case 7: return wsMinimized;
        case 3: case 10: return wsMaximized;
        default: return wsNormal;
    }
}

uint32_t ShowCommandOfState(TWindowState state) {
    switch (state) {
        case wsMinimized: return kShowMinNoActive;
        case wsMaximized: return kShowMaximized;
        default: return kShowNormal;
    }
}

}  // namespace

std::string GetFileType(const std::filesystem::path& fileName) {
    RequireName(fileName);
    const std::string extension = ExtensionOf(fileName);
    // A name ending in a dot has no extension to show either.
    if (extension.size() <= 1) return "File";
    std::string type;
    for (char c : extension.substr(1)) type += static_cast<char>(thorn::UpperCase1252(static_cast<unsigned char>(c)));
    return type + " File";
}

TBitmap32* GetFileIcon(const std::filesystem::path& fileName, bool small) {
    CheckShortcut(fileName);
    return nullptr;
}

int32_t GetFileImageIndex(const std::filesystem::path& fileName, bool small) {
    CheckShortcut(fileName);
    return -1;
}

bool GetFileImages(TCustomImageList& images, bool small) { return false; }

TShortcutDetails ReadShortCutFile(const std::filesystem::path& fileName) {
    std::optional<std::vector<uint8_t>> bytes;
    try {
        // The size is checked on the file as it is read, so a larger one
        // put in its place meanwhile is refused too.
        bytes = thorn::ReadRegularFile(fileName, kMaxShortcutFile);
    } catch (const EStreamError&) {
    }
    const std::optional<thorn::ShellLink> link = bytes ? thorn::DecodeShellLink(*bytes) : std::nullopt;
    if (!link) throw Exception("Error opening Shortcut.");

    TShortcutDetails details;
    details.Arguments = link->arguments;
    details.Description = link->description;
    details.HotKey = static_cast<TShortCut>((link->hotKey & 0xFF) | ((link->hotKey & kLinkShift) ? scShift : 0) |
                                            ((link->hotKey & kLinkCtrl) ? scCtrl : 0) |
                                            ((link->hotKey & kLinkAlt) ? scAlt : 0));
    details.IconLocation = link->iconLocation;
    details.IconIndex = link->iconIndex;
    details.Path = link->TargetPath();
    details.ShowCommand = StateOfShowCommand(link->showCommand);
    details.WorkingDirectory = link->workingDirectory;
    return details;
}

void WriteShortCutFile(const std::filesystem::path& fileName, const TShortcutDetails& details) {
    thorn::ShellLink link;
    link.arguments = details.Arguments;
    link.description = details.Description;
    link.hotKey = static_cast<uint16_t>((details.HotKey & 0xFF) | ((details.HotKey & scShift) ? kLinkShift : 0) |
                                        ((details.HotKey & scCtrl) ? kLinkCtrl : 0) |
                                        ((details.HotKey & scAlt) ? kLinkAlt : 0));
    link.iconLocation = details.IconLocation;
    link.iconIndex = details.IconIndex;
    link.localBasePath = details.Path;
    link.showCommand = ShowCommandOfState(details.ShowCommand);
    link.workingDirectory = details.WorkingDirectory;
    const auto bytes = thorn::EncodeShellLink(link);
    if (!bytes || !thorn::WriteFileReplacing(fileName, *bytes)) throw Exception("Error creating Shortcut.");
}
