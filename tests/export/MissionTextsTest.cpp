#include <gtest/gtest.h>

#include "ExportProject.h"
#include "export/MissionTexts.h"

namespace thorn::test {
namespace {

class MissionTexts : public ExportProject {
protected:
    MissionTexts() {
        SetGameData(1, 1);
        SetPieces(100, 40, [](int32_t x, int32_t) { return x / 50; }, {3, 3});
        BindAllProvincePieces();
        MakePlayable();
    }
    void Write() { WriteMissionTextFiles(project, Table(), dir.Path()); }
    std::string Text(const std::string& name) const {
        const auto bytes = ReadFileBytes(dir / name);
        return {bytes.begin(), bytes.end()};
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(dir / name); }
};

TEST_F(MissionTexts, LineBreaksBecomeMarks) {
    Table().ShortDescription = "A\r\nB";
    Table().Author = "Me\r\nand you";
    Write();
    EXPECT_EQ(Text("shortdescr.txt"), "A{br}B");
    EXPECT_EQ(Text("author.txt"), "Me{br}and you");
    EXPECT_EQ(Text("authnotes.txt"), "No notes");
    EXPECT_EQ(Text("victory.txt"), "You win!");
    EXPECT_EQ(Text("defeat.txt"), "You lose!");
    EXPECT_TRUE(editor.errors.empty());
}

TEST_F(MissionTexts, EmptyTexts) {
    Table().Author.clear();
    Table().AuthorNotes.clear();
    Table().ShortDescription.clear();
    Table().DefeatText.clear();
    Write();
    EXPECT_FALSE(Exists("author.txt"));
    EXPECT_FALSE(Exists("authnotes.txt"));
    EXPECT_EQ(Text("shortdescr.txt"), "");
    EXPECT_EQ(Text("defeat.txt"), "");
    EXPECT_EQ(editor.errors, (std::vector<std::string>{"Warning! Mission short description is not present!",
                                                       "Warning! Mission defeat text is not present!"}));
}

TEST_F(MissionTexts, EnabledEventsAreNumberedInListOrder) {
    for (int i = 0; i < 13; ++i) project.Events.AddEvent();
    project.Events.GetAt(0)->Enabled = 0;
    Table().SetEventText(project.Events.GetAt(1)->TextSlot, "Line\r\nnext");
    Write();
    EXPECT_EQ(Text("event 0.txt"), "Message #2\r\nLine{br}next");
    EXPECT_EQ(Text("event 1.txt"), "Message #3\r\nMessage #3 Info");
    EXPECT_EQ(Text("event11.txt"), "Message #13\r\nMessage #13 Info");
    EXPECT_FALSE(Exists("event12.txt"));
}

TEST_F(MissionTexts, MissionOverview) {
    Table().MissionName = "M";
    Player(1).Active = 0;
    Player(3).Active = 1;
    Table().ProvinceNames[0] = "P";
    Table().ProvinceNames[1] = "Q";
    Write();
    EXPECT_EQ(Text("mission.txt"), "M\r\n\r\nPlayer 1\r\nPlayer 4\r\n\r\nP\r\nQ\r\n");
}

}  // namespace
}  // namespace thorn::test
