#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Streams.h"

// File and stream routines of the controls library: checksums, copying
// between streams, temporary files and the figures of a disk.

// A stream that can copy itself into another.
class TrmStream : public TStream {
public:
    // Copies count bytes from the current position into dest, through a
    // buffer of at most 61440 bytes, and answers count. A count of 0 copies
    // the whole stream from its start; a negative one copies nothing. Read and
    // write errors (EReadError, EWriteError) pass to the caller.
    int64_t CopyTo(TStream& dest, int64_t count);
};

// The standard CRC-32 of a file's bytes, as a signed number. A file that
// cannot be opened raises EFOpenError, one that cannot be read EReadError.
int32_t GetFileCRC32(const std::filesystem::path& file);
// The same over a whole stream, read from its start; 0 for an empty stream.
int32_t GetStrmCRC32(TStream& stream);

// The system's temporary folder, ending with "/".
std::string GetTempDir();
// Creates a new empty file, unique in the temporary folder (or the current
// folder when inTempFolder is false), named by the first three characters of
// prefix, a unique part and ".tmp"; answers its full name, or the empty text
// when no file could be made.
std::string GetTempFile(std::string_view prefix, bool inTempFolder);

// One figure of a disk: drive 0 is the disk of the current folder; other
// drives do not exist here. Kinds: 1 sectors per cluster, 2 bytes per sector,
// 3 free clusters, 4 total clusters, 5 total bytes, 6 free bytes, 7 the
// volume's serial number, 8 bytes per cluster, 9 the file system (1 FAT,
// 2 HPFS, 3 NTFS, 0 any other), 10 the file-system flags (0x1 case-sensitive
// names, 0x2 case kept, 0x80000 read-only), 11 the longest name a folder
// entry may have. Counts past the 32-bit range give 2147483647. An unknown
// drive or kind, or a failed query, gives -1.
int32_t GetMediaInfo(int32_t drive, int32_t kind);
