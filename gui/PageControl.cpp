#include "gui/PageControl.h"

#include <algorithm>

#include "gui/Buttons.h"
#include "gui/Drawing.h"
#include "gui/Edges.h"
#include "gui/Forms.h"
#include "gui/TabRows.h"
#include "platform/Collections.h"
#include "platform/Text.h"

namespace {

constexpr int kMargin = 2;      // before the first tab, and above the rows
constexpr int kTabPadding = 6;  // either side of a tab's caption
constexpr int kArrow = 16;      // a scroll arrow of a single row
constexpr int kFrame = 2;       // the raised edge round the pages
constexpr int kPageInset = 4;   // from the frame's outside to the pages

bool IsDestroying(const TComponent& c) { return c.GetComponentState().Contains(csDestroying); }

// A caption as it shows: "&" marks the next character, "&&" is one "&".
std::string ShownCaption(const std::string& caption) {
    std::string shown;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        shown += caption[i];
    }
    return shown;
}

}  // namespace

// =================================================================== TTabSheet

TTabSheet::TTabSheet() {
    SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csOpaque});
    TWinControl::SetVisible(false);
    SetAlign(alClient);
}

TTabSheet::~TTabSheet() {
    if (TPageControl* control = pageControl_.Get()) control->RemovePage(this);
}

void TTabSheet::BeforeDestruction() {
    if (TPageControl* control = pageControl_.Get()) control->RemovePage(this);
    TWinControl::BeforeDestruction();
}

void TTabSheet::SetPageControl(TPageControl* value) { SetParent(value); }

void TTabSheet::SetParent(TWinControl* parent) {
    auto* control = dynamic_cast<TPageControl*>(parent);
    TPageControl* old = pageControl_.Get();
    if (old && old != control) old->RemovePage(this);
    TWinControl::SetParent(parent);
    if (control && control != old) control->InsertPage(this);
}

int TTabSheet::GetPageIndex() const {
    const TPageControl* control = pageControl_.Get();
    if (!control) return -1;
    auto it = std::find(control->pages_.begin(), control->pages_.end(), this);
    return it == control->pages_.end() ? -1 : static_cast<int>(it - control->pages_.begin());
}

void TTabSheet::SetPageIndex(int value) {
    if (TPageControl* control = pageControl_.Get()) control->MovePage(this, value);
}

void TTabSheet::SetTabVisible(bool value) {
    if (value == tabVisible_) return;
    tabVisible_ = value;
    if (TPageControl* control = pageControl_.Get()) control->PagesChanged();
}

int TTabSheet::GetTabIndex() const {
    const TPageControl* control = pageControl_.Get();
    if (!control || !tabVisible_) return -1;
    std::vector<TTabSheet*> shown = control->ShownTabs();
    auto it = std::find(shown.begin(), shown.end(), this);
    return it == shown.end() ? -1 : static_cast<int>(it - shown.begin());
}

void TTabSheet::CMTextChanged() {
    TWinControl::CMTextChanged();
    if (TPageControl* control = pageControl_.Get(); control && tabVisible_) control->PagesChanged();
}

// ================================================================ TPageControl

struct TPageControl::Layout {
    std::vector<TTabSheet*> shown;
    thorn::TabRows rows;  // client coordinates
    int selected = -1;    // among the shown
    int areaHeight = 0;   // of the tab rows
    bool arrows = false;
    TRect back, forward;  // the scroll arrows
};

TPageControl::TPageControl() {
    SetControlStyle({csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
    SetColor(clBtnFace);
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl() = default;

TTabSheet* TPageControl::GetPage(int index) const {
    if (index < 0 || index >= GetPageCount()) ThrowListIndexError(index);
    return pages_[static_cast<size_t>(index)];
}

std::vector<TTabSheet*> TPageControl::ShownTabs() const {
    std::vector<TTabSheet*> shown;
    for (TTabSheet* page : pages_)
        if (page->tabVisible_) shown.push_back(page);
    return shown;
}

TPageControl::Layout TPageControl::Measure() const {
    Layout layout;
    layout.shown = ShownTabs();
    if (layout.shown.empty()) return layout;
    int tabHeight = thorn::TextExtent(GetFont(), "Xy").cy + 6;
    std::vector<int> widths;
    for (size_t i = 0; i < layout.shown.size(); ++i) {
        widths.push_back(thorn::TextExtent(GetFont(), ShownCaption(layout.shown[i]->GetCaption())).cx + 2 * kTabPadding);
        if (layout.shown[i] == active_.Get()) layout.selected = static_cast<int>(i);
    }
    int rowWidth = GetClientWidth() - 2 * kMargin;
    layout.rows = thorn::LayoutTabRows(widths, rowWidth, tabHeight, multiLine_, layout.selected, firstTab_);
    if (layout.rows.overflows) {
        // The arrows take the end of the row.
        rowWidth -= 2 * kArrow + kMargin;
        layout.rows = thorn::LayoutTabRows(widths, rowWidth, tabHeight, false, layout.selected, firstTab_);
        layout.arrows = true;
    }
    for (TRect& r : layout.rows.tabs)
        if (!IsRectEmpty(r)) OffsetRect(r, kMargin, kMargin);
    layout.areaHeight = layout.rows.rowCount * tabHeight + kMargin;
    if (layout.arrows) {
        int right = GetClientWidth() - kMargin, top = layout.areaHeight - kArrow - 1;
        layout.forward = {right - kArrow, top, right, top + kArrow};
        layout.back = {right - 2 * kArrow, top, right - kArrow, top + kArrow};
    }
    return layout;
}

TRect TPageControl::GetDisplayRect() const {
    TRect r = GetClientRect();
    r.Top = std::min(r.Bottom, r.Top + Measure().areaHeight);
    InflateRect(r, -kPageInset, -kPageInset);
    r.Right = std::max(r.Left, r.Right);
    r.Bottom = std::max(r.Top, r.Bottom);
    return r;
}

void TPageControl::AdjustClientRect(TRect& rect) { rect = GetDisplayRect(); }

void TPageControl::AlignControls(TControl* control, TRect& rect) {
    thorn::ComponentRef<TPageControl> self(this);
    TCustomControl::AlignControls(control, rect);
    if (!self) return;
    TRect display = GetDisplayRect();
    for (TTabSheet* page : pages_)
        if (!page->GetVisible() && page->GetAlign() == alClient) page->SetBoundsRect(display);
}

TRect TPageControl::TabRect(int tabIndex) const {
    Layout layout = Measure();
    if (tabIndex < 0 || tabIndex >= static_cast<int>(layout.shown.size())) return {};
    return layout.rows.tabs[static_cast<size_t>(tabIndex)];
}

int TPageControl::IndexOfTabAt(int x, int y) const {
    Layout layout = Measure();
    // The selected tab stands out over its neighbours.
    if (layout.selected >= 0) {
        TRect r = layout.rows.tabs[static_cast<size_t>(layout.selected)];
        InflateRect(r, kMargin, 0);
        r.Top -= kMargin;
        if (!IsRectEmpty(layout.rows.tabs[static_cast<size_t>(layout.selected)]) && PtInRect(r, {x, y}))
            return layout.selected;
    }
    for (size_t i = 0; i < layout.shown.size(); ++i)
        if (PtInRect(layout.rows.tabs[i], {x, y})) return static_cast<int>(i);
    return -1;
}

int TPageControl::GetRowCount() const { return Measure().rows.rowCount; }

// ---- pages

void TPageControl::InsertPage(TTabSheet* page) {
    if (std::find(pages_.begin(), pages_.end(), page) != pages_.end()) return;
    pages_.push_back(page);
    page->pageControl_ = this;
    if (!active_)
        ChangeActivePage(page);
    else
        page->SetVisible(false);
    PagesChanged();
}

void TPageControl::RemovePage(TTabSheet* page) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    if (active_.Get() == page) {
        TTabSheet* next = FindNextPage(page, true, true);
        if (!next) next = FindNextPage(page, true, false);
        ChangeActivePage(next == page ? nullptr : next);
    }
    pages_.erase(std::find(pages_.begin(), pages_.end(), page));
    page->pageControl_ = nullptr;
    if (!IsDestroying(*this)) PagesChanged();
}

void TPageControl::MovePage(TTabSheet* page, int index) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    pages_.erase(it);
    index = std::clamp(index, 0, GetPageCount());
    pages_.insert(pages_.begin() + index, page);
    PagesChanged();
}

void TPageControl::PagesChanged() {
    if (IsDestroying(*this)) return;
    ScrollTabIntoView();
    Realign();
    Invalidate();
}

void TPageControl::SetMultiLine(bool value) {
    if (value == multiLine_) return;
    multiLine_ = value;
    firstTab_ = 0;
    PagesChanged();
}

void TPageControl::SetHotTrack(bool value) {
    if (value == hotTrack_) return;
    hotTrack_ = value;
    Invalidate();
}

void TPageControl::CMFontChanged() {
    TCustomControl::CMFontChanged();
    PagesChanged();
}

// ---- the active page

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page && page->pageControl_.Get() != this) return;
    ChangeActivePage(page);
}

int TPageControl::GetActivePageIndex() const { return active_ ? active_->GetPageIndex() : -1; }

void TPageControl::SetActivePageIndex(int value) {
    SetActivePage(value >= 0 && value < GetPageCount() ? pages_[static_cast<size_t>(value)] : nullptr);
}

int TPageControl::GetTabIndex() const { return active_ ? active_->GetTabIndex() : -1; }

void TPageControl::ChangeActivePage(TTabSheet* page) {
    TTabSheet* old = active_.Get();
    if (page == old) return;
    TCustomForm* form = GetParentForm();
    TWinControl* focused = form ? form->GetFocusedControl() : nullptr;
    bool focusInside = old && focused && old->ContainsControl(focused);
    thorn::ComponentRef<TPageControl> self(this);
    thorn::ComponentRef<TTabSheet> oldRef(old);
    active_ = page;
    if (page) {
        page->BringToFront();
        page->SetVisible(true);
    }
    if (old && !IsDestroying(*old)) old->SetVisible(false);
    if (!self) return;
    ScrollTabIntoView();
    Invalidate();
    // The focus left with the page it was on: the tabs take it.
    if (focusInside && !IsDestroying(*this) && CanFocus()) SetFocus();
    if (page && page->OnShow) page->OnShow(page);
    if (oldRef && !IsDestroying(*oldRef.Get()) && oldRef->OnHide) oldRef->OnHide(oldRef.Get());
}

bool TPageControl::CanChange() {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TPageControl::Change() {
    if (OnChange) OnChange(this);
}

void TPageControl::SelectByUser(TTabSheet* page) {
    if (!page || page == active_.Get()) return;
    thorn::ComponentRef<TPageControl> self(this);
    thorn::ComponentRef<TTabSheet> target(page);
    if (!CanChange() || !self || !target) return;
    ChangeActivePage(page);
    if (self) Change();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
    int count = GetPageCount();
    if (count == 0) return nullptr;
    auto it = std::find(pages_.begin(), pages_.end(), current);
    int start = it == pages_.end() ? (goForward ? count - 1 : 0) : static_cast<int>(it - pages_.begin());
    int i = start;
    for (int step = 0; step < count; ++step) {
        i = goForward ? (i + 1) % count : (i - 1 + count) % count;
        TTabSheet* page = pages_[static_cast<size_t>(i)];
        if (!checkTabVisible || page->tabVisible_) return page;
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
    SelectByUser(FindNextPage(active_.Get(), goForward, checkTabVisible));
}

bool TPageControl::LastTabShown(const Layout& layout) {
    const TRect& last = layout.rows.tabs.back();
    return !IsRectEmpty(last) && last.Right <= layout.back.Left;
}

void TPageControl::ScrollTabIntoView() {
    if (multiLine_) {
        firstTab_ = 0;
        return;
    }
    std::vector<TTabSheet*> shown = ShownTabs();
    firstTab_ = std::clamp(firstTab_, 0, std::max(0, static_cast<int>(shown.size()) - 1));
    auto it = std::find(shown.begin(), shown.end(), active_.Get());
    if (it == shown.end()) return;
    int index = static_cast<int>(it - shown.begin());
    if (index < firstTab_) firstTab_ = index;
    // Forward until the selected tab ends inside the row.
    for (Layout layout = Measure(); layout.arrows && firstTab_ < index; layout = Measure()) {
        const TRect& r = layout.rows.tabs[static_cast<size_t>(index)];
        if (!IsRectEmpty(r) && r.Right <= layout.back.Left) break;
        ++firstTab_;
    }
}

// ---- input

void TPageControl::KeyDown(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TPageControl> self(this);
    TCustomControl::KeyDown(key, shift);
    if (!self) return;
    std::vector<TTabSheet*> shown = ShownTabs();
    if (shown.empty() || !shift.Empty()) return;
    int index = GetTabIndex();
    int last = static_cast<int>(shown.size()) - 1;
    int target = index;
    switch (key) {
        case VK_LEFT:
        case VK_UP: target = std::max(0, index - 1); break;
        case VK_RIGHT:
        case VK_DOWN: target = std::min(last, index + 1); break;
        case VK_HOME: target = 0; break;
        case VK_END: target = last; break;
        default: return;
    }
    key = 0;
    if (target >= 0) SelectByUser(shown[static_cast<size_t>(target)]);
}

bool TPageControl::CMDialogKey(TKey key, TShiftState shift) {
    if (key == VK_TAB && shift.Contains(ssCtrl) && !shift.Contains(ssAlt)) {
        TCustomForm* form = GetParentForm();
        TWinControl* focused = form ? form->GetFocusedControl() : nullptr;
        if (focused && ContainsControl(focused)) {
            SelectNextPage(!shift.Contains(ssShift));
            return true;
        }
    }
    return TCustomControl::CMDialogKey(key, shift);
}

bool TPageControl::CMDialogChar(char ch, TShiftState shift) {
    for (TTabSheet* page : ShownTabs())
        if (IsAccel(ch, page->GetCaption()) && CanFocus()) {
            SelectByUser(page);
            return true;
        }
    return TCustomControl::CMDialogChar(ch, shift);
}

void TPageControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TPageControl> self(this);
    if (button == mbLeft) {
        Layout layout = Measure();
        if (layout.arrows && PtInRect(layout.back, {x, y})) {
            firstTab_ = std::max(0, firstTab_ - 1);
            Invalidate();
        } else if (layout.arrows && PtInRect(layout.forward, {x, y})) {
            // Forward stops once the last tab shows whole.
            if (!LastTabShown(layout)) ++firstTab_;
            Invalidate();
        } else if (int index = IndexOfTabAt(x, y); index >= 0) {
            SelectByUser(layout.shown[static_cast<size_t>(index)]);
            if (self && GetTabStop() && CanFocus() && !Focused()) SetFocus();
        }
    }
    if (self) TCustomControl::MouseDown(button, shift, x, y);
}

void TPageControl::MouseMove(TShiftState shift, int x, int y) {
    int hot = hotTrack_ ? IndexOfTabAt(x, y) : -1;
    if (hot != hotTab_) {
        hotTab_ = hot;
        Invalidate();
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TPageControl::CMMouseLeave() {
    if (hotTab_ >= 0) {
        hotTab_ = -1;
        Invalidate();
    }
    TCustomControl::CMMouseLeave();
}

// ---- painting

void TPageControl::PaintTab(TCanvas& canvas, TRect r, const TTabSheet& page, bool selected, bool hot) {
    if (selected) {
        InflateRect(r, kMargin, 0);
        r.Top -= kMargin;
        r.Bottom += kFrame;
    }
    canvas.FillColor({r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom}, GetColor());
    // Rounded at the top: light on the left and the top, dark on the right.
    canvas.FillColor({r.Left, r.Top + 2, r.Left + 1, r.Bottom}, clBtnHighlight);
    canvas.FillColor({r.Left + 1, r.Top + 1, r.Left + 2, r.Top + 2}, clBtnHighlight);
    canvas.FillColor({r.Left + 2, r.Top, r.Right - 2, r.Top + 1}, clBtnHighlight);
    canvas.FillColor({r.Right - 2, r.Top + 1, r.Right - 1, r.Top + 2}, cl3DDkShadow);
    canvas.FillColor({r.Right - 1, r.Top + 2, r.Right, r.Bottom}, cl3DDkShadow);
    canvas.FillColor({r.Right - 2, r.Top + 2, r.Right - 1, r.Bottom}, clBtnShadow);
    TRect text{r.Left + 1, r.Top + 1, r.Right - 2, selected ? r.Bottom - kFrame : r.Bottom};
    uint32_t format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    canvas.Font().Assign(GetFont());
    canvas.Brush().SetStyle(bsClear);
    if (!IsEnabledDeep()) {
        thorn::DrawDisabledText(canvas, text, format, page.GetCaption());
    } else {
        canvas.Font().SetColor(hot ? clHighlight : GetFont().GetColor());
        canvas.DrawText(text, format, page.GetCaption());
    }
    canvas.Brush().SetStyle(bsSolid);
    if (selected && Focused()) {
        TRect focus = text;
        InflateRect(focus, -2, -2);
        canvas.DrawFocusRect(focus);
    }
}

void TPageControl::Paint() {
    TCanvas& canvas = Canvas();
    Layout layout = Measure();
    TRect frame = GetClientRect();
    frame.Top = std::min(frame.Bottom, frame.Top + layout.areaHeight);
    DrawEdge(canvas, frame, EDGE_RAISED, BF_RECT);
    for (size_t i = 0; i < layout.shown.size(); ++i) {
        const TRect& r = layout.rows.tabs[i];
        if (static_cast<int>(i) != layout.selected && !IsRectEmpty(r))
            PaintTab(canvas, r, *layout.shown[i], false, static_cast<int>(i) == hotTab_);
    }
    if (layout.selected >= 0 && !IsRectEmpty(layout.rows.tabs[static_cast<size_t>(layout.selected)]))
        PaintTab(canvas, layout.rows.tabs[static_cast<size_t>(layout.selected)], *layout.shown[layout.selected], true,
                 layout.selected == hotTab_);
    if (layout.arrows) {
        bool atEnd = LastTabShown(layout);
        TRect back = layout.back, forward = layout.forward;
        canvas.FillColor({back.Left - kMargin, back.Top, forward.Right, forward.Bottom}, GetColor());
        DrawFrameControl(canvas, back, DFC_SCROLL, DFCS_SCROLLLEFT | (firstTab_ == 0 ? DFCS_INACTIVE : 0));
        DrawFrameControl(canvas, forward, DFC_SCROLL,
                         DFCS_SCROLLRIGHT | (atEnd ? DFCS_INACTIVE : 0));
    }
}
