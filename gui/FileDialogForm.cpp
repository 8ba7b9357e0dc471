#include "gui/FileDialogForm.h"

#include <algorithm>

#include "gui/Application.h"
#include "gui/Buttons.h"
#include "gui/ComboBox.h"
#include "gui/Edit.h"
#include "gui/FileListView.h"
#include "gui/FolderListing.h"
#include "gui/Label.h"
#include "gui/ListBox.h"
#include "gui/PicturePreview.h"
#include "gui/SizeConstraints.h"
#include "platform/Charset.h"
#include "platform/Text.h"

namespace thorn {

namespace fs = std::filesystem;

namespace {

constexpr int kMargin = 8;
constexpr int kGap = 6;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kEditHeight = 21;
constexpr int kLabelWidth = 86;
constexpr int kPlacesWidth = 96;
constexpr int kPreviewWidth = 180;
constexpr int kMinWidth = 440;
constexpr int kMinHeight = 260;

// Built by appending: a concatenation draws a false overlap warning of GCC 12.
std::string QuotedName(const fs::path& path) {
    std::string quoted(1, '"');
    quoted += FileListView::DisplayName(path.string());
    quoted += '"';
    return quoted;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::vector<std::string> SplitPatterns(const std::string& text) {
    std::vector<std::string> patterns;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        if (std::string_view p = Trim(std::string_view(text).substr(start, end - start)); !p.empty())
            patterns.emplace_back(p);
        start = end + 1;
    }
    return patterns;
}

// The folder without a trailing separator (the root keeps its own).
fs::path Tidy(const fs::path& folder) {
    fs::path tidy = folder.lexically_normal();
    if (!tidy.has_filename() && tidy.has_relative_path()) tidy = tidy.parent_path();
    return tidy;
}

bool IsFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

}  // namespace

const fs::path& StartFolder() {
    static const fs::path start = [] {
        std::error_code error;
        fs::path current = fs::current_path(error);
        return error ? HomeFolder() : current;
    }();
    return start;
}

FileDialogForm::FileDialogForm(FileDialogSetup setup) : setup_(std::move(setup)) {
    const bool sizeable = setup_.options.Contains(ofEnableSizing);
    SetWindowKind(sizeable ? WindowKind::Normal : WindowKind::Dialog);
    SetBorderStyle(sizeable ? bsSizeable : bsDialog);
    SetPosition(poScreenCenter);
    SetCaption(setup_.title);

    lookInLabel_ = Make<TLabel>(*this);
    lookInLabel_->SetCaption("&Look in:");
    folderLabel_ = Make<TLabel>(*this);
    folderLabel_->SetAutoSize(false);
    folderLabel_->SetShowAccelChar(false);
    upButton_ = Make<TButton>(*this);
    upButton_->SetCaption("&Up");
    upButton_->OnClick = [this](TObject*) { ParentFolder(); };

    places_ = Make<TListBox>(*this);
    placeFolders_ = {StartFolder(), HomeFolder()};
    places_->GetItems()->Add("Start folder");
    places_->GetItems()->Add("Home");
    places_->OnClick = [this](TObject*) { PlaceClicked(); };

    list_ = Make<FileListView>(*this);
    list_->OnSelect = [this](TObject*) { ListSelected(); };
    list_->OnActivate = [this](TObject*) { ListActivated(); };
    list_->OnParentFolder = [this](TObject*) { ParentFolder(); };
    lookInLabel_->SetFocusControl(list_);
    if (setup_.preview) preview_ = Make<PicturePreview>(*this);

    nameLabel_ = Make<TLabel>(*this);
    nameLabel_->SetCaption("File &name:");
    nameEdit_ = Make<TEdit>(*this);
    nameLabel_->SetFocusControl(nameEdit_);
    typeLabel_ = Make<TLabel>(*this);
    typeLabel_->SetCaption("Files of &type:");
    typeCombo_ = Make<TComboBox>(*this);
    typeCombo_->SetStyle(csDropDownList);
    for (const FileFilter& filter : setup_.filters) typeCombo_->GetItems()->Add(filter.description);
    typeCombo_->OnChange = [this](TObject*) { TypeChanged(); };
    typeLabel_->SetFocusControl(typeCombo_);

    okButton_ = Make<TButton>(*this);
    okButton_->SetCaption(setup_.save ? "&Save" : "&Open");
    okButton_->SetDefault(true);
    okButton_->OnClick = [this](TObject*) { OkClicked(); };
    cancelButton_ = Make<TButton>(*this);
    cancelButton_->SetCaption("Cancel");
    cancelButton_->SetCancel(true);
    cancelButton_->SetModalResult(mrCancel);

    // Parented in the order Tab walks them.
    for (TControl* c : std::initializer_list<TControl*>{nameEdit_, typeCombo_, okButton_, cancelButton_, places_, list_,
                                                        upButton_, lookInLabel_, folderLabel_, nameLabel_, typeLabel_})
        c->SetParent(this);
    if (preview_) preview_->SetParent(this);
    // Laid out once at the size it opens with; the anchors keep the list
    // growing with the window and the buttons in the corner.
    SetBounds(0, 0, setup_.preview ? 560 + kPreviewWidth + kGap : 560, 380);
    LayOut();
    Constraints().SetMinWidth(kMinWidth + (setup_.preview ? kPreviewWidth : 0));
    Constraints().SetMinHeight(kMinHeight);

    if (!setup_.filters.empty()) {
        setup_.filterIndex = std::clamp(setup_.filterIndex, 0, static_cast<int>(setup_.filters.size()) - 1);
        typeCombo_->SetItemIndex(setup_.filterIndex);
        list_->SetPatterns(setup_.filters[static_cast<size_t>(setup_.filterIndex)].patterns);
    } else {
        typeCombo_->SetEnabled(false);
    }
    // The folder asked for, else the start folder, the home folder, the root.
    for (const fs::path& candidate : {setup_.folder, StartFolder(), HomeFolder(), fs::path("/")})
        if (!candidate.empty() && TryOpen(candidate, false)) break;
    nameEdit_->SetText(setup_.name);
    nameEdit_->SelectAll();
    SetActiveControl(nameEdit_);
}

FileDialogForm::~FileDialogForm() = default;

int FileDialogForm::GetFilterIndex() const {
    int index = typeCombo_->GetItemIndex();
    return index >= 0 ? index : setup_.filterIndex;
}

// ---- layout

void FileDialogForm::WMSize() {
    TCustomForm::WMSize();
    // The controls follow their anchors; the path is cut to its label again.
    ShowFolderCaption();
}

void FileDialogForm::LayOut() {
    const int width = GetClientWidth(), height = GetClientHeight();
    const int right = width - kMargin;
    const int fieldLeft = kMargin + kLabelWidth;
    const int buttonLeft = right - kButtonWidth;
    auto place = [](TControl* control, int left, int top, int w, int h, TAnchors anchors) {
        if (!control) return;
        control->SetBounds(left, top, w, h);
        control->SetAnchors(anchors);
    };
    place(lookInLabel_, kMargin, kMargin + 4, kLabelWidth - kGap, 15, {akLeft, akTop});
    place(upButton_, right - kButtonWidth, kMargin, kButtonWidth, kButtonHeight, {akTop, akRight});
    place(folderLabel_, fieldLeft, kMargin + 4, upButton_->GetLeft() - kGap - fieldLeft, 15, {akLeft, akTop, akRight});

    const int typeTop = height - kMargin - kButtonHeight;
    const int nameTop = typeTop - kGap - kButtonHeight;
    const int middleTop = kMargin + kButtonHeight + kGap;
    const int middleHeight = nameTop - kGap - middleTop;
    const int listLeft = kMargin + kPlacesWidth + kGap;
    const int listRight = preview_ ? right - kPreviewWidth - kGap : right;
    place(places_, kMargin, middleTop, kPlacesWidth, middleHeight, {akLeft, akTop, akBottom});
    place(list_, listLeft, middleTop, listRight - listLeft, middleHeight, {akLeft, akTop, akRight, akBottom});
    place(preview_, right - kPreviewWidth, middleTop, kPreviewWidth, middleHeight, {akTop, akRight, akBottom});

    const int fieldWidth = buttonLeft - kGap - fieldLeft;
    place(nameLabel_, kMargin, nameTop + 4, kLabelWidth - kGap, 15, {akLeft, akBottom});
    place(nameEdit_, fieldLeft, nameTop + 1, fieldWidth, kEditHeight, {akLeft, akRight, akBottom});
    place(okButton_, buttonLeft, nameTop, kButtonWidth, kButtonHeight, {akRight, akBottom});
    place(typeLabel_, kMargin, typeTop + 4, kLabelWidth - kGap, 15, {akLeft, akBottom});
    place(typeCombo_, fieldLeft, typeTop + 1, fieldWidth, kEditHeight, {akLeft, akRight, akBottom});
    place(cancelButton_, buttonLeft, typeTop, kButtonWidth, kButtonHeight, {akRight, akBottom});
}

void FileDialogForm::ShowFolderCaption() {
    if (!folderLabel_) return;
    std::string text = FileListView::DisplayName(folder_.string());
    const TFont& font = folderLabel_->GetFont();
    const int width = folderLabel_->GetWidth();
    // A long path loses its beginning: the folder's own name matters most.
    if (TextExtent(font, text).cx > width) {
        while (text.size() > 1 && TextExtent(font, "..." + text).cx > width) text.erase(0, 1);
        text = "..." + text;
    }
    folderLabel_->SetCaption(text);
}

// ---- folders

bool FileDialogForm::OpenFolder(const fs::path& folder) { return TryOpen(folder, true); }

bool FileDialogForm::TryOpen(const fs::path& folder, bool report) {
    // A relative folder is taken from the one shown (from the current
    // folder before any is shown).
    std::error_code absolute;
    fs::path target = folder.is_absolute() ? folder : folder_.empty() ? fs::absolute(folder, absolute) : folder_ / folder;
    target = Tidy(target);
    std::error_code error;
    auto entries = ReadFolder(target, setup_.options.Contains(ofForceShowHidden), error);
    if (!entries) {
        if (report) Refuse("Cannot open the folder " + QuotedName(target) + ":\n" + error.message() + ".");
        return false;
    }
    folder_ = target;
    list_->SetFolder(target, std::move(*entries));
    ShowFolderCaption();
    if (preview_) preview_->Clear();
    return true;
}

void FileDialogForm::ParentFolder() {
    fs::path parent = folder_.parent_path();
    if (parent.empty() || parent == folder_) return;
    std::string came = folder_.filename().string();
    if (OpenFolder(parent)) list_->SelectName(came);
}

void FileDialogForm::PlaceClicked() {
    int index = places_->GetItemIndex();
    if (index >= 0 && index < static_cast<int>(placeFolders_.size())) OpenFolder(placeFolders_[static_cast<size_t>(index)]);
}

void FileDialogForm::TypeChanged() {
    int index = typeCombo_->GetItemIndex();
    if (index < 0 || index >= static_cast<int>(setup_.filters.size())) return;
    list_->SetPatterns(setup_.filters[static_cast<size_t>(index)].patterns);
    if (preview_) preview_->Clear();
}

// ---- choosing

void FileDialogForm::ListSelected() {
    const FolderEntry* entry = list_->GetSelectedEntry();
    if (!entry) return;
    if (entry->folder) {
        if (preview_) preview_->Clear();
        return;
    }
    nameEdit_->SetText(FileListView::DisplayName(entry->name));
    if (preview_) preview_->ShowFile(folder_ / entry->name);
}

void FileDialogForm::ListActivated() {
    const FolderEntry* entry = list_->GetSelectedEntry();
    if (!entry) return;
    if (entry->folder)
        OpenFolder(folder_ / entry->name);
    else
        Accept(folder_ / entry->name);
}

void FileDialogForm::OkClicked() {
    const FolderEntry* entry = list_->GetSelectedEntry();
    if (GetActiveControl() == list_ && entry) {
        ListActivated();
        return;
    }
    Submit(nameEdit_->GetText());
}

fs::path FileDialogForm::Resolve(const std::string& utf8) const {
    std::string text = utf8;
    if (text == "~" || text.starts_with("~/")) text = HomeFolder().string() + text.substr(1);
    fs::path path(text);
    if (path.is_relative()) path = folder_ / path;
    return path.lexically_normal();
}

bool FileDialogForm::Submit(std::string_view typed) {
    std::string_view text = Trim(typed);
    if (text.empty()) return false;
    // The row chosen in the list stands for its own name, whatever the code
    // page made of it.
    const FolderEntry* entry = list_->GetSelectedEntry();
    std::string utf8 = entry && FileListView::DisplayName(entry->name) == text ? entry->name : Windows1252ToUtf8(text);
    fs::path path = Resolve(utf8);
    std::string last = path.filename().string();

    if (HasWildcard(last)) {
        fs::path where = path.parent_path();
        if (Tidy(where) != folder_ && !OpenFolder(where)) return false;
        list_->SetPatterns(SplitPatterns(last));
        return false;
    }
    if (IsFolder(path)) {
        if (OpenFolder(path)) nameEdit_->SetText({});
        return false;
    }
    if (last.empty() || last == "." || last == "..") {
        Refuse("The folder " + QuotedName(Tidy(path)) + " does not exist.\nCheck the path and try again.");
        return false;
    }
    bool mustExist = !setup_.save && setup_.options.Contains(ofFileMustExist);
    if (!IsFolder(path.parent_path()) && (mustExist || setup_.options.Contains(ofPathMustExist))) {
        Refuse("The folder " + QuotedName(path.parent_path()) + " does not exist.\nCheck the path and try again.");
        return false;
    }
    fs::path file = WithDefaultExtension(path.string(), setup_.defaultExt);
    // Opening, a name typed whole is taken when only it is there.
    if (!setup_.save && file != path && !Exists(file) && Exists(path)) file = path;
    if (mustExist && !Exists(file)) {
        Refuse(QuotedName(file.filename()) + " was not found.\nCheck the file name and try again.");
        return false;
    }
    return Accept(file);
}

bool FileDialogForm::Accept(const fs::path& file) {
    if (IsFolder(file)) {
        if (OpenFolder(file)) nameEdit_->SetText({});
        return false;
    }
    if (setup_.save && setup_.options.Contains(ofOverwritePrompt) && Exists(file)) {
        ComponentRef<FileDialogForm> self(this);
        int answer = Application->MessageBox(QuotedName(file) + " already exists.\nDo you want to replace it?",
                                             GetCaption(), MB_YESNO | MB_ICONWARNING);
        if (!self || answer != IDYES) return false;
    }
    fileName_ = file;
    folder_ = file.parent_path();
    SetModalResult(mrOk);
    return true;
}

void FileDialogForm::Refuse(const std::string& message) {
    ComponentRef<FileDialogForm> self(this);
    Application->MessageBox(message, GetCaption(), MB_OK | MB_ICONWARNING);
    if (!self) return;
    SetActiveControl(nameEdit_);
    nameEdit_->SelectAll();
}

}  // namespace thorn
