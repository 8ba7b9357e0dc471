#pragma once

#include <cstdint>
#include <span>
#include <vector>

// A reader of the game's .img pictures written for the tests from the format
// alone, so the encoder's output is checked by code that shares nothing with it.
namespace thorn::test {

struct ImgFrame {
    uint16_t left = 0, top = 0, width = 0, height = 0;
    std::vector<uint16_t> rowLengths;
    std::vector<uint8_t> pixels;  // the whole picture, row after row
};

struct ImgFile {
    bool transparent = false;
    bool wideRowTable = false;
    bool delta = false;
    uint16_t width = 0, height = 0;
    std::vector<ImgFrame> frames;
};

// Decodes a one-frame file (the header does not tell the two forms apart:
// the reader knows which it expects). Pixels a frame does not code (outside
// its rectangle, transparent row tails) are `fill`. Throws std::runtime_error
// on any inconsistency.
ImgFile DecodeImg(std::span<const uint8_t> file, uint8_t fill = 0);
// The several-frame form; with delta coding a 0 in a later frame keeps the
// previous frame's pixel.
ImgFile DecodeImgFrames(std::span<const uint8_t> file, uint8_t fill = 0);

}  // namespace thorn::test
