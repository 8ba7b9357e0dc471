// The watched and steered calls are defined here, in the test program: the
// program's own definitions come before the C library's, for the libraries
// linked in as well, and each passes the call on to the C library's.
#include "FileCalls.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdarg>
#include <stdexcept>
#include <system_error>

namespace thorn::test {
namespace {

FileCallWatch* watch = nullptr;
UnlistableFolder* unlistable = nullptr;

template <typename Function>
Function* Real(const char* name) {
    void* real = dlsym(RTLD_NEXT, name);
    if (real == nullptr) std::abort();
    return reinterpret_cast<Function*>(real);
}

std::filesystem::path PathOf(int fd) {
    std::array<char, 4096> target{};
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(link.c_str(), target.data(), target.size() - 1);
    return n > 0 ? std::filesystem::path(std::string(target.data(), static_cast<size_t>(n))) : std::filesystem::path();
}

// The path as the system sees it from the current folder, for paths given
// relative to a folder's descriptor.
std::filesystem::path At(int folder, const char* path) {
    if (path[0] == '/' || folder == AT_FDCWD) return std::filesystem::absolute(path);
    return PathOf(folder) / path;
}

void Named(const char* what, std::filesystem::path from, std::filesystem::path to) {
    if (watch) watch->Record({what, std::move(from), std::move(to)});
}

}  // namespace

FileCallWatch::FileCallWatch() {
    if (watch) throw std::logic_error("one FileCallWatch at a time");
    watch = this;
}

FileCallWatch::~FileCallWatch() { watch = nullptr; }

void FileCallWatch::BeforeNaming(std::filesystem::path to, std::function<void()> act) {
    actBefore_ = std::filesystem::absolute(to);
    act_ = std::move(act);
}

void FileCallWatch::Record(Call call) {
    const bool acting = act_ && call.what != "fsync" && call.to == actBefore_;
    calls_.push_back(std::move(call));
    if (!acting) return;
    // Once, and unwatched: what the act does is not the program's.
    const std::function<void()> act = std::move(act_);
    act_ = nullptr;
    watch = nullptr;
    act();
    watch = this;
}

namespace {

// The path as one spelling, for comparing: absolute, without "." or "..",
// without a trailing separator.
std::filesystem::path Spelled(const std::filesystem::path& path) {
    std::error_code ignored;
    std::filesystem::path spelled = std::filesystem::absolute(path, ignored).lexically_normal();
    if (!spelled.has_filename() && spelled.has_relative_path()) spelled = spelled.parent_path();
    return spelled;
}

}  // namespace

UnlistableFolder::UnlistableFolder(const std::filesystem::path& folder) : folder_(Spelled(folder)) {
    if (unlistable) throw std::logic_error("one UnlistableFolder at a time");
    unlistable = this;
}

UnlistableFolder::~UnlistableFolder() { unlistable = nullptr; }

bool UnlistableFolder::Refuses(const char* path) const { return Spelled(path) == folder_; }

namespace {

using OpenFunction = int(const char*, int, ...);

// The open calls of the process: refused for the unlistable folder, else
// passed on as they came.
int Open(OpenFunction* real, const char* path, int flags, va_list rest) {
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) mode = va_arg(rest, mode_t);
    if (unlistable && unlistable->Refuses(path)) {
        errno = EACCES;
        return -1;
    }
    return real(path, flags, mode);
}

}  // namespace
}  // namespace thorn::test

using thorn::test::At;
using thorn::test::Named;

extern "C" int fsync(int fd) {
    static const auto real = thorn::test::Real<int(int)>("fsync");
    if (thorn::test::watch) thorn::test::watch->Record({"fsync", thorn::test::PathOf(fd), {}});
    return real(fd);
}

extern "C" int rename(const char* from, const char* to) {
    static const auto real = thorn::test::Real<int(const char*, const char*)>("rename");
    Named("rename", At(AT_FDCWD, from), At(AT_FDCWD, to));
    return real(from, to);
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned int flags) {
    static const auto real = thorn::test::Real<int(int, const char*, int, const char*, unsigned int)>("renameat2");
    Named("rename", At(fromFolder, from), At(toFolder, to));
    return real(fromFolder, from, toFolder, to, flags);
}

extern "C" int link(const char* from, const char* to) {
    static const auto real = thorn::test::Real<int(const char*, const char*)>("link");
    Named("rename", At(AT_FDCWD, from), At(AT_FDCWD, to));
    return real(from, to);
}

extern "C" int open(const char* path, int flags, ...) {
    va_list rest;
    va_start(rest, flags);
    static const auto real = thorn::test::Real<thorn::test::OpenFunction>("open");
    const int fd = thorn::test::Open(real, path, flags, rest);
    va_end(rest);
    return fd;
}

extern "C" int open64(const char* path, int flags, ...) {
    va_list rest;
    va_start(rest, flags);
    static const auto real = thorn::test::Real<thorn::test::OpenFunction>("open64");
    const int fd = thorn::test::Open(real, path, flags, rest);
    va_end(rest);
    return fd;
}
