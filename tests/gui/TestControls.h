#pragma once

#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/headless/HeadlessHost.h"

namespace thorn::test {

// A windowed control that fills itself with its colour, counts its paints
// and writes every event it gets into a shared log as "<name> <event>".
class Swatch : public TCustomControl {
public:
    explicit Swatch(std::vector<std::string>* log = nullptr) : log_(log) {}
    int paints = 0;
    TRect lastClip;

    void Note(const std::string& what) {
        if (log_) log_->push_back(GetName() + " " + what);
    }

protected:
    void Paint() override {
        ++paints;
        lastClip = Canvas().GetClipRect();
        Canvas().FillColor(GetClientRect(), GetColor());
    }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
        Note("down " + std::to_string(x) + "," + std::to_string(y) + (s.Contains(ssDouble) ? " double" : ""));
        TCustomControl::MouseDown(b, s, x, y);
    }
    void MouseMove(TShiftState s, int x, int y) override {
        Note("move " + std::to_string(x) + "," + std::to_string(y));
        TCustomControl::MouseMove(s, x, y);
    }
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override {
        Note("up " + std::to_string(x) + "," + std::to_string(y));
        TCustomControl::MouseUp(b, s, x, y);
    }
    void Click() override {
        Note("click");
        TCustomControl::Click();
    }
    void DblClick() override {
        Note("dblclick");
        TCustomControl::DblClick();
    }
    void CMMouseEnter() override {
        Note("enter");
        TCustomControl::CMMouseEnter();
    }
    void CMMouseLeave() override {
        Note("leave");
        TCustomControl::CMMouseLeave();
    }
    void DoEnter() override {
        Note("focus-enter");
        TCustomControl::DoEnter();
    }
    void DoExit() override {
        Note("focus-exit");
        TCustomControl::DoExit();
    }
    void KeyDown(TKey& key, TShiftState s) override {
        Note("keydown " + std::to_string(key));
        TCustomControl::KeyDown(key, s);
    }
    void KeyPress(char& key) override {
        bool printable = static_cast<unsigned char>(key) >= ' ';
        Note(std::string("keypress ") + (printable ? std::string(1, key) : std::to_string(key)));
        TCustomControl::KeyPress(key);
    }

private:
    std::vector<std::string>* log_;
};

// A form with a fixed place on the screen.
inline TForm* MakeForm(int width = 200, int height = 150) {
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(100, 100, width, height);
    return form;
}

template <typename T>
T* AddControl(TWinControl& parent, const std::string& name, TRect bounds, std::vector<std::string>* log = nullptr) {
    T* control = thorn::Make<T>(*parent.GetParentForm(), log);
    control->SetName(name);
    control->SetBoundsRect(bounds);
    control->SetParent(&parent);
    return control;
}

// A control of type T owned by the form, placed on parent.
template <typename T>
T* Place(TWinControl& parent, TRect bounds) {
    T* control = thorn::Make<T>(*parent.GetParentForm());
    control->SetParent(&parent);
    control->SetBoundsRect(bounds);
    return control;
}

// Where a point of a control's client area lies on its form.
inline TPoint OnForm(const TControl& control, TPoint client) {
    return control.ClientToParent(client, control.GetParentForm());
}

}  // namespace thorn::test
