#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "platform/Classes.h"

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// A sequence of bytes that can be read, written and positioned.
class TStream : public TObject {
public:
    // Reads up to count bytes; answers how many were read.
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    // Writes up to count bytes; answers how many were written.
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t GetPosition() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
    virtual int64_t GetSize();
    int64_t Remaining() { return GetSize() - GetPosition(); }

    // Read or write exactly count bytes, or throw EReadError / EWriteError.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    void ReadBuffer(std::span<uint8_t> bytes) { ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size())); }
    void WriteBuffer(std::span<const uint8_t> bytes) {
        WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    }
};

// A stream held in memory.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::span<const uint8_t> bytes) : bytes_(bytes.begin(), bytes.end()) {}

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t GetSize() override { return static_cast<int64_t>(bytes_.size()); }

    void SetSize(int64_t size);
    void Clear() { bytes_.clear(), position_ = 0; }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    std::span<const uint8_t> Memory() const { return bytes_; }

    void LoadFromStream(TStream& source);
    void LoadFromFile(const std::filesystem::path& file);
    void SaveToStream(TStream& dest);
    void SaveToFile(const std::filesystem::path& file);

private:
    std::vector<uint8_t> bytes_;
    int64_t position_ = 0;
};

// Open modes of a file stream.
enum class TFileMode { fmCreate, fmOpenRead, fmOpenWrite, fmOpenReadWrite };

// A stream on a file; opening failures throw EFOpenError naming the file.
// Only a regular file is opened: a FIFO, a device or a folder is refused at
// once, without waiting for a writer.
class TFileStream : public TStream {
public:
    TFileStream(const std::filesystem::path& file, TFileMode mode);

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;

    const std::filesystem::path& FileName() const { return file_; }

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::filesystem::path file_;
    std::unique_ptr<std::FILE, Closer> handle_;
};
