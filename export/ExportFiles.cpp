#include "export/ExportFiles.h"

#include "platform/Files.h"

namespace thorn {

std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) text += part;
    return text;
}

void WriteGameFile(const std::filesystem::path& file, std::span<const uint8_t> bytes, FileCut cut) {
    const std::string name = file.filename().string();
    if (cut == FileCut::Whole && bytes.size() > kGameFileLimit)
        throw ExportError(Joined({"the file \"", name, "\" would be ", std::to_string(bytes.size()),
                                  " bytes, over the 64000 bytes the game reads in one piece"}));
    // The export's own private folder: no one reads a file before it is
    // whole, and a failed export removes the folder.
    if (!WriteWholeFile(file, bytes)) throw ExportError(Joined({"the file \"", name, "\" could not be written"}));
}

}  // namespace thorn
