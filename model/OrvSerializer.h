#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/OrvString.h"

namespace Orv {

// One interface for measuring, writing and reading a record: each record has
// a single Serialize routine that hands every field to the serializer in file
// order. Numbers are little-endian; strings are their characters followed by
// one NUL byte, with no length prefix.
//
// A saver or loader whose buffer is too small for a transfer sets its error
// flag and drops that transfer and every later one, so the rest of the record
// keeps the values it had.
class ISerializer {
public:
    virtual int IsSaving() const = 0;
    virtual void Dword(uint32_t& value) = 0;
    virtual void Word(uint16_t& value) = 0;
    virtual void Byte(uint8_t& value) = 0;
    // Stored as its low byte; read back zero-extended (0..255).
    virtual void IntAsByte(int& value) = 0;
    virtual void String(CString& value) = 0;
    virtual void Text(std::string& value) = 0;

    // Signed fields travel as their unsigned bit patterns.
    void Dword(int32_t& value) { Reinterpret<uint32_t>(value, [this](uint32_t& v) { Dword(v); }); }
    void Word(int16_t& value) { Reinterpret<uint16_t>(value, [this](uint16_t& v) { Word(v); }); }
    void Byte(int8_t& value) { Reinterpret<uint8_t>(value, [this](uint8_t& v) { Byte(v); }); }

    uint32_t Error() const { return error_; }
    uint32_t Size() const { return size_; }
    uint32_t Position() const { return position_; }

protected:
    ~ISerializer() = default;

    uint32_t error_ = 0;
    uint32_t size_ = 0;
    uint32_t position_ = 0;

private:
    template <typename U, typename S, typename F>
    static void Reinterpret(S& value, F&& transfer) {
        U bits = static_cast<U>(value);
        transfer(bits);
        value = static_cast<S>(bits);
    }
};

// Counts the bytes a record takes; never fails.
class CSerialSizer final : public ISerializer {
public:
    virtual ~CSerialSizer() = default;

    int IsSaving() const override { return 1; }
    void Dword(uint32_t&) override { Count(4); }
    void Word(uint16_t&) override { Count(2); }
    void Byte(uint8_t&) override { Count(1); }
    void IntAsByte(int&) override { Count(1); }
    void String(CString& value) override { Count(value.Length() + 1u); }
    void Text(std::string& value) override;

    using ISerializer::Byte;
    using ISerializer::Dword;
    using ISerializer::Word;

private:
    void Count(uint64_t bytes);
};

// Writes into a caller's buffer of fixed capacity.
class CSerialSaver final : public ISerializer {
public:
    explicit CSerialSaver(std::span<uint8_t> buffer);

    int IsSaving() const override { return 1; }
    void Dword(uint32_t& value) override;
    void Word(uint16_t& value) override;
    void Byte(uint8_t& value) override;
    void IntAsByte(int& value) override;
    void String(CString& value) override;
    void Text(std::string& value) override;

    using ISerializer::Byte;
    using ISerializer::Dword;
    using ISerializer::Word;

private:
    uint8_t* Reserve(uint64_t bytes);

    uint8_t* cursor_;
};

// Reads from a caller's buffer holding a whole file.
class CSerialLoader final : public ISerializer {
public:
    explicit CSerialLoader(std::span<const uint8_t> buffer);

    int IsSaving() const override { return 0; }
    void Dword(uint32_t& value) override;
    void Word(uint16_t& value) override;
    void Byte(uint8_t& value) override;
    void IntAsByte(int& value) override;
    void String(CString& value) override;
    void Text(std::string& value) override;

    using ISerializer::Byte;
    using ISerializer::Dword;
    using ISerializer::Word;

    uint32_t Remaining() const { return error_ ? 0 : size_ - position_; }

private:
    const uint8_t* Take(uint64_t bytes);
    // The characters of the NUL-terminated string at the cursor, or false
    // (and the error flag) when no NUL follows inside the buffer.
    bool TakeString(std::string_view& chars);

    const uint8_t* cursor_;
};

// The two-pass write: measure the record, then write it into a buffer of
// exactly that size. Serialize is called as record.Serialize(serializer).
template <typename Record>
std::vector<uint8_t> SerializeToBytes(Record& record) {
    CSerialSizer sizer;
    record.Serialize(sizer);
    std::vector<uint8_t> bytes(sizer.Size());
    CSerialSaver saver(bytes);
    record.Serialize(saver);
    return bytes;
}

}  // namespace Orv
