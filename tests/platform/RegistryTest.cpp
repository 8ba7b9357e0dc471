#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "platform/Registry.h"
#include "platform/RegistryStore.h"
#include "platform/StringList.h"
#include "support/Readers.h"
#include "support/TempDir.h"

namespace {

// The store's warnings, kept while the object lives.
class Warnings {
public:
    Warnings() : replaced_(thorn::SetRegistryWarningSink([this](const std::string& m) { said.push_back(m); })) {}
    ~Warnings() { thorn::SetRegistryWarningSink(std::move(replaced_)); }
    Warnings(const Warnings&) = delete;
    Warnings& operator=(const Warnings&) = delete;

    std::vector<std::string> said;

private:
    thorn::RegistryWarningSink replaced_;
};

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
    Warnings warnings_;
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
    const std::string lines[] = {
        "Thornvale registry 1",
        "key \"HKEY_CURRENT_USER\" \"Software\" \"Q\\\"\"",
        "string \"\" \"a\\\\b\\x0D\\x0a\"",
        "integer \"N\" -2147483648",
        "key \"HKEY_USERS\"",
    };
    // Lines end as this store writes them, or as other text editors do.
    for (const std::string end : {"\n", "\r\n"}) {
        SCOPED_TRACE(end.size());
        std::string text;
        for (const std::string& line : lines) text += line + end;
        WriteFile(text);
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Q\"", false));
        EXPECT_EQ(reg.ReadString(""), "a\\b\r\n");
        EXPECT_EQ(reg.ReadInteger("n"), INT32_MIN);
        // A write keeps every setting the file held.
        reg.WriteInteger("M", 1);
        EXPECT_EQ(reg.ReadInteger("n"), INT32_MIN);
    }
    EXPECT_TRUE(warnings_.said.empty());
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
        "Thornvale registry 1\nkey \"HKEY_CURRENT_USER\"\r\r\n",
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
    EXPECT_TRUE(warnings_.said.empty());
    // A write keeps the damaged file aside, says so once, and replaces it
    // with a whole one.
    const std::string aside = File().string() + ".damaged";
    const std::string warning = "The settings file \"" + File().string() + "\" could not be read; it is kept as \"" +
                                aside + "\" and the settings start afresh.";
    TRegistry reg;
    reg.WriteString("a", "b");
    reg.WriteString("c", "d");
    EXPECT_EQ(TRegistry().ReadString("a"), "b");
    EXPECT_EQ(warnings_.said, std::vector<std::string>{warning});
    const auto kept = thorn::test::ReadFileBytes(aside);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), damaged[std::size(damaged) - 1]);
    // A damaged file found later is kept beside the first.
    WriteFile("Thornvale registry 1\nkey\n");
    reg.WriteString("a", "e");
    EXPECT_EQ(warnings_.said.size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(aside + "-2"));
    EXPECT_EQ(thorn::test::ReadFileBytes(aside), kept);
}

// A write the store could not read back, or could not lock, is refused with
// the reason; the file stays as it was.
TEST_F(Registry, AFailedWriteKeepsTheFile) {
    TRegistry reg;
    reg.WriteString("a", "1");
    const std::string before = FileText();
    const std::string tooLarge = "The settings would take more than the 16 MiB their file may hold.";
    // Every level of a key names the levels above it: 512 levels of long
    // names take more than 30 MiB.
    std::string deep;
    for (size_t level = 0; level < 512; ++level) deep += (level ? "\\" : "") + std::string(255, 'k');
    struct Case {
        const char* cause;
        std::function<void()> prepare, write;
        std::string messageStart, messageEnd;
        bool blocksEveryWrite;
    };
    const Case cases[] = {
        {"lock file is a folder",
         [&] {
             std::filesystem::remove(File().string() + ".lock");
             std::filesystem::create_directory(File().string() + ".lock");
         },
         [&] { reg.WriteString("a", "2"); }, "Failed to set data for 'a'. Cannot lock the settings through",
         "Is a directory.", true},
        {"value of 16 MiB", [] {}, [&] { reg.WriteString("a", std::string(16 << 20, 'v')); },
         "Failed to set data for 'a'. ", tooLarge, false},
        {"deep keys with long names", [] {}, [&] { reg.CreateKey(deep); }, "Failed to create key " + deep + ". ",
         tooLarge, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cause);
        c.prepare();
        const std::string message = thorn::test::MessageOf<ERegistryException>(c.write);
        EXPECT_TRUE(message.starts_with(c.messageStart)) << message.substr(0, 200);
        EXPECT_TRUE(message.ends_with(c.messageEnd)) << message.substr(0, 200);
        EXPECT_EQ(reg.OpenKey("New", true), !c.blocksEveryWrite);
        reg.CloseKey();
        if (!c.blocksEveryWrite) {
            EXPECT_TRUE(reg.DeleteKey("New"));
        }
        EXPECT_EQ(FileText(), before);
        EXPECT_EQ(reg.ReadString("a"), "1");
        std::filesystem::remove(File().string() + ".lock");
    }
}

// What can be written can be read: a key 512 levels below its root key is
// kept beside the other settings, one level more is refused.
TEST_F(Registry, DeepestKeys) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Other", true));
    reg.WriteString("kept", "yes");
    std::string deep = "\\k";
    for (int level = 1; level < 512; ++level) deep += "\\k";
    ASSERT_TRUE(reg.OpenKey(deep, true));
    reg.WriteInteger("depth", 512);
    TRegistry again;
    ASSERT_TRUE(again.OpenKeyReadOnly(deep));
    EXPECT_EQ(again.ReadInteger("depth"), 512);
    ASSERT_TRUE(again.OpenKeyReadOnly("\\Other"));
    EXPECT_EQ(again.ReadString("kept"), "yes");
    EXPECT_FALSE(reg.OpenKey(deep + "\\k", true));
    EXPECT_THROW(reg.CreateKey(deep + "\\k"), ERegistryException);
    EXPECT_FALSE(again.KeyExists(deep + "\\k"));
}

// A value changed by another program is seen at once, even when the file
// keeps its size and is rewritten in place.
TEST_F(Registry, ChangesOfOthersAreSeen) {
    TRegistry reg;
    reg.WriteInteger("n", 1);
    EXPECT_EQ(reg.ReadInteger("n"), 1);
    std::string text = FileText();
    text.replace(text.find("\"n\" 1"), 5, "\"n\" 2");
    WriteFile(text);
    EXPECT_EQ(reg.ReadInteger("n"), 2);
    std::filesystem::remove(File());
    EXPECT_FALSE(reg.ValueExists("n"));
}

// The registry's file may be a symbolic link to a file elsewhere: it stays
// one, and writes go to the file it names.
TEST_F(Registry, AFileThatIsALinkStaysALink) {
    std::filesystem::create_directories(dir_ / "elsewhere");
    std::filesystem::create_directories(File().parent_path());
    std::filesystem::create_symlink("../elsewhere/settings", File());
    TRegistry reg;
    reg.WriteString("a", "1");
    reg.WriteString("b", "2");
    EXPECT_TRUE(std::filesystem::is_symlink(File()));
    EXPECT_EQ(std::filesystem::read_symlink(File()), "../elsewhere/settings");
    const auto target = thorn::test::ReadFileBytes(dir_ / "elsewhere/settings");
    EXPECT_NE(std::string(target.begin(), target.end()).find("string \"b\" \"2\""), std::string::npos);
    EXPECT_EQ(TRegistry().ReadString("a"), "1");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_ / "elsewhere"), {}), 1)
        << "no temporary file is left";
}

// Two programs writing into the store at once: every write of each is kept,
// and every read of each finds a whole file.
TEST_F(Registry, TwoProgramsWritingAtOnceLoseNothing) {
    constexpr int kValues = 300;
    ASSERT_TRUE(TRegistry().CreateKey("Shared"));
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    // Runs in a program of its own; answers how many of its writes or reads
    // failed.
    auto writeValues = [&](int program) {
        ::close(start[1]);
        char go = 0;
        if (::read(start[0], &go, 1) < 0) return 1;
        const Warnings warnings;
        int failures = 0;
        TRegistry reg;
        if (!reg.OpenKey("Shared", false)) return 1;
        for (int n = 0; n < kValues; ++n) {
            const std::string name = "P" + std::to_string(program) + "_" + std::to_string(n);
            try {
                reg.WriteInteger(name, n);
                failures += reg.ReadInteger(name) != n;
            } catch (const Exception&) {
                ++failures;
            }
        }
        return failures + static_cast<int>(warnings.said.size());
    };
    pid_t programs[2];
    for (int program = 0; program < 2; ++program) {
        programs[program] = ::fork();
        ASSERT_GE(programs[program], 0);
        if (programs[program] == 0) ::_exit(std::min(writeValues(program), 255));
    }
    ::close(start[0]);
    ::close(start[1]);  // both start now
    for (pid_t program : programs) {
        int status = 0;
        ASSERT_EQ(::waitpid(program, &status, 0), program);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "writes or reads that failed in one program";
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("Shared"));
    TStringList names;
    reg.GetValueNames(names);
    EXPECT_EQ(names.GetCount(), 2 * kValues);
    int lost = 0;
    for (int program = 0; program < 2; ++program)
        for (int n = 0; n < kValues; ++n) {
            const std::string name = "P" + std::to_string(program) + "_" + std::to_string(n);
            lost += !reg.ValueExists(name) || reg.ReadInteger(name) != n;
        }
    EXPECT_EQ(lost, 0);
    EXPECT_FALSE(std::filesystem::exists(File().string() + ".damaged"));
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
