#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/ShellLink.h"
#include "support/PictureFiles.h"
#include "support/TempDir.h"

namespace {

using thorn::DecodeShellLink;
using thorn::EncodeShellLink;
using thorn::ShellLink;
using thorn::test::ByteWriter;

// The format documentation's worked example: a link to C:\test\a.txt in
// C:\test with the arguments /p, hot key Ctrl+Shift+A, shown maximized; the
// target an archive file of 12 bytes, all three times 2024-01-15 10:30:00
// UTC, on a fixed disk with serial number 0x1234ABCD and no label.
const std::vector<uint8_t> kWorkedExample = {
    0x4C, 0x00, 0x00, 0x00, 0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00,  //
    0x00, 0x00, 0x00, 0x46, 0xB2, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00, 0x00, 0x84, 0xE0, 0xCA,  //
    0x9D, 0x47, 0xDA, 0x01, 0x00, 0x84, 0xE0, 0xCA, 0x9D, 0x47, 0xDA, 0x01, 0x00, 0x84, 0xE0, 0xCA,  //
    0x9D, 0x47, 0xDA, 0x01, 0x0C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,  //
    0x41, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x3C, 0x00, 0x00, 0x00,  //
    0x1C, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x1C, 0x00, 0x00, 0x00, 0x2D, 0x00, 0x00, 0x00,  //
    0x00, 0x00, 0x00, 0x00, 0x3B, 0x00, 0x00, 0x00, 0x11, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,  //
    0xCD, 0xAB, 0x34, 0x12, 0x10, 0x00, 0x00, 0x00, 0x00, 0x43, 0x3A, 0x5C, 0x74, 0x65, 0x73, 0x74,  //
    0x5C, 0x61, 0x2E, 0x74, 0x78, 0x74, 0x00, 0x00, 0x07, 0x00, 0x43, 0x00, 0x3A, 0x00, 0x5C, 0x00,  //
    0x74, 0x00, 0x65, 0x00, 0x73, 0x00, 0x74, 0x00, 0x02, 0x00, 0x2F, 0x00, 0x70, 0x00, 0x00, 0x00,  //
    0x00, 0x00,
};
constexpr uint64_t kExampleTime = 0x01DA479DCAE08400;

ShellLink WorkedExampleLink() {
    ShellLink link;
    link.fileAttributes = 0x20;
    link.creationTime = link.accessTime = link.writeTime = kExampleTime;
    link.fileSize = 12;
    link.showCommand = 3;
    link.hotKey = 0x0341;
    link.localBasePath = R"(C:\test\a.txt)";
    link.driveSerialNumber = 0x1234ABCD;
    link.workingDirectory = R"(C:\test)";
    link.arguments = "/p";
    return link;
}

// UTF-16 units, little-endian, as links keep their texts.
void Utf16(thorn::test::ByteWriter& b, std::u16string_view text) {
    for (char16_t c : text) b.U16(c);
}

TEST(ShellLink, WorkedExampleReadsAsDocumented) {
    const auto link = DecodeShellLink(kWorkedExample);
    ASSERT_TRUE(link);
    EXPECT_EQ(*link, WorkedExampleLink());
    EXPECT_EQ(link->TargetPath(), R"(C:\test\a.txt)");
}

TEST(ShellLink, WorkedExampleIsWhatTheWriterMakes) {
    EXPECT_EQ(EncodeShellLink(WorkedExampleLink()), kWorkedExample);
}

TEST(ShellLink, EveryTruncationIsRefused) {
    for (size_t size = 0; size < kWorkedExample.size(); ++size)
        EXPECT_FALSE(DecodeShellLink(std::span(kWorkedExample).first(size))) << size;
}

TEST(ShellLink, LinkWithEveryPartLaidOutByHand) {
    ByteWriter b;
    // Header: an item list, link information, a name and an icon location,
    // texts in the code page; icon 2, shown minimized, Ctrl+Alt+F.
    b.U32(0x4C).Raw(std::vector<uint8_t>(kWorkedExample.begin() + 4, kWorkedExample.begin() + 20));
    b.U32(0x1 | 0x2 | 0x4 | 0x40).U32(0x80);
    for (int i = 0; i < 6; ++i) b.U32(0);  // three times
    b.U32(0).U32(2).U32(7).U16(0x0646).U16(0).U32(0).U32(0);
    ASSERT_EQ(b.Size(), 0x4Cu);
    // Item list: one item of 4 bytes, then the closing zero.
    b.U16(6).U16(4).U16(0xBBAA).U16(0);
    // Link information with the offsets of its UTF-16 texts (header 0x24),
    // a local path and a network share. Offsets from its start:
    // 0x24 volume (0x1E bytes: header, UTF-16 label "Disk"), 0x42 local path
    // "C:\?", 0x47 network part (0x20 bytes), 0x67 suffix "doc\y.txt",
    // 0x71 local path in UTF-16 "C:\€", 0x7B suffix in UTF-16; 0x8F in all.
    const size_t info = b.Size();
    b.U32(0x8F).U32(0x24).U32(0x3).U32(0x24).U32(0x42).U32(0x47).U32(0x67).U32(0x71).U32(0x7B);
    b.U32(0x1E).U32(2).U32(0xCAFEF00D).U32(0x14).U32(0x14);
    Utf16(b, u"Disk");
    b.U16(0).Chars("C:\\?").U8(0);
    b.U32(0x20).U32(0).U32(0x14).U32(0).U32(0).Chars("\\\\srv\\share").U8(0);
    b.Chars("doc\\y.txt").U8(0);
    Utf16(b, u"C:\\\u20AC");
    b.U16(0);
    Utf16(b, u"doc\\y.txt");
    b.U16(0);
    ASSERT_EQ(b.Size() - info, 0x8Fu);
    // Texts: the name, then the icon location.
    b.U16(4).Chars("Desc").U16(12).Chars("C:\\icons.dll");
    // Extra data: a block of a kind not known here, a special-folder block,
    // the closing block, and bytes after it that nothing reads.
    b.U32(0x0C).U32(0x12345678).U32(0xFFFFFFFF);
    b.U32(0x10).U32(0xA0000005).U32(0x25).U32(0);
    b.U32(0).Chars("tail");

    const auto link = DecodeShellLink(b.Bytes());
    ASSERT_TRUE(link);
    ShellLink expected;
    expected.fileAttributes = 0x80;
    expected.iconIndex = 2;
    expected.showCommand = 7;
    expected.hotKey = 0x0646;
    expected.localBasePath = "C:\\\x80";
    expected.netName = R"(\\srv\share)";
    expected.commonPathSuffix = R"(doc\y.txt)";
    expected.driveType = 2;
    expected.driveSerialNumber = 0xCAFEF00D;
    expected.volumeLabel = "Disk";
    expected.description = "Desc";
    expected.iconLocation = R"(C:\icons.dll)";
    EXPECT_EQ(*link, expected);
    EXPECT_EQ(link->TargetPath(), R"(\\srv\share\doc\y.txt)");
    // Cut anywhere before the end of its closing block, it is refused.
    const size_t end = b.Size() - 4;
    for (size_t size = 0; size < end; ++size) EXPECT_FALSE(DecodeShellLink(std::span(b.Bytes()).first(size))) << size;
    EXPECT_TRUE(DecodeShellLink(std::span(b.Bytes()).first(end)));
}

TEST(ShellLink, DamagedLinksAreRefused) {
    struct Patch {
        const char* what;
        size_t at;
        std::vector<uint8_t> bytes;
    } const patches[] = {
        {"header size", 0x00, {0x4D}},
        {"class", 0x04, {0x02}},
        {"an item list the link information fills", 0x14, {0xB3}},
        {"link information past the end", 0x4C, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"link information smaller than its header", 0x4C, {0x1B}},
        {"link information header size", 0x50, {0x20}},
        {"volume announced, no offset", 0x58, {0x00}},
        {"local path outside", 0x5C, {0x3C}},
        {"network part not announced", 0x60, {0x1C}},
        {"volume too small", 0x68, {0x10}},
        {"volume past the link information", 0x68, {0x40}},
        {"label outside the volume", 0x74, {0x11}},
        {"path without its end", 0x86, {0x41, 0x41}},
        {"text past the end", 0x88, {0xFF}},
        {"block of 5 bytes", 0x9E, {0x05}},
        {"block past the end", 0x9E, {0x08}},
    };
    for (const auto& [what, at, bytes] : patches) {
        std::vector<uint8_t> damaged = kWorkedExample;
        std::copy(bytes.begin(), bytes.end(), damaged.begin() + static_cast<ptrdiff_t>(at));
        EXPECT_FALSE(DecodeShellLink(damaged)) << what;
    }

    const std::vector<uint8_t> withoutEnd(kWorkedExample.begin(), kWorkedExample.end() - 4);
    // Only an item list, of one item of 1 byte.
    ByteWriter oddItem;
    oddItem.Raw(std::vector<uint8_t>(kWorkedExample.begin(), kWorkedExample.begin() + 0x4C)).PatchU32(0x14, 0x01);
    oddItem.U16(4).U16(1).U16(0).U32(0);
    EXPECT_FALSE(DecodeShellLink(oddItem.Bytes()));
    ByteWriter wrongBlock;
    wrongBlock.Raw(withoutEnd).U32(0x0C).U32(0xA0000005).U32(0).U32(0);
    EXPECT_FALSE(DecodeShellLink(wrongBlock.Bytes())) << "special-folder block of the wrong size";
}

TEST(ShellLink, TextsKeepTheirCodePageAndLength) {
    ShellLink link;
    link.localBasePath = "/home/ann/caf\xE9.pw";
    link.description = "\x80 5 \x93quoted\x94";
    const auto bytes = EncodeShellLink(link);
    ASSERT_TRUE(bytes);
    const auto back = DecodeShellLink(*bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, link);

    link.arguments.assign(0x10000, 'a');
    EXPECT_FALSE(EncodeShellLink(link));
    link.arguments.pop_back();
    EXPECT_TRUE(EncodeShellLink(link));
}

std::string CommandOutput(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    if (!pipe) return out;
    char buffer[512];
    while (size_t got = fread(buffer, 1, sizeof buffer, pipe.get())) out.append(buffer, got);
    return out;
}

// lnkinfo, of the libyal project, reads the links this writer makes.
TEST(ShellLink, AnIndependentReaderReadsWrittenLinks) {
    thorn::test::TempDir dir;
    ShellLink link;
    link.localBasePath = R"(C:\maps\w.pw)";
    link.workingDirectory = R"(C:\maps)";
    link.arguments = "-x 1";
    link.description = "Caf\xE9 map";
    link.iconLocation = R"(C:\icons\t.ico)";
    const auto bytes = EncodeShellLink(link);
    ASSERT_TRUE(bytes);
    thorn::test::WriteFileBytes(dir / "map.lnk", *bytes);

    const std::string report = CommandOutput("lnkinfo '" + (dir / "map.lnk").string() + "' 2>&1");
    for (const char* line : {"Local path\t\t\t: C:\\maps\\w.pw\n", "Working directory\t\t: C:\\maps\n",
                             "Command line arguments\t\t: -x 1\n", "Description\t\t\t: Caf\xC3\xA9 map\n",
                             "Icon location\t\t\t: C:\\icons\\t.ico\n"})
        EXPECT_NE(report.find(line), std::string::npos) << line << "in\n" << report;
}

}  // namespace
