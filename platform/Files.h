#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Classes.h"

namespace thorn {

// A file that could not be written: which one, and the system's reason.
// Its message is "Cannot write file "<file>": <reason>".
class FileWriteError : public EWriteError {
public:
    FileWriteError(std::filesystem::path file, std::string reason);
    const std::filesystem::path& File() const { return file_; }
    const std::string& Reason() const { return reason_; }

private:
    std::filesystem::path file_;
    std::string reason_;
};

// Looks at the first bytes of a file (at most kFileHeadSize of them) and its
// size before the whole is read; throws to refuse it.
inline constexpr size_t kFileHeadSize = 64;
using FileHeadCheck = std::function<void(std::span<const uint8_t> head, uint64_t size)>;

// The whole of a regular file. The file is opened without waiting (a FIFO or
// a device never blocks the read) and refused unless it is a regular file of
// at most maxBytes bytes; checkHead, when given, sees its first bytes and
// its size before the rest is read. Throws EFOpenError naming the file and
// saying why it cannot be opened (the system's error text, "not a regular
// file"), EReadError for a file too large or that cannot be read whole.
std::vector<uint8_t> ReadRegularFile(const std::filesystem::path& file, uint64_t maxBytes,
                                     const FileHeadCheck& checkHead = {});

// Whether file is a regular file holding exactly these bytes. It is read in
// pieces, so that a large file known before costs no copy of its size.
bool FileHolds(const std::filesystem::path& file, std::span<const uint8_t> bytes);

// The path in double quotes, for messages.
std::string Quoted(const std::filesystem::path& path);

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& file);

// Writes bytes to file straight away, for folders no one else reads while
// they are written; a failed write removes what it wrote and throws
// FileWriteError.
void WriteWholeFile(const std::filesystem::path& file, std::span<const uint8_t> bytes);

// How WriteTemporaryBeside makes its file.
struct TemporaryFileOptions {
    bool sync = false;             // the bytes reach the disk before it answers
    std::optional<uint32_t> mode;  // permission bits; the process's defaults when none
    std::string_view suffix = ".tmp";
};

// Writes bytes to a new file beside target, named "<target>.XXXXXX<suffix>"
// with six letters or digits no file there has: it is created exclusively,
// so an existing file, link or FIFO of any name is never opened, and two
// writers never share one. Answers the new file's path; throws EWriteError
// saying why, with nothing of the new file left.
std::filesystem::path WriteTemporaryBeside(const std::filesystem::path& target, std::span<const uint8_t> bytes,
                                           const TemporaryFileOptions& options = {});
// A name WriteTemporaryBeside could give a file beside target; nothing is
// made, so another may take it first.
std::filesystem::path TemporaryNameBeside(const std::filesystem::path& target, std::string_view suffix = ".tmp");
// Whether name is the name WriteTemporaryBeside gives a file beside a
// target named targetName with that suffix.
bool IsTemporaryNameOf(std::string_view name, std::string_view targetName, std::string_view suffix = ".tmp");

// Writes bytes to a temporary file beside file (WriteTemporaryBeside) and
// renames that over file, so a failed write never leaves a half-written
// file or loses the old one. Answers false (and removes the temporary file)
// on any failure. Nothing is synced and the file is taken as named: for the
// program's own files and tools; what the designer keeps goes through
// ReplaceFileSynced.
bool WriteFileReplacing(const std::filesystem::path& file, std::span<const uint8_t> bytes);

// The file a path names once the symbolic links of its last part are
// followed (a relative link from the link's folder); the path itself when it
// is no link or names nothing. Throws EFOpenError for a loop of links.
std::filesystem::path FollowLinks(const std::filesystem::path& file);

// The permission bits of the regular file target, for the file that is to
// replace it; none when nothing stands there. Throws FileWriteError when
// target is anything but a regular file (a device, a FIFO, a folder, a
// link), or one the user may not write.
std::optional<uint32_t> ReplaceableMode(const std::filesystem::path& target);

// Replaces the contents of file's target (symbolic links are followed and
// stay links) in one step that neither a reader nor a crash sees half done:
// the bytes go to a temporary file beside the target (WriteTemporaryBeside),
// are synced to the disk, that file is renamed over the target, taking its
// permissions, and the folder is synced so that the new name lasts (as far
// as it can be: a folder the user may write in but not list cannot be opened
// to be synced, and the file stands all the same). Only a regular file is
// replaced, and only one the user may write: a target that is anything else
// (a device, a FIFO, a folder) or has no write permission is refused.
// Throws FileWriteError naming the target and why; the target is then as it
// was and no temporary file is left.
void ReplaceFileSynced(const std::filesystem::path& file, std::span<const uint8_t> bytes);

// Moves a damaged file's target (links followed) out of the way, to
// "<target>.damaged", or "<target>.damaged-2" and so on when earlier damaged
// files hold those names, so that none is lost: a name is taken only while
// it is free, in the same step as the move, and the folder is synced as far
// as it can be (as ReplaceFileSynced does it). Only a regular file is
// moved. Answers the name it took; throws EWriteError saying why when it
// cannot be moved (a target that is not a regular file is left where it is).
std::filesystem::path KeepDamagedAside(const std::filesystem::path& file);

}  // namespace thorn
