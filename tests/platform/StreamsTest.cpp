#include <gtest/gtest.h>

#include <functional>

#include "platform/StringList.h"
#include "platform/Streams.h"
#include "support/FifoTrap.h"
#include "support/Readers.h"
#include "support/TempDir.h"

namespace {

using thorn::test::TempDir;

TEST(TMemoryStream, ReadWriteSeek) {
    TMemoryStream s;
    uint8_t data[] = {1, 2, 3, 4};
    s.WriteBuffer(data, 4);
    EXPECT_EQ(s.GetSize(), 4);
    s.SetPosition(2);
    s.WriteBuffer(data, 4);  // grows past the end
    EXPECT_EQ(s.GetSize(), 6);
    s.SetPosition(0);
    uint8_t back[6];
    s.ReadBuffer(back, 6);
    EXPECT_EQ(back[5], 4);
    EXPECT_EQ(s.Read(back, 1), 0);
    EXPECT_THROW(s.ReadBuffer(back, 1), EReadError);
    EXPECT_EQ(s.Seek(-2, TSeekOrigin::soEnd), 4);
    // Cut shorter than its position, the stream stands at its new end, so
    // the next write follows the bytes kept.
    s.SetSize(3);
    EXPECT_EQ(s.GetPosition(), 3);
    s.WriteBuffer(data, 1);
    EXPECT_EQ(s.Bytes(), (std::vector<uint8_t>{1, 2, 1, 1}));
}

TEST(TFileStream, RoundTripAndOpenErrors) {
    TempDir dir;
    {
        TFileStream out(dir / "f.bin", TFileMode::fmCreate);
        out.WriteBuffer(std::vector<uint8_t>{9, 8, 7});
    }
    TFileStream in(dir / "f.bin", TFileMode::fmOpenRead);
    EXPECT_EQ(in.GetSize(), 3);
    std::vector<uint8_t> back(3);
    in.ReadBuffer(back);
    EXPECT_EQ(back, (std::vector<uint8_t>{9, 8, 7}));
    EXPECT_THROW(TFileStream(dir / "missing", TFileMode::fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(dir.Path(), TFileMode::fmOpenRead), EFOpenError);
    TMemoryStream copy;
    copy.LoadFromFile(dir / "f.bin");
    EXPECT_EQ(copy.Bytes(), back);
}

// Every load through a file stream takes only a regular file, and a FIFO
// never makes it wait for a writer.
TEST(TFileStream, OnlyRegularFilesAreOpened) {
    TempDir dir;
    thorn::test::FifoTrap fifo(dir / "fifo");
    std::filesystem::create_directory(dir / "folder");
    const std::string name = "\"" + fifo.Path().string() + "\"";
    struct Case {
        const char* load;
        std::function<void(const std::filesystem::path&)> open;
        std::string message;
    };
    const Case cases[] = {
        {"read", [](const auto& f) { TFileStream(f, TFileMode::fmOpenRead); },
         "Cannot open file " + name + ". It is not a regular file."},
        {"read and write", [](const auto& f) { TFileStream(f, TFileMode::fmOpenReadWrite); },
         "Cannot open file " + name + ". It is not a regular file."},
        {"create", [](const auto& f) { TFileStream(f, TFileMode::fmCreate); },
         "Cannot create file " + name + ". It is not a regular file."},
        {"memory stream", [](const auto& f) { TMemoryStream().LoadFromFile(f); },
         "Cannot open file " + name + ". It is not a regular file."},
        {"string list", [](const auto& f) { TStringList().LoadFromFile(f); },
         "Cannot open file " + name + ". It is not a regular file."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.load);
        EXPECT_EQ(thorn::test::MessageOf<EFOpenError>([&] { c.open(fifo.Path()); }), c.message);
        EXPECT_TRUE(thorn::test::MessageOf<EFOpenError>([&] { c.open(dir / "folder"); }).ends_with("It is a folder."));
    }
    EXPECT_EQ(fifo.Released(), 0);
}

}  // namespace
