#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The editor's default start folder, made from nothing but this program:
// catalogue, settings, pictures, texture strips, province names and sample
// worlds. The same bytes every time.
namespace thorn::startdir {

struct GeneratedFile {
    std::string path;  // relative to the start folder, with "/"
    std::vector<uint8_t> bytes;
};

// Every file of the start folder, in a fixed order.
std::vector<GeneratedFile> MakeStartFolder();

// Writes them under folder, making the subfolders; files of other names are
// left alone. Throws std::runtime_error naming a file that cannot be written.
void WriteStartFolder(const std::filesystem::path& folder);

}  // namespace thorn::startdir
