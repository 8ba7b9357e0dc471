#include "platform/ShellLink.h"

#include <algorithm>
#include <array>

#include "platform/Charset.h"
#include "platform/PictureFormat.h"

namespace thorn {
namespace {

constexpr uint32_t kHeaderSize = 0x4C;
constexpr std::array<uint8_t, 16> kLinkClassId = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                  0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// Which parts a link holds.
constexpr uint32_t kHasTargetIdList = 0x1;
constexpr uint32_t kHasLinkInfo = 0x2;
constexpr uint32_t kHasName = 0x4;
constexpr uint32_t kHasRelativePath = 0x8;
constexpr uint32_t kHasWorkingDir = 0x10;
constexpr uint32_t kHasArguments = 0x20;
constexpr uint32_t kHasIconLocation = 0x40;
constexpr uint32_t kIsUnicode = 0x80;
constexpr uint32_t kForceNoLinkInfo = 0x100;

// Which locations the link-information part holds.
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr uint32_t kCommonNetworkRelativeLink = 0x2;
constexpr uint32_t kValidDevice = 0x1;

constexpr uint32_t kLinkInfoHeader = 0x1C;
constexpr uint32_t kLinkInfoHeaderWithUnicode = 0x24;
constexpr uint32_t kVolumeIdHeader = 0x10;
constexpr uint32_t kVolumeLabelIsUnicode = 0x14;
constexpr uint32_t kNetworkLinkHeader = 0x14;

// Thrown inside the reader at the first fault; the reader answers nothing.
struct Malformed {};

void Require(bool condition) {
    if (!condition) throw Malformed{};
}

bool Fits(std::span<const uint8_t> bytes, uint64_t at, uint64_t count) {
    return at <= bytes.size() && count <= bytes.size() - at;
}

uint16_t U16(std::span<const uint8_t> bytes, uint64_t at) {
    Require(Fits(bytes, at, 2));
    return picture::Le16(bytes, at);
}

uint32_t U32(std::span<const uint8_t> bytes, uint64_t at) {
    Require(Fits(bytes, at, 4));
    return picture::Le32(bytes, at);
}

uint64_t U64(std::span<const uint8_t> bytes, uint64_t at) {
    return U32(bytes, at) | (static_cast<uint64_t>(U32(bytes, at + 4)) << 32);
}

// UTF-16LE code units as Windows-1252.
std::string FromUtf16(std::span<const uint8_t> units) {
    std::string text;
    for (size_t at = 0; at + 1 < units.size(); at += 2) {
        char32_t ch = picture::Le16(units, at);
        if (ch >= 0xD800 && ch < 0xDC00 && at + 3 < units.size()) {
            const char32_t low = picture::Le16(units, at + 2);
            if (low >= 0xDC00 && low < 0xE000) ch = 0x10000 + ((ch - 0xD800) << 10) + (low - 0xDC00), at += 2;
        }
        text += static_cast<char>(UnicodeToWindows1252(ch).value_or('?'));
    }
    return text;
}

// A text ended by a zero byte (or zero unit) that lies inside bytes.
std::string AnsiAt(std::span<const uint8_t> bytes, uint64_t at) {
    Require(at < bytes.size());
    const auto rest = bytes.subspan(at);
    const auto end = std::find(rest.begin(), rest.end(), uint8_t{0});
    Require(end != rest.end());
    return std::string(rest.begin(), end);
}

std::string UnicodeAt(std::span<const uint8_t> bytes, uint64_t at) {
    for (uint64_t end = at; Fits(bytes, end, 2); end += 2)
        if (picture::Le16(bytes, end) == 0) return FromUtf16(bytes.subspan(at, end - at));
    throw Malformed{};
}

void CheckIdList(std::span<const uint8_t> list) {
    for (uint64_t at = 0;;) {
        const uint16_t itemSize = U16(list, at);
        if (itemSize == 0) {
            Require(at + 2 == list.size());
            return;
        }
        Require(itemSize >= 2 && Fits(list, at, itemSize));
        at += itemSize;
    }
}

// The structure of size given by its first 32-bit field, at offset at of
// bytes, between minimum and the end of bytes.
std::span<const uint8_t> SizedPart(std::span<const uint8_t> bytes, uint64_t at, uint32_t minimum) {
    const uint32_t size = U32(bytes, at);
    Require(size >= minimum && Fits(bytes, at, size));
    return bytes.subspan(at, size);
}

void ReadVolumeId(std::span<const uint8_t> info, uint32_t at, ShellLink& link) {
    const auto volume = SizedPart(info, at, kVolumeIdHeader + 1);
    link.driveType = U32(volume, 4);
    link.driveSerialNumber = U32(volume, 8);
    const uint32_t labelAt = U32(volume, 12);
    link.volumeLabel =
        labelAt == kVolumeLabelIsUnicode ? UnicodeAt(volume, U32(volume, 16)) : AnsiAt(volume, labelAt);
}

void ReadNetworkLink(std::span<const uint8_t> info, uint32_t at, ShellLink& link) {
    const auto network = SizedPart(info, at, kNetworkLinkHeader);
    const uint32_t flags = U32(network, 4);
    const uint32_t nameAt = U32(network, 8);
    const uint32_t deviceAt = U32(network, 12);
    link.netName = AnsiAt(network, nameAt);
    if (flags & kValidDevice)
        AnsiAt(network, deviceAt);
    else
        Require(deviceAt == 0);
    if (nameAt > kNetworkLinkHeader) {
        if (const uint32_t unicodeNameAt = U32(network, 0x14)) link.netName = UnicodeAt(network, unicodeNameAt);
        if (const uint32_t unicodeDeviceAt = U32(network, 0x18)) UnicodeAt(network, unicodeDeviceAt);
    }
}

void ReadLinkInfo(std::span<const uint8_t> info, ShellLink& link) {
    const uint32_t headerSize = U32(info, 4);
    Require(headerSize == kLinkInfoHeader || (headerSize >= kLinkInfoHeaderWithUnicode && headerSize <= info.size()));
    const uint32_t flags = U32(info, 8);
    const uint32_t volumeAt = U32(info, 0x0C), localAt = U32(info, 0x10);
    const uint32_t networkAt = U32(info, 0x14), suffixAt = U32(info, 0x18);
    const bool unicodeOffsets = headerSize >= kLinkInfoHeaderWithUnicode;
    const uint32_t unicodeLocalAt = unicodeOffsets ? U32(info, 0x1C) : 0;
    const uint32_t unicodeSuffixAt = unicodeOffsets ? U32(info, 0x20) : 0;
    const bool local = flags & kVolumeIdAndLocalBasePath, network = flags & kCommonNetworkRelativeLink;
    Require(local == (volumeAt != 0) && local == (localAt != 0) && network == (networkAt != 0));
    Require(local || unicodeLocalAt == 0);

    if (local) {
        ReadVolumeId(info, volumeAt, link);
        link.localBasePath = AnsiAt(info, localAt);
        if (unicodeLocalAt) link.localBasePath = UnicodeAt(info, unicodeLocalAt);
    }
    if (network) ReadNetworkLink(info, networkAt, link);
    link.commonPathSuffix = AnsiAt(info, suffixAt);
    if (unicodeSuffixAt) link.commonPathSuffix = UnicodeAt(info, unicodeSuffixAt);
}

// Blocks of extra data whose size the format fixes (at least, for those
// marked open).
struct KnownBlock {
    uint32_t signature;
    uint32_t size;
    bool open;
};
constexpr KnownBlock kKnownBlocks[] = {
    {0xA0000001, 0x314, false}, {0xA0000002, 0xCC, false}, {0xA0000003, 0x60, false},
    {0xA0000004, 0x0C, false},  {0xA0000005, 0x10, false}, {0xA0000006, 0x314, false},
    {0xA0000007, 0x314, false}, {0xA0000008, 0x88, true},  {0xA0000009, 0x0C, true},
    {0xA000000B, 0x1C, false},  {0xA000000C, 0x0A, true},
};

void CheckExtraData(std::span<const uint8_t> bytes, uint64_t at) {
    for (;;) {
        const uint32_t size = U32(bytes, at);
        if (size < 4) return;  // the closing block
        Require(size >= 8 && Fits(bytes, at, size));
        const uint32_t signature = U32(bytes, at + 4);
        for (const KnownBlock& known : kKnownBlocks)
            if (known.signature == signature) Require(known.open ? size >= known.size : size == known.size);
        at += size;
    }
}

ShellLink Decode(std::span<const uint8_t> bytes) {
    Require(U32(bytes, 0) == kHeaderSize && Fits(bytes, 0, kHeaderSize));
    Require(std::equal(kLinkClassId.begin(), kLinkClassId.end(), bytes.begin() + 4));
    ShellLink link;
    const uint32_t flags = U32(bytes, 0x14);
    link.fileAttributes = U32(bytes, 0x18);
    link.creationTime = U64(bytes, 0x1C);
    link.accessTime = U64(bytes, 0x24);
    link.writeTime = U64(bytes, 0x2C);
    link.fileSize = U32(bytes, 0x34);
    link.iconIndex = static_cast<int32_t>(U32(bytes, 0x38));
    link.showCommand = U32(bytes, 0x3C);
    link.hotKey = U16(bytes, 0x40);

    uint64_t at = kHeaderSize;
    if (flags & kHasTargetIdList) {
        const uint16_t size = U16(bytes, at);
        Require(Fits(bytes, at + 2, size));
        CheckIdList(bytes.subspan(at + 2, size));
        at += 2 + size;
    }
    if (flags & kHasLinkInfo) {
        const auto info = SizedPart(bytes, at, kLinkInfoHeader);
        ShellLink located;
        ReadLinkInfo(info, located);
        if (!(flags & kForceNoLinkInfo)) {
            link.localBasePath = std::move(located.localBasePath);
            link.netName = std::move(located.netName);
            link.commonPathSuffix = std::move(located.commonPathSuffix);
            link.driveType = located.driveType;
            link.driveSerialNumber = located.driveSerialNumber;
            link.volumeLabel = std::move(located.volumeLabel);
        }
        at += info.size();
    }

    const uint64_t width = (flags & kIsUnicode) ? 2 : 1;
    auto readText = [&](uint32_t flag, std::string& text) {
        if (!(flags & flag)) return;
        const uint64_t length = U16(bytes, at) * width;
        Require(Fits(bytes, at + 2, length));
        const auto chars = bytes.subspan(at + 2, length);
        text = width == 2 ? FromUtf16(chars) : std::string(chars.begin(), chars.end());
        at += 2 + length;
    };
    readText(kHasName, link.description);
    readText(kHasRelativePath, link.relativePath);
    readText(kHasWorkingDir, link.workingDirectory);
    readText(kHasArguments, link.arguments);
    readText(kHasIconLocation, link.iconLocation);

    CheckExtraData(bytes, at);
    return link;
}

class Writer {
public:
    void U16(uint32_t value) { Bytes(value, 2); }
    void U32(uint32_t value) { Bytes(value, 4); }
    void U64(uint64_t value) { Bytes(value, 8); }
    void Ansi(const std::string& text) {
        out.insert(out.end(), text.begin(), text.end());
        out.push_back(0);
    }
    void Utf16(const std::string& text) {
        for (char c : text) U16(Windows1252ToUnicode(static_cast<unsigned char>(c)));
    }

    std::vector<uint8_t> out;

private:
    void Bytes(uint64_t value, int count) {
        for (int i = 0; i < count; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
};

}  // namespace

std::string ShellLink::TargetPath() const {
    if (!netName.empty()) return commonPathSuffix.empty() ? netName : netName + "\\" + commonPathSuffix;
    if (!localBasePath.empty()) return localBasePath + commonPathSuffix;
    return {};
}

std::optional<ShellLink> DecodeShellLink(std::span<const uint8_t> bytes) {
    try {
        return Decode(bytes);
    } catch (const Malformed&) {
        return std::nullopt;
    }
}

std::optional<std::vector<uint8_t>> EncodeShellLink(const ShellLink& link) {
    const std::pair<uint32_t, const std::string*> texts[] = {
        {kHasName, &link.description},        {kHasRelativePath, &link.relativePath},
        {kHasWorkingDir, &link.workingDirectory}, {kHasArguments, &link.arguments},
        {kHasIconLocation, &link.iconLocation},
    };
    uint32_t flags = kIsUnicode;
    for (const auto& [flag, text] : texts) {
        if (text->size() > 0xFFFF) return std::nullopt;
        if (!text->empty()) flags |= flag;
    }
    const bool located = !link.localBasePath.empty();
    for (const std::string* text : {&link.localBasePath, &link.commonPathSuffix, &link.volumeLabel})
        if (text->find('\0') != std::string::npos) return std::nullopt;
    if (located) flags |= kHasLinkInfo;

    Writer w;
    w.out.reserve(kHeaderSize);  // also keeps GCC 12 from a false warning on the first insert
    w.U32(kHeaderSize);
    w.out.insert(w.out.end(), kLinkClassId.begin(), kLinkClassId.end());
    w.U32(flags);
    w.U32(link.fileAttributes);
    w.U64(link.creationTime);
    w.U64(link.accessTime);
    w.U64(link.writeTime);
    w.U32(link.fileSize);
    w.U32(static_cast<uint32_t>(link.iconIndex));
    w.U32(link.showCommand);
    w.U16(link.hotKey);
    w.U16(0), w.U32(0), w.U32(0);

    if (located) {
        // Header, volume, local path, path suffix, each right after the last.
        const uint64_t volumeSize = kVolumeIdHeader + link.volumeLabel.size() + 1;
        const uint64_t localAt = kLinkInfoHeader + volumeSize;
        const uint64_t suffixAt = localAt + link.localBasePath.size() + 1;
        const uint64_t infoSize = suffixAt + link.commonPathSuffix.size() + 1;
        if (infoSize > UINT32_MAX) return std::nullopt;
        w.U32(static_cast<uint32_t>(infoSize));
        w.U32(kLinkInfoHeader);
        w.U32(kVolumeIdAndLocalBasePath);
        w.U32(kLinkInfoHeader);
        w.U32(static_cast<uint32_t>(localAt));
        w.U32(0);
        w.U32(static_cast<uint32_t>(suffixAt));
        w.U32(static_cast<uint32_t>(volumeSize));
        w.U32(link.driveType);
        w.U32(link.driveSerialNumber);
        w.U32(kVolumeIdHeader);
        w.Ansi(link.volumeLabel);
        w.Ansi(link.localBasePath);
        w.Ansi(link.commonPathSuffix);
    }
    for (const auto& [flag, text] : texts) {
        if (!(flags & flag)) continue;
        w.U16(static_cast<uint32_t>(text->size()));
        w.Utf16(*text);
    }
    w.U32(0);
    return std::move(w.out);
}

}  // namespace thorn
