#include "gui/MessageBox.h"

#include <algorithm>
#include <array>
#include <memory>

#include "gui/Application.h"
#include "platform/Text.h"

namespace thorn {

namespace {

constexpr int kMargin = 11;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kMaxTextWidth = 420;
// A frame draws the caption in a bold face of its own, often a size larger
// than the box's (a quarter is allowed for), beside a window icon and up to
// three buttons (minimise, maximise, close).
constexpr int kFrameButtons = 4;
constexpr int kFrameButtonWidth = 24;
constexpr int kCaptionFurniture = kFrameButtons * kFrameButtonWidth + 2 * kMargin;

std::vector<int> ButtonsOf(uint32_t flags) {
    switch (flags & MB_TYPEMASK) {
        case MB_OKCANCEL: return {IDOK, IDCANCEL};
        case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
        case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO: return {IDYES, IDNO};
        case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
        default: return {IDOK};
    }
}

const char* CaptionOf(int id) {
    switch (id) {
        case IDOK: return "OK";
        case IDCANCEL: return "&Cancel";
        case IDABORT: return "&Abort";
        case IDRETRY: return "&Retry";
        case IDIGNORE: return "&Ignore";
        case IDYES: return "&Yes";
        case IDNO: return "&No";
        default: return "";
    }
}

void DrawIcon(TCanvas& c, uint32_t icon, int x, int y) {
    TFont& font = c.Font();
    TFont saved = font;
    font.SetName("Arial");
    font.SetStyle(fsBold);
    font.SetHeight(-24);
    c.Brush().SetStyle(bsSolid);
    c.Pen().SetColor(clBlack);
    TRect box{x, y, x + kIconSize, y + kIconSize};
    auto glyph = [&](const char* text, TColor color) {
        c.Brush().SetStyle(bsClear);
        font.SetColor(color);
        TRect r = box;
        c.DrawText(r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, text);
        c.Brush().SetStyle(bsSolid);
    };
    switch (icon) {
        case MB_ICONHAND:
            c.Brush().SetColor(clRed);
            c.Ellipse(box.Left, box.Top, box.Right, box.Bottom);
            // A white cross, three pixels thick.
            for (int i = 9; i < 23; ++i) {
                c.FillColor({x + i - 1, y + i, x + i + 2, y + i + 1}, clWhite);
                c.FillColor({x + 31 - i - 1, y + i, x + 31 - i + 2, y + i + 1}, clWhite);
            }
            break;
        case MB_ICONQUESTION:
            c.Brush().SetColor(clWhite);
            c.Ellipse(box.Left, box.Top, box.Right, box.Bottom);
            glyph("?", clBlue);
            break;
        case MB_ICONEXCLAMATION: {
            c.Brush().SetColor(clYellow);
            std::array<TPoint, 3> triangle{TPoint{x + 16, y + 1}, TPoint{x + 31, y + 30}, TPoint{x + 1, y + 30}};
            c.Polygon(triangle);
            glyph("!", clBlack);
            break;
        }
        case MB_ICONASTERISK:
            c.Brush().SetColor(clWhite);
            c.Ellipse(box.Left, box.Top, box.Right, box.Bottom);
            glyph("i", clBlue);
            break;
        default: break;
    }
    font.Assign(saved);
}

}  // namespace

TMessageForm::TMessageForm(std::string_view text, std::string_view caption, uint32_t flags)
    : text_(text), flags_(flags), ids_(ButtonsOf(flags)) {
    SetWindowKind(WindowKind::Dialog);
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetCaption(std::string(caption));

    uint32_t icon = flags & MB_ICONMASK;
    int textLeft = kMargin + (icon ? kIconSize + kMargin + 4 : 0);
    TRect measure{0, 0, kMaxTextWidth, 0};
    Canvas().Font().Assign(GetFont());
    Canvas().DrawText(measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS, text_);
    int textHeight = measure.Height();
    int textTop = kMargin + (icon && textHeight < kIconSize ? (kIconSize - textHeight) / 2 : 0);
    textRect_ = {textLeft, textTop, textLeft + measure.Width(), textTop + textHeight};

    int rowWidth = static_cast<int>(ids_.size()) * kButtonWidth + (static_cast<int>(ids_.size()) - 1) * kButtonGap;
    int contentBottom = std::max(textRect_.Bottom, icon ? kMargin + kIconSize : 0);
    int buttonsTop = contentBottom + kMargin + 4;
    // Wide enough that the frame never cuts the caption short.
    Canvas().Font().SetStyle(static_cast<TFontStyles>(GetFont().GetStyle() | fsBold));
    const int captionWidth = caption.empty() ? 0 : Canvas().TextWidth(caption) * 5 / 4 + kCaptionFurniture;
    Canvas().Font().Assign(GetFont());
    int width = std::max({textRect_.Right + kMargin, rowWidth + 2 * kMargin, captionWidth, 120});
    SetBounds(0, 0, width, buttonsTop + kButtonHeight + kMargin);

    int defaultIndex = static_cast<int>((flags & MB_DEFMASK) >> 8);
    if (defaultIndex >= static_cast<int>(ids_.size())) defaultIndex = 0;
    // Escape answers Cancel, or OK when that is the only button.
    if (HasButton(IDCANCEL))
        escapeResult_ = IDCANCEL;
    else if (ids_ == std::vector<int>{IDOK})
        escapeResult_ = IDOK;
    int x = (width - rowWidth) / 2;
    for (size_t i = 0; i < ids_.size(); ++i) {
        TButton* button = Make<TButton>(*this);
        button->SetName("Button" + std::to_string(ids_[i]));
        button->SetCaption(CaptionOf(ids_[i]));
        button->SetBounds(x, buttonsTop, kButtonWidth, kButtonHeight);
        button->SetModalResult(ids_[i]);
        button->SetDefault(static_cast<int>(i) == defaultIndex);
        button->SetCancel(ids_[i] == escapeResult_);
        button->SetParent(this);
        buttons_.push_back(button);
        x += kButtonWidth + kButtonGap;
    }
    SetActiveControl(buttons_[static_cast<size_t>(defaultIndex)]);
    // The buttons' letters reach the box before the focused button.
    SetKeyPreview(true);
}

bool TMessageForm::HasButton(int id) const { return std::find(ids_.begin(), ids_.end(), id) != ids_.end(); }

TButton* TMessageForm::GetButton(int id) const {
    for (size_t i = 0; i < ids_.size(); ++i)
        if (ids_[i] == id) return buttons_[i];
    return nullptr;
}

bool TMessageForm::CloseQuery() {
    // Closing from the frame gives mrCancel: it counts as the Escape answer,
    // and a box without one stays open.
    if (!HasButton(GetModalResult())) {
        if (!escapeResult_) return false;
        SetModalResult(escapeResult_);
    }
    return TCustomForm::CloseQuery();
}

void TMessageForm::KeyDown(TKey& key, TShiftState shift) {
    // Alt with a letter reaches the buttons already; the letter alone too.
    if (!shift.Contains(ssCtrl) && !shift.Contains(ssAlt) && key >= 'A' && key <= 'Z' &&
        CMDialogChar(static_cast<char>(key), shift)) {
        key = 0;
        return;
    }
    TCustomForm::KeyDown(key, shift);
}

void TMessageForm::Paint() {
    TCanvas& c = Canvas();
    if (uint32_t icon = flags_ & MB_ICONMASK) DrawIcon(c, icon, kMargin, kMargin);
    c.Font().Assign(GetFont());
    c.Font().SetColor(clWindowText);
    c.Brush().SetStyle(bsClear);
    TRect r = textRect_;
    c.DrawText(r, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS, text_);
    c.Brush().SetStyle(bsSolid);
}

int RunMessageBox(std::string_view text, std::string_view caption, uint32_t flags) {
    auto box = std::make_unique<TMessageForm>(text, caption, flags);
    TModalResult result = box->ShowModal();
    return box->HasButton(result) ? result : IDCANCEL;
}

}  // namespace thorn
