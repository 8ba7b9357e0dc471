#pragma once

#include <filesystem>
#include <string>

#include "gui/FileDialogForm.h"
#include "platform/Components.h"

// The common dialogs: components a form holds that show a modal dialog
// drawn by the layer when executed, and keep what the user chose.
class TCommonDialog : public TComponent {
public:
    // Shows the dialog modally; answers whether the user confirmed it.
    virtual bool Execute() = 0;

    // Around the dialog's modal loop.
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    // Runs the form modally between OnShow and OnClose; answers its result,
    // or mrCancel when a handler freed the dialog.
    TModalResult RunModal(TCustomForm& form);
};

// The open dialog. FileName is the file chosen (its folder and name start
// the next showing when InitialDir is empty); Filter the pairs of
// description and patterns ("Pictures|*.bmp;*.jpg|All|*.*"), FilterIndex the
// chosen pair counted from 1; DefaultExt ("pw", no dot) is added to a typed
// name without an extension. Title is the caption ("Open" when empty).
class TOpenDialog : public TCommonDialog {
public:
    TOpenDialog();

    bool Execute() override;

    const std::string& GetFileName() const { return fileName_; }
    void SetFileName(const std::string& value) { fileName_ = value; }
    const std::string& GetFilter() const { return filter_; }
    void SetFilter(const std::string& value) { filter_ = value; }
    int GetFilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int value) { filterIndex_ = value; }
    const std::string& GetInitialDir() const { return initialDir_; }
    void SetInitialDir(const std::string& value) { initialDir_ = value; }
    const std::string& GetDefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& value) { defaultExt_ = value; }
    const std::string& GetTitle() const { return title_; }
    void SetTitle(const std::string& value) { title_ = value; }
    TOpenOptions GetOptions() const { return options_; }
    void SetOptions(TOpenOptions value) { options_ = value; }

protected:
    // The caption when Title is empty.
    virtual std::string DefaultTitle() const { return "Open"; }
    // How the dialog starts: a descendant turns on saving or the preview.
    virtual thorn::FileDialogSetup MakeSetup() const;

private:
    std::string fileName_;
    std::string filter_;
    int filterIndex_ = 1;
    std::string initialDir_;
    std::string defaultExt_;
    std::string title_;
    TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
    std::filesystem::path lastFolder_;
};

// The save dialog: the open dialog choosing a file to write ("Save As").
class TSaveDialog : public TOpenDialog {
protected:
    std::string DefaultTitle() const override { return "Save As"; }
    thorn::FileDialogSetup MakeSetup() const override;
};
