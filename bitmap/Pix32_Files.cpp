// Picture files into and out of a bitmap.
#include <algorithm>
#include <cstring>

#include "bitmap/Pix32.h"
#include "platform/Pictures.h"

namespace {

// The whole rest of a stream.
std::vector<uint8_t> ReadRest(TStream& stream) {
    int64_t left = std::max<int64_t>(stream.Remaining(), 0);
    std::vector<uint8_t> bytes(static_cast<size_t>(left));
    stream.ReadBuffer(bytes.data(), left);
    return bytes;
}

}  // namespace

namespace thorn {

// Takes a decoded picture's size and pixels, with one notification.
void AssignPicture(TBitmap32& bitmap, const DecodedPicture& picture) {
    if (picture.width < 0 || picture.height < 0 ||
        picture.pixels.size() != static_cast<size_t>(int64_t{picture.width} * picture.height))
        throw EInvalidGraphic("The picture's pixels do not match its size");
    bitmap.TellWholeChange(bitmap.HoldingResize([&] {
        bitmap.SetSize(picture.width, picture.height);
        if (!bitmap.Empty())
            std::memcpy(bitmap.Bits(), picture.pixels.data(),
                        static_cast<size_t>(int64_t{bitmap.Width()} * bitmap.Height()) * sizeof(TColor32));
    }));
}

}  // namespace thorn

void TBitmap32::LoadFromStream(TStream& stream) {
    thorn::DecodedPicture picture = thorn::DecodeBmp(ReadRest(stream));
    // A handler told of the picture may free this bitmap (with its owner).
    const LifeWatch life(*this);
    thorn::AssignPicture(*this, picture);
    if (!life.Gone()) Changed();
}

void TBitmap32::SaveToStream(TStream& stream) const {
    std::vector<uint8_t> file =
        thorn::EncodeBmp32(Empty() ? 0 : Width_, Empty() ? 0 : Height_,
                           std::span<const uint32_t>(bits_.get(), Empty() ? 0 : static_cast<size_t>(int64_t{Width_} * Height_)));
    stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
}

void TBitmap32::LoadFromFile(const std::filesystem::path& fileName) { LoadFromFile(fileName, {}); }

void TBitmap32::LoadFromFile(const std::filesystem::path& fileName, const thorn::PictureLimits& limits) {
    thorn::AssignPicture(*this, thorn::LoadPictureFile(fileName, limits));
}

void TBitmap32::SaveToFile(const std::filesystem::path& fileName) const {
    TFileStream file(fileName, TFileMode::fmCreate);
    SaveToStream(file);
}
