#include "gui/ColorDialog.h"

#include <algorithm>

#include "gui/Buttons.h"

namespace thorn {

namespace {

constexpr TColor kStandardColors[] = {clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal,    clGray,
                                      clSilver, clRed,   clLime,  clYellow, clBlue, clFuchsia, clAqua, clWhite};
constexpr int kColumns = 8;
constexpr int kCell = 24;
constexpr int kGap = 8;

}  // namespace

// The grid of swatches, one of them chosen.
class ColorGrid : public TCustomControl {
public:
    explicit ColorGrid(TColor color) : colors_(std::begin(kStandardColors), std::end(kStandardColors)) {
        SetControlStyle({csOpaque, csCaptureMouse, csClickEvents, csDoubleClicks});
        SetTabStop(true);
        Select(color);
    }
    void Select(TColor color) {
        auto found = std::find(colors_.begin(), colors_.end(), color);
        if (found == colors_.end()) found = colors_.insert(colors_.end(), color);
        chosen_ = static_cast<int>(found - colors_.begin());
        Invalidate();
    }
    TColor Chosen() const { return colors_[static_cast<size_t>(chosen_)]; }
    int Rows() const { return (static_cast<int>(colors_.size()) + kColumns - 1) / kColumns; }
    TRect CellRect(int index) const {
        int x = kGap + (index % kColumns) * (kCell + kGap), y = kGap + (index / kColumns) * (kCell + kGap);
        return {x, y, x + kCell, y + kCell};
    }
    TNotifyEvent OnChoose;

protected:
    uint32_t WMGetDlgCode() override { return DLGC_WANTARROWS; }
    void Paint() override {
        TCanvas& canvas = Canvas();
        canvas.FillColor(GetClientRect(), clBtnFace);
        for (size_t i = 0; i < colors_.size(); ++i) {
            TRect r = CellRect(static_cast<int>(i));
            if (static_cast<int>(i) == chosen_) {
                // Black round white, so that it shows round any colour.
                TRect frame = r;
                InflateRect(frame, 3, 3);
                canvas.FillColor(frame, clBlack);
                InflateRect(frame, -1, -1);
                canvas.FillColor(frame, clWhite);
                if (Focused()) {
                    InflateRect(frame, 3, 3);
                    canvas.DrawFocusRect(frame);
                }
            }
            canvas.FillColor(r, clGray);
            InflateRect(r, -1, -1);
            canvas.FillColor(r, colors_[i]);
        }
    }
    void KeyDown(TKey& key, TShiftState shift) override {
        TCustomControl::KeyDown(key, shift);
        int step = key == VK_LEFT ? -1 : key == VK_RIGHT ? 1 : key == VK_UP ? -kColumns : key == VK_DOWN ? kColumns : 0;
        if (step == 0) return;
        key = 0;
        int next = chosen_ + step;
        if (next >= 0 && next < static_cast<int>(colors_.size())) {
            chosen_ = next;
            Invalidate();
        }
    }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
        if (CanFocus()) SetFocus();
        for (size_t i = 0; i < colors_.size(); ++i) {
            TRect r = CellRect(static_cast<int>(i));
            InflateRect(r, kGap / 2, kGap / 2);
            if (PtInRect(r, {x, y})) {
                chosen_ = static_cast<int>(i);
                Invalidate();
            }
        }
        TCustomControl::MouseDown(button, shift, x, y);
    }
    void DblClick() override {
        TCustomControl::DblClick();
        if (OnChoose) OnChoose(this);
    }
    void WMSetFocus() override { Invalidate(); }
    void WMKillFocus() override { Invalidate(); }

private:
    std::vector<TColor> colors_;
    int chosen_ = 0;
};

ColorDialogForm::ColorDialogForm(TColor color) {
    SetWindowKind(WindowKind::Dialog);
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetCaption("Color");
    grid_ = Make<ColorGrid>(*this, color);
    grid_->OnChoose = [this](TObject*) { SetModalResult(mrOk); };
    int gridWidth = kGap + kColumns * (kCell + kGap);
    int gridHeight = kGap + grid_->Rows() * (kCell + kGap);
    grid_->SetBounds(8, 8, gridWidth, gridHeight);
    grid_->SetParent(this);
    okButton_ = Make<TButton>(*this);
    okButton_->SetCaption("OK");
    okButton_->SetDefault(true);
    okButton_->SetModalResult(mrOk);
    cancelButton_ = Make<TButton>(*this);
    cancelButton_->SetCaption("Cancel");
    cancelButton_->SetCancel(true);
    cancelButton_->SetModalResult(mrCancel);
    int buttonsTop = 8 + gridHeight + 8;
    okButton_->SetBounds(8 + gridWidth - 156, buttonsTop, 75, 23);
    cancelButton_->SetBounds(8 + gridWidth - 75, buttonsTop, 75, 23);
    okButton_->SetParent(this);
    cancelButton_->SetParent(this);
    SetClientWidth(16 + gridWidth);
    SetClientHeight(buttonsTop + 23 + 8);
    SetActiveControl(grid_);
}

ColorDialogForm::~ColorDialogForm() = default;

TColor ColorDialogForm::GetChosenColor() const { return grid_->Chosen(); }

void ColorDialogForm::Choose(TColor color) {
    grid_->Select(color);
    SetModalResult(mrOk);
}

}  // namespace thorn

bool TColorDialog::Execute() {
    auto form = std::make_unique<thorn::ColorDialogForm>(color_);
    if (RunModal(*form) != mrOk) return false;
    color_ = form->GetChosenColor();
    return true;
}
