// Feeds arbitrary bytes to the shell link reader: it either refuses them or
// reads a link that the writer can write again and the reader reads back
// with the same texts and header fields.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/ShellLink.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto link = thorn::DecodeShellLink(std::span<const uint8_t>(data, size));
    if (!link) return 0;
    const auto bytes = thorn::EncodeShellLink(*link);
    if (!bytes) {
        // Only a local path or volume label with a zero inside cannot be
        // written, and the reader never gives one.
        std::abort();
    }
    const auto back = thorn::DecodeShellLink(*bytes);
    if (!back || back->description != link->description || back->relativePath != link->relativePath ||
        back->workingDirectory != link->workingDirectory || back->arguments != link->arguments ||
        back->iconLocation != link->iconLocation || back->hotKey != link->hotKey ||
        back->showCommand != link->showCommand || back->iconIndex != link->iconIndex ||
        back->fileSize != link->fileSize || back->writeTime != link->writeTime)
        std::abort();
    if (!link->localBasePath.empty() &&
        (back->localBasePath != link->localBasePath || back->commonPathSuffix != link->commonPathSuffix ||
         back->volumeLabel != link->volumeLabel || back->driveSerialNumber != link->driveSerialNumber))
        std::abort();
    return 0;
}
