#include "gui/HintWindow.h"

#include "gui/Application.h"
#include "gui/PopupWindow.h"
#include "platform/Text.h"

THintWindow::THintWindow() {
    SetWindowKind(thorn::WindowKind::Popup);
    SetBorderStyle(bsNone);
    SetColor(clInfoBk);
}

TRect THintWindow::CalcHintRect(int maxWidth, std::string_view hint) {
    TRect r{0, 0, maxWidth, 0};
    Canvas().Font().Assign(GetFont());
    Canvas().DrawText(r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX, hint);
    // Room for the border and a little air around the text.
    r.Right += 6 + 2;
    r.Bottom += 2 + 2;
    return r;
}

void THintWindow::ActivateHint(const TRect& rect, std::string_view hint) {
    SetCaption(std::string(hint));
    TRect r = thorn::KeepOnWorkArea(rect);
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
    Show();
    Invalidate();
}

void THintWindow::ReleaseHandle() { Hide(); }

void THintWindow::Paint() {
    TCanvas& c = Canvas();
    TRect r = GetClientRect();
    c.Brush().SetColor(clWindowFrame);
    c.FrameRect(r);
    r = {r.Left + 1 + 2, r.Top + 1 + 1, r.Right - 1, r.Bottom - 1};
    c.Font().Assign(GetFont());
    c.Font().SetColor(clInfoText);
    c.Brush().SetStyle(bsClear);
    c.DrawText(r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK, GetCaption());
    c.Brush().SetStyle(bsSolid);
}
