#include "editor/Program.h"

#include <exception>

#include "editor/About.h"
#include "editor/CreateForm.h"
#include "editor/Dlg_comp.h"
#include "editor/Dlg_error.h"
#include "editor/Main.h"
#include "gui/Application.h"

namespace thorn {

void CreateEditorWindows(TApplication& app) {
    app.SetTitle("Thornvale II Mission editor");
    // The main window is the application's main form before its creation
    // runs, as the windows it makes look it up.
    TMainForm* main = Make<TMainForm>(app, app);
    MainForm = main;
    app.SetMainForm(main);
    main->DoCreate();
    CreateForm(app, DlgError);
    CreateForm(app, DlgComplex);
    CreateForm(app, FrmAbout);
}

int RunEditor(std::unique_ptr<Host> host) {
    // The editor's objects end before the application and its host.
    TApplication app(std::move(host));
    MainModuleScope module;
    try {
        CreateEditorWindows(app);
        app.Run();
    } catch (const std::exception& e) {
        app.ShowException(e);
    }
    return 0;
}

void WriteSettingsBeforeTheEnd() {
    if (!MainForm) return;
    MainForm->WriteSettingsFile();
}

}  // namespace thorn
