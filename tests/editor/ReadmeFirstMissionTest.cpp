#include <gtest/gtest.h>

#include <string>

#include "EditorSession.h"
#include "editor/Eventsframe.h"
#include "editor/Missionframe.h"
#include "support/SourceTree.h"

// The README's first mission says what a designer following it meets, in
// the shipped start folder: what a world picture must be, the two tool
// windows open at the first start and their keys showing or hiding them,
// and Compile wanting a capital for every ticked player of a new mission.
namespace {

std::string FirstMissionSteps() {
    const std::string readme = thorn::test::ReadText(thorn::test::SourceDir() / "README.md");
    const size_t start = readme.find("## Your first mission");
    if (start == std::string::npos) return {};
    return readme.substr(start, readme.find("\n## ", start + 1) - start);
}

// The README's lines are wrapped: its words, one space between each.
std::string Words(const std::string& text) {
    std::string words;
    for (char c : text) {
        const bool space = c == ' ' || c == '\n';
        if (space && (words.empty() || words.back() == ' ')) continue;
        words += space ? ' ' : c;
    }
    return words;
}

TEST(ReadmeFirstMission, SaysWhatTheDesignerMeets) {
    const std::string steps = Words(FirstMissionSteps());
    EXPECT_NE(steps.find("F3 and F4 show or hide them"), std::string::npos) << steps;
    EXPECT_NE(steps.find("Every ticked player needs a province and a capital"), std::string::npos) << steps;
    EXPECT_NE(steps.find("A world picture is drawn in flat colours, one colour per province"), std::string::npos)
        << steps;

    thorn::test::EditorSession editor;
    editor.Start();
    thorn::HeadlessHost& host = editor.Host();
    host.AnswerFileDialog((editor / "worlds/small_isles.bmp").string(), "Open");
    host.PressKey('N', {ssCtrl});
    ASSERT_GT(MapProject->Provinces.GetCount(), 0u);
    for (const auto& [key, window] : {std::pair{VK_F3, static_cast<TCustomForm*>(MissFrame.Get())},
                                      std::pair{VK_F4, static_cast<TCustomForm*>(EventFrame.Get())}}) {
        SCOPED_TRACE(window->GetCaption());
        EXPECT_TRUE(host.IsWindowVisible(*window)) << "open at the first start";
        host.PressKey(key);
        EXPECT_FALSE(host.IsWindowVisible(*window));
        host.PressKey(key);
        EXPECT_TRUE(host.IsWindowVisible(*window));
    }

    host.AnswerMessageBox(IDOK, "You can't save mission because Capital is not set for player #1");
    host.PressKey('C', {ssCtrl, ssAlt});
    EXPECT_EQ(host.PendingScripts(), 0u);
    MapProject->Modified = 0;  // no save question on the way out
    editor.Close();
}

}  // namespace
