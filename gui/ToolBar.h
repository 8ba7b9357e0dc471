#pragma once

#include <cstdint>

#include "gui/Controls.h"
#include "gui/ImageList.h"

class TToolButton;

enum TEdgeBorder : uint8_t { ebLeft, ebTop, ebRight, ebBottom };
using TEdgeBorders = thorn::EnumSet<TEdgeBorder>;

// A bar of tool buttons (TToolButton) placed left to right in the order
// they were put on it, each ButtonWidth x ButtonHeight (separators keep
// their width), hidden ones left out. With Wrapable a button that does not
// fit starts a new row; AutoSize fits the bar's height to its rows. The
// buttons draw their images from Images (HotImages under the pointer,
// DisabledImages when disabled, else Images greyed). Flat buttons rise
// under the pointer; EdgeBorders draw etched lines along the chosen sides.
class TToolBar : public TWinControl {
public:
    TToolBar();
    ~TToolBar() override;

    int GetButtonWidth() const { return buttonWidth_; }
    void SetButtonWidth(int value);
    int GetButtonHeight() const { return buttonHeight_; }
    void SetButtonHeight(int value);
    bool GetFlat() const { return flat_; }
    void SetFlat(bool value);
    bool GetShowCaptions() const { return showCaptions_; }
    void SetShowCaptions(bool value);
    bool GetWrapable() const { return wrapable_; }
    void SetWrapable(bool value);
    // Room before the first button of every row.
    int GetIndent() const { return indent_; }
    void SetIndent(int value);
    TEdgeBorders GetEdgeBorders() const { return edgeBorders_; }
    void SetEdgeBorders(TEdgeBorders value);
    TCustomImageList* GetImages() const { return images_.list.Get(); }
    void SetImages(TCustomImageList* value) { Watch(images_, value); }
    TCustomImageList* GetDisabledImages() const { return disabledImages_.list.Get(); }
    void SetDisabledImages(TCustomImageList* value) { Watch(disabledImages_, value); }
    TCustomImageList* GetHotImages() const { return hotImages_.list.Get(); }
    void SetHotImages(TCustomImageList* value) { Watch(hotImages_, value); }

    // The tool buttons on the bar, in their order.
    int GetButtonCount() const;
    TToolButton* GetButton(int index) const;
    int GetRowCount() const { return rowCount_; }

protected:
    void AlignControls(TControl* control, TRect& rect) override;
    bool RealignsOnChildBounds() const override { return true; }
    bool CanAutoSize(int& newWidth, int& newHeight) override;
    void WMNCCalcSize(TRect& rect) const override;
    void WMNCPaint(TCanvas& canvas) override;

private:
    struct WatchedImages {
        thorn::ComponentRef<TCustomImageList> list;
        TCustomImageList::Subscription subscription;
    };
    void Watch(WatchedImages& watched, TCustomImageList* list);
    // Places the buttons; answers the height their rows take.
    int LayoutButtons();

    int buttonWidth_ = 23;
    int buttonHeight_ = 22;
    bool flat_ = false;
    bool showCaptions_ = false;
    bool wrapable_ = true;
    int indent_ = 0;
    TEdgeBorders edgeBorders_{ebTop};
    WatchedImages images_;
    WatchedImages disabledImages_;
    WatchedImages hotImages_;
    int rowCount_ = 0;
    int rowsHeight_ = 0;
};
