#include "platform/Pictures.h"

#include "platform/Classes.h"

namespace thorn {

DecodedPicture DecodePicture(std::span<const uint8_t>, const PictureLimits&) { throw EInvalidGraphic("Picture reading is not available yet"); }
DecodedPicture DecodeBmp(std::span<const uint8_t>, const PictureLimits&) { throw EInvalidGraphic("Picture reading is not available yet"); }
DecodedPicture DecodeIco(std::span<const uint8_t>, const PictureLimits&) { throw EInvalidGraphic("Picture reading is not available yet"); }
DecodedPicture DecodeJpeg(std::span<const uint8_t>, const PictureLimits&) { throw EInvalidGraphic("Picture reading is not available yet"); }
std::vector<uint8_t> EncodeBmp32(int32_t, int32_t, std::span<const uint32_t>) { throw EInvalidGraphic("Picture writing is not available yet"); }
DecodedPicture LoadPictureFile(const std::filesystem::path&, const PictureLimits&) { throw EInvalidGraphic("Picture reading is not available yet"); }

}  // namespace thorn
