// The tree view's rows: laying out the expanded part of the tree, where each
// part of a row lies, and painting the rows in sight.
#include <algorithm>

#include "gui/Application.h"
#include "gui/HintWindow.h"
#include "gui/PassThroughHint.h"
#include "gui/TreeLabelEdit.h"
#include "gui/TreeView.h"
#include "platform/FontCache.h"
#include "platform/Text.h"

namespace {

constexpr int kButtonHalf = 4;  // the button is 9 pixels square
constexpr int kItemGap = 2;     // between the indentation and the images
constexpr int kTextPad = 2;     // between the text box's edges and its text

// The hint of cut-off texts, shared by every tree view.
thorn::ComponentRef<THintWindow>& SharedHint() {
    static thorn::ComponentRef<THintWindow> hint;
    return hint;
}

}  // namespace

// ---- the rows

void TCustomTreeView::UpdateRows() {
    if (!rowsStale_) return;
    rowsStale_ = false;
    const uint32_t before = rowGeneration_++;
    const uint32_t now = rowGeneration_;
    std::vector<TTreeNode*> rows;
    rows.reserve(rows_.size());
    std::vector<int> former;
    former.reserve(rows_.size());
    int widest = 0;
    int level = 0;
    for (TTreeNode* n = items_->GetFirstNode(); n;) {
        former.push_back(n->rowGeneration_ == before ? n->row_ : -1);
        n->rowGeneration_ = now;
        n->row_ = static_cast<int>(rows.size());
        rows.push_back(n);
        widest = std::max(widest, ItemLeft(level) + ImagesWidth() + TextWidth(*n) + 2 * kTextPad);
        if (n->expanded_ && !n->children_.empty()) {
            n = n->children_.front().get();
            ++level;
            continue;
        }
        while (n && !n->GetNextSibling()) {
            n = n->parent_;
            --level;
        }
        if (n) n = n->GetNextSibling();
    }
    rows_.swap(rows);
    RowsReordered(former);
    SetContentWidth(widest + kItemGap);
    RowsChanged();
    if (TTreeNode* focus = pendingFocus_) {
        pendingFocus_ = nullptr;
        SetFocusedRow(RowOf(*focus));
    }
}

TTreeNode* TCustomTreeView::NodeOfRow(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<size_t>(row)] : nullptr;
}

int TCustomTreeView::RowOf(const TTreeNode& node) const {
    if (node.rowGeneration_ != rowGeneration_) return -1;
    return NodeOfRow(node.row_) == &node ? node.row_ : -1;
}

std::string TCustomTreeView::RowText(int row) const {
    const TTreeNode* node = NodeOfRow(row);
    return node ? node->GetText() : std::string();
}

bool TCustomTreeView::IsRowSelected(int row) const {
    const TTreeNode* node = NodeOfRow(row);
    return node && node->selected_;
}

void TCustomTreeView::SetRowSelected(int row, bool selected) {
    TTreeNode* node = NodeOfRow(row);
    if (!node) return;
    node->selected_ = selected;
    if (selected) selected_ = node;
    if (!selected && selected_ == node) selected_ = nullptr;
    InvalidateRow(row);
}

// ---- measures

void TCustomTreeView::UpdateRowHeight() {
    int height = thorn::GetFontMetrics(GetFont()).height + 3;
    if (TCustomImageList* images = images_.Get()) height = std::max(height, images->GetHeight() + 1);
    if (TCustomImageList* images = stateImages_.Get()) height = std::max(height, images->GetHeight() + 1);
    // An even height keeps the dotted lines of one row meeting the next.
    SetRowHeight((height + 1) & ~1);
}

void TCustomTreeView::CMFontChanged() {
    RowView::CMFontChanged();
    advances_.fill(-1);
    ++widthGeneration_;
    UpdateRowHeight();
    NodesChanged();
}

int TCustomTreeView::TextWidth(const TTreeNode& node) const {
    if (node.widthGeneration_ == widthGeneration_) return node.textWidth_;
    int width = 0;
    for (unsigned char ch : node.GetText()) {
        int16_t& advance = advances_[ch];
        if (advance < 0)
            advance = static_cast<int16_t>(
                std::clamp(thorn::text::FontFor(GetFont()).GlyphOf(ch).advance, 0, 0x7FFF));
        width += advance;
    }
    node.widthGeneration_ = widthGeneration_;
    node.textWidth_ = width;
    return width;
}

int TCustomTreeView::RootColumns() const { return showRoot_ && (showLines_ || showButtons_) ? 1 : 0; }

int TCustomTreeView::ItemLeft(int level) const { return (level + RootColumns()) * indent_ + kItemGap; }

int TCustomTreeView::ImagesWidth() const {
    int width = 0;
    if (TCustomImageList* images = stateImages_.Get()) width += images->GetWidth();
    if (TCustomImageList* images = images_.Get()) width += images->GetWidth() + 1;
    return width;
}

TCustomTreeView::RowParts TCustomTreeView::PartsOf(const TTreeNode& node, int level, const TRect& row) const {
    RowParts parts;
    const int column = level + RootColumns() - 1;
    if (column >= 0) parts.column = {row.Left + column * indent_, row.Top, row.Left + (column + 1) * indent_, row.Bottom};
    const int middle = (row.Top + row.Bottom) / 2;
    const int centre = (parts.column.Left + parts.column.Right) / 2;
    if (column >= 0 && showButtons_ && node.hasChildren_)
        parts.button = {centre - kButtonHalf, middle - kButtonHalf, centre + kButtonHalf + 1, middle + kButtonHalf + 1};
    int x = row.Left + ItemLeft(level);
    if (TCustomImageList* images = stateImages_.Get()) {
        parts.stateImage = {x, row.Top, x + images->GetWidth(), row.Bottom};
        x = parts.stateImage.Right;
    }
    if (TCustomImageList* images = images_.Get()) {
        parts.image = {x, row.Top, x + images->GetWidth(), row.Bottom};
        x = parts.image.Right + 1;
    }
    parts.text = {x, row.Top, x + TextWidth(node) + 2 * kTextPad, row.Bottom};
    return parts;
}

TRect TCustomTreeView::TextRect(const TTreeNode& node) const {
    const int row = RowOf(node);
    if (row < 0) return {};
    return PartsOf(node, node.GetLevel(), RowRect(row)).text;
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) const {
    const_cast<TCustomTreeView*>(this)->UpdateRows();
    return NodeOfRow(RowAt({x, y}));
}

THitTests TCustomTreeView::GetHitTestInfoAt(int x, int y) const {
    const_cast<TCustomTreeView*>(this)->UpdateRows();
    const TRect viewport = GetViewport();
    THitTests hits;
    if (y < viewport.Top) hits.Include(htAbove);
    if (y >= viewport.Bottom) hits.Include(htBelow);
    if (x < viewport.Left) hits.Include(htToLeft);
    if (x >= viewport.Right) hits.Include(htToRight);
    if (!hits.Empty()) return hits;
    const int row = RowAt({x, y});
    const TTreeNode* node = NodeOfRow(row);
    if (!node) return {htNowhere};
    const RowParts parts = PartsOf(*node, node->GetLevel(), RowRect(row));
    auto within = [x](const TRect& r) { return r.Right > r.Left && x >= r.Left && x < r.Right; };
    if (within(parts.stateImage)) return {htOnItem, htOnStateIcon};
    if (within(parts.image)) return {htOnItem, htOnIcon};
    if (within(parts.text)) return {htOnItem, htOnLabel};
    if (x >= parts.text.Right) return {htOnRight};
    if (within(parts.column) && parts.button.Right > parts.button.Left) return {htOnButton};
    return {htOnIndent};
}

// ---- painting

bool TCustomTreeView::IsCustomDrawn() const {
    return OnCustomDraw || OnCustomDrawItem || OnAdvancedCustomDraw || OnAdvancedCustomDrawItem;
}

bool TCustomTreeView::CustomDraw(const TRect& rect, TCustomDrawStage stage) {
    bool defaultDraw = true;
    // The first handler may free the view.
    thorn::ComponentRef<TCustomTreeView> self(this);
    if (stage == cdPrePaint && OnCustomDraw) OnCustomDraw(this, rect, defaultDraw);
    if (self && OnAdvancedCustomDraw) OnAdvancedCustomDraw(this, rect, stage, defaultDraw);
    return defaultDraw;
}

bool TCustomTreeView::CustomDrawItem(TTreeNode* node, TCustomDrawState state, TCustomDrawStage stage,
                                     bool& paintImages) {
    bool defaultDraw = true;
    thorn::ComponentRef<TCustomTreeView> self(this);
    if (stage == cdPrePaint && OnCustomDrawItem) OnCustomDrawItem(this, node, state, defaultDraw);
    if (self && OnAdvancedCustomDrawItem)
        OnAdvancedCustomDrawItem(this, node, state, stage, paintImages, defaultDraw);
    return defaultDraw;
}

void TCustomTreeView::Paint() {
    if (items_->GetUpdateCount() == 0) UpdateRows();
    const bool custom = IsCustomDrawn();
    const TRect client = GetClientRect();
    thorn::ComponentRef<TCustomTreeView> self(this);
    if (custom && !CustomDraw(client, cdPrePaint)) return;
    if (!self) return;
    RowView::Paint();
    if (self && custom) CustomDraw(client, cdPostPaint);
}

namespace {

// Dotted lines keep one pattern through the whole tree: a dot where the
// content's x + y is even.
void DottedVertical(TCanvas& canvas, int x, int top, int bottom, TPoint origin, TColor color) {
    for (int y = top + ((x - origin.X + top - origin.Y) & 1); y < bottom; y += 2) canvas.SetPixel(x, y, color);
}

void DottedHorizontal(TCanvas& canvas, int left, int right, int y, TPoint origin, TColor color) {
    for (int x = left + ((left - origin.X + y - origin.Y) & 1); x < right; x += 2) canvas.SetPixel(x, y, color);
}

}  // namespace

void TCustomTreeView::DrawLines(TCanvas& canvas, const TTreeNode& node, int level, const TRect& row) {
    const TPoint origin = GetContentOrigin();
    const int rootColumns = RootColumns();
    const TColor color = clBtnShadow;
    auto centreOf = [&](int column) { return row.Left + column * indent_ + indent_ / 2; };
    const int middle = (row.Top + row.Bottom) / 2;
    const int column = level + rootColumns - 1;
    if (column >= 0) {
        const int x = centreOf(column);
        const bool firstOfAll = !node.parent_ && node.index_ == 0;
        DottedVertical(canvas, x, firstOfAll ? middle : row.Top, node.GetNextSibling() ? row.Bottom : middle + 1,
                       origin, color);
        DottedHorizontal(canvas, x, row.Left + ItemLeft(level), middle, origin, color);
    }
    // The ancestors' lines run on past this row to their next siblings.
    int ancestorColumn = column - 1;
    for (const TTreeNode* p = node.parent_; p && ancestorColumn >= 0; p = p->parent_, --ancestorColumn)
        if (p->GetNextSibling()) DottedVertical(canvas, centreOf(ancestorColumn), row.Top, row.Bottom, origin, color);
}

void TCustomTreeView::DrawButton(TCanvas& canvas, const TRect& box, bool expanded) {
    canvas.FillColor(box, clWindow);
    canvas.Brush().SetColor(clBtnShadow);
    canvas.FrameRect(box);
    const int middleX = (box.Left + box.Right) / 2, middleY = (box.Top + box.Bottom) / 2;
    canvas.FillColor({box.Left + 2, middleY, box.Right - 2, middleY + 1}, clWindowText);
    if (!expanded) canvas.FillColor({middleX, box.Top + 2, middleX + 1, box.Bottom - 2}, clWindowText);
}

void TCustomTreeView::DrawRow(TCanvas& canvas, int row, const TRect& rect, TOwnerDrawState state) {
    TTreeNode* node = NodeOfRow(row);
    canvas.FillColor(rect, GetColor());
    if (!node) return;
    const int level = node->GetLevel();
    const RowParts parts = PartsOf(*node, level, rect);
    const bool focusedLook = LooksFocused();
    const bool selected = state.Contains(odSelected);
    const bool highlighted = dropTarget_ == node || (selected && focusedLook);
    const bool hot = hotTrack_ && hot_ == node;
    TCustomDrawState drawState;
    drawState.Set(cdsSelected, selected).Set(cdsFocused, state.Contains(odFocused)).Set(cdsHot, hot);
    drawState.Set(cdsDisabled, state.Contains(odDisabled)).Set(cdsMarked, dropTarget_ == node);

    // The canvas as the item starts; a custom-draw handler may change it.
    canvas.Font().Assign(GetFont());
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(GetColor());
    if (highlighted) {
        canvas.Brush().SetColor(clHighlight);
        canvas.Font().SetColor(clHighlightText);
    } else if (selected) {
        canvas.Brush().SetColor(clBtnFace);
        canvas.Font().SetColor(clWindowText);
    }
    if (hot) {
        canvas.Font().SetStyle(canvas.Font().GetStyle() | fsUnderline);
        if (!highlighted) canvas.Font().SetColor(clHighlight);
    }
    if (state.Contains(odDisabled)) canvas.Font().SetColor(clGrayText);

    const bool custom = IsCustomDrawn();
    bool paintImages = true;
    thorn::ComponentRef<TCustomTreeView> self(this);
    if (custom && !CustomDrawItem(node, drawState, cdPrePaint, paintImages)) return;
    if (!self || NodeOfRow(row) != node) return;
    const TColor back = canvas.Brush().GetColor();
    const TColor fore = canvas.Font().GetColor();
    const bool filled = highlighted || selected || back != GetColor();

    if (rowSelect_ && filled) canvas.FillColor(rect, back);
    if (showLines_) DrawLines(canvas, *node, level, rect);
    if (parts.button.Right > parts.button.Left) DrawButton(canvas, parts.button, node->expanded_);
    if (paintImages) {
        if (TCustomImageList* images = stateImages_.Get(); images && node->stateIndex_ >= 0)
            images->Draw(canvas, parts.stateImage.Left, rect.Top + (rect.Height() - images->GetHeight()) / 2,
                         node->stateIndex_);
        if (TCustomImageList* images = images_.Get()) {
            const bool showSelected = node->selected_;
            if (showSelected)
                GetSelectedIndex(node);
            else
                GetImageIndex(node);
            if (!self || NodeOfRow(row) != node) return;
            const int y = rect.Top + (rect.Height() - images->GetHeight()) / 2;
            const int index = showSelected ? node->selectedIndex_ : node->imageIndex_;
            const TImageDrawStyle style = node->cut_ ? idsDisabled : highlighted ? idsSelected : idsNormal;
            images->Draw(canvas, parts.image.Left, y, index, style);
            if (node->overlayIndex_ >= 0) images->Draw(canvas, parts.image.Left, y, node->overlayIndex_, style);
        }
    }
    if (editingNode_ != node) {
        if (filled && !rowSelect_) canvas.FillColor(parts.text, back);
        canvas.Font().SetColor(fore);
        canvas.Brush().SetStyle(bsClear);
        const int textHeight = thorn::GetFontMetrics(canvas.Font()).height;
        canvas.TextOut(parts.text.Left + kTextPad, rect.Top + (rect.Height() - textHeight) / 2, node->GetText());
        canvas.Brush().SetStyle(bsSolid);
        if (state.Contains(odFocused) && focusedLook) canvas.DrawFocusRect(rowSelect_ ? rect : parts.text);
    }
    if (custom) CustomDrawItem(node, drawState, cdPostPaint, paintImages);
}

// ---- the hint of cut-off texts

void TCustomTreeView::SetNewHint(TTreeNode* node) {
    thorn::ComponentRef<THintWindow>& hint = SharedHint();
    // The hint may be closed from inside its own input (passed through to
    // the window below): it goes once that has returned.
    auto close = [&] {
        if (THintWindow* shown = hint.Get()) {
            shown->Hide();
            hint = nullptr;
            if (Application)
                Application->ReleaseComponent(shown);
            else
                thorn::Free(shown);
        }
    };
    if (!node || !toolTips_ || !Application || !IsShowing()) {
        close();
        return;
    }
    const TRect text = TextRect(*node);
    if (text.Right <= GetClientWidth() || text.Right <= text.Left) {
        close();
        return;
    }
    if (hint && hint->GetVisible() && hint->GetCaption() == node->GetText()) return;
    close();
    auto* shown = thorn::Make<thorn::PassThroughHint<THintWindow>>(*Application);
    shown->SetWindowBelow(GetParentForm());
    hint = shown;
    hint->Font().Assign(GetFont());
    const TPoint at = ClientToScreen({text.Left - 1, text.Top});
    hint->ActivateHint({at.X, at.Y, at.X + text.Width() + 6, at.Y + text.Height()}, node->GetText());
}
