#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "PalmPdbReader.h"
#include "export/PackageDirectory.h"

// Shared by the package tests: trees of real files and a reader of directory
// entries written from the record layout, not from the writer's code.
namespace thorn::test {

// 2024-06-11 12:00:00 UTC.
inline constexpr std::time_t kFixedTime = 1718107200;
inline constexpr uint32_t kFixedPalmTime = 1718107200u + 2082844800u;

// A fixed clock and a console the test can read.
struct CapturedEnvironment {
    std::ostringstream console;
    PackEnvironment Get() {
        PackEnvironment env;
        env.now = [] { return kFixedTime; };
        env.console = &console;
        return env;
    }
};

// A packer's answer and what it printed.
struct Packed {
    PackResult result;
    std::string console;
};

// Runs pack(environment) with the fixed clock and a console of its own.
template <typename Pack>
Packed PackCaptured(Pack&& pack) {
    CapturedEnvironment captured;
    PackResult result = pack(captured.Get());
    return {std::move(result), captured.console.str()};
}

// Packs a folder into a database named "mission" or into a flat package,
// with creator "ZORN" and type "RSRC".
enum class PackageForm { Pdb, Pak };
Packed PackFolder(PackageForm form, const std::filesystem::path& source, const std::filesystem::path& destination,
                  bool scramble = false);

void MakeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes);
void MakeFile(const std::filesystem::path& path, size_t size, uint8_t seed = 0);

// A directory entry as the record layout gives it: a 16-byte name, a
// four-byte tag, location, size (or child count and span), depth, records.
struct ParsedEntry {
    std::string name;  // up to the first NUL, at most 16 bytes
    std::vector<uint8_t> rawName;  // all 16 bytes
    std::vector<uint8_t> tag;
    uint32_t location = 0;
    uint32_t size = 0;
    uint16_t childCount = 0, span = 0;  // the two halves of size
    uint8_t depth = 0;
    uint8_t recordCount = 0;
};

// The count entries from the offset on; throws std::runtime_error past the end.
std::vector<ParsedEntry> ParseEntries(std::span<const uint8_t> bytes, size_t offset, size_t count);
// The entries of a flat package, after its header.
std::vector<ParsedEntry> PakEntries(std::span<const uint8_t> pak);
// Fields of a file; throw std::runtime_error past the end.
uint32_t Le32(std::span<const uint8_t> bytes, size_t offset);
uint32_t Be32(std::span<const uint8_t> bytes, size_t offset);
uint16_t Be16(std::span<const uint8_t> bytes, size_t offset);
// Reads a database with Palm::PDB, checks what every package of ours shows
// such a reader (the name, type "RSRC", creator "ZORN", a resource database
// of version 1 stamped with the fixed clock, resources "DATA" numbered from
// 0x1000) and answers it.
PalmDatabase ReadCheckedDatabase(const std::filesystem::path& file, const std::string& name = "mission");

size_t CountOf(const std::string& text, const std::string& part);

}  // namespace thorn::test
