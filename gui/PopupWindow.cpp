#include "gui/PopupWindow.h"

#include <algorithm>
#include <cstdint>

#include "gui/Application.h"
#include "gui/ControlAccess.h"

namespace {

// The open pop-ups, first opened first. Entries of pop-ups being destroyed
// read null and are dropped as they are met.
std::vector<thorn::ComponentRef<TPopupWindow>>& Stack() {
    static std::vector<thorn::ComponentRef<TPopupWindow>> stack;
    return stack;
}

void Prune() {
    std::erase_if(Stack(), [](const auto& ref) { return !ref || !ref->IsPopupOpen(); });
}

TPopupWindow* Topmost() {
    Prune();
    return Stack().empty() ? nullptr : Stack().back().Get();
}

}  // namespace

struct PopupStackAccess {
    static void MarkClosed(TPopupWindow& p) { p.open_ = false; }
    static bool KeyDown(TPopupWindow& p, TKey key, TShiftState shift) { return p.PopupKeyDown(key, shift); }
    static bool KeyUp(TPopupWindow& p, TKey key, TShiftState shift) { return p.PopupKeyUp(key, shift); }
    static bool KeyPress(TPopupWindow& p, char ch) { return p.PopupKeyPress(ch); }
};

TPopupWindow::TPopupWindow() {
    SetWindowKind(thorn::WindowKind::DropDown);
    SetBorderStyle(bsNone);
    SetColor(clWindow);
}

TPopupWindow::~TPopupWindow() = default;

void TPopupWindow::BeforeDestruction() {
    // A pop-up freed while open takes the ones opened after it along, quietly.
    if (open_) {
        std::vector<TPopupWindow*> open = thorn::OpenPopups();
        auto self = std::find(open.begin(), open.end(), this);
        for (auto it = open.end(); it != self;) {
            --it;
            if (*it != this) (*it)->ClosePopup(pcClosed);
        }
        open_ = false;
        Prune();
    }
    TCustomForm::BeforeDestruction();
}

void TPopupWindow::Popup(TControl* owner, const TRect& screenRect) {
    owner_ = owner;
    TRect r = thorn::KeepOnWorkArea(screenRect);
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
    if (!open_) {
        open_ = true;
        Stack().emplace_back(this);
    }
    Show();
    Invalidate();
}

void TPopupWindow::DropDown(TControl& owner, int width, int height) {
    TWinControl* parent = owner.GetParent();
    TPoint topLeft = parent ? parent->ClientToScreen({owner.GetLeft(), owner.GetTop()})
                            : TPoint{owner.GetLeft(), owner.GetTop()};
    int top = topLeft.Y + owner.GetHeight();
    if (Screen && top + height > Screen->GetWorkAreaRect().Bottom) top = topLeft.Y - height;
    Popup(&owner, {topLeft.X, top, topLeft.X + width, top + height});
}

TPopupWindow* TPopupWindow::GetChildPopup() const {
    std::vector<TPopupWindow*> open = thorn::OpenPopups();
    auto it = std::find(open.begin(), open.end(), this);
    return it != open.end() && it + 1 != open.end() ? *(it + 1) : nullptr;
}

void TPopupWindow::ClosePopup(TPopupCloseReason reason) {
    if (!open_) return;
    thorn::ComponentRef<TPopupWindow> self(this);
    while (TPopupWindow* child = GetChildPopup()) {
        child->ClosePopup(reason);
        if (!self) return;
    }
    if (!open_) return;
    open_ = false;
    Prune();
    Hide();
    if (self) DoClosePopup(reason);
}

void TPopupWindow::DoClosePopup(TPopupCloseReason reason) {
    if (OnClosePopup) OnClosePopup(this, reason);
}

bool TPopupWindow::PopupKeyDown(TKey key, TShiftState shift) {
    if (OnPopupKey) {
        OnPopupKey(this, key, shift);
        if (key == 0) return true;
    }
    if (key == VK_ESCAPE && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl)) {
        ClosePopup(pcEscape);
        return true;
    }
    return false;
}

bool TPopupWindow::PopupKeyUp(TKey key, TShiftState shift) {
    if (!OnPopupKeyUp) return false;
    OnPopupKeyUp(this, key, shift);
    return key == 0;
}

bool TPopupWindow::PopupKeyPress(char ch) {
    if (OnPopupChar) {
        OnPopupChar(this, ch);
        if (ch == 0) return true;
    }
    return false;
}

void TPopupWindow::RouteMouse(const thorn::MouseInput& input) {
    bool press = input.action == thorn::MouseAction::Down || input.action == thorn::MouseAction::DoubleClick;
    if (press && !PtInRect(GetClientRect(), {input.x, input.y})) {
        thorn::CloseAllPopups(pcClickOutside);
        return;
    }
    TCustomForm::RouteMouse(input);
}

namespace {

// The window whose focused control the keys of a pop-up belong to.
TCustomForm* OwnerFormOf(const TPopupWindow& popup) {
    TControl* owner = popup.GetPopupOwner();
    TCustomForm* form = owner ? owner->GetParentForm() : nullptr;
    if (!form && Screen) form = Screen->GetActiveForm();
    return form != &popup ? form : nullptr;
}

}  // namespace

void TPopupWindow::RouteKey(const thorn::KeyInput& input) {
    // Some window systems give the keyboard to the window under the pointer.
    if (TCustomForm* form = OwnerFormOf(*this))
        thorn::ControlAccess::RouteKey(*form, input);
    else if (input.action == thorn::KeyAction::Down)
        thorn::PopupsTakeKey(input.key, input.shift);
    else
        thorn::PopupsTakeKeyUp(input.key, input.shift);
}

void TPopupWindow::RouteChar(char ch) {
    if (TCustomForm* form = OwnerFormOf(*this))
        thorn::ControlAccess::RouteChar(*form, ch);
    else
        thorn::PopupsTakeChar(ch);
}

namespace thorn {

TRect KeepOnWorkArea(TRect r) {
    if (!Screen) return r;
    const TRect area = Screen->GetWorkAreaRect();
    // One axis: the size cut to the area's, then the span moved onto the
    // area. In 64 bits: a span asked for may be longer than an int holds.
    const auto fit = [](int& first, int& last, int areaFirst, int areaLast) {
        const int64_t room = std::max<int64_t>(0, int64_t{areaLast} - areaFirst);
        const int64_t size = std::clamp<int64_t>(int64_t{last} - first, 0, room);
        const int64_t start = std::clamp<int64_t>(first, areaFirst, areaFirst + room - size);
        first = static_cast<int>(start);
        last = static_cast<int>(start + size);
    };
    fit(r.Left, r.Right, area.Left, area.Right);
    fit(r.Top, r.Bottom, area.Top, area.Bottom);
    return r;
}

std::vector<TPopupWindow*> OpenPopups() {
    Prune();
    std::vector<TPopupWindow*> open;
    for (auto& ref : Stack()) open.push_back(ref.Get());
    return open;
}

void CloseAllPopups(TPopupCloseReason reason) {
    Prune();
    if (!Stack().empty()) Stack().front()->ClosePopup(reason);
    // A close handler may have opened another pop-up; it stays.
}

namespace {

// Offers an input to the topmost pop-up; true when it took it.
template <typename Offer>
bool OfferTopmost(const Offer& offer) {
    TPopupWindow* top = Topmost();
    if (!top) return false;
    bool taken = false;
    Application->Guard(top, [&] { taken = offer(*top); });
    return taken;
}

}  // namespace

bool PopupsTakeKey(TKey key, TShiftState shift) {
    return OfferTopmost([&](TPopupWindow& top) { return PopupStackAccess::KeyDown(top, key, shift); });
}

bool PopupsTakeKeyUp(TKey key, TShiftState shift) {
    return OfferTopmost([&](TPopupWindow& top) { return PopupStackAccess::KeyUp(top, key, shift); });
}

bool PopupsTakeChar(char ch) {
    return OfferTopmost([&](TPopupWindow& top) { return PopupStackAccess::KeyPress(top, ch); });
}

namespace {
ComponentRef<TCustomForm>& PressedForm() {
    static ComponentRef<TCustomForm> form;
    return form;
}
}  // namespace

bool PopupsTakePress(TCustomForm& form) {
    if (!Topmost()) return false;
    struct Pressed {
        explicit Pressed(TCustomForm& form) { PressedForm() = &form; }
        ~Pressed() { PressedForm() = nullptr; }
    } pressed(form);
    CloseAllPopups(pcClickOutside);
    return true;
}

TCustomForm* FormPressedOutsidePopups() { return PressedForm().Get(); }

namespace {
ComponentRef<TCustomForm>& KeyboardPopup() {
    static ComponentRef<TCustomForm> popup;
    return popup;
}
}  // namespace

void NotePopupKeyboard(TCustomForm& popup, bool has) {
    if (has)
        KeyboardPopup() = &popup;
    else if (KeyboardPopup().Get() == &popup)
        KeyboardPopup() = nullptr;
}

bool PopupHasKeyboard() {
    TCustomForm* popup = KeyboardPopup().Get();
    return popup && popup->IsShowing();
}

void PopupsOwnerDeactivated(TCustomForm& form) {
    for (TPopupWindow* p : OpenPopups()) {
        TControl* owner = p->GetPopupOwner();
        if (!owner || owner->GetParentForm() == &form) {
            p->ClosePopup(pcFocusLost);
            return;
        }
    }
}

}  // namespace thorn
