#include <gtest/gtest.h>

#include "support/PictureFiles.h"
#include "platform/Classes.h"
#include "platform/Pictures.h"
#include "support/Readers.h"
#include "support/TempDir.h"

namespace {

using thorn::test::TempDir;

std::string DecodeMessage(const std::vector<uint8_t>& bytes) {
    return thorn::test::MessageOf<EInvalidGraphic>([&] { thorn::DecodePicture(bytes); });
}

TEST(PictureFile, MetafilesAndUnknownContentAreRefused) {
    EXPECT_NE(DecodeMessage({0xD7, 0xCD, 0xC6, 0x9A, 0, 0}).find("Metafile pictures (WMF, EMF) are not supported"),
              std::string::npos);
    EXPECT_NE(DecodeMessage({0x01, 0x00, 0x09, 0x00, 0x00, 0x03}).find("Metafile"), std::string::npos);
    std::vector<uint8_t> emf(88, 0);
    emf[0] = 1;
    emf[40] = ' ', emf[41] = 'E', emf[42] = 'M', emf[43] = 'F';
    EXPECT_NE(DecodeMessage(emf).find("Metafile"), std::string::npos);
    EXPECT_NE(DecodeMessage({0x89, 'P', 'N', 'G', 0x0D, 0x0A}).find("PNG"), std::string::npos);
    EXPECT_NE(DecodeMessage({'G', 'I', 'F', '8'}).find("Unsupported picture format"), std::string::npos);
    EXPECT_NE(DecodeMessage({}).find("Unsupported picture format"), std::string::npos);
}

TEST(PictureFile, TheContentNotTheNameChoosesTheReader) {
    TempDir dir;
    const std::vector<uint32_t> pixels = {0xFF102030, 0x40506070};
    thorn::test::WriteFileBytes(dir / "world.jpg", thorn::EncodeBmp32(2, 1, pixels));
    auto p = thorn::LoadPictureFile(dir / "world.jpg");
    EXPECT_EQ(p.pixels, pixels);
}

TEST(PictureFile, MissingFilesAndFoldersNameTheFile) {
    TempDir dir;
    try {
        thorn::LoadPictureFile(dir / "absent.bmp");
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find("absent.bmp"), std::string::npos);
    }
    EXPECT_THROW(thorn::LoadPictureFile(dir.Path()), EFOpenError);
    thorn::test::WriteFileBytes(dir / "broken.bmp", std::vector<uint8_t>{'B', 'M', 0, 0});
    try {
        thorn::LoadPictureFile(dir / "broken.bmp");
        FAIL() << "no error";
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(std::string(e.what()).find("broken.bmp"), std::string::npos);
    }
}

}  // namespace
