#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <span>
#include <string_view>
#include <vector>

namespace thorn::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// A fresh folder that stands as the user's configuration folder
// (XDG_CONFIG_HOME, where the registry's file lives) while the object lives;
// the folder named before comes back afterwards.
class TempConfigHome {
public:
    TempConfigHome();
    ~TempConfigHome();
    TempConfigHome(const TempConfigHome&) = delete;
    TempConfigHome& operator=(const TempConfigHome&) = delete;

    const std::filesystem::path& Path() const { return dir_.Path(); }
    std::filesystem::path operator/(std::string_view name) const { return dir_ / name; }

private:
    TempDir dir_;
    std::optional<std::string> saved_;
};

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& file);
void WriteFileBytes(const std::filesystem::path& file, std::span<const uint8_t> bytes);

}  // namespace thorn::test
