#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "platform/Registry.h"
#include "platform/StringList.h"
#include "support/Readers.h"
#include "support/TempDir.h"

namespace {

// The user's configuration folder is a fresh folder in each test.
class Registry : public ::testing::Test {
protected:
    std::filesystem::path File() const { return dir_ / "thornvale-editor/registry"; }
    void WriteFile(std::string_view text) const {
        std::filesystem::create_directories(File().parent_path());
        thorn::test::WriteFileBytes(File(), std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    }
    std::string FileText() const {
        const auto bytes = thorn::test::ReadFileBytes(File());
        return std::string(bytes.begin(), bytes.end());
    }

    thorn::test::TempConfigHome dir_;
};

std::vector<std::string> Lines(const TStrings& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.GetCount(); ++i) out.push_back(list[i]);
    return out;
}

TEST_F(Registry, KeysAndValuesPersist) {
    {
        TRegistry reg;
        ASSERT_FALSE(reg.OpenKey("Software\\Maker\\Tool", false));
        ASSERT_TRUE(reg.OpenKey("Software\\Maker\\Tool", true));
        EXPECT_EQ(reg.GetCurrentPath(), "Software\\Maker\\Tool");
        reg.WriteString("Item_0", "C:\\a \"b\"\r\n\xE9");
        reg.WriteInteger("Count", -3);
        reg.WriteString("Item_1", "x");
        reg.WriteString("ITEM_1", "y");  // the same value: names ignore case
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\software\\MAKER\\tool"));
    EXPECT_EQ(reg.ReadString("Item_0"), "C:\\a \"b\"\r\n\xE9");
    EXPECT_EQ(reg.ReadInteger("count"), -3);
    EXPECT_EQ(reg.ReadString("Item_1"), "y");
    EXPECT_EQ(reg.ReadString("Missing"), "");
    TStringList names;
    reg.GetValueNames(names);
    EXPECT_EQ(Lines(names), (std::vector<std::string>{"Item_0", "Count", "Item_1"}));
    EXPECT_TRUE(reg.ValueExists("ITEM_0"));
    EXPECT_FALSE(reg.ValueExists("Item_2"));
    // Another root key holds other keys.
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.KeyExists("Software"));
}

TEST_F(Registry, PathsAreRelativeToTheOpenKey) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software", true));
    ASSERT_TRUE(reg.CreateKey("b\\c"));
    ASSERT_TRUE(reg.CreateKey("A"));
    EXPECT_TRUE(reg.KeyExists("\\Software\\b\\c"));
    EXPECT_TRUE(reg.HasSubKeys());
    TStringList keys;
    reg.GetKeyNames(keys);
    EXPECT_EQ(Lines(keys), (std::vector<std::string>{"A", "b"}));
    ASSERT_TRUE(reg.OpenKey("b", false));
    EXPECT_EQ(reg.GetCurrentPath(), "Software\\b");
    ASSERT_TRUE(reg.OpenKey("\\Software\\A\\", false));
    EXPECT_EQ(reg.GetCurrentPath(), "Software\\A");
    EXPECT_FALSE(reg.HasSubKeys());
    reg.CloseKey();
    // Without an open key the root's own values are meant.
    reg.WriteInteger("AtRoot", 1);
    ASSERT_TRUE(reg.OpenKey("", false));
    EXPECT_EQ(reg.ReadInteger("AtRoot"), 1);
}

TEST_F(Registry, DeletingKeysAndValues) {
    TRegistry reg;
    ASSERT_TRUE(reg.CreateKey("Software\\X\\Y\\Z"));
    ASSERT_TRUE(reg.OpenKey("Software\\X", false));
    reg.WriteString("v", "1");
    EXPECT_TRUE(reg.DeleteValue("V"));
    EXPECT_FALSE(reg.DeleteValue("V"));
    EXPECT_FALSE(reg.ValueExists("v"));
    EXPECT_TRUE(reg.DeleteKey("y"));
    EXPECT_FALSE(reg.KeyExists("Y\\Z"));
    EXPECT_FALSE(reg.DeleteKey("Y"));
    EXPECT_FALSE(reg.DeleteKey("\\"));
    EXPECT_TRUE(reg.DeleteKey("\\Software"));
    // The open key went with it: writing into it fails.
    EXPECT_THROW(reg.WriteString("v", "2"), ERegistryException);
}

TEST_F(Registry, RefusalsSayWhy) {
    TRegistry writer;
    ASSERT_TRUE(writer.OpenKey("K", true));
    writer.WriteString("Text", "t");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("K"));
    EXPECT_FALSE(reg.OpenKeyReadOnly("Missing"));
    EXPECT_EQ(reg.GetCurrentPath(), "K");
    struct Case {
        std::function<void()> call;
        const char* message;
    };
    const Case cases[] = {
        {[&] { reg.ReadInteger("Nope"); }, "Failed to get data for 'Nope'"},
        {[&] { reg.ReadInteger("Text"); }, "Invalid data type for 'Text'"},
        {[&] {
             writer.WriteInteger("Number", 5);
             reg.ReadString("Number");
         },
         "Invalid data type for 'Number'"},
        {[&] { reg.WriteString("Text", "u"); }, "Failed to set data for 'Text'"},
        {[&] { reg.CreateKey("Sub"); }, "Failed to create key Sub"},
    };
    for (const Case& c : cases) {
        EXPECT_THROW(c.call(), ERegistryException) << c.message;
        EXPECT_EQ(thorn::test::MessageOf(c.call), c.message);
    }
    EXPECT_FALSE(reg.DeleteValue("Text"));
    EXPECT_FALSE(reg.OpenKey(std::string(256, 'k'), true));
}

TEST_F(Registry, ReadsTheFileFormat) {
    WriteFile(
        "Thornvale registry 1\n"
        "key \"HKEY_CURRENT_USER\" \"Software\" \"Q\\\"\"\n"
        "string \"\" \"a\\\\b\\x0D\\x0a\"\n"
        "integer \"N\" -2147483648\n"
        "key \"HKEY_USERS\"\n");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Q\"", false));
    EXPECT_EQ(reg.ReadString(""), "a\\b\r\n");
    EXPECT_EQ(reg.ReadInteger("n"), INT32_MIN);
}

TEST_F(Registry, DamagedFilesReadEmpty) {
    const char* damaged[] = {
        "",
        "Thornvale registry 2\n",
        "Thornvale registry 1",
        "Thornvale registry 1\nstring \"a\" \"b\"\n",
        "Thornvale registry 1\nkey \"HKEY_CURRENT_USER\"\nstring \"a\" \"b\n",
        "Thornvale registry 1\nkey \"HKEY_CURRENT_USER\"\nstring \"a\" \"\\q\"\n",
        "Thornvale registry 1\nkey \"HKEY_CURRENT_USER\"\ninteger \"a\" 2147483648\n",
        "Thornvale registry 1\nkey \"HKEY_CURRENT_USER\"\ninteger \"a\" 1 \n",
        "Thornvale registry 1\nkey \"HKEY_CURRENT_USER\" \"a\\\\b\"\n",
        "Thornvale registry 1\nkey\n",
        "Thornvale registry 1\nkey \"HKEY_CURRENT_USER\"\r\n",
        "Thornvale registry 1\nvalue \"a\" \"b\"\n",
    };
    for (const char* text : damaged) {
        SCOPED_TRACE(text);
        WriteFile(text);
        TRegistry reg;
        EXPECT_FALSE(reg.KeyExists("\\Anything"));
        EXPECT_EQ(reg.ReadString("a"), "");
        EXPECT_FALSE(reg.ValueExists("a"));
    }
    // A write replaces the damaged file with a whole one.
    TRegistry reg;
    reg.WriteString("a", "b");
    EXPECT_EQ(TRegistry().ReadString("a"), "b");
}

TEST_F(Registry, AFailedWriteKeepsTheFile) {
    TRegistry reg;
    reg.WriteString("a", "1");
    const std::string before = FileText();
    // The temporary file cannot be made where a folder stands.
    std::filesystem::create_directories(File().string() + ".tmp");
    EXPECT_THROW(reg.WriteString("a", "2"), ERegistryException);
    EXPECT_FALSE(reg.OpenKey("New", true));
    EXPECT_EQ(FileText(), before);
    EXPECT_EQ(reg.ReadString("a"), "1");
}

TEST_F(Registry, TheFileLivesInTheConfigurationFolder) {
    EXPECT_EQ(thorn::RegistryFile(), File());
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("XDG_CONFIG_HOME", "relative/dir", 1);  // not absolute: ignored
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(thorn::RegistryFile(), std::filesystem::path("/home/someone/.config/thornvale-editor/registry"));
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(thorn::RegistryFile(), std::filesystem::path("/home/someone/.config/thornvale-editor/registry"));
    setenv("HOME", home.c_str(), 1);
}

}  // namespace
