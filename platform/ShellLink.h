#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Shell link files (".lnk"): what the desktop shell's link object read and
// wrote. Texts are Windows-1252; characters of a link that the code page
// lacks read as "?".
namespace thorn {

struct ShellLink {
    // Facts about the target, as the header keeps them (0 = not known).
    uint32_t fileAttributes = 0;
    uint64_t creationTime = 0;  // 100-ns ticks since 1601-01-01 UTC
    uint64_t accessTime = 0;
    uint64_t writeTime = 0;
    uint32_t fileSize = 0;

    int32_t iconIndex = 0;
    uint32_t showCommand = 1;  // 1 normal, 3 maximized, 7 minimized
    uint16_t hotKey = 0;       // key in the low byte; 0x100 Shift, 0x200 Ctrl, 0x400 Alt

    // Where the target is: a local path, or a network share (netName, such
    // as "\\server\share") with the rest of the path in commonPathSuffix.
    std::string localBasePath;
    std::string netName;
    std::string commonPathSuffix;
    uint32_t driveType = 3;  // fixed disk
    uint32_t driveSerialNumber = 0;
    std::string volumeLabel;

    std::string description;
    std::string relativePath;
    std::string workingDirectory;
    std::string arguments;
    std::string iconLocation;

    // The target's full path, the network form first: netName "\" suffix,
    // else localBasePath followed by the suffix; empty when the link names
    // no path.
    std::string TargetPath() const;

    bool operator==(const ShellLink&) const = default;
};

// The link in bytes, or nothing when they are not a complete, well-formed
// link: every size, offset and count is checked against the bytes present,
// and the closing block must be there.
std::optional<ShellLink> DecodeShellLink(std::span<const uint8_t> bytes);

// The bytes of a link file (header, the local target path when there is one,
// the texts in UTF-16, the closing block); nothing when a text is longer than
// the format holds (65535 characters).
std::optional<std::vector<uint8_t>> EncodeShellLink(const ShellLink& link);

}  // namespace thorn
