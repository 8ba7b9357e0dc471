#include "gui/MenuBar.h"

#include "gui/Application.h"
#include "gui/Buttons.h"
#include "gui/ControlAccess.h"
#include "gui/Edges.h"
#include "gui/MenuWindow.h"
#include "platform/Text.h"

namespace thorn {

namespace {

constexpr int kTitlePadding = 7;  // on each side of a title's caption

TFont MenuFont() {
    TFont font;
    font.SetName("Tahoma");
    font.SetSize(8);
    font.SetColor(clMenuText);
    return font;
}

bool HasVisibleItems(const TMenuItem& item) {
    for (int i = 0; i < item.GetCount(); ++i)
        if (item.GetItem(i)->GetVisible()) return true;
    return false;
}

// Runs a title without items once the current event is over, as a chosen
// menu item runs.
void RunLater(TMenuItem* item) {
    ComponentRef<TMenuItem> ref(item);
    Application->QueueCall([ref] {
        if (TMenuItem* it = ref.Get()) it->Click();
    });
}

}  // namespace

MenuBar::MenuBar(TCustomForm& form, TMainMenu& menu) : form_(form), menu_(&menu) { Layout(); }

MenuBar::~MenuBar() {
    if (dropDown_ && dropDown_->IsPopupOpen()) {
        switching_ = true;
        dropDown_->ClosePopup(pcClosed);
    }
}

int MenuBar::Height() const { return menu_ ? thorn::TextExtent(MenuFont(), "Wg").cy + 6 : 0; }

TMenuItem* MenuBar::Title(int index) const {
    return index >= 0 && index < TitleCount() ? titles_[static_cast<size_t>(index)].Get() : nullptr;
}

TRect MenuBar::TitleRect(int index) const {
    return index >= 0 && index < static_cast<int>(rects_.size()) ? rects_[static_cast<size_t>(index)] : TRect{};
}

int MenuBar::TitleAt(TPoint p) const {
    for (int i = 0; i < static_cast<int>(rects_.size()); ++i)
        if (PtInRect(rects_[static_cast<size_t>(i)], p)) return i;
    return -1;
}

void MenuBar::Layout() {
    titles_.clear();
    rects_.clear();
    TMenuItem* root = menu_ ? menu_->GetItems() : nullptr;
    if (!root) return;
    TFont font = MenuFont();
    int height = Height();
    int x = 0;
    for (int i = 0; i < root->GetCount(); ++i) {
        TMenuItem* item = root->GetItem(i);
        if (!item->GetVisible()) continue;
        int w = thorn::TextExtent(font, StripHotkey(item->GetCaption())).cx + 2 * kTitlePadding;
        titles_.emplace_back(item);
        rects_.push_back({x, 0, x + w, height});
        x += w;
    }
}

void MenuBar::Changed() {
    Layout();
    if (hot_ >= TitleCount()) Cancel();
    Repaint();
}

void MenuBar::Repaint() { form_.InvalidateClientRect({0, 0, form_.GetWidth(), Height()}); }

void MenuBar::Paint(TCanvas& c) {
    int height = Height();
    c.FillColor({0, 0, form_.GetWidth(), height}, clMenu);
    bool dropped = dropDown_ && dropDown_->IsPopupOpen();
    for (int i = 0; i < TitleCount(); ++i) {
        TMenuItem* item = Title(i);
        TRect r = TitleRect(i);
        TRect text = r;
        if (i == hot_ && dropped) {
            TRect edge = r;
            DrawEdge(c, edge, BDR_SUNKENOUTER, BF_RECT);
            OffsetRect(text, 1, 1);
        } else if (i == hot_) {
            TRect edge = r;
            DrawEdge(c, edge, BDR_RAISEDINNER, BF_RECT);
        }
        c.Font().Assign(MenuFont());
        c.Brush().SetStyle(bsClear);
        uint32_t flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        if (item->GetEnabled()) {
            c.DrawText(text, flags, item->GetCaption());
        } else {
            TRect lit = text;
            OffsetRect(lit, 1, 1);
            c.Font().SetColor(clBtnHighlight);
            c.DrawText(lit, flags, item->GetCaption());
            c.Font().SetColor(clBtnShadow);
            c.DrawText(text, flags, item->GetCaption());
        }
        c.Brush().SetStyle(bsSolid);
    }
}

// ---- menu mode

void MenuBar::SetHot(int index) {
    if (index == hot_) return;
    hot_ = index;
    if (TMenuItem* item = Title(index)) Application->SetHint(GetLongHint(item->GetHint()));
    Repaint();
}

void MenuBar::EnterMenuMode() {
    if (TitleCount() == 0) return;
    menuMode_ = true;
    SetHot(NextTitle(-1, 1));
    Repaint();
}

int MenuBar::NextTitle(int from, int step) const {
    int n = TitleCount();
    if (n == 0) return -1;
    if (from < 0) return step > 0 ? 0 : n - 1;
    return (from + step + n) % n;
}

void MenuBar::OpenTitle(int index, bool firstSelected) {
    TMenuItem* item = Title(index);
    if (!item || !menu_) return;
    menuMode_ = true;
    if (dropDown_ && dropDown_->IsPopupOpen()) {
        switching_ = true;
        dropDown_->ClosePopup(pcClosed);
        switching_ = false;
    }
    SetHot(index);
    Repaint();
    if (!HasVisibleItems(*item) || !item->GetEnabled()) return;
    if (!dropDown_) dropDown_ = std::make_unique<MenuWindow>(*menu_.Get(), this, nullptr);
    TRect r = TitleRect(index);
    dropDown_->OpenAt(*item, {form_.GetLeft() + r.Left, form_.GetTop() + r.Bottom}, &form_);
    if (firstSelected) dropDown_->Select(dropDown_->NextSelectable(-1, 1));
}

void MenuBar::Cancel() {
    tracking_ = false;
    pressedCommand_ = -1;
    if (dropDown_ && dropDown_->IsPopupOpen()) {
        switching_ = true;
        dropDown_->ClosePopup(pcClosed);
        switching_ = false;
    }
    if (!menuMode_ && hot_ < 0) return;
    menuMode_ = false;
    hot_ = -1;
    Repaint();
}

void MenuBar::Step(int direction) { OpenTitle(NextTitle(hot_, direction), true); }

void MenuBar::DropDownClosed(TPopupCloseReason reason) {
    if (switching_) return;
    if (reason == pcEscape) {
        // Back to the highlighted title, still in menu mode.
        Repaint();
        return;
    }
    Cancel();
}

// ---- mouse

bool MenuBar::ForwardToMenus(const MouseInput& input) {
    TPoint screen{form_.GetLeft() + input.x, form_.GetTop() + input.y};
    std::vector<TPopupWindow*> open = OpenPopups();
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        auto* window = dynamic_cast<MenuWindow*>(*it);
        if (!window || !PtInRect(window->GetBoundsRect(), screen)) continue;
        MouseInput inner = input;
        inner.x = screen.X - window->GetLeft();
        inner.y = screen.Y - window->GetTop();
        ControlAccess::RouteMouse(*window, inner);
        return true;
    }
    return false;
}

bool MenuBar::Mouse(const MouseInput& input) {
    if (!menu_) return false;
    TPoint p{input.x, input.y};
    bool onBar = p.Y >= 0 && p.Y < Height() && p.X >= 0 && p.X < form_.GetWidth();
    bool dropped = dropDown_ && dropDown_->IsPopupOpen();
    switch (input.action) {
        case MouseAction::Down:
        case MouseAction::DoubleClick: {
            if (!onBar) {
                // A press elsewhere ends menu mode; an open menu closes with
                // the other pop-ups.
                if (menuMode_ && !dropped) Cancel();
                return false;
            }
            if (input.button != mbLeft) return true;
            int t = TitleAt(p);
            if (t < 0 || (dropped && t == hot_)) {
                Cancel();
                return true;
            }
            tracking_ = true;
            OpenTitle(t, false);
            TMenuItem* item = Title(t);
            pressedCommand_ = !HasVisibleItems(*item) && item->GetEnabled() ? t : -1;
            return true;
        }
        case MouseAction::Move:
            if (tracking_ && !onBar) {
                ForwardToMenus(input);
                return true;
            }
            if (onBar && dropped) {
                int t = TitleAt(p);
                if (t >= 0 && t != hot_ && HasVisibleItems(*Title(t))) OpenTitle(t, false);
                return true;
            }
            return false;
        case MouseAction::Up: {
            if (!tracking_) return false;
            tracking_ = false;
            if (!onBar) {
                ForwardToMenus(input);
                return true;
            }
            int pressed = pressedCommand_;
            pressedCommand_ = -1;
            if (pressed >= 0 && TitleAt(p) == pressed) {
                TMenuItem* item = Title(pressed);
                Cancel();
                RunLater(item);
            }
            return true;
        }
        default: return false;
    }
}

// ---- keyboard

bool MenuBar::KeyDown(TKey key, TShiftState shift) {
    if (!menu_) return false;
    if (key == VK_MENU && menuMode_) {
        // Alt leaves menu mode, and does not enter it again as it comes up.
        Application->GetLoneAlt().Spoil();
        Cancel();
        return true;
    }
    if (key == VK_MENU || !menuMode_ || (dropDown_ && dropDown_->IsPopupOpen())) return false;
    auto openOrRun = [&](int t) {
        TMenuItem* item = Title(t);
        if (!item) return;
        if (HasVisibleItems(*item)) {
            OpenTitle(t, true);
        } else if (item->GetEnabled()) {
            Cancel();
            RunLater(item);
        }
    };
    switch (key) {
        case VK_LEFT:
        case VK_RIGHT: SetHot(NextTitle(hot_, key == VK_RIGHT ? 1 : -1)); break;
        case VK_UP:
        case VK_DOWN:
        case VK_RETURN: openOrRun(hot_); break;
        case VK_ESCAPE:
        case VK_F10: Cancel(); break;
        default:
            if (!shift.Contains(ssCtrl) && ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')))
                for (int i = 0; i < TitleCount(); ++i)
                    if (AcceleratorOf(Title(i)->GetCaption()) == key) {
                        openOrRun(i);
                        break;
                    }
            break;
    }
    return true;
}

bool MenuBar::KeyUp(TKey key, TShiftState) {
    if (!menu_ || key != VK_MENU || !Application->GetLoneAlt().Released()) return false;
    EnterMenuMode();
    return menuMode_;
}

bool MenuBar::KeyPress(char) { return menuMode_; }

bool MenuBar::UnhandledKey(TKey key, TShiftState shift) {
    if (!menu_) return false;
    if (key == VK_F10 && shift.Empty()) {
        if (menuMode_)
            Cancel();
        else
            EnterMenuMode();
        return menuMode_ || TitleCount() > 0;
    }
    bool altOnly = shift.Contains(ssAlt) && !shift.Contains(ssCtrl);
    if (!altOnly || !((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))) return false;
    for (int i = 0; i < TitleCount(); ++i)
        if (Title(i)->GetEnabled() && AcceleratorOf(Title(i)->GetCaption()) == key) {
            if (HasVisibleItems(*Title(i))) {
                OpenTitle(i, true);
            } else {
                TMenuItem* item = Title(i);
                Cancel();
                RunLater(item);
            }
            return true;
        }
    return false;
}

}  // namespace thorn
