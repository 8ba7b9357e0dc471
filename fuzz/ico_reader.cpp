// Feeds arbitrary bytes to the icon reader (see PictureReaderTarget.h).
#include "fuzz/PictureReaderTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return thorn::fuzz::CheckPictureReader(data, size, thorn::DecodeIco);
}
