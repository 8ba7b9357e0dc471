#include "inspector/Rmspeedbtns.h"

#include <algorithm>
#include <cctype>

#include "gui/ActnList.h"
#include "gui/Application.h"
#include "gui/Buttons.h"
#include "gui/Drawing.h"
#include "gui/Edges.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/Timers.h"
#include "inspector/Rmlibrary.h"
#include "platform/ClassRegistry.h"
#include "platform/Properties.h"
#include "platform/Text.h"

namespace {

const bool kRegistered = (RegisterClass<TrmSpeedButton>("TrmSpeedButton"),
                          RegisterClass<TrmSpinButton>("TrmSpinButton"), true);

constexpr std::string_view kLayoutNames[] = {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"};
constexpr std::string_view kStyleNames[] = {"sbsNormal", "sbsComboButton", "sbsMenu"};

int liveButtons = 0;

// The timer button whose press the shared repeat timer serves, if any.
TrmTimerSpeedButton* repeatingButton = nullptr;

// The cache of glyph lists, made by the first button glyph and freed by the
// last one that finds it empty.
std::unique_ptr<TGlyphCache> glyphCache;
int liveGlyphs = 0;

bool IsPressed(TrmButtonState state) { return state == bsDown || state == bsExclusive; }

// Makes image a copy of one image of a strip.
void Cut(const TBitmap32& strip, int index, int width, int height, TBitmap32& image) {
    image.SetSize(width, height);
    strip.DrawTo(&image, 0, 0, TRect{index * width, 0, (index + 1) * width, height});
}

}  // namespace

// ---------------------------------------------------------------- glyph lists

int TGlyphList::AddMasked(const TBitmap32& bitmap, TColor maskColor) {
    auto free = std::find(inUse_.begin(), inUse_.end(), false);
    int index;
    if (free != inUse_.end()) {
        index = static_cast<int>(free - inUse_.begin());
        ReplaceMasked(index, bitmap, maskColor);
    } else {
        index = TCustomImageList::AddMasked(bitmap, maskColor);
        inUse_.resize(static_cast<size_t>(GetCount()), false);
    }
    inUse_[static_cast<size_t>(index)] = true;
    ++used_;
    return index;
}

void TGlyphList::Delete(int index) {
    if (index < 0 || index >= static_cast<int>(inUse_.size()) || !inUse_[static_cast<size_t>(index)]) return;
    inUse_[static_cast<size_t>(index)] = false;
    --used_;
}

TGlyphList* TGlyphCache::GetList(int width, int height) {
    for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
        if ((*it)->GetWidth() == width && (*it)->GetHeight() == height) return it->get();
    lists_.push_back(std::make_unique<TGlyphList>(width, height));
    return lists_.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* list) {
    if (!list || list->GetUsedCount() > 0) return;
    std::erase_if(lists_, [list](const auto& l) { return l.get() == list; });
}

// ---------------------------------------------------------------- button glyph

TButtonGlyph::TButtonGlyph() {
    indexes_.fill(-1);
    if (liveGlyphs++ == 0 && !glyphCache) glyphCache = std::make_unique<TGlyphCache>();
}

TButtonGlyph::~TButtonGlyph() {
    Invalidate();
    if (--liveGlyphs == 0 && glyphCache && glyphCache->Empty()) glyphCache.reset();
}

void TButtonGlyph::Changed() {
    if (OnChange) OnChange(nullptr);
}

void TButtonGlyph::Invalidate() {
    for (int& index : indexes_) {
        if (index >= 0 && list_) list_->Delete(index);
        index = -1;
    }
    if (list_ && glyphCache) glyphCache->ReturnList(list_);
    list_ = nullptr;
}

void TButtonGlyph::SetGlyph(const TBitmap32& bitmap) {
    Invalidate();
    glyph_.Assign(bitmap);
    if (!glyph_.Empty()) {
        transparentColor_ = WinColor(thorn::DefaultTransparentColor(glyph_));
        if (glyph_.Width() % glyph_.Height() == 0) {
            const int images = glyph_.Width() / glyph_.Height();
            numGlyphs_ = images > 4 ? 1 : images;
        }
    }
    Changed();
}

void TButtonGlyph::SetNumGlyphs(int value) {
    if (value < 1) return;
    value = std::min(value, 4);
    if (value == numGlyphs_) return;
    Invalidate();
    numGlyphs_ = value;
    Changed();
}

int TButtonGlyph::CreateButtonGlyph(TrmButtonState state) {
    const TrmButtonState asked = state;
    if (state == bsMenu) state = bsDown;
    if (state == bsDown && numGlyphs_ < 3) state = bsUp;
    int& index = indexes_[asked];
    if (index >= 0) return index;
    if (glyph_.Empty()) return -1;
    const int width = glyph_.Width() / numGlyphs_, height = glyph_.Height();
    if (width < 1) return -1;
    if (!list_) list_ = glyphCache->GetList(width, height);
    int position = state;
    if (position >= numGlyphs_) position = 0;
    if (state == bsDisabled && numGlyphs_ < 2) {
        // Embossed from the up image: its dark pixels in the highlight colour
        // one pixel down and right, then in the shadow colour in place.
        TBitmap32 up;
        Cut(glyph_, 0, width, height, up);
        TBitmap32 disabled;
        disabled.SetSize(width, height);
        disabled.Clear(Color32(clBtnFace));
        TCanvas canvas(&disabled);
        thorn::DrawDisabledBitmap(canvas, 0, 0, up, up.BoundsRect(), thorn::DefaultTransparentColor(up));
        index = list_->AddMasked(disabled, clBtnFace);
    } else {
        TBitmap32 image;
        Cut(glyph_, position, width, height, image);
        index = list_->AddMasked(image, clDefault);
    }
    return index;
}

void TButtonGlyph::CalcButtonLayout(TCanvas& canvas, const TRect& client, TPoint offset, const std::string& caption,
                                    TButtonLayout layout, int margin, int spacing, TPoint& glyphPos,
                                    TRect& textBounds, uint32_t biDiFlags) const {
    if (biDiFlags & DT_RTLREADING) {
        if (layout == blGlyphLeft)
            layout = blGlyphRight;
        else if (layout == blGlyphRight)
            layout = blGlyphLeft;
    }
    const TPoint clientSize{client.Right - client.Left, client.Bottom - client.Top};
    TPoint glyphSize;
    if (!glyph_.Empty()) glyphSize = {glyph_.Width() / numGlyphs_, glyph_.Height()};
    TPoint textSize;
    if (!caption.empty()) {
        TRect measured{0, 0, clientSize.X, 0};
        canvas.DrawText(measured, DT_CALCRECT | DT_SINGLELINE | biDiFlags, caption);
        textSize = {measured.Right - measured.Left, measured.Bottom - measured.Top};
    }
    TPoint textPos;
    const bool across = layout == blGlyphLeft || layout == blGlyphRight;
    if (across) {
        glyphPos.Y = (clientSize.Y - glyphSize.Y + 1) / 2;
        textPos.Y = (clientSize.Y - textSize.Y + 1) / 2;
    } else {
        glyphPos.X = (clientSize.X - glyphSize.X + 1) / 2;
        textPos.X = (clientSize.X - textSize.X + 1) / 2;
    }
    if (caption.empty() || glyphSize.X == 0) spacing = 0;
    const int room = across ? clientSize.X : clientSize.Y;
    const int glyphLength = across ? glyphSize.X : glyphSize.Y;
    const int textLength = across ? textSize.X : textSize.Y;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (room - (glyphLength + textLength)) / 3;
            spacing = margin;
        } else {
            margin = (room - (glyphLength + spacing + textLength) + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (room - (margin + glyphLength) - textLength) / 2;
    }
    switch (layout) {
        case blGlyphLeft:
            glyphPos.X = margin;
            textPos.X = glyphPos.X + glyphSize.X + spacing;
            break;
        case blGlyphRight:
            glyphPos.X = clientSize.X - margin - glyphSize.X;
            textPos.X = glyphPos.X - spacing - textSize.X;
            break;
        case blGlyphTop:
            glyphPos.Y = margin;
            textPos.Y = glyphPos.Y + glyphSize.Y + spacing;
            break;
        case blGlyphBottom:
            glyphPos.Y = clientSize.Y - margin - glyphSize.Y;
            textPos.Y = glyphPos.Y - spacing - textSize.Y;
            break;
    }
    glyphPos.X += client.Left + offset.X;
    glyphPos.Y += client.Top + offset.Y;
    const int left = textPos.X + client.Left + offset.X, top = textPos.Y + client.Top + offset.Y;
    textBounds = {left, top, left + textSize.X, top + textSize.Y};
}

TRect TButtonGlyph::Draw(TCanvas& canvas, const TRect& client, TPoint offset, const std::string& caption,
                         TButtonLayout layout, int margin, int spacing, TrmButtonState state, bool transparent,
                         uint32_t biDiFlags) {
    TPoint glyphPos;
    TRect textBounds;
    CalcButtonLayout(canvas, client, offset, caption, layout, margin, spacing, glyphPos, textBounds, biDiFlags);
    const int index = CreateButtonGlyph(state);
    if (index >= 0 && list_) {
        if (!transparent)
            canvas.FillColor({glyphPos.X, glyphPos.Y, glyphPos.X + list_->GetWidth(), glyphPos.Y + list_->GetHeight()},
                             clBtnFace);
        list_->Draw(canvas, glyphPos.X, glyphPos.Y, index);
    }
    if (!caption.empty()) {
        canvas.Brush().SetStyle(bsClear);
        const uint32_t format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | biDiFlags;
        TRect r = textBounds;
        if (state == bsDisabled) {
            thorn::DrawDisabledText(canvas, r, format, caption);
        } else {
            canvas.DrawText(r, format, caption);
        }
        canvas.Brush().SetStyle(bsSolid);
    }
    return textBounds;
}

// ---------------------------------------------------------------- speed button

class TrmCustomSpeedButton::ActionLink : public TControlActionLink {
public:
    explicit ActionLink(TrmCustomSpeedButton& button) : TControlActionLink(button), button_(button) {}
    void SetImageIndex(int) override { button_.ActionImageChanged(); }

private:
    TrmCustomSpeedButton& button_;
};

TrmCustomSpeedButton::TrmCustomSpeedButton() : glyph_(std::make_unique<TButtonGlyph>()) {
    glyph_->OnChange = [this](TObject* sender) { GlyphChanged(sender); };
    SetBounds(0, 0, 23, 22);
    SetControlStyle({csCaptureMouse, csDoubleClicks});
    SetParentFont(true);
    SetColor(clBtnFace);
    ++liveButtons;
}

TrmCustomSpeedButton::~TrmCustomSpeedButton() { --liveButtons; }

int TrmCustomSpeedButton::LiveCount() { return liveButtons; }

void TrmCustomSpeedButton::GlyphChanged(TObject*) { Invalidate(); }

std::unique_ptr<TBasicActionLink> TrmCustomSpeedButton::CreateActionLink() {
    return std::make_unique<ActionLink>(*this);
}

void TrmCustomSpeedButton::ActionImageChanged() {
    auto* action = dynamic_cast<TCustomAction*>(GetAction());
    if (!action || !glyph_->GetGlyph().Empty() || !action->GetActionList()) return;
    TCustomImageList* images = action->GetActionList()->GetImages();
    const int index = action->GetImageIndex();
    if (!images || index < 0 || index >= images->GetCount()) return;
    TBitmap32 picture;
    picture.SetSize(images->GetWidth(), images->GetHeight());
    picture.Clear(Color32(clFuchsia));
    TCanvas canvas(&picture);
    images->Draw(canvas, 0, 0, index);
    SetGlyph(picture);
}

void TrmCustomSpeedButton::SetAllowAllUp(bool value) {
    if (style_ == sbsComboButton || style_ == sbsMenu) value = false;
    if (value != allowAllUp_) {
        allowAllUp_ = value;
        UpdateExclusive();
    }
}

void TrmCustomSpeedButton::SetGroupIndex(int value) {
    if (style_ == sbsComboButton || style_ == sbsMenu) value = 0;
    if (value != groupIndex_) {
        groupIndex_ = value;
        UpdateExclusive();
    }
}

void TrmCustomSpeedButton::SetDown(bool value) {
    if (groupIndex_ == 0 || style_ == sbsMenu) value = false;
    if (value == down_) return;
    if (down_ && !allowAllUp_) return;
    down_ = value;
    if (value) {
        if (state_ == bsUp) Invalidate();
        state_ = bsExclusive;
        UpdateExclusive();
    } else {
        state_ = bsUp;
        Repaint();
    }
}

void TrmCustomSpeedButton::SetFlat(bool value) {
    if (style_ == sbsComboButton) value = false;
    if (value == flat_) return;
    flat_ = value;
    Invalidate();
}

void TrmCustomSpeedButton::SetTransparent(bool value) {
    if (style_ == sbsComboButton) value = false;
    if (value == transparent_) return;
    transparent_ = value;
    TControlStyle style = GetControlStyle();
    if (value)
        style.Exclude(csOpaque);
    else
        style.Include(csOpaque);
    SetControlStyle(style);
    Invalidate();
}

void TrmCustomSpeedButton::SetStyle(TrmSpeedButtonStyle value) {
    if (value == style_) return;
    style_ = value;
    if (value == sbsMenu || value == sbsComboButton) {
        groupIndex_ = 0;
        down_ = false;
        allowAllUp_ = false;
        UpdateExclusive();
    }
    if (value == sbsComboButton) {
        flat_ = false;
        SetTransparent(false);
    }
    Invalidate();
}

void TrmCustomSpeedButton::SetGlyph(const TBitmap32& value) {
    glyph_->SetGlyph(value);
    Invalidate();
}

void TrmCustomSpeedButton::SetLayout(TButtonLayout value) {
    if (value == layout_) return;
    layout_ = value;
    Invalidate();
}

void TrmCustomSpeedButton::SetMargin(int value) {
    if (value < -1 || value == margin_) return;
    margin_ = value;
    Invalidate();
}

void TrmCustomSpeedButton::SetNumGlyphs(int value) {
    glyph_->SetNumGlyphs(value);
    Invalidate();
}

void TrmCustomSpeedButton::SetSpacing(int value) {
    if (value == spacing_) return;
    spacing_ = value;
    Invalidate();
}

void TrmCustomSpeedButton::SetMenuBtnWidth(int value) {
    if (value == menuButtonWidth_) return;
    menuButtonWidth_ = value;
    Invalidate();
}

TPopupMenu* TrmCustomSpeedButton::GetDropDownMenu() const { return dropDownMenu_.Get(); }

void TrmCustomSpeedButton::SetDropDownMenu(TPopupMenu* value) { dropDownMenu_ = value; }

void TrmCustomSpeedButton::UpdateExclusive() {
    if (groupIndex_ == 0 || !GetParent()) return;
    TWinControl* parent = GetParent();
    for (int i = 0; i < parent->GetControlCount(); ++i)
        if (auto* button = dynamic_cast<TrmCustomSpeedButton*>(parent->GetControl(i)))
            button->CMButtonPressed(groupIndex_, this);
}

void TrmCustomSpeedButton::CMButtonPressed(int groupIndex, TrmCustomSpeedButton* sender) {
    if (groupIndex != groupIndex_ || sender == this) return;
    if (sender->down_ && down_) {
        down_ = false;
        state_ = bsUp;
        Invalidate();
    }
    allowAllUp_ = sender->allowAllUp_;
}

void TrmCustomSpeedButton::BuildCurrentState() { glyph_->CreateButtonGlyph(GetEnabled() ? bsUp : bsDisabled); }

void TrmCustomSpeedButton::Loaded() {
    TGraphicControl::Loaded();
    BuildCurrentState();
}

void TrmCustomSpeedButton::CMEnabledChanged() {
    BuildCurrentState();
    UpdateTracking();
    Repaint();
}

void TrmCustomSpeedButton::CMFontChanged() { Invalidate(); }

void TrmCustomSpeedButton::CMTextChanged() { Invalidate(); }

void TrmCustomSpeedButton::CMSysColorChange() {
    glyph_->Invalidate();
    BuildCurrentState();
    Invalidate();
}

void TrmCustomSpeedButton::CMMouseEnter() {
    thorn::ComponentRef<TrmCustomSpeedButton> self(this);
    TGraphicControl::CMMouseEnter();
    if (!self) return;
    const bool captureElsewhere = Application && Application->GetCaptureControl() &&
                                  Application->GetCaptureControl() != this;
    if (flat_ && !mouseInControl_ && GetEnabled() && !captureElsewhere) {
        mouseInControl_ = true;
        Repaint();
    }
}

void TrmCustomSpeedButton::CMMouseLeave() {
    thorn::ComponentRef<TrmCustomSpeedButton> self(this);
    TGraphicControl::CMMouseLeave();
    if (!self) return;
    if (flat_ && mouseInControl_ && GetEnabled() && !dragging_) {
        mouseInControl_ = false;
        Repaint();
    }
}

void TrmCustomSpeedButton::UpdateTracking() {
    if (!flat_ || !GetEnabled()) return;
    TControl* under = nullptr;
    if (TCustomForm* form = GetParentForm(); form && Screen)
        under = form->ControlAtPos(form->ScreenToClient(Screen->GetCursorPos()), false, true, true);
    const bool over = under == this;
    if (over && !mouseInControl_) {
        mouseInControl_ = true;
        Repaint();
    } else if (!over && mouseInControl_ && !dragging_) {
        mouseInControl_ = false;
        Repaint();
    }
}

bool TrmCustomSpeedButton::CMDialogChar(char ch, TShiftState shift) {
    const char accelerator = AcceleratorOf(GetCaption());
    const bool matches = accelerator && accelerator == std::toupper(static_cast<unsigned char>(ch));
    if (matches && GetEnabled() && GetVisible() && GetParent() && GetParent()->IsShowing()) {
        Click();
        return true;
    }
    return TGraphicControl::CMDialogChar(ch, shift);
}

void TrmCustomSpeedButton::WMButtonDblClk(const TWMMouse& message) {
    thorn::ComponentRef<TrmCustomSpeedButton> self(this);
    TGraphicControl::WMButtonDblClk(message);
    if (self && down_) DblClick();
}

void TrmCustomSpeedButton::Click() { TGraphicControl::Click(); }

void TrmCustomSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TrmCustomSpeedButton> self(this);
    TGraphicControl::MouseDown(button, shift, x, y);
    if (!self || button != mbLeft || !GetEnabled()) return;
    if (style_ != sbsMenu) {
        if (!down_) {
            state_ = bsDown;
            Invalidate();
        }
    } else {
        if (x >= GetWidth() - menuButtonWidth_) {
            state_ = bsMenu;
            menuPartPressed_ = true;
        } else {
            state_ = bsDown;
        }
        Invalidate();
    }
    dragging_ = true;
}

void TrmCustomSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    thorn::ComponentRef<TrmCustomSpeedButton> self(this);
    TGraphicControl::MouseMove(shift, x, y);
    if (!self) return;
    if (dragging_) {
        TrmButtonState state;
        if (style_ != sbsMenu) {
            const bool inside = x >= 0 && x < GetClientWidth() && y >= 0 && y <= GetClientHeight();
            state = inside ? (down_ ? bsExclusive : bsDown) : (down_ ? bsExclusive : bsUp);
        } else {
            const bool inside = x >= 0 && x < GetClientWidth() && y >= 0 && y < GetClientHeight();
            const bool onArrow = x >= GetWidth() - menuButtonWidth_;
            if (!inside)
                state = bsUp;
            else if (menuPartPressed_)
                state = onArrow ? bsMenu : bsUp;
            else
                state = bsDown;
        }
        if (state != state_) {
            state_ = state;
            Invalidate();
        }
    } else if (!mouseInControl_) {
        UpdateTracking();
    }
}

void TrmCustomSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TrmCustomSpeedButton> self(this);
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!self || !dragging_) return;
    dragging_ = false;
    bool doClick;
    if (style_ == sbsMenu) {
        const bool inside = x >= 0 && x < GetClientWidth() && y >= 0 && y < GetClientHeight();
        const bool onArrow = inside && x >= GetWidth() - menuButtonWidth_;
        doClick = inside && !menuPartPressed_;
        bool opened = false;
        if (onArrow && menuPartPressed_ && dropDownMenu_) {
            const TPoint at = ClientToScreen({0, GetHeight()});
            dropDownMenu_->Popup(at.X, at.Y);
            opened = true;
        }
        if (!self) return;
        state_ = bsUp;
        menuPartPressed_ = false;
        mouseInControl_ = false;
        if (doClick || opened) Invalidate();
    } else {
        doClick = x >= 0 && x < GetClientWidth() && y >= 0 && y <= GetClientHeight();
        if (groupIndex_ == 0) {
            const TrmButtonState before = state_;
            state_ = bsUp;
            mouseInControl_ = false;
            if (doClick || before != state_) Invalidate();
        } else if (doClick) {
            SetDown(!down_);
            if (down_) Repaint();
        } else {
            if (down_) state_ = bsExclusive;
            Repaint();
        }
    }
    if (doClick) Click();
    if (self) UpdateTracking();
}

void TrmCustomSpeedButton::Paint() {
    switch (style_) {
        case sbsNormal:
        case sbsComboButton: PaintStandard(); break;
        case sbsMenu: PaintMenu(); break;
        default: throw Exception("Unknown button style.");
    }
}

void TrmCustomSpeedButton::PaintStandard() {
    if (!GetEnabled()) {
        state_ = bsDisabled;
        dragging_ = false;
    } else if (state_ == bsDisabled) {
        state_ = down_ && groupIndex_ != 0 ? bsExclusive : bsUp;
    }
    TCanvas& canvas = Canvas();
    canvas.Font().Assign(GetFont());
    TRect paintRect = GetClientRect();
    const bool pressed = IsPressed(state_);
    if (flat_) {
        const bool designing = GetComponentState().Contains(csDesigning);
        if (pressed || (mouseInControl_ && state_ != bsDisabled) || designing) {
            TRect edge = paintRect;
            DrawEdge(canvas, edge, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        }
        InflateRect(paintRect, -1, -1);
    } else if (style_ == sbsComboButton) {
        if (pressed) {
            Frame3D(canvas, paintRect, clBtnShadow, clBtnShadow, 1);
        } else {
            Frame3D(canvas, paintRect, clBtnFace, cl3DDkShadow, 1);
            Frame3D(canvas, paintRect, clBtnHighlight, clBtnShadow, 1);
        }
        canvas.FillColor(paintRect, clBtnFace);
    } else {
        DrawFrameControl(canvas, paintRect, DFC_BUTTON,
                         DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
    }
    TPoint offset;
    if (pressed)
        offset = style_ == sbsComboButton ? TPoint{0, 0} : TPoint{1, 1};
    else if (style_ == sbsComboButton)
        offset = {-1, -1};
    if (state_ == bsExclusive && (!flat_ || !mouseInControl_))
        thorn::FillDithered(canvas, paintRect, clBtnFace, clBtnHighlight);
    glyph_->Draw(canvas, paintRect, offset, GetCaption(), layout_, margin_, spacing_, state_, flat_, 0);
}

void TrmCustomSpeedButton::PaintMenu() {
    if (!GetEnabled())
        state_ = bsDisabled;
    else if (state_ == bsDisabled)
        state_ = bsUp;
    TCanvas& canvas = Canvas();
    canvas.Font().Assign(GetFont());
    const int width = GetWidth(), height = GetHeight();
    TRect mainRect{0, 0, width - menuButtonWidth_, height};
    TRect arrowRect{width - menuButtonWidth_, 0, width, height};
    const bool pressed = state_ == bsDown || state_ == bsMenu;
    if (flat_) {
        const bool designing = GetComponentState().Contains(csDesigning);
        if (pressed || (mouseInControl_ && state_ != bsDisabled) || designing) {
            TRect r = mainRect;
            DrawEdge(canvas, r, state_ == bsDown ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
            r = arrowRect;
            DrawEdge(canvas, r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        } else if (!transparent_) {
            canvas.FillColor(mainRect, GetColor());
            canvas.FillColor(arrowRect, GetColor());
        }
    } else {
        TRect r = mainRect;
        DrawFrameControl(canvas, r, DFC_BUTTON, DFCS_BUTTONPUSH | (state_ == bsDown ? DFCS_PUSHED : 0));
        r = arrowRect;
        DrawFrameControl(canvas, r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    }
    const TPoint offset = state_ == bsDown ? TPoint{1, 1} : TPoint{0, 0};

    // The arrow: the symbol font's "6" as tall as its part is wide.
    TRect arrow = arrowRect;
    InflateRect(arrow, -1, -1);
    const TFont saved = canvas.Font();
    canvas.Font().SetName("Marlett");
    canvas.Font().SetHeight(arrow.Width());
    canvas.Font().SetStyle(0);
    canvas.Font().SetColor(clBtnText);
    if (pressed) {
        ++arrow.Bottom;
        if (flat_) OffsetRect(arrow, 1, 0);
    } else if (!flat_) {
        --arrow.Left;
    }
    canvas.Brush().SetStyle(bsClear);
    constexpr uint32_t kArrowFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (state_ == bsDisabled)
        DrawGrayText(canvas, "6", arrow, kArrowFormat);
    else
        canvas.DrawText(arrow, kArrowFormat, "6");
    canvas.Brush().SetStyle(bsSolid);
    canvas.Font().Assign(saved);

    // Glyph and caption go through a picture of the main part whose
    // background, a key colour, is left out when it is drawn.
    if (mainRect.Width() <= 0 || height <= 0) return;
    TBitmap32 part;
    part.SetSize(mainRect.Width(), height);
    const TColor key = static_cast<TColor>((ColorToRGB(canvas.Brush().GetColor()) + 0x010101u) & 0xFFFFFFu);
    part.Clear(Color32(key));
    TCanvas partCanvas(&part);
    partCanvas.Font().Assign(canvas.Font());
    glyph_->Draw(partCanvas, part.BoundsRect(), offset, GetCaption(), layout_, margin_, spacing_, state_,
                 transparent_, 0);
    thorn::DrawTransparentBitmap(canvas, 1, 1, part, Color32(key));
}

void TrmSpeedButton::PublishProperties(thorn::PropertyList& list) {
    TrmCustomSpeedButton::PublishProperties(list);
    list.Boolean("AllowAllUp", [this] { return GetAllowAllUp(); }, [this](bool v) { SetAllowAllUp(v); }, false);
    list.Integer("GroupIndex", [this] { return GetGroupIndex(); }, [this](int32_t v) { SetGroupIndex(v); }, 0);
    list.Boolean("Down", [this] { return GetDown(); }, [this](bool v) { SetDown(v); }, false);
    list.String("Caption", [this] { return GetCaption(); }, [this](const std::string& v) { SetCaption(v); });
    list.Boolean("Enabled", [this] { return GetEnabled(); }, [this](bool v) { SetEnabled(v); }, true);
    list.Boolean("Flat", [this] { return GetFlat(); }, [this](bool v) { SetFlat(v); }, false);
    list.Enumeration<TButtonLayout>("Layout", [this] { return GetLayout(); },
                                    [this](TButtonLayout v) { SetLayout(v); }, kLayoutNames, blGlyphLeft);
    list.Integer("Margin", [this] { return GetMargin(); }, [this](int32_t v) { SetMargin(v); }, -1);
    list.Integer("MenuButtonWidth", [this] { return GetMenuButtonWidth(); }, [this](int32_t v) { SetMenuBtnWidth(v); },
                 11);
    list.Integer("NumGlyphs", [this] { return GetNumGlyphs(); }, [this](int32_t v) { SetNumGlyphs(v); }, 1);
    list.Integer("Spacing", [this] { return GetSpacing(); }, [this](int32_t v) { SetSpacing(v); }, 4);
    list.Enumeration<TrmSpeedButtonStyle>("Style", [this] { return GetStyle(); },
                                          [this](TrmSpeedButtonStyle v) { SetStyle(v); }, kStyleNames, sbsNormal);
    list.Boolean("Transparent", [this] { return GetTransparent(); }, [this](bool v) { SetTransparent(v); }, true);
    list.Boolean("Visible", [this] { return GetVisible(); }, [this](bool v) { SetVisible(v); }, true);
}

// ---------------------------------------------------------------- timer button

TTimer& TrmTimerSpeedButton::RepeatTimer() {
    static TTimer timer;
    return timer;
}

TrmTimerSpeedButton::~TrmTimerSpeedButton() { StopRepeat(); }

void TrmTimerSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TrmTimerSpeedButton> self(this);
    TrmSpeedButton::MouseDown(button, shift, x, y);
    if (!self || !timeBtnState_.Contains(tbAllowTimer)) return;
    repeatingButton = this;
    TTimer& timer = RepeatTimer();
    timer.SetOnTimer([self](TObject* sender) {
        if (self) self->TimerExpired(sender);
    });
    timer.SetInterval(400);
    timer.SetEnabled(true);
}

void TrmTimerSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TrmTimerSpeedButton> self(this);
    TrmSpeedButton::MouseUp(button, shift, x, y);
    if (self) StopRepeat();
}

void TrmTimerSpeedButton::WMCaptureChanged() {
    // The press ended without a release here (a box came up, the window
    // lost the keyboard, the button is going): nothing is held any more.
    TrmSpeedButton::WMCaptureChanged();
    StopRepeat();
}

void TrmTimerSpeedButton::StopRepeat() {
    if (repeatingButton != this) return;
    repeatingButton = nullptr;
    TTimer& timer = RepeatTimer();
    timer.SetEnabled(false);
    timer.SetOnTimer(nullptr);
}

void TrmTimerSpeedButton::TimerExpired(TObject*) {
    if (!GetMouseCapture()) {
        StopRepeat();
        return;
    }
    TTimer& timer = RepeatTimer();
    timer.SetInterval(100);
    if (GetState() != bsDown) return;
    try {
        Click();
    } catch (...) {
        timer.SetEnabled(false);
        throw;
    }
}

void TrmTimerSpeedButton::Paint() {
    TrmSpeedButton::Paint();
    if (!timeBtnState_.Contains(tbFocusRect)) return;
    TRect r = GetClientRect();
    InflateRect(r, -3, -3);
    if (GetState() == bsDown) OffsetRect(r, 1, 1);
    Canvas().DrawFocusRect(r);
}

// ---------------------------------------------------------------- spin button

void MakeSpinGlyph(bool up, TBitmap32& glyph) {
    glyph.SetSize(9, 4);
    glyph.Clear(0xFFFFFFFFu);
    for (int row = 0; row < 4; ++row) {
        const int half = up ? row : 3 - row;
        for (int x = 4 - half; x <= 4 + half; ++x) glyph.SetPixel(x, row, 0xFF000000u);
    }
}

TrmSpinButton::TrmSpinButton() {
    TControlStyle style = GetControlStyle();
    style.Exclude(csAcceptsControls);
    style.Exclude(csSetCaption);
    style.Include(csOpaque);
    SetControlStyle(style);
    upButton_ = CreateButton();
    downButton_ = CreateButton();
    SetUpGlyph(nullptr);
    SetDownGlyph(nullptr);
    SetBounds(GetLeft(), GetTop(), 20, 2);
    focusedButton_ = upButton_;
}

TrmSpinButton::~TrmSpinButton() = default;

TrmTimerSpeedButton* TrmSpinButton::CreateButton() {
    auto* button = thorn::Make<TrmTimerSpeedButton>(*this);
    button->OnClick = [this](TObject* sender) { BtnClick(sender); };
    button->OnMouseDown = [this](TObject* sender, TMouseButton b, TShiftState s, int x, int y) {
        BtnMouseDown(sender, b, s, x, y);
    };
    button->SetVisible(true);
    button->SetEnabled(true);
    button->SetTimeBtnState({tbAllowTimer});
    button->SetParent(this);
    button->SetStyle(sbsComboButton);
    button->SetLayout(blGlyphTop);
    return button;
}

void TrmSpinButton::SetGlyphOf(TrmTimerSpeedButton* half, bool& builtIn, const TBitmap32* value) {
    builtIn = value == nullptr;
    if (value) {
        half->SetGlyph(*value);
        return;
    }
    TBitmap32 glyph;
    MakeSpinGlyph(half == upButton_, glyph);
    ReplaceColors(glyph, clBtnFace, clBtnText);
    half->SetGlyph(glyph);
}

void TrmSpinButton::SetUpGlyph(const TBitmap32* value) { SetGlyphOf(upButton_, upDefaultGlyph_, value); }

void TrmSpinButton::SetDownGlyph(const TBitmap32* value) { SetGlyphOf(downButton_, downDefaultGlyph_, value); }

void TrmSpinButton::SetUpEnabled(bool value) {
    upEnabled_ = value;
    upButton_->SetEnabled(GetEnabled() && value);
}

void TrmSpinButton::SetDownEnabled(bool value) {
    downEnabled_ = value;
    downButton_->SetEnabled(GetEnabled() && value);
}

void TrmSpinButton::SetEnabled(bool value) {
    upButton_->SetEnabled(upEnabled_ && value);
    downButton_->SetEnabled(downEnabled_ && value);
    TWinControl::SetEnabled(value);
}

void TrmSpinButton::SetFocusControl(TWinControl* value) {
    focusControl_ = value;
    if (value) value->FreeNotification(this);
}

void TrmSpinButton::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == opRemove && component == focusControl_.Get()) focusControl_.Reset();
}

void TrmSpinButton::AdjustSize(int& width, int& height) {
    if (!upButton_ || GetComponentState().Contains(csLoading)) return;
    width = std::max(width, 15);
    upButton_->SetBounds(0, 0, width, height / 2);
    downButton_->SetBounds(0, upButton_->GetHeight(), width, height / 2 + height % 2);
}

void TrmSpinButton::SetBounds(int left, int top, int width, int height) {
    AdjustSize(width, height);
    TWinControl::SetBounds(left, top, width, height);
}

void TrmSpinButton::ApplySizeRule() {
    int width = GetWidth(), height = GetHeight();
    AdjustSize(width, height);
    if (width != GetWidth() || height != GetHeight()) TWinControl::SetBounds(GetLeft(), GetTop(), width, height);
}

void TrmSpinButton::WMSize() {
    TWinControl::WMSize();
    ApplySizeRule();
}

void TrmSpinButton::Loaded() {
    TWinControl::Loaded();
    ApplySizeRule();
}

void TrmSpinButton::BtnClick(TObject* sender) {
    if (sender == upButton_) {
        if (OnUpClick) OnUpClick(this);
    } else if (OnDownClick) {
        OnDownClick(this);
    }
}

void TrmSpinButton::BtnMouseDown(TObject* sender, TMouseButton button, TShiftState, int, int) {
    if (button != mbLeft) return;
    SetFocusBtn(static_cast<TrmTimerSpeedButton*>(sender));
    TWinControl* focus = focusControl_.Get();
    if (focus && focus->GetTabStop() && focus->CanFocus() && !focus->Focused())
        focus->SetFocus();
    else if (GetTabStop() && CanFocus() && !Focused())
        SetFocus();
}

namespace {

void ShowFocusRect(TrmTimerSpeedButton& button, bool show) {
    TrmTimeBtnState state = button.GetTimeBtnState();
    if (show)
        state.Include(tbFocusRect);
    else
        state.Exclude(tbFocusRect);
    button.SetTimeBtnState(state);
    button.Invalidate();
}

}  // namespace

void TrmSpinButton::SetFocusBtn(TrmTimerSpeedButton* button) {
    if (!GetTabStop() || !CanFocus() || button == focusedButton_) return;
    ShowFocusRect(*focusedButton_, false);
    focusedButton_ = button;
    if (Focused()) ShowFocusRect(*button, true);
}

void TrmSpinButton::WMSetFocus() {
    TWinControl::WMSetFocus();
    ShowFocusRect(*focusedButton_, true);
}

void TrmSpinButton::WMKillFocus() {
    TWinControl::WMKillFocus();
    ShowFocusRect(*focusedButton_, false);
}

uint32_t TrmSpinButton::WMGetDlgCode() { return DLGC_WANTARROWS; }

void TrmSpinButton::CMSysColorChange() {
    if (upDefaultGlyph_) SetUpGlyph(nullptr);
    if (downDefaultGlyph_) SetDownGlyph(nullptr);
    TWinControl::CMSysColorChange();
}

void TrmSpinButton::KeyDown(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TrmSpinButton> self(this);
    TWinControl::KeyDown(key, shift);
    if (!self) return;
    switch (key) {
        case VK_SPACE: focusedButton_->Click(); break;
        case VK_UP:
            SetFocusBtn(upButton_);
            upButton_->Click();
            break;
        case VK_DOWN:
            SetFocusBtn(downButton_);
            downButton_->Click();
            break;
        default: break;
    }
}

void TrmSpinButton::PublishProperties(thorn::PropertyList& list) {
    TWinControl::PublishProperties(list);
    list.Integer("DownNumGlyphs", [this] { return GetDownNumGlyphs(); }, [this](int32_t v) { SetDownNumGlyphs(v); },
                 1);
    list.Boolean("DownEnabled", [this] { return GetDownEnabled(); }, [this](bool v) { SetDownEnabled(v); }, true);
    list.Boolean("Enabled", [this] { return GetEnabled(); }, [this](bool v) { SetEnabled(v); }, true);
    list.Integer("UpNumGlyphs", [this] { return GetUpNumGlyphs(); }, [this](int32_t v) { SetUpNumGlyphs(v); }, 1);
    list.Boolean("UpEnabled", [this] { return GetUpEnabled(); }, [this](bool v) { SetUpEnabled(v); }, true);
}
