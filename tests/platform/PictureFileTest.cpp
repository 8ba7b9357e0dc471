#include <gtest/gtest.h>

#include <unistd.h>

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
    // Content of no format known is told apart from a format refused.
    const auto unknown = [](const std::vector<uint8_t>& bytes) {
        return thorn::test::MessageOf<thorn::EUnknownPictureFormat>([&] { thorn::DecodePicture(bytes); });
    };
    EXPECT_NE(unknown({'G', 'I', 'F', '8'}).find("Unsupported picture format"), std::string::npos);
    EXPECT_EQ(DecodeMessage({}), "The picture file is empty");
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

std::string LoadMessage(const std::filesystem::path& file, const thorn::PictureLimits& limits = {}) {
    try {
        thorn::LoadPictureFile(file, limits);
    } catch (const Exception& e) {
        return e.what();
    }
    return "(no error)";
}

// A file is looked at before it is read whole: the kind of picture by its
// first bytes, then its size against what a picture within the limits
// needs. Both large files here are sparse, so they take no room on disk.
TEST(PictureFile, KindAndSizeAreCheckedBeforeTheWholeFileIsRead) {
    TempDir dir;
    auto sparse = [&](const char* name, std::vector<uint8_t> head, off_t size) {
        thorn::test::WriteFileBytes(dir / name, head);
        EXPECT_EQ(::truncate((dir / name).c_str(), size), 0);
        return dir / name;
    };
    const std::filesystem::path zeros = sparse("zeros.bmp", {}, off_t{2} << 30);
    EXPECT_EQ(thorn::test::MessageOf<thorn::EUnknownPictureFormat>([&] { thorn::LoadPictureFile(zeros); }),
              "Unsupported picture format: the file is not a BMP, JPEG or icon picture (\"" + zeros.string() + "\")");
    const thorn::PictureLimits icon{512, 512 * 512};
    EXPECT_NE(LoadMessage(sparse("huge.bmp", {'B', 'M'}, 64 << 20), icon).find("too large (67108864 bytes)"),
              std::string::npos);
}

}  // namespace
