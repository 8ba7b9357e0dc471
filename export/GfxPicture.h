#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// The handheld game's ".img" picture: 8-bit palette indices, run-length coded
// row by row, with a table of each row's coded length in front of the codes
// so the game can reach any row without decoding the rows above it.
//
// One frame (the only form the export writes), little-endian:
//   u8 0xFE, u8 flags (bit 0 transparent index in use, bit 1 u16 row table),
//   u16 width, u16 height, u16 reserved A, u16 reserved B,
//   u16 frame left, top, width, height, u32 block length, then the block.
// Several frames:
//   u8 0xFE, u8 flags (bit 2 delta-coded frames), u8 0, u16 width, height,
//   reserved A, reserved B, u8 frame count n, u8 header byte 12, u8 header
//   byte 13, u32 x n ends of the frame parts (counted from 14 + 4n), then per
//   frame u16 left, top, width, height and its block.
// A block is the row table (u8 or u16 per row) followed by the rows' codes:
// c in 1..127 is c literal bytes, c in -128..-1 one byte repeated -c times.

class CGfxCommon {
public:
    virtual ~CGfxCommon() = default;
};

class CGfxPicture : public CGfxCommon {
public:
    static constexpr uint32_t kMaxFrames = 256;

    // An empty picture (no frames); give it a size and pixels, then Encode.
    CGfxPicture();
    // One frame of width x height bytes, row after row, encoded at once.
    // pixels must hold at least width x height bytes (ERangeError otherwise).
    // Throws ERangeError when the picture cannot be stored in the format
    // (a coded row longer than 65535 bytes or a block over 4 GiB).
    CGfxPicture(uint16_t width, uint16_t height, std::span<const uint8_t> pixels, uint8_t transparent);

    // Clears every field and buffer.
    virtual void Reset();
    // Encodes when flag is true.
    void Update(bool flag);

    // Stores the size, drops the pixels and allocates frames x width x height
    // cleared bytes. Sizes above 65535 and more than 255 frames cannot be
    // written and throw ERangeError.
    void SetSize(uint32_t width, uint32_t height, uint32_t frames, uint32_t headerByte12);

    // Encodes every frame; answers the total block length.
    uint32_t Encode();
    // The byte length Write produces.
    uint32_t GetSize() const;
    // Writes the file image into buffer, which must hold GetSize bytes
    // (ERangeError when it is shorter); an empty buffer only answers the size.
    uint32_t Write(std::span<uint8_t> buffer) const;
    // The file image as a new byte vector.
    std::vector<uint8_t> Bytes() const;

    // Frame i's pixels (width x height bytes); empty past the frame count.
    std::span<uint8_t> GetFrame(uint32_t i);
    std::span<const uint8_t> GetFrame(uint32_t i) const;
    // Sets frame i's rectangle (the box of its non-transparent pixels when
    // the transparent index is in use) and answers its area.
    uint64_t MeasureFrame(uint32_t i);
    bool CanEncode() const { return true; }

    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t reservedA = 0;
    uint32_t reservedB = 0;
    uint32_t transparent = 0;
    uint8_t transparentIndex = 0;
    uint8_t wideRowTable = 0;
    std::array<uint32_t, kMaxFrames> frameLeft{};
    std::array<uint32_t, kMaxFrames> frameTop{};
    std::array<uint32_t, kMaxFrames> frameWidth{};
    std::array<uint32_t, kMaxFrames> frameHeight{};
    uint32_t frameCount = 0;
    uint32_t headerByte12 = 0;
    uint32_t headerByte13 = 0;
    uint32_t delta = 0;
    std::vector<uint8_t> pixels;
    std::array<std::vector<uint8_t>, kMaxFrames> frameData;
    std::array<uint32_t, kMaxFrames> frameDataSize{};
    uint32_t totalDataSize = 0;

private:
    uint64_t FrameArea() const { return uint64_t(width) * height; }
    uint64_t FileSize() const;
};
