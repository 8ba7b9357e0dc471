#include "gui/MenuWindow.h"

#include <algorithm>
#include <cctype>

#include "gui/Application.h"
#include "gui/Buttons.h"
#include "gui/Edges.h"
#include "gui/ImageList.h"
#include "gui/MenuBar.h"
#include "gui/ShortCuts.h"
#include "platform/Text.h"

namespace thorn {

namespace {

constexpr int kBorder = 3;        // raised edge and one pixel of air
constexpr int kSeparatorHeight = 8;
constexpr int kTextGap = 4;       // between the mark column and the caption
constexpr int kShortCutGap = 24;  // between the captions and the shortcut column
constexpr int kArrowWidth = 16;   // the sub-menu arrow column, also the right margin

bool HasVisibleItems(const TMenuItem& item) {
    for (int i = 0; i < item.GetCount(); ++i)
        if (item.GetItem(i)->GetVisible()) return true;
    return false;
}

bool IsSelectable(const TMenuItem* item) { return item && !item->IsLine(); }

}  // namespace

MenuWindow::MenuWindow(TMenu& menu, MenuBar* bar, MenuWindow* parentWindow)
    : menu_(&menu), bar_(bar), parentWindow_(parentWindow) {
    SetColor(clMenu);
    Font().SetName("Tahoma");
    Font().SetSize(8);
    Font().SetColor(clMenuText);
}

MenuWindow::~MenuWindow() {
    // The level below goes first, while this one is still whole.
    subMenu_.reset();
}

TMenuItem* MenuWindow::RowItem(int row) const {
    return row >= 0 && row < RowCount() ? rows_[static_cast<size_t>(row)].Get() : nullptr;
}

TRect MenuWindow::RowRect(int row) const {
    return row >= 0 && row < static_cast<int>(rowRects_.size()) ? rowRects_[static_cast<size_t>(row)] : TRect{};
}

int MenuWindow::RowAt(TPoint p) const {
    for (int i = 0; i < static_cast<int>(rowRects_.size()); ++i)
        if (PtInRect(rowRects_[static_cast<size_t>(i)], p)) return i;
    return -1;
}

// ---- opening

void MenuWindow::OpenAt(TMenuItem& parent, TPoint p, TControl* owner, TPopupAlignment alignment) {
    if (parentItem_.Get() != &parent) CloseSubMenu();
    parentItem_ = &parent;
    selected_ = -1;
    // What the items show follows their actions' state at the moment they open.
    for (int i = 0; i < parent.GetCount(); ++i) parent.GetItem(i)->InitiateAction();
    TSize size = Measure();
    int left = alignment == paRight ? p.X - size.cx : alignment == paCenter ? p.X - size.cx / 2 : p.X;
    if (Screen) {
        // A menu that would leave the bottom of the work area opens upwards.
        TRect area = Screen->GetWorkAreaRect();
        if (p.Y + size.cy > area.Bottom && p.Y - size.cy >= area.Top) p.Y -= size.cy;
    }
    Popup(owner, {left, p.Y, left + size.cx, p.Y + size.cy});
    Layout();
}

void MenuWindow::OpenBeside(TMenuItem& parent, const TRect& itemRect, TControl* owner) {
    TSize size;
    {
        ComponentRef<TMenuItem> old = parentItem_;
        parentItem_ = &parent;
        size = Measure();
        parentItem_ = old;
    }
    int left = itemRect.Right - kBorder;
    if (Screen && left + size.cx > Screen->GetWorkAreaRect().Right) left = itemRect.Left - size.cx + kBorder;
    OpenAt(parent, {left, itemRect.Top - kBorder}, owner);
}

TSize MenuWindow::Measure() {
    rows_.clear();
    TMenuItem* parent = parentItem_.Get();
    if (parent)
        for (int i = 0; i < parent->GetCount(); ++i)
            if (parent->GetItem(i)->GetVisible()) rows_.emplace_back(parent->GetItem(i));
    TCanvas& c = Canvas();
    c.Font().Assign(GetFont());
    textHeight_ = c.TextHeight("Wg");
    TCustomImageList* images = menu_ ? menu_->GetImages() : nullptr;
    gutter_ = std::max(16, images ? images->GetWidth() : 0) + 4;
    int rowHeight = std::max(textHeight_ + 6, images ? images->GetHeight() + 4 : 0);
    captionWidth_ = 0;
    int shortCutWidth = 0;
    int y = kBorder;
    rowRects_.clear();
    for (auto& ref : rows_) {
        TMenuItem* item = ref.Get();
        int h = item->IsLine() ? kSeparatorHeight : rowHeight;
        rowRects_.push_back({kBorder, y, 0, y + h});
        y += h;
        if (item->IsLine()) continue;
        TFont bold = GetFont();
        if (item->GetDefault()) bold.SetStyle(fsBold);
        c.Font().Assign(bold);
        TRect r{0, 0, 0, 0};
        c.DrawText(r, DT_CALCRECT | DT_SINGLELINE, item->GetCaption());
        captionWidth_ = std::max(captionWidth_, r.Width());
        std::string shortCut = ShortCutToText(item->GetShortCut());
        if (!shortCut.empty()) shortCutWidth = std::max(shortCutWidth, c.TextWidth(shortCut));
    }
    c.Font().Assign(GetFont());
    int width = 2 * kBorder + gutter_ + kTextGap + captionWidth_ + (shortCutWidth ? kShortCutGap + shortCutWidth : 0) +
                kArrowWidth;
    width = std::max(width, 2 * kBorder + 40);
    for (TRect& r : rowRects_) r.Right = width - kBorder;
    int height = rows_.empty() ? 2 * kBorder + rowHeight / 2 : y + kBorder;
    return {width, height};
}

void MenuWindow::Layout() {
    TSize size = Measure();
    if (size.cx != GetWidth() || size.cy != GetHeight()) {
        TRect r{GetLeft(), GetTop(), GetLeft() + size.cx, GetTop() + size.cy};
        if (IsPopupOpen()) Popup(GetPopupOwner(), r);
    }
    if (selected_ >= RowCount()) selected_ = -1;
    Invalidate();
}

void MenuWindow::RefreshOpen() {
    for (TPopupWindow* p : OpenPopups())
        if (auto* w = dynamic_cast<MenuWindow*>(p)) w->Layout();
}

// ---- selection and choosing

int MenuWindow::NextSelectable(int from, int step) const {
    int n = RowCount();
    if (n == 0) return -1;
    int i = from;
    for (int k = 0; k < n; ++k) {
        i = from < 0 && k == 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
        if (IsSelectable(RowItem(i))) return i;
    }
    return -1;
}

void MenuWindow::Select(int row) {
    if (!IsSelectable(RowItem(row))) row = -1;
    if (row == selected_) return;
    selected_ = row;
    Invalidate();
    if (TMenuItem* item = RowItem(row); item && Application) Application->SetHint(GetLongHint(item->GetHint()));
}

void MenuWindow::OpenSubMenu(int row, bool firstSelected) {
    TMenuItem* item = RowItem(row);
    if (!item || !menu_) return;
    if (!subMenu_) subMenu_ = std::make_unique<MenuWindow>(*menu_.Get(), bar_, this);
    if (subMenu_->IsPopupOpen() && subMenu_->GetParentItem() == item) {
        if (firstSelected) subMenu_->Select(subMenu_->NextSelectable(-1, 1));
        return;
    }
    CloseSubMenu();
    TRect r = RowRect(row);
    TPoint topLeft = ClientToScreen({r.Left, r.Top});
    TPoint bottomRight = ClientToScreen({r.Right, r.Bottom});
    subMenu_->OpenBeside(*item, {topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y}, GetPopupOwner());
    if (firstSelected) subMenu_->Select(subMenu_->NextSelectable(-1, 1));
}

void MenuWindow::CloseSubMenu() {
    if (subMenu_ && subMenu_->IsPopupOpen()) subMenu_->ClosePopup(pcClosed);
}

MenuWindow& MenuWindow::Root() {
    MenuWindow* w = this;
    while (w->parentWindow_) w = w->parentWindow_;
    return *w;
}

void MenuWindow::CloseTree() {
    MenuBar* bar = bar_;
    Root().ClosePopup(pcClosed);
    if (bar) bar->Cancel();
}

void MenuWindow::Choose(int row, bool firstSelected) {
    TMenuItem* item = RowItem(row);
    if (!IsSelectable(item)) return;
    Select(row);
    if (HasVisibleItems(*item)) {
        if (item->GetEnabled()) OpenSubMenu(row, firstSelected);
        return;
    }
    if (!item->GetEnabled()) return;
    ComponentRef<TMenuItem> chosen(item);
    CloseTree();
    // As the platform posts the command: the item runs once the menu loop is over.
    Application->QueueCall([chosen] {
        if (TMenuItem* it = chosen.Get()) it->Click();
    });
}

// ---- keyboard

bool MenuWindow::PopupKeyDown(TKey key, TShiftState shift) {
    if (shift.Contains(ssCtrl)) return true;
    switch (key) {
        case VK_UP:
        case VK_DOWN: Select(NextSelectable(selected_, key == VK_DOWN ? 1 : -1)); return true;
        case VK_HOME: Select(NextSelectable(-1, 1)); return true;
        case VK_END: Select(NextSelectable(-1, -1)); return true;
        case VK_RIGHT:
            if (TMenuItem* item = RowItem(selected_); item && item->GetEnabled() && HasVisibleItems(*item))
                OpenSubMenu(selected_, true);
            else if (bar_)
                bar_->Step(1);
            return true;
        case VK_LEFT:
            if (parentWindow_)
                ClosePopup(pcEscape);
            else if (bar_)
                bar_->Step(-1);
            return true;
        case VK_RETURN: Choose(selected_, true); return true;
        case VK_ESCAPE: ClosePopup(pcEscape); return true;
        case VK_MENU:
            // Alt closes the menus, and opens none as it comes up.
            Application->GetLoneAlt().Spoil();
            CloseTree();
            return true;
        case VK_F10: CloseTree(); return true;
        default: break;
    }
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
        // The items whose accelerator is the key: one is chosen at once,
        // several take the highlight in turn.
        std::vector<int> matches;
        for (int i = 0; i < RowCount(); ++i)
            if (TMenuItem* item = RowItem(i); IsSelectable(item) && AcceleratorOf(item->GetCaption()) == key)
                matches.push_back(i);
        if (matches.size() == 1) {
            Choose(matches.front(), true);
        } else if (!matches.empty()) {
            auto next = std::upper_bound(matches.begin(), matches.end(), selected_);
            Select(next == matches.end() ? matches.front() : *next);
        }
    }
    return true;
}

bool MenuWindow::PopupKeyPress(char) { return true; }

void MenuWindow::DoClosePopup(TPopupCloseReason reason) {
    selected_ = -1;
    TPopupWindow::DoClosePopup(reason);
    if (bar_ && !parentWindow_) bar_->DropDownClosed(reason);
}

// ---- mouse

void MenuWindow::MouseMove(TShiftState shift, int x, int y) {
    TPopupWindow::MouseMove(shift, x, y);
    int row = RowAt({x, y});
    if (row < 0 || row == selected_) return;
    Select(row);
    TMenuItem* item = RowItem(selected_);
    if (item && item->GetEnabled() && HasVisibleItems(*item))
        OpenSubMenu(selected_, false);
    else
        CloseSubMenu();
}

void MenuWindow::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TPopupWindow::MouseDown(button, shift, x, y);
    int row = RowAt({x, y});
    if (TMenuItem* item = RowItem(row); item && HasVisibleItems(*item)) Choose(row, false);
}

void MenuWindow::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TPopupWindow::MouseUp(button, shift, x, y);
    int row = RowAt({x, y});
    if (TMenuItem* item = RowItem(row); item && !HasVisibleItems(*item)) Choose(row, false);
}

void MenuWindow::CMMouseLeave() {
    TPopupWindow::CMMouseLeave();
    // The highlight stays on an item whose sub-menu is open.
    if (!(subMenu_ && subMenu_->IsPopupOpen())) Select(-1);
}

// ---- painting

void MenuWindow::Paint() {
    TCanvas& c = Canvas();
    TRect r = GetClientRect();
    c.FillColor(r, clMenu);
    DrawEdge(c, r, EDGE_RAISED, BF_RECT);
    for (int i = 0; i < RowCount(); ++i) PaintRow(c, i);
}

void MenuWindow::PaintRow(TCanvas& c, int row) {
    TMenuItem* item = RowItem(row);
    if (!item) return;
    TRect r = RowRect(row);
    if (item->IsLine()) {
        TRect line{r.Left + 1, r.Top + kSeparatorHeight / 2 - 1, r.Right - 1, r.Top + kSeparatorHeight / 2 + 1};
        DrawEdge(c, line, EDGE_ETCHED, BF_TOP);
        return;
    }
    bool selected = row == selected_;
    bool enabled = item->GetEnabled();
    c.FillColor(r, selected ? clHighlight : clMenu);
    TColor text = !enabled ? clGrayText : selected ? clHighlightText : clMenuText;
    TFont font = GetFont();
    if (item->GetDefault()) font.SetStyle(fsBold);

    // The mark column: the image (framed when checked), else the check mark.
    TRect gutter{r.Left, r.Top, r.Left + gutter_, r.Bottom};
    TCustomImageList* images = menu_ ? menu_->GetImages() : nullptr;
    if (images && item->GetImageIndex() >= 0 && item->GetImageIndex() < images->GetCount()) {
        int x = gutter.Left + (gutter.Width() - images->GetWidth()) / 2;
        int y = gutter.Top + (gutter.Height() - images->GetHeight()) / 2;
        if (item->GetChecked()) {
            TRect frame{x - 2, y - 2, x + images->GetWidth() + 2, y + images->GetHeight() + 2};
            DrawEdge(c, frame, BDR_SUNKENOUTER, BF_RECT);
        }
        images->Draw(c, x, y, item->GetImageIndex(), enabled ? idsNormal : idsDisabled);
    } else if (item->GetChecked()) {
        c.Font().SetColor(text);
        DrawFrameControl(c, gutter, DFC_MENU, item->GetRadioItem() ? DFCS_MENUBULLET : DFCS_MENUCHECK);
    }

    TRect caption{gutter.Right + kTextGap, r.Top, r.Right, r.Bottom};
    auto drawText = [&](TRect box, std::string_view s, uint32_t flags, TColor color) {
        c.Font().Assign(font);
        c.Font().SetColor(color);
        c.Brush().SetStyle(bsClear);
        c.DrawText(box, flags | DT_SINGLELINE | DT_VCENTER, s);
        c.Brush().SetStyle(bsSolid);
    };
    auto drawBoth = [&](TRect box, std::string_view s, uint32_t flags) {
        if (!enabled && !selected) {
            // Disabled items are embossed, as their images are.
            TRect lit = box;
            OffsetRect(lit, 1, 1);
            drawText(lit, s, flags, clBtnHighlight);
            drawText(box, s, flags, clBtnShadow);
        } else {
            drawText(box, s, flags, text);
        }
    };
    drawBoth(caption, item->GetCaption(), DT_LEFT);
    std::string shortCut = ShortCutToText(item->GetShortCut());
    if (!shortCut.empty()) {
        TRect box{caption.Left + captionWidth_ + kShortCutGap, r.Top, r.Right - kArrowWidth, r.Bottom};
        drawBoth(box, shortCut, DT_LEFT | DT_NOPREFIX);
    }
    if (HasVisibleItems(*item)) {
        c.Font().SetColor(text);
        TRect arrow{r.Right - kArrowWidth, r.Top, r.Right, r.Bottom};
        DrawFrameControl(c, arrow, DFC_MENU, DFCS_MENUARROW);
    }
    c.Font().Assign(GetFont());
}

}  // namespace thorn
