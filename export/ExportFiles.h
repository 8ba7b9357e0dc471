#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "model/OrvSerializer.h"
#include "platform/Classes.h"

// Writing the game's files into the export folder.
namespace thorn {

// The parts one after the other.
std::string Joined(std::initializer_list<std::string_view> parts);

// Stops an export; what() completes "You can't save mission because %s".
class ExportError : public Exception {
public:
    using Exception::Exception;
};

// What the export's private folder could not take (a game file, a folder
// of the mission); Reason() is the system's.
class TemporaryWriteError : public ExportError {
public:
    TemporaryWriteError(const std::filesystem::path& file, std::string reason);
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

// The game reads a file that is not a picture in one piece, at most this many
// bytes (a Palm record).
inline constexpr uint64_t kGameFileLimit = 64000;

// How a file may be cut when it is packed: pictures are cut between rows.
enum class FileCut : uint8_t { Whole, ByRows };

// Writes the bytes to the file of the export's folder. Throws
// TemporaryWriteError when the file cannot be written, ExportError when a
// file the game reads whole would be over 64000 bytes.
void WriteGameFile(const std::filesystem::path& file, std::span<const uint8_t> bytes, FileCut cut = FileCut::Whole);

// A game file's bytes from the routine that walks its record over a
// serializer: a measuring pass, then a pass into a buffer of exactly that
// size.
template <typename Record>
std::vector<uint8_t> WalkedBytes(Record& record, void (*walk)(Record&, Orv::ISerializer&)) {
    struct Walked {
        Record& record;
        void (*walk)(Record&, Orv::ISerializer&);
        void Serialize(Orv::ISerializer& s) { walk(record, s); }
    } walked{record, walk};
    return Orv::SerializeToBytes(walked);
}

}  // namespace thorn
