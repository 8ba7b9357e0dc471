#include "TempDir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace thorn::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "thorn-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

TempConfigHome::TempConfigHome() {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) saved_ = old;
    setenv("XDG_CONFIG_HOME", dir_.Path().c_str(), 1);
}

TempConfigHome::~TempConfigHome() {
    if (saved_)
        setenv("XDG_CONFIG_HOME", saved_->c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::filesystem::path& file, std::span<const uint8_t> bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace thorn::test
