#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace thorn::test {

// Watches, while it lives, the calls of this process that make files last
// or give them names: fsync (of a file or a folder, named by the path it
// has at that moment), rename, renameat2, link and linkat. The calls go on
// to the system as they would. A test may also act just before a name is
// given, as another program could between a check and the call. One watch
// at a time.
class FileCallWatch {
public:
    struct Call {
        std::string what;            // "fsync", "rename" or "link"
        std::filesystem::path path;  // the file or folder synced; the name given from
        std::filesystem::path to;    // the name given, for "rename" and "link"
    };

    FileCallWatch();
    ~FileCallWatch();
    FileCallWatch(const FileCallWatch&) = delete;
    FileCallWatch& operator=(const FileCallWatch&) = delete;

    const std::vector<Call>& Calls() const { return calls_; }
    // act runs once, just before the first rename or link that gives the
    // name to.
    void BeforeNaming(std::filesystem::path to, std::function<void()> act);

    // For the watched calls themselves.
    void Record(Call call);

private:
    std::vector<Call> calls_;
    std::filesystem::path actBefore_;
    std::function<void()> act_;
};

}  // namespace thorn::test
