#include "export/ExportFiles.h"

#include "platform/Files.h"

namespace thorn {

std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) text += part;
    return text;
}

TemporaryWriteError::TemporaryWriteError(const std::filesystem::path& file, std::string reason)
    : ExportError(Joined({"the file \"", file.filename().string(), "\" could not be written: ", reason})),
      reason_(std::move(reason)) {}

void WriteGameFile(const std::filesystem::path& file, std::span<const uint8_t> bytes, FileCut cut) {
    const std::string name = file.filename().string();
    if (cut == FileCut::Whole && bytes.size() > kGameFileLimit)
        throw ExportError(Joined({"the file \"", name, "\" would be ", std::to_string(bytes.size()),
                                  " bytes, over the 64000 bytes the game reads in one piece"}));
    // The export's own private folder: no one reads a file before it is
    // whole, and a failed export removes the folder.
    try {
        WriteWholeFile(file, bytes);
    } catch (const FileWriteError& error) {
        throw TemporaryWriteError(file, error.Reason());
    }
}

}  // namespace thorn
