#include <gtest/gtest.h>

#include "TestControls.h"
#include "gui/PageControl.h"
#include "gui/ProgressBar.h"
#include "gui/ScrollBox.h"
#include "gui/SizeConstraints.h"
#include "gui/Splitter.h"
#include "gui/StatusBar.h"
#include "gui/ToolBar.h"
#include "gui/ToolButton.h"
#include "gui/TrackBar.h"

namespace {

using thorn::test::AddControl;
using thorn::test::MakeForm;
using thorn::test::Place;
using thorn::test::Swatch;

class GuiLayout : public ::testing::Test {
protected:
    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
};

TEST_F(GuiLayout, AnchoredControlsKeepTheirPlaceThroughAnySequenceOfResizes) {
    TForm* form = MakeForm(400, 300);
    Swatch* parent = AddControl<Swatch>(*form, "Parent", {0, 0, 300, 200});
    struct Case {
        const char* name;
        TAnchors anchors;
        TRect designed;  // in the parent at 300 x 200
        TRect wider;     // at 400 x 250
    };
    const Case cases[] = {
        {"left top", {akLeft, akTop}, {10, 10, 50, 30}, {10, 10, 50, 30}},
        {"right", {akRight, akTop}, {200, 10, 280, 30}, {300, 10, 380, 30}},
        {"left right", {akLeft, akTop, akRight}, {10, 50, 290, 70}, {10, 50, 390, 70}},
        {"top bottom", {akLeft, akTop, akBottom}, {10, 10, 50, 190}, {10, 10, 50, 240}},
        {"right bottom", {akRight, akBottom}, {250, 150, 290, 190}, {350, 200, 390, 240}},
        {"none: centre in proportion", {}, {100, 80, 200, 120}, {150, 105, 250, 145}},
    };
    std::vector<Swatch*> children;
    for (const Case& c : cases) {
        Swatch* child = AddControl<Swatch>(*parent, "", c.designed);
        child->SetAnchors(c.anchors);
        children.push_back(child);
    }
    parent->SetBounds(0, 0, 400, 250);
    for (size_t i = 0; i < children.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(children[i]->GetBoundsRect(), cases[i].wider);
    }
    // Squeezed below the children's sizes and back: every one is where it was
    // designed, not where the squeeze's clamped sizes would have put it.
    parent->SetBounds(0, 0, 10, 10);
    parent->SetBounds(0, 0, 300, 200);
    for (size_t i = 0; i < children.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(children[i]->GetBoundsRect(), cases[i].designed);
    }
    // A control the program moves is anchored from its new place.
    children[1]->SetLeft(100);
    parent->SetBounds(0, 0, 350, 200);
    EXPECT_EQ(children[1]->GetLeft(), 150);
}

TEST_F(GuiLayout, ConstraintsHoldWhoeverSizesTheControl) {
    TForm* form = MakeForm(400, 300);
    Swatch* side = AddControl<Swatch>(*form, "Side", {0, 0, 100, 10});
    side->Constraints().SetMinWidth(60);
    side->Constraints().SetMaxWidth(150);
    side->SetAlign(alLeft);
    Swatch* client = AddControl<Swatch>(*form, "Client", {0, 0, 10, 10});
    client->SetAlign(alClient);
    client->Constraints().SetMaxHeight(200);
    side->SetWidth(20);
    EXPECT_EQ(side->GetWidth(), 60);
    side->SetWidth(500);
    EXPECT_EQ(side->GetWidth(), 150);
    EXPECT_EQ(client->GetBoundsRect(), (TRect{150, 0, 400, 200}));
    // A minimum above the maximum raises it; a new limit applies at once.
    side->Constraints().SetMinWidth(180);
    EXPECT_EQ(side->Constraints().GetMaxWidth(), 180);
    EXPECT_EQ(side->GetWidth(), 180);
    EXPECT_EQ(client->GetLeft(), 180);
}

// The editor's main window as its controls lay it out: tool bar at the top,
// status bar at the bottom, the pages at the left beside a splitter, and a
// scroll box filling the rest; on a page, controls anchored to its sides.
TEST_F(GuiLayout, TheMainWindowFollowsTheUsersResizesAndKeepsItsLimits) {
    TForm* form = MakeForm(671, 580);
    form->Constraints().SetMinWidth(400);
    form->Constraints().SetMinHeight(300);
    TToolBar* bar = Place<TToolBar>(*form, {0, 0, 100, 29});
    for (int i = 0; i < 6; ++i) Place<TToolButton>(*bar, {});
    TStatusBar* status = Place<TStatusBar>(*form, {0, 0, 100, 19});
    for (int width : {50, 50, 470, 50}) status->Panels().Add()->SetWidth(width);
    TPageControl* pages = Place<TPageControl>(*form, {0, 0, 233, 10});
    pages->SetAlign(alLeft);
    TTabSheet* sheet = Place<TTabSheet>(*pages, {});
    sheet->SetCaption("Players and Domains");
    TSplitter* splitter = Place<TSplitter>(*form, {233, 0, 236, 10});
    TScrollBox* box = Place<TScrollBox>(*form, {0, 0, 10, 10});
    box->SetAlign(alClient);
    TRect page = sheet->GetClientRect();
    TTrackBar* track = Place<TTrackBar>(*sheet, {8, 8, page.Right - 8, 53});
    track->SetAnchors({akLeft, akTop, akRight});
    TProgressBar* progress = Place<TProgressBar>(*sheet, {8, page.Bottom - 25, page.Right - 8, page.Bottom - 8});
    progress->SetAnchors({akLeft, akRight, akBottom});
    form->Show();

    struct Expected {
        const char* name;
        const TControl* control;
        TRect at671x580, at800x600;
    };
    const Expected expected[] = {
        {"tool bar", bar, {0, 0, 671, 29}, {0, 0, 800, 29}},
        {"status bar", status, {0, 561, 671, 580}, {0, 581, 800, 600}},
        {"pages", pages, {0, 29, 233, 561}, {0, 29, 233, 581}},
        {"splitter", splitter, {233, 29, 236, 561}, {233, 29, 236, 581}},
        {"scroll box", box, {236, 29, 671, 561}, {236, 29, 800, 581}},
        {"track bar", track, {8, 8, page.Right - 8, 53}, {8, 8, page.Right - 8, 53}},
        {"progress bar", progress, {8, page.Bottom - 25, page.Right - 8, page.Bottom - 8},
         {8, page.Bottom - 5, page.Right - 8, page.Bottom + 12}},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(e.control->GetBoundsRect(), e.at671x580);
    }
    host.ResizeWindow(*form, 800, 600);
    EXPECT_EQ(form->GetWidth(), 800);
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(e.control->GetBoundsRect(), e.at800x600);
    }
    // The last panel reaches to the size grip; the tool bar's buttons stand in a row.
    EXPECT_EQ(status->GetPanelRect(3), (TRect{570, 2, 800 - 16, 19}));
    EXPECT_EQ(bar->GetButton(5)->GetBoundsRect(), (TRect{5 * 23, 2, 6 * 23, 24}));

    // The window's limits reach its window; the user cannot go below them.
    const thorn::HeadlessWindow* window = host.WindowOf(*form);
    EXPECT_EQ(window->MinimumSize(), (TSize{400, 300}));
    host.ResizeWindow(*form, 100, 100);
    EXPECT_EQ(form->GetBoundsRect().Width(), 400);
    EXPECT_EQ(form->GetBoundsRect().Height(), 300);
    EXPECT_EQ(box->GetBoundsRect(), (TRect{236, 29, 400, 281}));
    // Narrow, the tool bar's buttons wrap onto a second row.
    form->Constraints().SetMinWidth(0);
    host.ResizeWindow(*form, 100, 300);
    EXPECT_EQ(bar->GetRowCount(), 2);
    EXPECT_EQ(bar->GetButton(4)->GetBoundsRect(), (TRect{0, 24, 23, 46}));
    // Sized to its rows, it pushes what is below it down.
    bar->SetAutoSize(true);
    EXPECT_EQ(bar->GetHeight(), 2 + 2 + 2 * 22 + 2);
    EXPECT_EQ(pages->GetTop(), 50);
}

}  // namespace
