#pragma once

#include <string>

#include "inspector/Rmbaseedit.h"

class TrmSpeedButton;
class TBitmap32;

// An edit with up to two small buttons inside its right edge (the text stays
// left of them: the formatting rectangle is narrowed). The grid's long-text
// rows edit through it, the ellipsis button opening the text dialog.
//
// The text the edit has when it takes the focus is kept: Escape goes back to
// it. Ctrl+Enter clicks the first button, Ctrl+Shift+Enter the second; like
// a multi-line edit, it takes Enter and Escape itself. With EditorEnabled
// off (or ReadOnly on), nothing is pasted or cut.
class TrmCustomBtnEdit : public TrmCustomEdit {
public:
    TrmCustomBtnEdit();
    ~TrmCustomBtnEdit() override;

    TrmSpeedButton* Btn1() const { return btn1_; }
    TrmSpeedButton* Btn2() const { return btn2_; }
    // Btn1 for 1, Btn2 for 2, else null.
    TrmSpeedButton* GetButton(int number) const;

    bool GetEditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool value) { editorEnabled_ = value; }
    int GetBtnWidth() const { return btnWidth_; }
    void SetBtnWidth(int value);
    bool GetBtn1Visible() const;
    void SetBtn1Visible(bool value);
    // As set; the second button shows only beside a visible first one.
    bool GetBtn2Visible() const { return btn2Visible_; }
    void SetBtn2Visible(bool value);
    // As set; a button is enabled when this is set and the edit is enabled.
    bool GetBtn1Enabled() const { return btn1Enabled_; }
    void SetBtn1Enabled(bool value);
    bool GetBtn2Enabled() const { return btn2Enabled_; }
    void SetBtn2Enabled(bool value);
    const TBitmap32& GetBtn1Glyph() const;
    const TBitmap32& GetBtn2Glyph() const;
    // A glyph of the button's own, or null for none: the button then shows
    // the built-in ellipsis while UseDefaultGlyphs is on, nothing otherwise.
    void SetBtn1Glyph(const TBitmap32* value);
    void SetBtn2Glyph(const TBitmap32* value);
    int GetBtn1NumGlyphs() const;
    void SetBtn1NumGlyphs(int value);
    int GetBtn2NumGlyphs() const;
    void SetBtn2NumGlyphs(int value);
    bool GetUseDefaultGlyphs() const { return useDefaultGlyphs_; }
    void SetUseDefaultGlyphs(bool value);
    // Gives the buttons without a glyph of their own the built-in one again.
    void ResetDefaultGlyphs();

    void SetEnabled(bool value) override;
    // Keeps the text as the restore text, then focuses the edit.
    void SetFocus() override;

    TNotifyEvent OnBtn1Click;
    TNotifyEvent OnBtn2Click;

protected:
    // Focuses the edit, then raises the clicked button's event.
    virtual void BtnClick(TObject* sender);
    // Narrows the formatting rectangle to the left of the shown buttons.
    void SetEditRect();
    uint32_t WMGetDlgCode() override;
    void WMSize() override;
    void WMSetFocus() override;
    void WMCut() override;
    void WMPaste() override;
    void CMSysColorChange() override;
    void KeyDown(TKey& key, TShiftState shift) override;
    void KeyPress(char& key) override;

private:
    TrmSpeedButton* MakeButton(bool visible);
    void PlaceButtons();
    void SetGlyphOf(TrmSpeedButton* button, bool& defaultGlyph, const TBitmap32* value);

    std::string restoreText_;
    TrmSpeedButton* btn1_ = nullptr;
    TrmSpeedButton* btn2_ = nullptr;
    bool editorEnabled_ = true;
    int btnWidth_ = 16;
    bool btn2Visible_ = false;
    bool btn1Enabled_ = true;
    bool btn2Enabled_ = true;
    bool btn1DefaultGlyph_ = true;
    bool btn2DefaultGlyph_ = true;
    bool useDefaultGlyphs_ = true;
};

class TrmBtnEdit : public TrmCustomBtnEdit {
public:
    void PublishProperties(thorn::PropertyList& list) override;
};

// The built-in glyph of the buttons: three dots, black on white, 10 x 4.
void MakeEllipsisGlyph(TBitmap32& glyph);
