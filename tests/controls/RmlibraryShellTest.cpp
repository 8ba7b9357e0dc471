#include <gtest/gtest.h>

#include <string>

#include "controls/Rmlibrary_Shell.h"
#include "platform/Classes.h"
#include "support/PictureFiles.h"
#include "support/TempDir.h"

namespace {

using thorn::test::ByteWriter;
using thorn::test::TempDir;

// A shortcut laid out as the link format documents it: header, link
// information with a local path, working folder and arguments in the code
// page, closing block.
std::vector<uint8_t> LinkFile(uint32_t showCommand, uint16_t hotKey, std::string_view path,
                              std::string_view workingFolder, std::string_view arguments) {
    ByteWriter b;
    b.U32(0x4C).Raw({0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46});
    b.U32(0x02 | 0x10 | 0x20).U32(0).Zeros(24).U32(0).U32(0).U32(showCommand).U16(hotKey).Zeros(10);
    const auto localAt = static_cast<uint32_t>(0x1C + 0x11), suffixAt = static_cast<uint32_t>(localAt + path.size() + 1);
    b.U32(suffixAt + 1).U32(0x1C).U32(1).U32(0x1C).U32(localAt).U32(0).U32(suffixAt);
    b.U32(0x11).U32(3).U32(0).U32(0x10).U8(0);
    b.Chars(path).U8(0).U8(0);
    b.U16(static_cast<uint16_t>(workingFolder.size())).Chars(workingFolder);
    b.U16(static_cast<uint16_t>(arguments.size())).Chars(arguments);
    return b.U32(0).Bytes();
}

void ExpectMessage(const std::function<void()>& action, const std::string& message) {
    try {
        action();
        ADD_FAILURE() << "no exception, expected " << message;
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), message);
    }
}

TEST(RmlibraryShell, ShortcutsLaidOutByHand) {
    struct Case {
        uint32_t showCommand;
        uint16_t hotKey;
        TWindowState state;
        TShortCut shortCut;
    } const cases[] = {
        {1, 0x0341, wsNormal, scShift | scCtrl | 'A'},
        {2, 0x0470, wsMinimized, scAlt | 0x70},
        {6, 0x0000, wsMinimized, scNone},
        {7, 0x0731, wsMinimized, scShift | scCtrl | scAlt | '1'},
        {3, 0x0241, wsMaximized, scCtrl | 'A'},
        {10, 0x0141, wsMaximized, scShift | 'A'},
        {0, 0x0041, wsNormal, 'A'},
        {5, 0x0000, wsNormal, scNone},
    };
    TempDir dir;
    for (const auto& [showCommand, hotKey, state, shortCut] : cases) {
        SCOPED_TRACE(showCommand);
        thorn::test::WriteFileBytes(dir / "hand.lnk",
                                    LinkFile(showCommand, hotKey, R"(C:\games\tv2.exe)", R"(C:\games)", "-w 2"));
        TShortcutDetails expected;
        expected.Arguments = "-w 2";
        expected.HotKey = shortCut;
        expected.Path = R"(C:\games\tv2.exe)";
        expected.ShowCommand = state;
        expected.WorkingDirectory = R"(C:\games)";
        EXPECT_EQ(ReadShortCutFile(dir / "hand.lnk"), expected);
    }
}

TEST(RmlibraryShell, ShortcutsWrittenAndReadBack) {
    TempDir dir;
    for (TWindowState state : {wsNormal, wsMinimized, wsMaximized}) {
        TShortcutDetails details;
        details.Arguments = "--mission \"Isle of Thorns\"";
        details.Description = "Thornvale \x96 editor";
        details.HotKey = scCtrl | scAlt | 0x74;  // F5
        details.IconLocation = "/usr/share/icons/thornvale.ico";
        details.IconIndex = -3;
        details.Path = "/opt/thornvale/editor";
        details.ShowCommand = state;
        details.WorkingDirectory = "/home/ann/missions";
        WriteShortCutFile(dir / "editor.lnk", details);
        EXPECT_EQ(ReadShortCutFile(dir / "editor.lnk"), details);
    }
}

TEST(RmlibraryShell, WhatIsNotAShortcutIsRefused) {
    TempDir dir;
    const std::vector<uint8_t> link = LinkFile(1, 0, "C:\\x", "", "");
    thorn::test::WriteFileBytes(dir / "empty.lnk", {});
    thorn::test::WriteFileBytes(dir / "short.lnk", std::vector<uint8_t>(link.begin(), link.end() - 1));
    thorn::test::WriteFileBytes(dir / "picture.lnk", std::vector<uint8_t>{'B', 'M', 0x4C, 0, 0, 0});
    std::filesystem::create_directory(dir / "folder.lnk");
    for (const char* name : {"missing.lnk", "empty.lnk", "short.lnk", "picture.lnk", "folder.lnk"})
        ExpectMessage([&] { ReadShortCutFile(dir / name); }, "Error opening Shortcut.");

    ExpectMessage([&] { WriteShortCutFile(dir / "no-folder" / "x.lnk", {}); }, "Error creating Shortcut.");
    TShortcutDetails tooLong;
    tooLong.Arguments.assign(70000, 'a');
    ExpectMessage([&] { WriteShortCutFile(dir / "long.lnk", tooLong); }, "Error creating Shortcut.");
    EXPECT_FALSE(std::filesystem::exists(dir / "long.lnk"));
}

TEST(RmlibraryShell, FileTypesAndIcons) {
    struct Case {
        const char* name;
        const char* type;
    } const cases[] = {
        {"map.xyz", "XYZ File"}, {"/home/ann/README", "File"},     {"a.tar.gz", "GZ File"},
        {".bashrc", "BASHRC File"}, {"dir.d/plain", "File"},       {"caf\xE9.\xE9t\xE9", "\xC9T\xC9 File"},
        {"trailing.", "File"},
    };
    for (const auto& [name, type] : cases) EXPECT_EQ(GetFileType(name), type) << name;

    TempDir dir;
    WriteShortCutFile(dir / "there.lnk", {});
    thorn::test::WriteFileBytes(dir / "plain.txt", {});
    for (const std::filesystem::path& file : {dir / "there.lnk", dir / "plain.txt", dir / "missing.txt"}) {
        EXPECT_EQ(GetFileIcon(file, true), nullptr) << file;
        EXPECT_EQ(GetFileImageIndex(file, false), -1) << file;
    }
    TImageList images;
    EXPECT_FALSE(GetFileImages(images, true));
    EXPECT_EQ(images.GetCount(), 0);
    ExpectMessage([&] { GetFileIcon(dir / "missing.LNK", false); }, "Error opening Shortcut.");
    ExpectMessage([&] { GetFileImageIndex(dir / "missing.lnk", true); }, "Error opening Shortcut.");
    ExpectMessage([] { GetFileType(""); }, "No file specified");
    ExpectMessage([] { GetFileIcon("", true); }, "No file specified");
    ExpectMessage([] { GetFileImageIndex("", true); }, "No file specified");
}

}  // namespace
