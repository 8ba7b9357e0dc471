#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "gui/FolderListing.h"
#include "gui/RowView.h"

namespace thorn {

// The list of a file dialog: one row per entry of a folder (folders, then
// the files that match the filter's patterns) with its name, size and date
// under a header. Rows are read from the folder's entries as they are
// painted; the size and date of a row are asked of the file system when it
// first comes into sight, so a folder of ten thousand files costs no more to
// show than one of ten. One row is selected at a time. Double click and
// Enter on a row are reported through OnActivate, Backspace through
// OnParentFolder; the keys and type-ahead of the row view move the
// selection, and every move the user makes runs OnSelect. The second press
// of a double click that brought other rows selects none of them.
class FileListView : public RowView, private RowSource {
public:
    FileListView();

    // Shows the entries of folder, sorted as ReadFolder sorts them.
    void SetFolder(std::filesystem::path folder, std::vector<FolderEntry> entries);
    const std::filesystem::path& GetFolder() const { return folder_; }
    // The files shown are those matching one of the patterns.
    void SetPatterns(std::vector<std::string> patterns);

    // The rows shown, and the entry of each.
    int GetCount() const { return static_cast<int>(rows_.size()); }
    const FolderEntry* GetEntry(int row) const;
    int GetSelectedRow() const { return selected_; }
    const FolderEntry* GetSelectedEntry() const { return GetEntry(selected_); }
    // Selects the row of the entry named name (file system spelling) and
    // scrolls it into sight; answers whether there is one.
    bool SelectName(std::string_view name);
    // The row's name as the list shows it (Windows-1252; a character the code
    // page lacks shows as "?").
    static std::string DisplayName(std::string_view name);
    int HeaderHeight() const;

    TNotifyEvent OnSelect;
    TNotifyEvent OnActivate;
    TNotifyEvent OnParentFolder;

protected:
    TRect GetViewport() const override;
    void Paint() override;
    void UserSelected() override;
    void DblClick() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(TKey& key, TShiftState shift) override;
    void WMSize() override;
    void CMFontChanged() override;

private:
    // thorn::RowSource
    int RowCount() const override { return static_cast<int>(rows_.size()); }
    std::string RowText(int row) const override;
    bool IsRowSelected(int row) const override { return row == selected_; }
    void SetRowSelected(int row, bool selected) override;
    void DrawRow(TCanvas& canvas, int row, const TRect& rect, TOwnerDrawState state) override;

    void Refilter();
    const EntryDetails& DetailsOf(size_t entry);
    void PaintHeader(TCanvas& canvas);
    // The columns' right edges in client coordinates: name, size, date.
    std::array<int, 3> ColumnEdges() const;

    std::filesystem::path folder_;
    std::vector<FolderEntry> entries_;
    std::vector<std::string> patterns_{"*"};
    std::vector<size_t> rows_;  // the shown entries
    std::unordered_map<size_t, EntryDetails> details_;
    int selected_ = -1;
    // Counts the folders shown, so that a press can tell whether the rows
    // under the pointer are still those it was aimed at.
    unsigned listing_ = 0;
    unsigned pressedListing_ = 0;
};

}  // namespace thorn
