#include "inspector/Rmhint.h"

#include "gui/Application.h"
#include "gui/Edges.h"
#include "platform/Text.h"

TrmHintWindow::TrmHintWindow() {
    SetColor(clInfoBk);
    Canvas().Font().Assign(GetFont());
    Canvas().Brush().SetStyle(bsClear);
}

void TrmHintWindow::ActivateHint(const TRect& rect, std::string_view text) {
    activating_ = true;
    struct Ending {
        bool& flag;
        ~Ending() { flag = false; }
    } ending{activating_};
    SetCaption(std::string(text));
    const TRect desktop = Screen ? Screen->GetWorkAreaRect() : TRect{};
    const int width = rect.Width(), height = rect.Height();
    int left = rect.Left, top = rect.Top;
    if (top + height > desktop.Bottom) top = desktop.Bottom - height;
    if (left + width > desktop.Right) left = desktop.Right - width;
    if (left < desktop.Left) left = desktop.Left;
    if (top < desktop.Top) top = desktop.Top;
    SetBounds(left, top, width, height);
    Show();
    Invalidate();
}

void TrmHintWindow::ActivateHintData(const TRect& rect, std::string_view text, void*) { ActivateHint(rect, text); }

TRect TrmHintWindow::CalcHintRect(int maxWidth, std::string_view text, void*) {
    TRect r{0, 0, maxWidth, 0};
    Canvas().DrawText(r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX, text);
    return r;
}

bool TrmHintWindow::IsHintMsg(thorn::HintMessage message) const {
    using thorn::HintMessage;
    switch (message) {
        case HintMessage::MouseMove:
        case HintMessage::Other: return false;
        default: return true;
    }
}

void TrmHintWindow::WMNCCalcSize(TRect& rect) const {
    THintWindow::WMNCCalcSize(rect);
    InflateRect(rect, -1, -1);
}

void TrmHintWindow::WMNCPaint(TCanvas& canvas) {
    THintWindow::WMNCPaint(canvas);
    TRect r{0, 0, GetWidth(), GetHeight()};
    DrawEdge(canvas, r, BDR_RAISEDOUTER, BF_RECT);
}

void TrmHintWindow::Paint() {
    TCanvas& canvas = Canvas();
    TRect r = GetClientRect();
    ++r.Left;
    canvas.Font().Assign(GetFont());
    canvas.Font().SetColor(clInfoText);
    canvas.Brush().SetStyle(bsClear);
    canvas.DrawText(r, DT_WORDBREAK | DT_NOPREFIX, GetCaption());
}
