#include "export/GfxPicture.h"

#include <algorithm>
#include <limits>

#include "export/PackageBytes.h"
#include "platform/Classes.h"

namespace {

constexpr uint8_t kMagic = 0xFE;
constexpr uint32_t kOneFrameHeader = 22;
constexpr uint32_t kSeveralFramesHeader = 14;
constexpr uint32_t kFramePartHeader = 8;
constexpr uint32_t kLongestLiteral = 127;
constexpr uint32_t kLongestRepeat = 128;
constexpr uint32_t kShortestForcedRepeat = 4;
constexpr uint32_t kFieldLimit = 0xFFFF;

// Codes one row of the frame: pixels row[left .. rowEnd). Answers the number
// of bytes appended to out.
size_t EncodeRow(const uint8_t* row, uint32_t left, uint32_t rowEnd, bool transparentOn, uint8_t transparentIndex,
                 std::vector<uint8_t>& out) {
    const size_t start = out.size();
    uint32_t x = left;
    while (x < rowEnd) {
        // Scan ahead: total bytes looked at, run = the equal bytes ending them.
        // A scan stops after a run of 4 or more, and after a run of the
        // transparent index, so such runs always become repeat codes.
        uint32_t run = 1;
        uint32_t total = 1;
        for (uint32_t j = x; j + 1 < rowEnd; ++j) {
            if (row[j + 1] == row[j]) {
                ++run;
            } else if (run >= kShortestForcedRepeat) {
                break;
            } else if (transparentOn && row[j] == transparentIndex) {
                break;
            } else {
                run = 1;
            }
            ++total;
        }
        if (run < total) {
            const uint32_t literal = std::min(total - run, kLongestLiteral);
            out.push_back(static_cast<uint8_t>(literal));
            out.insert(out.end(), row + x, row + x + literal);
            x += literal;
        } else {
            // A transparent tail is left out: the reader fills it.
            if (transparentOn && row[x] == transparentIndex && x + run >= rowEnd) break;
            run = std::min(run, kLongestRepeat);
            out.push_back(static_cast<uint8_t>(-static_cast<int32_t>(run)));
            out.push_back(row[x]);
            x += run;
        }
    }
    return out.size() - start;
}

}  // namespace

CGfxPicture::CGfxPicture() { Reset(); }

CGfxPicture::CGfxPicture(uint16_t width, uint16_t height, std::span<const uint8_t> source, uint8_t transparent) {
    Reset();
    SetSize(width, height, 1, 0);
    if (source.size() < pixels.size()) throw ERangeError("picture pixels shorter than its size");
    std::copy_n(source.begin(), pixels.size(), pixels.begin());
    this->transparent = transparent != 0 ? 1 : 0;
    Encode();
}

void CGfxPicture::Reset() {
    width = height = 0;
    reservedA = reservedB = 0;
    transparent = 0;
    transparentIndex = 0;
    wideRowTable = 0;
    frameLeft.fill(0);
    frameTop.fill(0);
    frameWidth.fill(0);
    frameHeight.fill(0);
    frameCount = 0;
    headerByte12 = headerByte13 = 0;
    delta = 0;
    pixels = {};
    for (auto& block : frameData) block = {};
    frameDataSize.fill(0);
    totalDataSize = 0;
    Update(false);
}

void CGfxPicture::Update(bool flag) {
    if (flag) Encode();
}

void CGfxPicture::SetSize(uint32_t newWidth, uint32_t newHeight, uint32_t frames, uint32_t newHeaderByte12) {
    if (newWidth > kFieldLimit || newHeight > kFieldLimit) throw ERangeError("picture side over 65535 pixels");
    if (frames >= kMaxFrames) throw ERangeError("more than 255 picture frames");
    width = newWidth;
    height = newHeight;
    frameCount = frames;
    headerByte12 = newHeaderByte12;
    pixels.assign(static_cast<size_t>(FrameArea() * frames), 0);
    for (auto& block : frameData) block = {};
    frameDataSize.fill(0);
    totalDataSize = 0;
}

std::span<uint8_t> CGfxPicture::GetFrame(uint32_t i) {
    if (i >= frameCount) return {};
    const size_t area = static_cast<size_t>(FrameArea());
    return std::span<uint8_t>(pixels).subspan(i * area, area);
}

std::span<const uint8_t> CGfxPicture::GetFrame(uint32_t i) const {
    if (i >= frameCount) return {};
    const size_t area = static_cast<size_t>(FrameArea());
    return std::span<const uint8_t>(pixels).subspan(i * area, area);
}

uint64_t CGfxPicture::MeasureFrame(uint32_t i) {
    uint32_t left = 0, top = 0, right = width, bottom = height;
    const auto frame = GetFrame(i);
    if (transparent != 0 && !frame.empty()) {
        uint32_t minX = width, minY = height, maxX = 0, maxY = 0;
        for (uint32_t y = 0; y < height; ++y) {
            const uint8_t* row = frame.data() + size_t(y) * width;
            for (uint32_t x = 0; x < width; ++x) {
                if (row[x] == transparentIndex) continue;
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
        // A frame with no visible pixel keeps the whole picture.
        if (minX < width) {
            left = minX;
            top = minY;
            right = maxX + 1;
            bottom = maxY + 1;
        }
    }
    frameLeft[i] = left;
    frameTop[i] = top;
    frameWidth[i] = right - left;
    frameHeight[i] = bottom - top;
    return uint64_t(frameWidth[i]) * frameHeight[i];
}

uint32_t CGfxPicture::Encode() {
    struct CodedFrame {
        std::vector<uint16_t> rowLengths;
        std::vector<uint8_t> codes;
    };
    std::vector<CodedFrame> coded(frameCount);
    bool anyWide = false;
    std::vector<uint8_t> deltaPixels;
    for (uint32_t i = 0; i < frameCount; ++i) {
        frameData[i] = {};
        frameDataSize[i] = 0;
        const auto frame = GetFrame(i);
        const uint8_t* source = frame.data();
        if (i > 0 && delta != 0 && !frame.empty()) {
            // Pixels equal to the previous frame's become 0.
            const auto previous = GetFrame(i - 1);
            deltaPixels.resize(frame.size());
            for (size_t k = 0; k < frame.size(); ++k) deltaPixels[k] = frame[k] == previous[k] ? 0 : frame[k];
            source = deltaPixels.data();
        }
        const uint64_t area = MeasureFrame(i);
        if (area == 0) continue;
        CodedFrame& out = coded[i];
        // Two bytes per pixel is the worst case of the code: reserve it once.
        out.codes.reserve(static_cast<size_t>(2 * area));
        out.rowLengths.resize(frameHeight[i]);
        const uint32_t rowEnd = frameLeft[i] + frameWidth[i];
        for (uint32_t y = 0; y < frameHeight[i]; ++y) {
            const uint8_t* row = source + size_t(frameTop[i] + y) * width;
            const size_t length = EncodeRow(row, frameLeft[i], rowEnd, transparent != 0, transparentIndex, out.codes);
            if (length > kFieldLimit) throw ERangeError("picture row codes longer than 65535 bytes");
            out.rowLengths[y] = static_cast<uint16_t>(length);
            anyWide = anyWide || length > 0xFF;
        }
    }
    // One flag bit covers every frame, so once one frame needs u16 row
    // lengths, all of them get u16 tables.
    wideRowTable = anyWide ? 1 : 0;
    uint64_t total = 0;
    for (uint32_t i = 0; i < frameCount; ++i) {
        const CodedFrame& frame = coded[i];
        if (frame.rowLengths.empty()) continue;
        std::vector<uint8_t> block;
        block.reserve(frame.rowLengths.size() * (anyWide ? 2 : 1) + frame.codes.size());
        for (uint16_t length : frame.rowLengths) {
            if (anyWide) {
                thorn::AppendLe16(block, length);
            } else {
                block.push_back(static_cast<uint8_t>(length));
            }
        }
        block.insert(block.end(), frame.codes.begin(), frame.codes.end());
        total += block.size();
        if (total > std::numeric_limits<uint32_t>::max()) throw ERangeError("picture codes over 4 GiB");
        frameDataSize[i] = static_cast<uint32_t>(block.size());
        frameData[i] = std::move(block);
    }
    totalDataSize = static_cast<uint32_t>(total);
    if (FileSize() > std::numeric_limits<uint32_t>::max()) throw ERangeError("picture file over 4 GiB");
    return totalDataSize;
}

uint64_t CGfxPicture::FileSize() const {
    uint64_t blocks = 0;
    for (uint32_t i = 0; i < frameCount; ++i) blocks += frameDataSize[i];
    if (frameCount == 1) return kOneFrameHeader + blocks;
    return kSeveralFramesHeader + uint64_t(4 + kFramePartHeader) * frameCount + blocks;
}

uint32_t CGfxPicture::GetSize() const { return static_cast<uint32_t>(FileSize()); }

std::vector<uint8_t> CGfxPicture::Bytes() const {
    std::vector<uint8_t> bytes(GetSize());
    Write(bytes);
    return bytes;
}

uint32_t CGfxPicture::Write(std::span<uint8_t> buffer) const {
    const uint32_t size = GetSize();
    if (buffer.empty()) return size;
    if (buffer.size() < size) throw ERangeError("picture buffer shorter than the file");
    thorn::SpanWriter out(buffer);
    uint8_t flags = (transparent != 0 ? 0x01 : 0) | (wideRowTable != 0 ? 0x02 : 0);
    out.U8(kMagic);
    if (frameCount == 1) {
        out.U8(flags);
        out.Le16(static_cast<uint16_t>(width));
        out.Le16(static_cast<uint16_t>(height));
        out.Le16(static_cast<uint16_t>(reservedA));
        out.Le16(static_cast<uint16_t>(reservedB));
        out.Le16(static_cast<uint16_t>(frameLeft[0]));
        out.Le16(static_cast<uint16_t>(frameTop[0]));
        out.Le16(static_cast<uint16_t>(frameWidth[0]));
        out.Le16(static_cast<uint16_t>(frameHeight[0]));
        out.Le32(frameDataSize[0]);
        out.Bytes(frameData[0]);
        return size;
    }
    flags |= delta != 0 ? 0x04 : 0;
    out.U8(flags);
    out.U8(0);
    out.Le16(static_cast<uint16_t>(width));
    out.Le16(static_cast<uint16_t>(height));
    out.Le16(static_cast<uint16_t>(reservedA));
    out.Le16(static_cast<uint16_t>(reservedB));
    out.U8(static_cast<uint8_t>(frameCount));
    out.U8(static_cast<uint8_t>(headerByte12));
    out.U8(static_cast<uint8_t>(headerByte13));
    uint32_t end = 0;
    for (uint32_t i = 0; i < frameCount; ++i) {
        end += kFramePartHeader + frameDataSize[i];
        out.Le32(end);
    }
    for (uint32_t i = 0; i < frameCount; ++i) {
        out.Le16(static_cast<uint16_t>(frameLeft[i]));
        out.Le16(static_cast<uint16_t>(frameTop[i]));
        out.Le16(static_cast<uint16_t>(frameWidth[i]));
        out.Le16(static_cast<uint16_t>(frameHeight[i]));
        out.Bytes(frameData[i]);
    }
    return size;
}
