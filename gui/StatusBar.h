#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gui/Controls.h"
#include "platform/Collections.h"

enum TStatusPanelBevel : uint8_t { pbNone, pbLowered, pbRaised };

// One field of a status bar: a text lined up in its width, inside a bevel.
class TStatusPanel : public TCollectionItem {
public:
    const std::string& GetText() const { return text_; }
    void SetText(const std::string& value);
    // The last panel reaches to the end of the bar, whatever its width.
    int GetWidth() const { return width_; }
    void SetWidth(int value);
    TAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TStatusPanelBevel GetBevel() const { return bevel_; }
    void SetBevel(TStatusPanelBevel value);

    void Assign(const TPersistent& source) override;

private:
    std::string text_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    TStatusPanelBevel bevel_ = pbLowered;
};

class TStatusBar;

// The panels of a status bar, left to right; any change shows at once.
class TStatusPanels : public TOwnedCollection {
public:
    explicit TStatusPanels(TStatusBar& bar);
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusPanel* GetItem(int index) const { return static_cast<TStatusPanel*>(TCollection::GetItem(index)); }
    TStatusPanel* operator[](int index) const { return GetItem(index); }

protected:
    void Update(TCollectionItem* item) override;

private:
    TStatusBar& bar_;
};

// The bar along the bottom of a window: its panels side by side, or with
// SimplePanel one field across the whole bar showing SimpleText. On a form
// the user can resize, SizeGrip shows the grip in the corner, which resizes
// the form when dragged.
class TStatusBar : public TWinControl {
public:
    TStatusBar();
    ~TStatusBar() override;

    TStatusPanels& Panels() { return *panels_; }
    const TStatusPanels& Panels() const { return *panels_; }
    bool GetSimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool value);
    const std::string& GetSimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& value);
    bool GetSizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool value);

    // The bevelled rectangle of panel index (client coordinates); with
    // SimplePanel, the simple field's whatever the index.
    TRect GetPanelRect(int index) const;
    // Whether the grip shows now: asked for, on a form the user can resize
    // and that is not maximised.
    bool IsGripShown() const;

protected:
    void PaintWindow(TCanvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void CMCancelMode() override;

private:
    TRect GripRect() const;
    void PaintField(TCanvas& canvas, const TRect& r, const std::string& text, TAlignment alignment,
                    TStatusPanelBevel bevel);

    std::unique_ptr<TStatusPanels> panels_;
    bool simplePanel_ = false;
    std::string simpleText_;
    bool sizeGrip_ = true;
    // a drag of the grip in progress
    bool gripping_ = false;
    TPoint gripStart_;  // screen
    TSize formStart_;
};
