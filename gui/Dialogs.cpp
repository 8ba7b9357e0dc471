#include "gui/Dialogs.h"

#include "gui/Application.h"
#include "gui/FileListView.h"

namespace fs = std::filesystem;

TModalResult TCommonDialog::RunModal(TCustomForm& form) {
    // A handler may free the dialog: what it was asked for ends there, as
    // cancelled.
    thorn::ComponentRef<TCommonDialog> self(this);
    if (OnShow) OnShow(this);
    if (!self) return mrCancel;
    TModalResult result = form.ShowModal();
    if (self && OnClose) OnClose(this);
    return self ? result : mrCancel;
}

TOpenDialog::TOpenDialog() = default;

thorn::FileDialogSetup TOpenDialog::MakeSetup() const {
    thorn::FileDialogSetup setup;
    setup.title = title_.empty() ? DefaultTitle() : title_;
    setup.filters = thorn::ParseFilter(filter_);
    setup.filterIndex = filterIndex_ - 1;
    setup.defaultExt = defaultExt_;
    setup.options = options_;
    // InitialDir first, then the folder of FileName, then where the last
    // showing ended.
    fs::path named(fileName_);
    if (!initialDir_.empty())
        setup.folder = initialDir_;
    else if (named.has_parent_path())
        setup.folder = named.parent_path();
    else
        setup.folder = lastFolder_;
    setup.name = thorn::FileListView::DisplayName(named.filename().string());
    return setup;
}

bool TOpenDialog::Execute() {
    auto form = std::make_unique<thorn::FileDialogForm>(MakeSetup());
    if (RunModal(*form) != mrOk) return false;
    fileName_ = form->GetFileName().string();
    filterIndex_ = form->GetFilterIndex() + 1;
    lastFolder_ = form->GetFolder();
    return true;
}

thorn::FileDialogSetup TSaveDialog::MakeSetup() const {
    thorn::FileDialogSetup setup = TOpenDialog::MakeSetup();
    setup.save = true;
    return setup;
}
