#include <gtest/gtest.h>

#include "TestControls.h"
#include "gui/ProgressBar.h"
#include "gui/TrackBar.h"

namespace {

using thorn::test::MakeForm;
using thorn::test::OnForm;
using thorn::test::Place;

// The preferences dialog's transparency bar: 0 to 10, ticks on both sides.
class GuiTrackBar : public ::testing::Test {
protected:
    GuiTrackBar() {
        form = MakeForm(300, 200);
        track = Place<TTrackBar>(*form, {10, 10, 160, 55});
        track->SetTickMarks(tmBoth);
        track->OnChange = [this](TObject*) { changes.push_back(track->GetPosition()); };
        form->Show();
    }
    // Where the thumb's middle is on the form.
    TPoint Thumb() const {
        TRect r = track->GetThumbRect();
        return OnForm(*track, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    }
    TColor32 Pixel(int x, int y) const {
        TPoint p = OnForm(*track, {x, y});
        return host.PixelAt(*form, p.X, p.Y);
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TTrackBar* track = nullptr;
    std::vector<int> changes;
};

TEST_F(GuiTrackBar, KeysMoveTheThumbByLinesPagesAndToTheEnds) {
    host.Click(*form, Thumb().X, Thumb().Y);
    ASSERT_TRUE(track->Focused());
    struct Step {
        TKey key;
        int position;
    };
    const Step steps[] = {{VK_RIGHT, 1}, {VK_DOWN, 2}, {VK_NEXT, 4},  {VK_PRIOR, 2}, {VK_END, 10},
                          {VK_RIGHT, 10}, {VK_HOME, 0}, {VK_LEFT, 0}, {VK_UP, 0}};
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "key " << step.key);
        host.PressKey(step.key);
        EXPECT_EQ(track->GetPosition(), step.position);
    }
    // OnChange runs for each change and only then, the program's too.
    EXPECT_EQ(changes, (std::vector<int>{1, 2, 4, 2, 10, 0}));
    track->SetPosition(7);
    track->SetMax(5);
    EXPECT_EQ(track->GetPosition(), 5);
    EXPECT_EQ(changes, (std::vector<int>{1, 2, 4, 2, 10, 0, 7, 5}));
    // Turned upright, Down still goes towards Max.
    track->SetOrientation(trVertical);
    EXPECT_EQ(track->GetHeight(), 150);
    host.PressKey(VK_HOME);
    host.PressKey(VK_DOWN);
    EXPECT_EQ(track->GetPosition(), 1);
}

TEST_F(GuiTrackBar, TheMouseDragsTheThumbAndPagesTowardsAPress) {
    // The thumb follows the pointer to the nearest value.
    TRect channel = track->GetChannelRect();
    int step = (channel.Width() - 7) / 10;
    TPoint from = Thumb();
    host.Drag(*form, from, {from.X + 7 * step + 1, from.Y + 30});
    EXPECT_EQ(track->GetPosition(), 7);
    EXPECT_EQ(changes.back(), 7);

    // A press beside the thumb moves it a page, again while held, and no
    // further than the pointer.
    track->SetPosition(0);
    changes.clear();
    TPoint at = OnForm(*track, {channel.Left + 3 + 7 * step, channel.Top + 2});
    host.MouseMove(*form, at.X, at.Y);
    host.MouseDown(*form, at.X, at.Y);
    EXPECT_EQ(track->GetPosition(), 2);
    host.Advance(399);
    EXPECT_EQ(track->GetPosition(), 2);
    host.Advance(1);
    EXPECT_EQ(track->GetPosition(), 4);
    host.Advance(1000);
    EXPECT_EQ(track->GetPosition(), 7);
    host.MouseUp(*form, at.X, at.Y);
    EXPECT_EQ(changes, (std::vector<int>{2, 4, 6, 7}));
}

TEST_F(GuiTrackBar, TicksAndTheSelectionShowOnTheChannel) {
    track->SetSelStart(0);
    track->SetSelEnd(4);
    track->SetPosition(8);
    Application->ProcessMessages();
    TRect channel = track->GetChannelRect();
    int middle = (channel.Top + channel.Bottom) / 2;
    int step = (channel.Width() - 7) / 10;
    EXPECT_EQ(Pixel(channel.Left + 3 + 2 * step, middle), Color32(clHighlight));  // inside the selection
    EXPECT_EQ(Pixel(channel.Left + 3 + 6 * step, middle), Color32(clWindow));     // past it
    // A tick above and below the channel at each of the eleven values.
    TRect thumb = track->GetThumbRect();
    int ticks = 0;
    for (int x = 0; x < track->GetWidth(); ++x)
        ticks += Pixel(x, thumb.Bottom + 3) == Color32(clBtnText) && Pixel(x, thumb.Top - 4) == Color32(clBtnText);
    EXPECT_EQ(ticks, 11);
    track->SetFrequency(5);
    Application->ProcessMessages();
    ticks = 0;
    for (int x = 0; x < track->GetWidth(); ++x) ticks += Pixel(x, thumb.Bottom + 3) == Color32(clBtnText);
    EXPECT_EQ(ticks, 3);
}

TEST_F(GuiTrackBar, AProgressBarFillsUpToItsPositionAndStepsRoundTheEnd) {
    TProgressBar* bar = Place<TProgressBar>(*form, {6, 128, 279, 145});  // the progress window's bar
    bar->SetMax(10);
    bar->SetStep(3);
    std::vector<int> positions;
    for (int i = 0; i < 5; ++i) {
        bar->StepIt();
        positions.push_back(bar->GetPosition());
    }
    EXPECT_EQ(positions, (std::vector<int>{3, 6, 9, 0, 3}));
    bar->StepBy(20);
    EXPECT_EQ(bar->GetPosition(), 10);
    EXPECT_THROW(bar->SetMin(11), EInvalidOperation);
    bar->SetRange(0, 4);
    EXPECT_EQ(bar->GetPosition(), 4);

    // Inside its sunken edge: blocks up to the position, the face after it.
    bar->SetRange(0, 10);
    bar->SetPosition(6);
    Application->ProcessMessages();
    auto pixel = [&](int x) {
        TPoint p = OnForm(*bar, {x, 7});
        return host.PixelAt(*form, p.X, p.Y);
    };
    int filled = 6 * bar->GetClientWidth() / 10;
    EXPECT_EQ(pixel(0), Color32(clHighlight));
    EXPECT_EQ(pixel(10), Color32(clBtnFace));  // the gap after the first block
    EXPECT_EQ(pixel(filled + 12), Color32(clBtnFace));
    bar->SetSmooth(true);
    Application->ProcessMessages();
    EXPECT_EQ(pixel(10), Color32(clHighlight));
    EXPECT_EQ(pixel(filled - 1), Color32(clHighlight));
    EXPECT_EQ(pixel(filled), Color32(clBtnFace));
}

}  // namespace
