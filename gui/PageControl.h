#pragma once

#include <functional>
#include <vector>

#include "gui/Controls.h"

class TPageControl;

using TTabChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;

// A page of a page control, filling the area below the tabs; only the
// active page shows. Its tab shows its Caption ("&" marks the accelerator)
// unless TabVisible is off; a page without a tab can still be made active
// by the program.
class TTabSheet : public TWinControl {
public:
    TTabSheet();
    ~TTabSheet() override;
    void BeforeDestruction() override;

    TPageControl* GetPageControl() const { return pageControl_.Get(); }
    // The page control is the page's parent: either puts it there.
    void SetPageControl(TPageControl* value);
    void SetParent(TWinControl* parent) override;
    // Position among the page control's pages, -1 on none.
    int GetPageIndex() const;
    void SetPageIndex(int value);
    bool GetTabVisible() const { return tabVisible_; }
    void SetTabVisible(bool value);
    // Position among the shown tabs, -1 without a tab.
    int GetTabIndex() const;

    // The page was made the active one, or stopped being it.
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    void CMTextChanged() override;

private:
    friend class TPageControl;
    thorn::ComponentRef<TPageControl> pageControl_;
    bool tabVisible_ = true;
};

// Pages (TTabSheet) behind a row of tabs, or several rows (MultiLine). A
// click on a tab, the arrow keys on the focused control, Ctrl+Tab and
// Ctrl+Shift+Tab inside it, and Alt with a tab's accelerator, change the
// page: OnChanging may refuse, OnChange follows. The program's own changes
// (SetActivePage) run neither. A single row too long for the control
// scrolls with the two arrow buttons at its end. HotTrack lights the tab
// under the pointer.
class TPageControl : public TCustomControl {
public:
    TPageControl();
    ~TPageControl() override;

    int GetPageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* GetPage(int index) const;
    TTabSheet* GetActivePage() const { return active_.Get(); }
    // A page of another control is ignored.
    void SetActivePage(TTabSheet* page);
    int GetActivePageIndex() const;
    void SetActivePageIndex(int value);
    // The active page's position among the shown tabs, -1 when it has none.
    int GetTabIndex() const;
    bool GetMultiLine() const { return multiLine_; }
    void SetMultiLine(bool value);
    bool GetHotTrack() const { return hotTrack_; }
    void SetHotTrack(bool value);
    int GetRowCount() const;

    // The page after (or before) current, round the end; with
    // checkTabVisible only pages with a tab count. Null when none.
    TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
    // Changes the page as the user does, asking OnChanging first.
    void SelectNextPage(bool goForward, bool checkTabVisible = true);

    // The rectangle of shown tab tabIndex (client coordinates), empty when
    // it is scrolled out of sight.
    TRect TabRect(int tabIndex) const;
    // The shown tab at a point, -1 for none.
    int IndexOfTabAt(int x, int y) const;
    // Where the pages go.
    TRect GetDisplayRect() const;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;

protected:
    virtual bool CanChange();
    virtual void Change();
    void Paint() override;
    void AdjustClientRect(TRect& rect) override;
    // The hidden pages take the display area too, so what is put on them is
    // laid out for the size it will show at.
    void AlignControls(TControl* control, TRect& rect) override;
    uint32_t WMGetDlgCode() override { return DLGC_WANTARROWS; }
    void KeyDown(TKey& key, TShiftState shift) override;
    bool CMDialogKey(TKey key, TShiftState shift) override;
    bool CMDialogChar(char ch, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void CMMouseLeave() override;
    void CMFontChanged() override;

private:
    friend class TTabSheet;
    struct Layout;
    Layout Measure() const;
    std::vector<TTabSheet*> ShownTabs() const;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void MovePage(TTabSheet* page, int index);
    void PagesChanged();
    void ChangeActivePage(TTabSheet* page);
    // The user's change: OnChanging, the change, OnChange.
    void SelectByUser(TTabSheet* page);
    void ScrollTabIntoView();
    static bool LastTabShown(const Layout& layout);
    void PaintTab(TCanvas& canvas, TRect r, const TTabSheet& page, bool selected, bool hot);

    std::vector<TTabSheet*> pages_;
    thorn::ComponentRef<TTabSheet> active_;
    bool multiLine_ = false;
    bool hotTrack_ = false;
    int firstTab_ = 0;  // the first shown tab of a scrolled single row
    int hotTab_ = -1;
};
