#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/Application.h"
#include "gui/Edit.h"
#include "gui/Forms.h"
#include "gui/headless/HeadlessHost.h"

class TCustomTreeView;

namespace thorn::test {

// One run of the table: a fresh application whose main window stands aside,
// and a second form on a work area of 800 x 600 with the control under test
// made on it and a plain edit at (10, 250) to take the keyboard and the mouse
// elsewhere. The event's handler frees the control or its form; the run then
// goes on as a user would, and nothing may touch what was freed.
class FreeKit {
public:
    enum class Victim { control, form };

    explicit FreeKit(Victim victim);
    ~FreeKit();
    FreeKit(const FreeKit&) = delete;
    FreeKit& operator=(const FreeKit&) = delete;

    HeadlessHost& Host() const { return session_.Host(); }
    TForm& Form() const { return *form_.Get(); }
    TEdit& Bystander() const { return *bystander_.Get(); }

    // Shows the form with the control made on it; the handler frees this
    // control (or its form).
    void Ready(TComponent& control);
    // What every handler of the table runs: counts the call and frees what
    // the run frees, once.
    void Fire();
    int Fired() const { return fired_; }
    bool VictimGone() const { return !victim_; }
    // Time passes (timers, waiting changes, repeats) and the application
    // goes on taking input.
    void Settle();

    // ---- the mouse, at a point of a control's client area
    void Click(TControl& c, TPoint p, TMouseButton button = mbLeft, TShiftState shift = {});
    void Click(TControl& c) { Click(c, Centre(c)); }
    void DoubleClick(TControl& c, TPoint p);
    // A press that is held.
    void Press(TControl& c, TPoint p, TMouseButton button = mbLeft);
    void MoveTo(TControl& c, TPoint p);
    void Drag(TControl& c, TPoint from, TPoint to);
    void Wheel(TControl& c, TPoint p, int delta);
    // The pointer goes to an empty part of the form.
    void MoveAway();
    static TPoint Centre(const TControl& c) { return {c.GetWidth() / 2, c.GetHeight() / 2}; }

    // ---- the keyboard, to the active form
    void Focus(TWinControl& c);
    // Focuses c, then presses the keys one after the other.
    void Focus(TWinControl& c, std::initializer_list<TKey> keys);
    void Key(TKey key, TShiftState shift = {});
    void Type(std::string_view text);

    // The form is painted again.
    void Paint();

private:
    HeadlessApplication session_;
    Victim victimKind_;
    ComponentRef<TForm> form_;
    ComponentRef<TEdit> bystander_;
    ComponentRef<TComponent> victim_;
    int fired_ = 0;
};

// One event of a control: how the table's handler is set on it and the input
// that fires it.
struct EventCase {
    std::string event;
    std::function<void(FreeKit&, TComponent&)> hook;
    std::function<void(FreeKit&, TComponent&)> fire;
    // Whether the made control fires it at all; always when not set.
    std::function<bool(TComponent&)> applies = {};
};

// What the common events of every control (mouse, keyboard, focus) need to
// know of one kind: where the mouse finds the control itself, and whether it
// takes the keyboard.
struct Traits {
    // The point of the client area the mouse uses; the centre when not set.
    std::function<TPoint(TControl&)> spot = {};
    bool keyboard = true;
    // Components that are no controls, and controls the user does not reach
    // with the mouse, take none of the mouse's events.
    bool mouse = true;
    // Common events the kind answers itself instead of firing them, each
    // with the reason.
    std::vector<std::string> without = {};
};

// One row per kind of control: how it is made (placed on the kit's form, the
// component the handler frees), its own events and the common ones.
struct ControlRow {
    std::string control;
    std::function<TComponent*(FreeKit&)> make;
    std::vector<EventCase> events;
    Traits traits = {};
};

// A handler of any event signature that runs kit.Fire and answers the
// signature's default.
template <typename F>
struct Freeing;
template <typename R, typename... Args>
struct Freeing<std::function<R(Args...)>> {
    static std::function<R(Args...)> Handler(FreeKit& kit) {
        return [&kit](Args...) -> R {
            kit.Fire();
            return R();
        };
    }
};

// The case of event (a member of C or of its base) of the control kind C,
// fired by fire.
template <typename C, typename Base, typename F>
EventCase On(std::string name, F Base::*event, std::function<void(FreeKit&, C&)> fire) {
    return {std::move(name),
            [event](FreeKit& kit, TComponent& c) { dynamic_cast<C&>(c).*event = Freeing<F>::Handler(kit); },
            [fire = std::move(fire)](FreeKit& kit, TComponent& c) { fire(kit, dynamic_cast<C&>(c)); }};
}

// The case of event fired by the change the program makes once prepare is
// done: the handler is set in between, so that what prepare fires of the
// same event (a drop-down measuring its rows, a click choosing a node) frees
// nothing.
template <typename C, typename Base, typename F>
EventCase OnChangeAfter(std::string name, F Base::*event, std::function<void(FreeKit&, C&)> prepare,
                        std::function<void(FreeKit&, C&)> change) {
    return {std::move(name), [](FreeKit&, TComponent&) {},
            [event, prepare = std::move(prepare), change = std::move(change)](FreeKit& kit, TComponent& c) {
                auto& control = dynamic_cast<C&>(c);
                prepare(kit, control);
                control.*event = Freeing<F>::Handler(kit);
                change(kit, control);
            }};
}

// Makes a C owned by the kit's form, its child, at (left, top) with the
// size given.
template <typename C>
std::function<TComponent*(FreeKit&)> Placed(int left, int top, int width, int height) {
    return [=](FreeKit& kit) -> TComponent* {
        auto* c = thorn::Make<C>(kit.Form());
        c->SetParent(&kit.Form());
        c->SetBounds(left, top, width, height);
        return c;
    };
}

// Points the rows share, in client coordinates: the label of a tree's
// visible row, and the halves of a spin edit's buttons.
TPoint RowOfTree(const TCustomTreeView& tree, int row);
TPoint UpHalf(const TControl& spinEdit);
TPoint DownHalf(const TControl& spinEdit);

// The rows of each library.
std::vector<ControlRow> KitRows();
std::vector<ControlRow> BitmapRows();
std::vector<ControlRow> InspectorRows();
std::vector<ControlRow> ControlsRows();

// The events of a row: its own, then the common ones it does not name
// itself (the mouse's for every control, the keyboard's and the focus's for
// one that takes the keyboard).
std::vector<EventCase> EventsOf(const ControlRow& row);

}  // namespace thorn::test
