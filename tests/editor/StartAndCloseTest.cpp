#include <gtest/gtest.h>

#include "EditorSession.h"
#include "gui/Application.h"

namespace {

using thorn::test::EditorSession;

TEST(EditorStartAndClose, TheMainWindowOpensAndItsCloseWritesTheSettingsFile) {
    EditorSession editor;
    editor.Start();
    EXPECT_TRUE(editor.Host().IsWindowVisible(editor.Main()));
    EXPECT_EQ(Application->GetTitle(), "Thornvale II Mission editor");
    EXPECT_EQ(editor.Main().GetCaption(), "Thornvale II Map Editor");
    editor.Close();
    EXPECT_EQ(MapProject, nullptr);
    EXPECT_TRUE(std::filesystem::exists(editor / "ini.xml"));
}

}  // namespace
