#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Reads a Palm database with Perl's Palm::PDB (Debian's libpalm-pdb-perl), a
// reader that has nothing to do with our writer. Throws std::runtime_error
// when perl or the module is missing or the reader refuses the file, so a
// test that uses it fails rather than skips.
namespace thorn::test {

struct PalmResource {
    std::string type;
    uint32_t id = 0;
    std::vector<uint8_t> data;
};

struct PalmDatabase {
    std::string name;
    std::string type;
    std::string creator;
    bool resourceDatabase = false;
    int version = 0;
    int64_t created = 0;   // seconds since 1970, as the reader converts them
    int64_t modified = 0;
    std::vector<PalmResource> resources;
};

PalmDatabase ReadWithPalmPdb(const std::filesystem::path& file);

}  // namespace thorn::test
