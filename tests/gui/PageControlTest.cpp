#include <gtest/gtest.h>

#include "TestControls.h"
#include "gui/PageControl.h"

namespace {

using thorn::test::AddControl;
using thorn::test::MakeForm;
using thorn::test::OnForm;
using thorn::test::Place;
using thorn::test::Swatch;
using Log = std::vector<std::string>;

// A page control with three pages, each with a focusable control on it.
class GuiPageControl : public ::testing::Test {
protected:
    GuiPageControl() {
        form = MakeForm(400, 300);
        pages = Place<TPageControl>(*form, {10, 10, 310, 210});
        for (const char* caption : {"&Players and Domains", "P&rovinces", "&Mission"}) {
            TTabSheet* sheet = thorn::Make<TTabSheet>(*form);
            sheet->SetCaption(caption);
            sheet->SetPageControl(pages);
            sheet->OnShow = [this, caption](TObject*) { log.push_back(std::string("show ") + caption); };
            sheet->OnHide = [this, caption](TObject*) { log.push_back(std::string("hide ") + caption); };
            sheets.push_back(sheet);
            Swatch* field = AddControl<Swatch>(*sheet, "Field" + std::to_string(sheets.size()), {10, 10, 60, 30});
            field->SetTabStop(true);
            fields.push_back(field);
        }
        pages->OnChanging = [this](TObject*, bool& allow) {
            log.push_back("changing");
            allow = allowChange;
        };
        pages->OnChange = [this](TObject*) { log.push_back("change"); };
        form->Show();
        log.clear();
    }
    void ClickTab(int tabIndex) {
        TRect r = pages->TabRect(tabIndex);
        TPoint p = OnForm(*pages, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
        host.Click(*form, p.X, p.Y);
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TPageControl* pages = nullptr;
    std::vector<TTabSheet*> sheets;
    std::vector<Swatch*> fields;
    Log log;
    bool allowChange = true;
};

TEST_F(GuiPageControl, AClickOnATabChangesThePageUnlessOnChangingRefuses) {
    EXPECT_EQ(pages->GetActivePage(), sheets[0]);  // the first page put on it
    EXPECT_TRUE(sheets[0]->GetVisible());
    EXPECT_FALSE(sheets[1]->GetVisible());
    EXPECT_EQ(sheets[1]->GetBoundsRect(), pages->GetDisplayRect());
    ClickTab(2);
    EXPECT_EQ(pages->GetActivePage(), sheets[2]);
    EXPECT_EQ(log, (Log{"changing", "show &Mission", "hide &Players and Domains", "change"}));
    EXPECT_TRUE(pages->Focused());
    EXPECT_TRUE(sheets[2]->GetVisible());
    EXPECT_FALSE(sheets[0]->GetVisible());

    log.clear();
    allowChange = false;
    ClickTab(1);
    EXPECT_EQ(pages->GetActivePage(), sheets[2]);
    EXPECT_EQ(log, Log{"changing"});

    // The program's own change asks nobody.
    log.clear();
    pages->SetActivePageIndex(1);
    EXPECT_EQ(pages->GetActivePage(), sheets[1]);
    EXPECT_EQ(log, (Log{"show P&rovinces", "hide &Mission"}));
    EXPECT_EQ(pages->GetTabIndex(), 1);
}

TEST_F(GuiPageControl, KeysChangeThePageAsTheUserWould) {
    fields[0]->SetFocus();
    struct Step {
        TKey key;
        TShiftState shift;
        int page;
    };
    const Step steps[] = {
        {VK_TAB, {ssCtrl}, 1},           // from a control on the page
        {VK_TAB, {ssCtrl}, 2},
        {VK_TAB, {ssCtrl}, 0},           // round the end
        {VK_TAB, {ssCtrl, ssShift}, 2},
        {VK_RIGHT, {}, 2},               // the tabs have the focus now: the last one
        {VK_LEFT, {}, 1},
        {VK_HOME, {}, 0},
        {VK_END, {}, 2},
        {'R', {ssAlt}, 1},               // the accelerator of "P&rovinces"
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "key " << step.key);
        host.PressKey(step.key, step.shift);
        EXPECT_EQ(pages->GetActivePageIndex(), step.page);
    }
    // The focus was on the page that went away: the tabs took it.
    EXPECT_TRUE(pages->Focused());
    allowChange = false;
    host.PressKey(VK_RIGHT);
    EXPECT_EQ(pages->GetActivePageIndex(), 1);
}

TEST_F(GuiPageControl, HiddenTabsAreSkippedAndAPageWithoutATabCanStillShow) {
    sheets[1]->SetTabVisible(false);
    EXPECT_EQ(sheets[1]->GetTabIndex(), -1);
    EXPECT_EQ(sheets[2]->GetTabIndex(), 1);
    ClickTab(1);
    EXPECT_EQ(pages->GetActivePage(), sheets[2]);
    pages->SelectNextPage(true);  // round to the first: the hidden one is left out
    EXPECT_EQ(pages->GetActivePage(), sheets[0]);

    // Every tab hidden: the active page stays and takes the tab row's room.
    int withTabs = pages->GetDisplayRect().Top;
    for (TTabSheet* sheet : sheets) sheet->SetTabVisible(false);
    EXPECT_EQ(pages->GetActivePage(), sheets[0]);
    EXPECT_TRUE(sheets[0]->GetVisible());
    EXPECT_EQ(pages->GetTabIndex(), -1);
    EXPECT_LT(pages->GetDisplayRect().Top, withTabs);
    EXPECT_EQ(sheets[0]->GetTop(), pages->GetDisplayRect().Top);
    pages->SetActivePage(sheets[1]);
    EXPECT_TRUE(sheets[1]->GetVisible());
}

TEST_F(GuiPageControl, TabsThatDoNotFitWrapOrScroll) {
    pages->SetWidth(200);
    for (const char* caption : {"Castles", "Armies"}) {
        TTabSheet* sheet = Place<TTabSheet>(*pages, {});
        sheet->SetCaption(caption);
        sheets.push_back(sheet);
    }
    // One row: arrows at its end scroll it, a chosen tab scrolls into sight.
    EXPECT_EQ(pages->GetRowCount(), 1);
    EXPECT_FALSE(IsRectEmpty(pages->TabRect(0)));
    pages->SetActivePage(sheets[4]);
    EXPECT_TRUE(IsRectEmpty(pages->TabRect(0)));
    EXPECT_LE(pages->TabRect(4).Right, 200 - 2 * 16);
    TPoint back = OnForm(*pages, {200 - 2 * 16 - 2 + 8, pages->TabRect(4).Bottom - 8});
    for (int i = 0; i < 5; ++i) host.Click(*form, back.X, back.Y);
    EXPECT_FALSE(IsRectEmpty(pages->TabRect(0)));

    // Several rows, each as wide as the control, the chosen tab's row next
    // to the page.
    pages->SetMultiLine(true);
    int rows = pages->GetRowCount();
    EXPECT_GE(rows, 2);
    TRect chosen = pages->TabRect(4);
    TRect first = pages->TabRect(0);
    EXPECT_GT(chosen.Top, first.Top);
    EXPECT_EQ(chosen.Bottom + 4, pages->GetDisplayRect().Top);
    EXPECT_EQ(first.Left, 2);
    ClickTab(0);
    EXPECT_EQ(pages->GetActivePage(), sheets[0]);
    EXPECT_GT(pages->TabRect(0).Top, pages->TabRect(4).Top);
    int rowRight = 0;
    for (int i = 0; i < 5; ++i)
        if (pages->TabRect(i).Top == pages->TabRect(0).Top) rowRight = std::max(rowRight, pages->TabRect(i).Right);
    EXPECT_EQ(rowRight, 200 - 2);
}

TEST_F(GuiPageControl, FreeingThePagesAndTheControlIsSafe) {
    pages->SetActivePage(sheets[1]);
    thorn::Free(sheets[1]);
    EXPECT_EQ(pages->GetPageCount(), 2);
    EXPECT_EQ(pages->GetActivePage(), sheets[2]);
    EXPECT_TRUE(sheets[2]->GetVisible());
    // A page moved to another control leaves this one.
    TPageControl* other = Place<TPageControl>(*form, {0, 220, 200, 290});
    sheets[2]->SetPageControl(other);
    EXPECT_EQ(pages->GetPageCount(), 1);
    EXPECT_EQ(other->GetActivePage(), sheets[2]);
    EXPECT_EQ(pages->GetActivePage(), sheets[0]);
    sheets[0]->SetPageIndex(0);
    thorn::ComponentRef<TTabSheet> last(sheets[0]);
    thorn::Free(pages);
    EXPECT_FALSE(last);
    EXPECT_EQ(other->GetPageCount(), 1);
}

}  // namespace
