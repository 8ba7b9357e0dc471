#include "platform/Files.h"

#include <cstdio>
#include <memory>
#include <system_error>

namespace thorn {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
    FilePtr f(std::fopen(file.c_str(), "rb"));
    if (!f) return std::nullopt;
    if (std::fseek(f.get(), 0, SEEK_END) != 0) return std::nullopt;
    long length = std::ftell(f.get());
    if (length < 0 || std::fseek(f.get(), 0, SEEK_SET) != 0) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) return std::nullopt;
    return bytes;
}

bool WriteWholeFile(const std::filesystem::path& file, std::span<const uint8_t> bytes) {
    std::error_code ignored;
    FilePtr f(std::fopen(file.c_str(), "wb"));
    if (!f) return false;
    bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
    written = std::fflush(f.get()) == 0 && written;
    if (std::fclose(f.release()) != 0 || !written) {
        std::filesystem::remove(file, ignored);
        return false;
    }
    return true;
}

bool WriteFileReplacing(const std::filesystem::path& file, std::span<const uint8_t> bytes) {
    std::filesystem::path temporary = file;
    temporary += ".tmp";
    if (!WriteWholeFile(temporary, bytes)) return false;
    std::error_code renamed, ignored;
    std::filesystem::rename(temporary, file, renamed);
    if (renamed) {
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

}  // namespace thorn
