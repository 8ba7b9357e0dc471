#include "PackageTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "export/PakWriter.h"
#include "export/PdbWriter.h"

#include "support/TempDir.h"

namespace thorn::test {

void MakeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    std::filesystem::create_directories(path.parent_path());
    WriteFileBytes(path, bytes);
}

void MakeFile(const std::filesystem::path& path, size_t size, uint8_t seed) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 13 + (i >> 8));
    MakeFile(path, bytes);
}

Packed PackFolder(PackageForm form, const std::filesystem::path& source, const std::filesystem::path& destination,
                  bool scramble) {
    return PackCaptured([&](const PackEnvironment& env) {
        return form == PackageForm::Pdb
                   ? PackDirectoryToPdb(scramble, "mission", "ZORN", "RSRC", source, destination, env)
                   : PackDirectoryToPak(scramble, "ZORN", "RSRC", source, destination, env);
    });
}

namespace {

void Need(std::span<const uint8_t> b, size_t o, size_t n) {
    if (o + n > b.size()) throw std::runtime_error("truncated at " + std::to_string(o));
}

}  // namespace

uint32_t Le32(std::span<const uint8_t> b, size_t o) {
    Need(b, o, 4);
    return uint32_t(b[o]) | uint32_t(b[o + 1]) << 8 | uint32_t(b[o + 2]) << 16 | uint32_t(b[o + 3]) << 24;
}

uint32_t Be32(std::span<const uint8_t> b, size_t o) {
    Need(b, o, 4);
    return uint32_t(b[o]) << 24 | uint32_t(b[o + 1]) << 16 | uint32_t(b[o + 2]) << 8 | uint32_t(b[o + 3]);
}

uint16_t Be16(std::span<const uint8_t> b, size_t o) {
    Need(b, o, 2);
    return static_cast<uint16_t>(b[o] << 8 | b[o + 1]);
}

std::vector<ParsedEntry> ParseEntries(std::span<const uint8_t> bytes, size_t offset, size_t count) {
    Need(bytes, offset, 30 * count);
    std::vector<ParsedEntry> entries;
    for (size_t i = 0; i < count; ++i) {
        const size_t at = offset + 30 * i;
        ParsedEntry e;
        e.rawName.assign(bytes.begin() + at, bytes.begin() + at + 16);
        for (size_t k = 0; k < 16 && bytes[at + k] != 0; ++k) e.name.push_back(static_cast<char>(bytes[at + k]));
        e.tag.assign(bytes.begin() + at + 16, bytes.begin() + at + 20);
        e.location = Le32(bytes, at + 20);
        e.size = Le32(bytes, at + 24);
        e.childCount = static_cast<uint16_t>(e.size & 0xFFFF);
        e.span = static_cast<uint16_t>(e.size >> 16);
        e.depth = bytes[at + 28];
        e.recordCount = bytes[at + 29];
        entries.push_back(std::move(e));
    }
    return entries;
}

std::vector<ParsedEntry> PakEntries(std::span<const uint8_t> pak) { return ParseEntries(pak, 16, Le32(pak, 12)); }

PalmDatabase ReadCheckedDatabase(const std::filesystem::path& file, const std::string& name) {
    PalmDatabase db = ReadWithPalmPdb(file);
    EXPECT_EQ(db.name, name);
    EXPECT_EQ(db.type, "RSRC");
    EXPECT_EQ(db.creator, "ZORN");
    EXPECT_TRUE(db.resourceDatabase);
    EXPECT_EQ(db.version, 1);
    EXPECT_EQ(db.created, kFixedTime);
    EXPECT_EQ(db.modified, kFixedTime);
    for (size_t i = 0; i < db.resources.size(); ++i) {
        EXPECT_EQ(db.resources[i].type, "DATA");
        EXPECT_EQ(db.resources[i].id, 0x1000 + i);
    }
    return db;
}

size_t CountOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

}  // namespace thorn::test
