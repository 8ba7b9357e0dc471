#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "gui/FileFilter.h"
#include "gui/Forms.h"
#include "platform/Sets.h"

class TButton;
class TComboBox;
class TEdit;
class TLabel;
class TListBox;

// The options of the file dialogs, with the original platform's names.
// ofOverwritePrompt, ofPathMustExist, ofFileMustExist, ofEnableSizing and
// ofForceShowHidden change what the dialog does; the others are kept for
// callers that set them (the dialog never changes the current folder and
// never shows a read-only box, so ofNoChangeDir and ofHideReadOnly always
// hold).
enum TOpenOption : uint8_t {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing,
    ofDontAddToRecent,
    ofForceShowHidden,
};
using TOpenOptions = thorn::EnumSet<TOpenOption>;

namespace thorn {

class FileListView;
class PicturePreview;

// What a file dialog starts with.
struct FileDialogSetup {
    std::string title;
    bool save = false;
    bool preview = false;  // the picture dialogs' preview beside the list
    std::vector<FileFilter> filters;
    int filterIndex = 0;  // from 0
    std::filesystem::path folder;
    std::string name;  // in the name box, Windows-1252
    std::string defaultExt;
    TOpenOptions options;
};

// The start folder of the program (the current folder when first asked; the
// dialogs never change it).
const std::filesystem::path& StartFolder();

// The open and save dialog drawn by the layer: the folder's entries (folders
// first, then the files the chosen filter lets through, sorted), places for
// the start folder and the home folder, the name box, the filter list, and
// the preview of a picture dialog.
//
// A name typed into the box (or the Open / Save button, or Enter) is read as
// the user means it: a folder (relative to the one shown, absolute, or
// beginning with "~") is opened; a name with "*" or "?" filters the list;
// anything else is the file chosen, after the default extension is added to
// a name without one. An open dialog with ofFileMustExist refuses a file
// that is not there, ofPathMustExist a folder that is not there, and a save
// dialog with ofOverwritePrompt asks before it gives a file that exists, the
// question naming the file that will be written. Each refusal is a message
// box; the dialog stays open.
//
// Keys: Tab moves between the parts; in the list the arrows, Home, End and
// the page keys move, typing finds a name, Enter (or a double click) opens
// a folder or takes a file, Backspace goes to the parent folder, as does
// Alt+U (the Up button); Escape cancels.
class FileDialogForm : public TCustomForm {
public:
    explicit FileDialogForm(FileDialogSetup setup);
    ~FileDialogForm() override;

    // The file chosen, once the modal result is mrOk.
    const std::filesystem::path& GetFileName() const { return fileName_; }
    int GetFilterIndex() const;
    const std::filesystem::path& GetFolder() const { return folder_; }
    const FileDialogSetup& GetSetup() const { return setup_; }

    // What the Open / Save button does with typed text (Windows-1252) in the
    // name box: answers whether a file was chosen.
    bool Submit(std::string_view typed);
    // Shows another folder; a folder that cannot be read is reported and the
    // shown one stays. Answers whether it is shown now.
    bool OpenFolder(const std::filesystem::path& folder);

    FileListView* GetList() const { return list_; }
    TEdit* GetNameEdit() const { return nameEdit_; }
    TComboBox* GetTypeCombo() const { return typeCombo_; }
    TListBox* GetPlaces() const { return places_; }
    TButton* GetOkButton() const { return okButton_; }
    TButton* GetCancelButton() const { return cancelButton_; }
    TButton* GetUpButton() const { return upButton_; }
    PicturePreview* GetPreview() const { return preview_; }

protected:
    void WMSize() override;

private:
    void LayOut();
    void ShowFolderCaption();
    void OkClicked();
    void ListSelected();
    void ListActivated();
    void ParentFolder();
    void PlaceClicked();
    void TypeChanged();
    bool TryOpen(const std::filesystem::path& folder, bool report);
    bool Accept(const std::filesystem::path& file);
    std::filesystem::path Resolve(const std::string& utf8) const;
    void Refuse(const std::string& message);

    FileDialogSetup setup_;
    std::filesystem::path folder_;
    std::filesystem::path fileName_;
    std::vector<std::filesystem::path> placeFolders_;

    TLabel* lookInLabel_ = nullptr;
    TLabel* folderLabel_ = nullptr;
    TButton* upButton_ = nullptr;
    TListBox* places_ = nullptr;
    FileListView* list_ = nullptr;
    PicturePreview* preview_ = nullptr;
    TLabel* nameLabel_ = nullptr;
    TEdit* nameEdit_ = nullptr;
    TLabel* typeLabel_ = nullptr;
    TComboBox* typeCombo_ = nullptr;
    TButton* okButton_ = nullptr;
    TButton* cancelButton_ = nullptr;
};

}  // namespace thorn
