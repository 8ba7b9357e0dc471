#include "gui/FileListView.h"

#include <algorithm>

#include "gui/Edges.h"
#include "gui/FileFilter.h"
#include "platform/Charset.h"
#include "platform/Text.h"

namespace thorn {

namespace {

constexpr int kGlyphSide = 16;
constexpr int kInset = 4;
constexpr int kSizeWidth = 80;
constexpr int kDateWidth = 120;
constexpr int kMinNameWidth = 100;

// A yellow folder with its tab, or a page with a folded corner.
void DrawEntryGlyph(TCanvas& canvas, int x, int y, bool folder) {
    if (folder) {
        canvas.FillColor({x + 1, y + 3, x + 7, y + 5}, TColor(0x0080C0E0));
        canvas.FillColor({x + 1, y + 4, x + 15, y + 14}, TColor(0x0060D0F0));
        canvas.FillColor({x + 1, y + 13, x + 15, y + 14}, TColor(0x00308090));
        canvas.FillColor({x + 14, y + 4, x + 15, y + 14}, TColor(0x00308090));
        canvas.FillColor({x + 2, y + 6, x + 14, y + 7}, TColor(0x00A0F0FF));
        return;
    }
    canvas.FillColor({x + 3, y + 1, x + 13, y + 15}, clGray);
    canvas.FillColor({x + 4, y + 2, x + 12, y + 14}, clWhite);
    canvas.FillColor({x + 9, y + 1, x + 13, y + 5}, clSilver);
    canvas.FillColor({x + 9, y + 4, x + 13, y + 5}, clGray);
    canvas.FillColor({x + 9, y + 1, x + 10, y + 5}, clGray);
    for (int line = 0; line < 3; ++line) canvas.FillColor({x + 5, y + 7 + 2 * line, x + 11, y + 8 + 2 * line}, clSilver);
}

}  // namespace

FileListView::FileListView() {
    SetSource(this);
    SetRowHeight(std::max(GetFontMetrics(GetFont()).height, kGlyphSide) + 2);
}

// ---- entries

void FileListView::SetFolder(std::filesystem::path folder, std::vector<FolderEntry> entries) {
    folder_ = std::move(folder);
    entries_ = std::move(entries);
    details_.clear();
    ++listing_;
    Refilter();
}

void FileListView::SetPatterns(std::vector<std::string> patterns) {
    patterns_ = std::move(patterns);
    if (patterns_.empty()) patterns_.emplace_back("*");
    Refilter();
}

void FileListView::Refilter() {
    rows_.clear();
    rows_.reserve(entries_.size());
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].folder || MatchesAny(entries_[i].name, patterns_)) rows_.push_back(i);
    selected_ = -1;
    SetFocusedRow(-1);
    RowsChanged();
    SetTopRow(0);
}

const FolderEntry* FileListView::GetEntry(int row) const {
    if (row < 0 || row >= RowCount()) return nullptr;
    return &entries_[rows_[static_cast<size_t>(row)]];
}

bool FileListView::SelectName(std::string_view name) {
    for (int row = 0; row < RowCount(); ++row)
        if (GetEntry(row)->name == name) {
            SelectOnly(row);
            MakeRowVisible(row);
            return true;
        }
    return false;
}

std::string FileListView::DisplayName(std::string_view name) {
    std::string shown;
    shown.reserve(name.size());
    for (std::optional<char> ch : Utf8CharactersToWindows1252(name)) shown += ch ? *ch : '?';
    return shown;
}

std::string FileListView::RowText(int row) const { return DisplayName(GetEntry(row)->name); }

void FileListView::SetRowSelected(int row, bool selected) {
    int old = selected_;
    if (selected)
        selected_ = row;
    else if (selected_ == row)
        selected_ = -1;
    if (old != selected_) {
        InvalidateRow(old);
        InvalidateRow(selected_);
    }
}

const EntryDetails& FileListView::DetailsOf(size_t entry) {
    auto found = details_.find(entry);
    if (found == details_.end()) found = details_.emplace(entry, ReadEntryDetails(folder_ / entries_[entry].name)).first;
    return found->second;
}

// ---- input

void FileListView::UserSelected() {
    if (OnSelect) OnSelect(this);
}

void FileListView::DblClick() {
    RowView::DblClick();
    if (GetSelectedEntry() && OnActivate) OnActivate(this);
}

void FileListView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    // The second press of a double click comes after the click has opened a
    // folder: the row now under the pointer is one the user never chose.
    if (shift.Contains(ssDouble) && listing_ != pressedListing_) return;
    pressedListing_ = listing_;
    RowView::MouseDown(button, shift, x, y);
}

void FileListView::KeyDown(TKey& key, TShiftState shift) {
    ComponentRef<FileListView> self(this);
    RowView::KeyDown(key, shift);
    if (!self || key == 0) return;
    if (key == VK_BACK && shift.Empty()) {
        key = 0;
        if (OnParentFolder) OnParentFolder(this);
    }
}

// ---- layout and painting

int FileListView::HeaderHeight() const { return GetFontMetrics(GetFont()).height + 4; }

TRect FileListView::GetViewport() const {
    TRect r = GetClientRect();
    r.Top = std::min(r.Bottom, r.Top + HeaderHeight());
    return r;
}

std::array<int, 3> FileListView::ColumnEdges() const {
    int width = GetClientWidth();
    int name = std::max(kMinNameWidth, width - kSizeWidth - kDateWidth);
    return {name, name + kSizeWidth, name + kSizeWidth + kDateWidth};
}

void FileListView::WMSize() {
    RowView::WMSize();
    Invalidate();
}

void FileListView::CMFontChanged() {
    RowView::CMFontChanged();
    SetRowHeight(std::max(GetFontMetrics(GetFont()).height, kGlyphSide) + 2);
}

void FileListView::Paint() {
    RowView::Paint();
    PaintHeader(Canvas());
}

void FileListView::PaintHeader(TCanvas& canvas) {
    TRect header{0, 0, GetClientWidth(), HeaderHeight()};
    TRect shown;
    if (!IntersectRect(shown, header, canvas.GetClipRect())) return;
    canvas.FillColor(header, clBtnFace);
    std::array<int, 3> edges = ColumnEdges();
    const char* captions[] = {"Name", "Size", "Modified"};
    const uint32_t aligns[] = {DT_LEFT, DT_RIGHT, DT_LEFT};
    int left = 0;
    canvas.Font().Assign(GetFont());
    canvas.Font().SetColor(clBtnText);
    for (size_t i = 0; i < edges.size(); ++i) {
        TRect face{left, 0, i + 1 == edges.size() ? std::max(edges[i], header.Right) : edges[i], header.Bottom};
        DrawEdge(canvas, face, EDGE_RAISED, BF_RECT | BF_SOFT | BF_ADJUST);
        TRect text{face.Left + kInset, face.Top, face.Right - kInset, face.Bottom};
        canvas.Brush().SetStyle(bsClear);
        canvas.DrawText(text, aligns[i] | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, captions[i]);
        canvas.Brush().SetStyle(bsSolid);
        left = edges[i];
    }
}

void FileListView::DrawRow(TCanvas& canvas, int row, const TRect& rect, TOwnerDrawState state) {
    size_t index = rows_[static_cast<size_t>(row)];
    const FolderEntry& entry = entries_[index];
    std::array<int, 3> edges = ColumnEdges();
    canvas.FillColor(rect, GetColor());
    bool selected = state.Contains(odSelected);
    TColor text = state.Contains(odDisabled) ? clGrayText : clWindowText;
    int glyphTop = rect.Top + (rect.Height() - kGlyphSide) / 2;
    DrawEntryGlyph(canvas, rect.Left + 2, glyphTop, entry.folder);

    std::string name = DisplayName(entry.name);
    canvas.Font().Assign(GetFont());
    int nameLeft = rect.Left + 2 + kGlyphSide + kInset;
    int nameRight = rect.Left + edges[0] - kInset;
    TRect nameRect{nameLeft, rect.Top, nameRight, rect.Bottom};
    if (selected) {
        // Only the name is highlighted, as wide as its text.
        TRect highlight{nameLeft - 2, rect.Top, std::min(nameRight, nameLeft + canvas.TextWidth(name) + 2), rect.Bottom};
        canvas.FillColor(highlight, LooksFocused() ? clHighlight : clBtnFace);
        text = LooksFocused() ? clHighlightText : clWindowText;
    }
    canvas.Brush().SetStyle(bsClear);
    canvas.Font().SetColor(text);
    canvas.DrawText(nameRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, name);
    canvas.Font().SetColor(state.Contains(odDisabled) ? clGrayText : clWindowText);
    if (!entry.folder) {
        const EntryDetails& details = DetailsOf(index);
        if (details.known) {
            TRect sizeRect{rect.Left + edges[0], rect.Top, rect.Left + edges[1] - kInset, rect.Bottom};
            canvas.DrawText(sizeRect, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, FormatFileSize(details.size));
            TRect dateRect{rect.Left + edges[1] + kInset, rect.Top, rect.Left + edges[2], rect.Bottom};
            canvas.DrawText(dateRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, details.modified);
        }
    } else if (const EntryDetails& details = DetailsOf(index); details.known) {
        TRect dateRect{rect.Left + edges[1] + kInset, rect.Top, rect.Left + edges[2], rect.Bottom};
        canvas.DrawText(dateRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, details.modified);
    }
    canvas.Brush().SetStyle(bsSolid);
}

}  // namespace thorn
