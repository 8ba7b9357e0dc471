#include "ImgDecoder.h"

#include <stdexcept>

#include "LeReader.h"

namespace thorn::test {
namespace {

void DecodeBlock(LeReader& in, uint32_t blockLength, bool wide, uint16_t pictureWidth, ImgFrame& frame) {
    const size_t start = in.Position();
    const bool empty = frame.width == 0 || frame.height == 0;
    if (!empty) {
        for (int y = 0; y < frame.height; ++y) frame.rowLengths.push_back(wide ? in.U16() : in.U8());
    }
    for (size_t y = 0; y < frame.rowLengths.size(); ++y) {
        auto codes = in.Take(frame.rowLengths[y]);
        size_t at = 0;
        int x = 0;
        uint8_t* row = frame.pixels.data() + size_t(frame.top + y) * pictureWidth + frame.left;
        while (at < codes.size()) {
            const auto c = static_cast<int8_t>(codes[at++]);
            if (c == 0) throw std::runtime_error("img: code 0");
            if (c > 0) {
                if (at + c > codes.size() || x + c > frame.width) throw std::runtime_error("img: literal overruns");
                for (int k = 0; k < c; ++k) row[x++] = codes[at++];
            } else {
                if (at >= codes.size() || x - c > frame.width) throw std::runtime_error("img: repeat overruns");
                const uint8_t value = codes[at++];
                for (int k = 0; k < -c; ++k) row[x++] = value;
            }
        }
    }
    if (in.Position() - start != blockLength) throw std::runtime_error("img: block length differs");
}

}  // namespace

namespace {

ImgFile Decode(std::span<const uint8_t> file, uint8_t fill, bool oneFrame) {
    LeReader in(file);
    ImgFile img;
    if (in.U8() != 0xFE) throw std::runtime_error("img: no 0xFE");
    const uint8_t flags = in.U8();
    img.transparent = flags & 1;
    img.wideRowTable = flags & 2;
    if (oneFrame) {
        img.width = in.U16();
        img.height = in.U16();
        in.U16();
        in.U16();
        ImgFrame frame;
        frame.left = in.U16();
        frame.top = in.U16();
        frame.width = in.U16();
        frame.height = in.U16();
        const uint32_t length = in.U32();
        frame.pixels.assign(size_t(img.width) * img.height, fill);
        DecodeBlock(in, length, img.wideRowTable, img.width, frame);
        img.frames.push_back(std::move(frame));
    } else {
        img.delta = flags & 4;
        in.U8();
        img.width = in.U16();
        img.height = in.U16();
        in.U16();
        in.U16();
        const int count = in.U8();
        in.U8();
        in.U8();
        std::vector<uint32_t> ends;
        for (int i = 0; i < count; ++i) ends.push_back(in.U32());
        const size_t partsStart = in.Position();
        for (int i = 0; i < count; ++i) {
            ImgFrame frame;
            const size_t partStart = in.Position();
            frame.left = in.U16();
            frame.top = in.U16();
            frame.width = in.U16();
            frame.height = in.U16();
            frame.pixels.assign(size_t(img.width) * img.height, fill);
            const size_t end = partsStart + ends[i];
            if (end < partStart + 8) throw std::runtime_error("img: frame table wrong");
            DecodeBlock(in, static_cast<uint32_t>(end - partStart - 8), img.wideRowTable, img.width, frame);
            if (img.delta && i > 0) {
                const auto& previous = img.frames.back().pixels;
                for (size_t k = 0; k < frame.pixels.size(); ++k)
                    if (frame.pixels[k] == 0) frame.pixels[k] = previous[k];
            }
            img.frames.push_back(std::move(frame));
        }
    }
    if (in.Left() != 0) throw std::runtime_error("img: bytes after the last frame");
    return img;
}

}  // namespace

ImgFile DecodeImg(std::span<const uint8_t> file, uint8_t fill) { return Decode(file, fill, true); }

ImgFile DecodeImgFrames(std::span<const uint8_t> file, uint8_t fill) { return Decode(file, fill, false); }

}  // namespace thorn::test
