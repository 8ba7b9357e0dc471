#include "WorldPictures.h"

#include "platform/Pictures.h"
#include "support/TempDir.h"

namespace thorn::test {

void WriteBmp32(const std::filesystem::path& file, const TBitmap32& picture) {
    WriteFileBytes(file, EncodeBmp32(picture.Width(), picture.Height(), PixelsOf(picture)));
}

}  // namespace thorn::test
