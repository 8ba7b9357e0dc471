#include "platform/PictureFormat.h"

#include "platform/Classes.h"

namespace thorn::picture {

void Fail(const std::string& message) { throw EInvalidGraphic(message); }

void CheckPictureSize(int64_t width, int64_t height, const PictureLimits& limits, std::string_view kind) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width < 1 || height < 1) Fail("The " + std::string(kind) + " picture has an invalid size (" + size + ")");
    // A refusal names the bound broken, so that the user knows what to make.
    const std::string tooLarge = "The " + std::string(kind) + " picture is too large (" + size + " pixels): ";
    if (width > limits.maxSide || height > limits.maxSide)
        Fail(tooLarge + "a side may be at most " + std::to_string(limits.maxSide) + " pixels");
    if (width * height > limits.maxPixels)
        Fail(tooLarge + "it may hold at most " + std::to_string(limits.maxPixels) + " pixels");
}

DecodedPicture MakeOpaquePicture(int32_t width, int32_t height) {
    DecodedPicture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFF000000u);
    return picture;
}

}  // namespace thorn::picture
