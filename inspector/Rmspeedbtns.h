#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bitmap/Pix32.h"
#include "gui/BitBtn.h"
#include "gui/Controls.h"
#include "gui/ImageList.h"
#include "platform/Sets.h"

class TPopupMenu;
class TTimer;

// The library's graphic push buttons: a speed button with a glyph and a
// caption, grouped (one button of a group down), flat with hot tracking, in
// three styles (normal, combo button, menu with a drop-down arrow part); a
// timer button that repeats its click while held; and the spin button, an
// up and a down timer button stacked in a windowed control.

enum TrmButtonState : uint8_t { bsUp, bsDisabled, bsDown, bsExclusive, bsMenu };
enum TrmSpeedButtonStyle : uint8_t { sbsNormal, sbsComboButton, sbsMenu };
enum TrmTimeBtnStateMember : uint8_t { tbFocusRect, tbAllowTimer };
using TrmTimeBtnState = thorn::EnumSet<TrmTimeBtnStateMember>;

// An image list whose images keep their index: a freed slot is marked unused
// and taken again by the next image.
class TGlyphList : public TCustomImageList {
public:
    TGlyphList(int width, int height) : TCustomImageList(width, height) {}
    // Adds bitmap's first image into a free slot; answers its index.
    int AddMasked(const TBitmap32& bitmap, TColor maskColor);
    void Delete(int index);
    int GetUsedCount() const { return used_; }

private:
    std::vector<bool> inUse_;
    int used_ = 0;
};

// The glyph lists of every button glyph, one per image size.
class TGlyphCache {
public:
    // A list of that size (the last one made first), or a new one.
    TGlyphList* GetList(int width, int height);
    // Frees the list once it holds no image.
    void ReturnList(TGlyphList* list);
    bool Empty() const { return lists_.empty(); }

private:
    std::vector<std::unique_ptr<TGlyphList>> lists_;
};

// A button's glyph: the picture of up to four images side by side (up,
// disabled, down, exclusive), the image of each state built on first use,
// and the drawing of glyph and caption together.
class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    const TBitmap32& GetGlyph() const { return glyph_; }
    // Copies the bitmap. A width that is a whole multiple of the height sets
    // NumGlyphs to the images it holds (1 when more than 4).
    void SetGlyph(const TBitmap32& bitmap);
    int GetNumGlyphs() const { return numGlyphs_; }
    // 0 is ignored, above 4 is 4.
    void SetNumGlyphs(int value);
    // Drops the built images (the system colours changed).
    void Invalidate();
    // The image list index of the state's image, built when it is first
    // asked for; -1 for an empty glyph.
    int CreateButtonGlyph(TrmButtonState state);

    // Draws the glyph and the caption in client, moved by offset; answers
    // where the caption went.
    TRect Draw(TCanvas& canvas, const TRect& client, TPoint offset, const std::string& caption,
               TButtonLayout layout, int margin, int spacing, TrmButtonState state, bool transparent,
               uint32_t biDiFlags);
    // Where glyph and caption go (see Draw).
    void CalcButtonLayout(TCanvas& canvas, const TRect& client, TPoint offset, const std::string& caption,
                          TButtonLayout layout, int margin, int spacing, TPoint& glyphPos, TRect& textBounds,
                          uint32_t biDiFlags) const;

    TNotifyEvent OnChange;

private:
    void Changed();

    TBitmap32 glyph_;
    TGlyphList* list_ = nullptr;
    std::array<int, 5> indexes_;
    TColor transparentColor_ = clOlive;
    int numGlyphs_ = 1;
};

class TrmCustomSpeedButton : public TGraphicControl {
public:
    TrmCustomSpeedButton();
    ~TrmCustomSpeedButton() override;

    bool GetAllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool value);
    int GetGroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value);
    bool GetDown() const { return down_; }
    // Only a button of a group stays down; a down button of a group that
    // does not allow all up is released only by another going down.
    void SetDown(bool value);
    bool GetFlat() const { return flat_; }
    void SetFlat(bool value);
    const TBitmap32& GetGlyph() const { return glyph_->GetGlyph(); }
    void SetGlyph(const TBitmap32& value);
    TButtonLayout GetLayout() const { return layout_; }
    void SetLayout(TButtonLayout value);
    int GetMargin() const { return margin_; }
    // -1 centres glyph and caption; below -1 is ignored.
    void SetMargin(int value);
    int GetNumGlyphs() const { return glyph_->GetNumGlyphs(); }
    void SetNumGlyphs(int value);
    int GetSpacing() const { return spacing_; }
    // -1 spreads glyph and caption evenly.
    void SetSpacing(int value);
    bool GetTransparent() const { return transparent_; }
    void SetTransparent(bool value);
    TrmSpeedButtonStyle GetStyle() const { return style_; }
    void SetStyle(TrmSpeedButtonStyle value);
    int GetMenuButtonWidth() const { return menuButtonWidth_; }
    void SetMenuBtnWidth(int value);
    TPopupMenu* GetDropDownMenu() const;
    void SetDropDownMenu(TPopupMenu* value);
    // What the button shows now.
    TrmButtonState GetState() const { return state_; }
    bool IsMouseInControl() const { return mouseInControl_; }

    void Click() override;
    void Loaded() override;

    // How many speed buttons live now.
    static int LiveCount();

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void WMButtonDblClk(const TWMMouse& message) override;
    void CMEnabledChanged() override;
    void CMFontChanged() override;
    void CMTextChanged() override;
    void CMSysColorChange() override;
    void CMMouseEnter() override;
    void CMMouseLeave() override;
    bool CMDialogChar(char ch, TShiftState shift) override;
    std::unique_ptr<TBasicActionLink> CreateActionLink() override;
    // Another button of the parent went down (or changed AllowAllUp).
    virtual void CMButtonPressed(int groupIndex, TrmCustomSpeedButton* sender);
    // Tells the buttons of the group that this one changed.
    void UpdateExclusive();
    // Sets the hot state from where the pointer is now.
    void UpdateTracking();
    // The action's image, when the glyph is empty.
    void ActionImageChanged();
    void SetState(TrmButtonState value) { state_ = value; }
    bool IsDragging() const { return dragging_; }

private:
    class ActionLink;
    void GlyphChanged(TObject* sender);
    void PaintStandard();
    void PaintMenu();
    void BuildCurrentState();

    int groupIndex_ = 0;
    std::unique_ptr<TButtonGlyph> glyph_;
    bool down_ = false;
    bool dragging_ = false;
    bool allowAllUp_ = false;
    TButtonLayout layout_ = blGlyphLeft;
    int spacing_ = 4;
    bool transparent_ = true;
    int margin_ = -1;
    bool flat_ = false;
    bool mouseInControl_ = false;
    TrmSpeedButtonStyle style_ = sbsNormal;
    int menuButtonWidth_ = 11;
    bool menuPartPressed_ = false;
    thorn::ComponentRef<TPopupMenu> dropDownMenu_;
    TrmButtonState state_ = bsUp;
};

class TrmSpeedButton : public TrmCustomSpeedButton {
public:
    void PublishProperties(thorn::PropertyList& list) override;
};

// A speed button that, with tbAllowTimer, repeats its click while it is held
// down: 400 ms after the press, then every 100 ms, on one timer all timer
// buttons share. The timer runs only while the press lasts: the release, the
// loss of the mouse and the button's end stop it. With tbFocusRect it shows
// a focus rectangle.
class TrmTimerSpeedButton : public TrmSpeedButton {
public:
    ~TrmTimerSpeedButton() override;

    TrmTimeBtnState GetTimeBtnState() const { return timeBtnState_; }
    void SetTimeBtnState(TrmTimeBtnState value) { timeBtnState_ = value; }
    // The timer all timer buttons share.
    static TTimer& RepeatTimer();

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void WMCaptureChanged() override;

private:
    void TimerExpired(TObject* sender);
    // Stops the shared timer when it repeats this button's press.
    void StopRepeat();

    TrmTimeBtnState timeBtnState_;
};

// Two timer buttons stacked, the up half above the down half, clicking
// OnUpClick and OnDownClick; the spin edits hold one at their right edge.
class TrmSpinButton : public TWinControl {
public:
    TrmSpinButton();
    ~TrmSpinButton() override;

    const TBitmap32& GetUpGlyph() const { return upButton_->GetGlyph(); }
    const TBitmap32& GetDownGlyph() const { return downButton_->GetGlyph(); }
    // A bitmap of one's own, or null for the built-in arrow (drawn in the
    // button colours, and again when they change).
    void SetUpGlyph(const TBitmap32* value);
    void SetDownGlyph(const TBitmap32* value);
    int GetUpNumGlyphs() const { return upButton_->GetNumGlyphs(); }
    void SetUpNumGlyphs(int value) { upButton_->SetNumGlyphs(value); }
    int GetDownNumGlyphs() const { return downButton_->GetNumGlyphs(); }
    void SetDownNumGlyphs(int value) { downButton_->SetNumGlyphs(value); }
    bool GetUpEnabled() const { return upButton_->GetEnabled(); }
    void SetUpEnabled(bool value);
    bool GetDownEnabled() const { return downButton_->GetEnabled(); }
    void SetDownEnabled(bool value);
    // The control that takes the focus when a half is pressed.
    TWinControl* GetFocusControl() const { return focusControl_.Get(); }
    void SetFocusControl(TWinControl* value);
    TrmTimerSpeedButton* GetUpButton() const { return upButton_; }
    TrmTimerSpeedButton* GetDownButton() const { return downButton_; }
    TrmTimerSpeedButton* GetFocusedButton() const { return focusedButton_; }

    void SetEnabled(bool value) override;
    // Applies the size rule: at least 15 wide, the up half the upper
    // height / 2, the down half the rest.
    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;
    void PublishProperties(thorn::PropertyList& list) override;

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

protected:
    using TWinControl::AdjustSize;
    void AdjustSize(int& width, int& height);
    void WMSize() override;
    void WMSetFocus() override;
    void WMKillFocus() override;
    uint32_t WMGetDlgCode() override;
    void CMSysColorChange() override;
    void KeyDown(TKey& key, TShiftState shift) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    TrmTimerSpeedButton* CreateButton();
    void SetGlyphOf(TrmTimerSpeedButton* half, bool& builtIn, const TBitmap32* value);
    void ApplySizeRule();
    void BtnClick(TObject* sender);
    void BtnMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void SetFocusBtn(TrmTimerSpeedButton* button);

    TrmTimerSpeedButton* upButton_ = nullptr;
    TrmTimerSpeedButton* downButton_ = nullptr;
    TrmTimerSpeedButton* focusedButton_ = nullptr;
    thorn::ComponentRef<TWinControl> focusControl_;
    bool upEnabled_ = true;
    bool downEnabled_ = true;
    bool upDefaultGlyph_ = true;
    bool downDefaultGlyph_ = true;
};

// The built-in spin arrows: 9 x 4, a black triangle on white (rows of 1, 3,
// 5 and 7 pixels about the fifth column), pointing up or down.
void MakeSpinGlyph(bool up, TBitmap32& glyph);
