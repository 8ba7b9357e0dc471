#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace thorn::test {

// Watches, while it lives, the calls of this process that make files last
// or give them names: fsync (of a file or a folder, named by the path it
// has at that moment), and rename, renameat2 and link (with an unlink after
// it, the rename of a file system without renameat2), all three seen as a
// "rename". The calls go on to the system as they would. A test may also
// act just before a name is given, as another program could between a
// check and the call. One watch at a time.
class FileCallWatch {
public:
    struct Call {
        std::string what;            // "fsync" or "rename"
        std::filesystem::path path;  // the file or folder synced; the name given from
        std::filesystem::path to;    // the name given, for "rename"
    };

    FileCallWatch();
    ~FileCallWatch();
    FileCallWatch(const FileCallWatch&) = delete;
    FileCallWatch& operator=(const FileCallWatch&) = delete;

    const std::vector<Call>& Calls() const { return calls_; }
    // act runs once, just before the first rename that gives the name to.
    void BeforeNaming(std::filesystem::path to, std::function<void()> act);

    // For the watched calls themselves.
    void Record(Call call);

private:
    std::vector<Call> calls_;
    std::filesystem::path actBefore_;
    std::function<void()> act_;
};

// While it lives, opening folder (by a path spelled relative or absolute,
// links not followed) fails with EACCES, as it does for a folder the user may
// write in but not list (mode 0333): the tests run as root, whom no mode
// keeps out. Only the calls of open and open64 are refused (the C library's
// own listing goes on); files in it are made, opened and renamed as before.
// One at a time.
class UnlistableFolder {
public:
    explicit UnlistableFolder(const std::filesystem::path& folder);
    ~UnlistableFolder();
    UnlistableFolder(const UnlistableFolder&) = delete;
    UnlistableFolder& operator=(const UnlistableFolder&) = delete;

    // Whether opening path is refused.
    bool Refuses(const char* path) const;

private:
    std::filesystem::path folder_;
};

}  // namespace thorn::test
