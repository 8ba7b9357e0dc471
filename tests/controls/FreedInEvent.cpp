#include "FreedInEvent.h"

#include <algorithm>

#include "gui/TreeView.h"

namespace thorn::test {

FreeKit::FreeKit(Victim victim) : victimKind_(victim) {
    Host().SetWorkArea({0, 0, 800, 600});
    // The program's main window, so that the form under test closes as a
    // second window does.
    TForm* main = Application->CreateForm<TForm>();
    main->SetBounds(500, 400, 200, 100);
    form_ = Application->CreateForm<TForm>();
    form_->SetBounds(100, 100, 420, 320);
    bystander_ = thorn::Make<TEdit>(*form_.Get());
    bystander_->SetParent(form_.Get());
    bystander_->SetBounds(10, 250, 120, 21);
}

FreeKit::~FreeKit() = default;

void FreeKit::Ready(TComponent& control) {
    victim_ = victimKind_ == Victim::form ? static_cast<TComponent*>(form_.Get()) : &control;
    form_->Show();
    bystander_->SetFocus();
    Application->ProcessMessages();
}

void FreeKit::Fire() {
    ++fired_;
    thorn::Free(victim_.Get());
}

void FreeKit::Settle() {
    Host().Advance(2000);
    Application->ProcessMessages();
    // What is left of the form still answers the user.
    if (form_ && bystander_) {
        Host().Click(*form_.Get(), 20, 260);
        Host().TypeText("x");
        Host().PressKey(VK_TAB);
    }
    Host().Advance(2000);
}

namespace {

TCustomForm& FormOf(const TControl& c) {
    TCustomForm* form = c.GetParentForm();
    if (!form) throw std::logic_error("the control is on no form");
    return *form;
}

TPoint OnForm(const TControl& c, TPoint p) { return c.ClientToParent(p, &FormOf(c)); }

}  // namespace

void FreeKit::Click(TControl& c, TPoint p, TMouseButton button, TShiftState shift) {
    const TPoint at = OnForm(c, p);
    Host().Click(FormOf(c), at.X, at.Y, button, shift);
}

void FreeKit::DoubleClick(TControl& c, TPoint p) {
    const TPoint at = OnForm(c, p);
    Host().DoubleClick(FormOf(c), at.X, at.Y);
}

void FreeKit::Press(TControl& c, TPoint p, TMouseButton button) {
    const TPoint at = OnForm(c, p);
    TCustomForm& form = FormOf(c);
    Host().MouseMove(form, at.X, at.Y);
    Host().MouseDown(form, at.X, at.Y, button);
}

void FreeKit::MoveTo(TControl& c, TPoint p) {
    const TPoint at = OnForm(c, p);
    ComponentRef<TCustomForm> form(&FormOf(c));
    Host().MouseMove(*form.Get(), at.X, at.Y);
    if (form) Host().MouseMove(*form.Get(), at.X + 1, at.Y);
}

void FreeKit::Drag(TControl& c, TPoint from, TPoint to) {
    const TPoint a = OnForm(c, from), b = OnForm(c, to);
    Host().Drag(FormOf(c), a, b);
}

void FreeKit::Wheel(TControl& c, TPoint p, int delta) {
    const TPoint at = OnForm(c, p);
    TCustomForm& form = FormOf(c);
    Host().MouseMove(form, at.X, at.Y);
    Host().Wheel(form, at.X, at.Y, delta);
}

void FreeKit::MoveAway() {
    if (form_) Host().MouseMove(*form_.Get(), 300, 280);
}

void FreeKit::Focus(TWinControl& c) {
    c.SetFocus();
    Application->ProcessMessages();
}

// Once the form is freed no window takes the keyboard: the rest of a key's
// messages have nowhere to go.
void FreeKit::Focus(TWinControl& c, std::initializer_list<TKey> keys) {
    Focus(c);
    for (TKey key : keys) Key(key);
}

void FreeKit::Key(TKey key, TShiftState shift) {
    Host().KeyDown(key, shift);
    if (form_) Host().KeyUp(key, shift);
}

void FreeKit::Type(std::string_view text) {
    for (char ch : text) {
        if (!form_) return;
        const auto key = static_cast<TKey>(std::toupper(static_cast<unsigned char>(ch)));
        Host().KeyDown(key);
        if (form_) Host().TypeText(std::string_view(&ch, 1));
        if (form_) Host().KeyUp(key);
    }
}

void FreeKit::Paint() {
    if (form_) form_->Invalidate();
    Application->ProcessMessages();
}

TPoint RowOfTree(const TCustomTreeView& tree, int row) {
    TTreeNode* node = tree.GetItems()->GetFirstNode();
    for (int i = 0; i < row && node; ++i) node = node->GetNextVisible();
    const TRect r = node->DisplayRect(true);
    return {r.Left + 4, (r.Top + r.Bottom) / 2};
}

TPoint UpHalf(const TControl& spinEdit) { return {spinEdit.GetClientWidth() - 6, 3}; }

TPoint DownHalf(const TControl& spinEdit) { return {spinEdit.GetClientWidth() - 6, spinEdit.GetClientHeight() - 4}; }

// ---------------------------------------------------------------- common events

namespace {

bool HasStyle(TComponent& c, TControlStyleMember flag) {
    return dynamic_cast<TControl&>(c).GetControlStyle().Contains(flag);
}

std::vector<EventCase> CommonEvents(const Traits& traits) {
    if (!traits.mouse) return {};
    const auto spotOf = [spot = traits.spot](TControl& c) { return spot ? spot(c) : FreeKit::Centre(c); };
    using Fire = std::function<void(FreeKit&, TControl&)>;
    using Key = std::function<void(FreeKit&, TWinControl&)>;
    std::vector<EventCase> all = {
        On<TControl>("OnMouseDown", &TControl::OnMouseDown, Fire([=](FreeKit& k, TControl& c) { k.Click(c, spotOf(c)); })),
        On<TControl>("OnMouseUp", &TControl::OnMouseUp, Fire([=](FreeKit& k, TControl& c) { k.Click(c, spotOf(c)); })),
        On<TControl>("OnClick", &TControl::OnClick, Fire([=](FreeKit& k, TControl& c) { k.Click(c, spotOf(c)); })),
        On<TControl>("OnDblClick", &TControl::OnDblClick,
                     Fire([=](FreeKit& k, TControl& c) { k.DoubleClick(c, spotOf(c)); })),
    };
    all[2].applies = [](TComponent& c) { return HasStyle(c, csClickEvents); };
    all[3].applies = [](TComponent& c) { return HasStyle(c, csClickEvents) && HasStyle(c, csDoubleClicks); };
    const std::vector<EventCase> more = {
        On<TControl>("OnMouseMove", &TControl::OnMouseMove, Fire([=](FreeKit& k, TControl& c) { k.MoveTo(c, spotOf(c)); })),
        On<TControl>("OnMouseEnter", &TControl::OnMouseEnter, Fire([=](FreeKit& k, TControl& c) {
                         // A form is entered on the way.
                         ComponentRef<TControl> alive(&c);
                         k.MoveAway();
                         if (alive) k.MoveTo(c, spotOf(c));
                     })),
        On<TControl>("OnMouseLeave", &TControl::OnMouseLeave, Fire([=](FreeKit& k, TControl& c) {
                         k.MoveTo(c, spotOf(c));
                         k.MoveAway();
                     })),
        On<TControl>("OnMouseWheel", &TControl::OnMouseWheel,
                     Fire([=](FreeKit& k, TControl& c) { k.Wheel(c, spotOf(c), -120); })),
        On<TControl>("OnContextPopup", &TControl::OnContextPopup,
                     Fire([=](FreeKit& k, TControl& c) { k.Click(c, spotOf(c), mbRight); })),
        On<TControl>("OnResize", &TControl::OnResize, Fire([](FreeKit& k, TControl& c) {
                         c.SetAnchors({akLeft, akTop, akRight, akBottom});
                         k.Host().ResizeWindow(k.Form(), 460, 300);
                     })),
        On<TControl>("OnCanResize", &TControl::OnCanResize, Fire([](FreeKit& k, TControl& c) {
                         c.SetAnchors({akLeft, akTop, akRight, akBottom});
                         k.Host().ResizeWindow(k.Form(), 460, 300);
                     })),
    };
    all.insert(all.end(), more.begin(), more.end());
    // The application's hint follows the pointer: its handler frees the
    // control the pointer came to.
    all.push_back({"Application.OnHint",
                   [](FreeKit& k, TComponent&) { Application->OnHint = Freeing<TNotifyEvent>::Handler(k); },
                   [=](FreeKit& k, TComponent& c) {
                       auto& control = dynamic_cast<TControl&>(c);
                       control.SetHint("Tip");
                       k.MoveTo(control, spotOf(control));
                   }});
    if (traits.keyboard) {
        const std::vector<EventCase> keyboard = {
            On<TWinControl>("OnEnter", &TWinControl::OnEnter,
                            Key([=](FreeKit& k, TWinControl& c) { k.Click(c, spotOf(c)); })),
            On<TWinControl>("OnExit", &TWinControl::OnExit, Key([](FreeKit& k, TWinControl& c) {
                                k.Focus(c);
                                k.Click(k.Bystander());
                            })),
            // The program takes the focused control out of use.
            On<TWinControl>("OnExit on SetEnabled(false)", &TWinControl::OnExit, Key([](FreeKit& k, TWinControl& c) {
                                k.Focus(c);
                                c.SetEnabled(false);
                            })),
            On<TWinControl>("OnExit on SetVisible(false)", &TWinControl::OnExit, Key([](FreeKit& k, TWinControl& c) {
                                k.Focus(c);
                                c.SetVisible(false);
                            })),
            On<TWinControl>("OnKeyDown", &TWinControl::OnKeyDown, Key([](FreeKit& k, TWinControl& c) { k.Focus(c, {VK_F5}); })),
            On<TWinControl>("OnKeyUp", &TWinControl::OnKeyUp, Key([](FreeKit& k, TWinControl& c) { k.Focus(c, {VK_F5}); })),
            On<TWinControl>("OnKeyPress", &TWinControl::OnKeyPress, Key([](FreeKit& k, TWinControl& c) {
                                k.Focus(c);
                                k.Type("1");
                            })),
        };
        all.insert(all.end(), keyboard.begin(), keyboard.end());
    }
    // A case goes with its event ("OnExit on SetEnabled(false)" with OnExit).
    std::erase_if(all, [&](const EventCase& e) {
        const std::string event = e.event.substr(0, e.event.find(' '));
        return std::find(traits.without.begin(), traits.without.end(), event) != traits.without.end();
    });
    return all;
}

}  // namespace

std::vector<EventCase> EventsOf(const ControlRow& row) {
    // A case is named after its event, then the input when a row has more
    // than one for it ("OnChange on Up").
    const auto eventOf = [](const std::string& name) { return name.substr(0, name.find(' ')); };
    std::vector<EventCase> all = row.events;
    for (EventCase& common : CommonEvents(row.traits))
        if (std::none_of(all.begin(), all.end(), [&](const EventCase& e) { return eventOf(e.event) == common.event; }))
            all.push_back(std::move(common));
    return all;
}

}  // namespace thorn::test
