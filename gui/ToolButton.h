#pragma once

#include <cstdint>

#include "gui/Controls.h"

class TToolBar;

enum TToolButtonStyle : uint8_t { tbsButton, tbsCheck, tbsSeparator, tbsDivider };

// A button of a tool bar, which places it and sizes it: an image of the
// bar's image list (and its caption when the bar shows captions). A flat
// bar's buttons rise under the pointer. A check button (tbsCheck) stays
// down after a click and comes up at the next; Grouped check buttons next
// to each other form a group where one is down at a time (and, without
// AllowAllUp, a click on the down one leaves it down). Down shows pressed
// whatever the style. Tied to an action, the button follows its caption,
// hint, enabled, visible, image and checked (as Down) state. Separators and
// dividers keep their own width and only space the buttons.
class TToolButton : public TGraphicControl {
public:
    TToolButton();

    TToolButtonStyle GetStyle() const { return style_; }
    void SetStyle(TToolButtonStyle value);
    bool GetDown() const { return down_; }
    // A grouped check button that goes down lets the others of its group up.
    void SetDown(bool value);
    bool GetGrouped() const { return grouped_; }
    void SetGrouped(bool value) { grouped_ = value; }
    bool GetAllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool value) { allowAllUp_ = value; }
    int GetImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    // The bar starts a new row after this button.
    bool GetWrap() const { return wrap_; }
    void SetWrap(bool value);
    TToolBar* GetToolBar() const;
    // Position among the bar's buttons, -1 off a bar.
    int GetIndex() const;
    bool IsSeparator() const { return style_ == tbsSeparator || style_ == tbsDivider; }

protected:
    void Paint() override;
    void Click() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void CMMouseEnter() override;
    void CMMouseLeave() override;
    void CMCancelMode() override;
    bool CMHitTest(int x, int y) override { return !IsSeparator(); }
    std::unique_ptr<TBasicActionLink> CreateActionLink() override;

private:
    void SetPressed(bool value);
    void PaintSeparator(TCanvas& canvas);

    TToolButtonStyle style_ = tbsButton;
    bool down_ = false;
    bool grouped_ = false;
    bool allowAllUp_ = false;
    int imageIndex_ = -1;
    bool wrap_ = false;
    bool hot_ = false;
    bool pressed_ = false;   // held with the pointer on it
    bool tracking_ = false;  // held
};
