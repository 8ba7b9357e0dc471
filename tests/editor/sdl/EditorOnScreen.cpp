#include "EditorOnScreen.h"

#include "editor/Dlg_error.h"
#include "editor/Program.h"
#include "gui/Application.h"
#include "gui/sdl/SdlHost.h"

namespace thorn::test {

EditorOnScreen::~EditorOnScreen() {
    hand.reset();
    module.reset();
    app.reset();
}

void EditorOnScreen::StartEditor(uint64_t patienceMs) {
    if (module) {
        hand.reset();
        module.reset();
        StartApplication();
    }
    module = std::make_unique<MainModuleScope>();
    ErrorsFormBounds = {};
    CreateEditorWindows(*app);
    MainForm->Show();
    ASSERT_TRUE(RunUntil([] { return MainForm->GetHostWindow() && !MainForm->HasPendingPaint(); }));
    hand = std::make_unique<Hand>(patienceMs, &watch);
}

}  // namespace thorn::test
