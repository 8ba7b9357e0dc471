#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <string>

#include "SdlSession.h"
#include "XScreen.h"
#include "gui/ActnList.h"
#include "gui/Application.h"
#include "gui/CheckBox.h"
#include "gui/ImageList.h"
#include "gui/Label.h"
#include "gui/PageControl.h"
#include "gui/Panel.h"
#include "gui/ProgressBar.h"
#include "gui/ScrollBox.h"
#include "gui/SizeConstraints.h"
#include "gui/SizingLine.h"
#include "gui/Splitter.h"
#include "gui/StatusBar.h"
#include "gui/ToolBar.h"
#include "gui/ToolButton.h"
#include "gui/TrackBar.h"
#include "support/Pixels.h"
#include "support/PngFile.h"

// Runs under Xvfb: the main window's furniture in a real window, the pointer
// driven through the X server. The screenshot is saved as
// "window_furniture.png" in the working folder.
namespace {

using thorn::test::Shown;

constexpr TColor kImageColors[] = {clRed, clGreen, clBlue, clYellow};

class SdlFurniture : public thorn::test::SdlSession {
protected:
    template <typename T>
    T* Add(TWinControl* parent, TRect bounds = {}) {
        T* control = thorn::Make<T>(*form);
        control->SetParent(parent);
        if (!IsRectEmpty(bounds)) control->SetBoundsRect(bounds);
        return control;
    }
    thorn::test::XScreen screen;
    TForm* form = Application->CreateForm<TForm>();
};

TEST_F(SdlFurniture, TheMainWindowsFurnitureShowsAndAnswersTheRealPointer) {
    ASSERT_TRUE(screen.Ok());
    form->SetCaption("Thornvale II Map Editor");
    form->SetBounds(20, 20, 671, 480);
    form->Constraints().SetMinHeight(300);

    TImageList* images = thorn::Make<TImageList>(*form, 20, 20);
    for (TColor color : kImageColors) {
        TBitmap32 picture;
        picture.SetSize(20, 20);
        picture.Clear(0xFFFF00FFu);  // magenta: transparent
        for (int y = 3; y < 17; ++y)
            for (int x = 3; x < 17; ++x) picture.SetPixel(x, y, Color32(color));
        images->AddMasked(picture, clFuchsia);
    }
    TActionList* actions = thorn::Make<TActionList>(*form);
    TAction* names = thorn::Make<TAction>(*form);
    names->SetActionList(actions);
    names->SetHint("Show names|Show the names of the provinces");
    names->SetImageIndex(2);
    names->SetChecked(true);

    TToolBar* bar = Add<TToolBar>(form);
    bar->SetFlat(true);
    bar->SetImages(images);
    bar->SetButtonWidth(29);
    bar->SetButtonHeight(26);
    bar->SetHeight(34);
    for (int i = 0; i < 5; ++i) {
        TToolButton* button = Add<TToolButton>(bar);
        if (i == 2) {
            button->SetStyle(tbsSeparator);
            continue;
        }
        button->SetImageIndex(i % 4);
        if (i == 3) button->SetAction(names);
        if (i == 4) button->SetEnabled(false);
    }

    TStatusBar* status = Add<TStatusBar>(form);
    status->SetHeight(20);
    for (auto [text, width] : {std::pair{"(12;40)", 60}, std::pair{"200%", 50}, std::pair{"Show the names", 420},
                               std::pair{"[640:480]", 50}}) {
        TStatusPanel* panel = status->Panels().Add();
        panel->SetText(text);
        panel->SetWidth(width);
        panel->SetAlignment(width == 420 ? taLeftJustify : taCenter);
    }

    TPageControl* pages = Add<TPageControl>(form);
    pages->SetAlign(alLeft);
    pages->SetWidth(233);
    pages->SetMultiLine(true);
    pages->SetHotTrack(true);
    TTabSheet* players = Add<TTabSheet>(pages);
    players->SetCaption("Players and Domains");
    TTabSheet* provinces = Add<TTabSheet>(pages);
    provinces->SetCaption("Provinces");
    TTabSheet* third = Add<TTabSheet>(pages);
    third->SetCaption("Mission");
    TLabel* label = Add<TLabel>(players, {8, 8, 200, 24});
    label->SetCaption("Players");
    TCheckBox* check = Add<TCheckBox>(players, {8, 30, 200, 47});
    check->SetCaption("Transparent armies");
    TTrackBar* track = Add<TTrackBar>(players, {8, 56, 208, 101});
    track->SetMax(10);
    track->SetTickMarks(tmBoth);
    track->SetPosition(4);
    track->SetSelEnd(4);
    TTrackBar* pointed = Add<TTrackBar>(players, {8, 106, 208, 146});
    pointed->SetPosition(7);
    TProgressBar* progress = Add<TProgressBar>(players, {8, 156, 208, 173});
    progress->SetMax(10);
    progress->SetPosition(6);
    TLabel* other = Add<TLabel>(provinces, {8, 8, 200, 24});
    other->SetCaption("Provinces");

    TSplitter* splitter = Add<TSplitter>(form);
    splitter->SetLeft(pages->GetWidth());
    splitter->SetBeveled(true);
    TScrollBox* box = Add<TScrollBox>(form);
    box->SetAlign(alClient);
    box->SetColor(clWindow);
    TPanel* world = Add<TPanel>(box, {8, 8, 808, 608});
    world->SetCaption("World");
    world->SetColor(clTeal);

    form->Show();
    ASSERT_TRUE(RunUntil([&] { return form->GetHostWindow() && !form->HasPendingPaint(); }));
    TBitmap32 shot;
    ASSERT_TRUE(RunUntil([&] {
        form->GetHostWindow()->ReadPixels(shot);
        return shot.Width() == 671 && shot.GetPixel(1, 40) == Shown(clBtnFace);
    }));
    thorn::test::WritePng("window_furniture.png", shot);

    // The tool bar's images, the checked button's dithered face, the status
    // panels' sunken bevels, the filled part of the progress bar.
    TToolButton* red = bar->GetButton(0);
    TPoint redAt = red->ClientToParent({14, 13}, form);
    EXPECT_EQ(shot.GetPixel(redAt.X, redAt.Y), Shown(clRed));
    TToolButton* checked = bar->GetButton(3);
    TPoint checkedCorner = checked->ClientToParent({2, 2}, form);
    EXPECT_NE(shot.GetPixel(checkedCorner.X, checkedCorner.Y), shot.GetPixel(checkedCorner.X + 1, checkedCorner.Y));
    TPoint panelCorner = status->ClientToParent({status->GetPanelRect(1).Left, status->GetPanelRect(1).Top}, form);
    EXPECT_EQ(shot.GetPixel(panelCorner.X, panelCorner.Y), Shown(clBtnShadow));
    TPoint filled = progress->ClientToParent({5, 8}, form);
    EXPECT_EQ(shot.GetPixel(filled.X, filled.Y), Shown(clHighlight));
    TPoint teal = world->ClientToParent({400, 100}, form);
    EXPECT_EQ(shot.GetPixel(teal.X, teal.Y), Shown(clTeal));

    // The real pointer picks the third tab and drags the splitter.
    ASSERT_TRUE(RunUntilStanding(screen, *form)) << Standing(screen, *form);
    TRect tab = pages->TabRect(third->GetTabIndex());
    TPoint tabAt = pages->ClientToScreen({(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2});
    screen.Click(tabAt.X, tabAt.Y);
    ASSERT_TRUE(RunUntil([&] { return pages->GetActivePage() == third; }));
    TPoint grip = splitter->ClientToScreen({1, 100});
    screen.Press(grip.X, grip.Y);
    ASSERT_TRUE(RunUntil([&] { return splitter->GetMouseCapture(); })) << Standing(screen, *form);
    screen.MoveTo(grip.X + 30, grip.Y);
    screen.MoveTo(grip.X + 40, grip.Y);
    ASSERT_TRUE(RunUntil([&] { return !IsRectEmpty(thorn::SizingLineRect(*form)); }));
    screen.Release();
    EXPECT_TRUE(RunUntil([&] { return pages->GetWidth() == 273; }));
    EXPECT_EQ(box->GetLeft(), 276);
}

// The events window: a sizeable, stay-on-top tool window of 100 x 100 at least.
TEST_F(SdlFurniture, AToolWindowsKindAndLimitsReachTheRealWindow) {
    form->SetCaption("Events List");
    form->SetBounds(60, 60, 336, 388);
    form->SetBorderStyle(bsSizeToolWin);
    form->SetFormStyle(fsStayOnTop);
    form->Constraints().SetMinWidth(100);
    form->Constraints().SetMinHeight(100);
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint(); }));
    SDL_Window* window = nullptr;
    for (uint32_t id = 1; id < 64 && !window; ++id) {
        SDL_Window* w = SDL_GetWindowFromID(id);
        if (w && std::string(SDL_GetWindowTitle(w)) == "Events List") window = w;
    }
    ASSERT_NE(window, nullptr);
    uint32_t flags = SDL_GetWindowFlags(window);
    EXPECT_TRUE(flags & SDL_WINDOW_UTILITY);
    EXPECT_TRUE(flags & SDL_WINDOW_ALWAYS_ON_TOP);
    EXPECT_TRUE(flags & SDL_WINDOW_RESIZABLE);
    int width = 0, height = 0;
    SDL_GetWindowMinimumSize(window, &width, &height);
    EXPECT_EQ(width, 100);
    EXPECT_EQ(height, 100);
    form->Constraints().SetMaxWidth(500);
    SDL_GetWindowMaximumSize(window, &width, &height);
    EXPECT_EQ(width, 500);
    EXPECT_GT(height, 10000);  // no limit
    // Resized by the system below the limits, the form keeps them.
    SDL_SetWindowMinimumSize(window, 1, 1);
    SDL_SetWindowSize(window, 50, 50);
    ASSERT_TRUE(RunUntil([&] {
        SDL_GetWindowSize(window, &width, &height);
        return width == 100 && height == 100 && form->GetWidth() == 100;
    }));
}

}  // namespace
