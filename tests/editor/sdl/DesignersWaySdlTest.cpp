#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "../EditorSession.h"
#include "SdlSession.h"
#include "XScreen.h"
#include "editor/Dlg_error.h"
#include "editor/Program.h"
#include "gui/Application.h"
#include "gui/FileDialogForm.h"
#include "gui/Timers.h"
#include "support/PngFile.h"

namespace {

namespace fs = std::filesystem;

// The designer's hand on the X display: steps that wait for their moment
// (a dialog shown and painted, a command done) and then act with the X
// pointer and keys. They run from a timer, so they go on while the
// editor's modal loops run.
class Hand {
public:
    explicit Hand(thorn::SdlHost& host) : host_(host) {
        timer_->SetInterval(40);
        timer_->SetOnTimer([this](TObject*) { Tick(); });
        timer_->SetEnabled(true);
    }
    void Then(std::string name, std::function<bool()> ready, std::function<void()> act) {
        steps_.push_back({std::move(name), std::move(ready), std::move(act)});
    }
    bool Done() const { return steps_.empty(); }
    // The step that is waiting, to name in a failure.
    std::string Waiting() const { return steps_.empty() ? "" : steps_.front().name; }

private:
    struct Step {
        std::string name;
        std::function<bool()> ready;
        std::function<void()> act;
    };
    void Tick() {
        if (steps_.empty() || busy_) return;
        // A step's act may start a modal loop of its own; the next step
        // runs from inside it.
        Step step = steps_.front();
        if (!step.ready()) return;
        steps_.pop_front();
        busy_ = true;
        step.act();
        busy_ = false;
    }
    thorn::SdlHost& host_;
    std::unique_ptr<TTimer> timer_ = std::make_unique<TTimer>();
    std::deque<Step> steps_;
    bool busy_ = false;
};

template <typename Form>
Form* ShownForm() {
    for (int i = 0; i < Screen->GetFormCount(); ++i)
        if (auto* form = dynamic_cast<Form*>(Screen->GetForm(i)); form && form->IsShowing() && !form->HasPendingPaint())
            return form;
    return nullptr;
}

class DesignersWay : public thorn::test::SdlSession {
protected:
    void Shot(const char* name) {
        TBitmap32 whole;
        screen.Grab(whole);
        thorn::test::WritePng(output / name, whole);
    }
    // Runs the hand's steps; fails naming the step that never came.
    void Run(Hand& hand, int seconds = 60) {
        const uint64_t until = host->Now() + static_cast<uint64_t>(seconds) * 1000;
        while (!hand.Done() && host->Now() < until) {
            Application->ProcessMessages();
            host->PumpEvents(10);
        }
        ASSERT_TRUE(hand.Done()) << "stuck at: " << hand.Waiting();
    }

    const fs::path output = fs::current_path();
    thorn::test::StartFolderCopy folder;
    std::unique_ptr<thorn::MainModuleScope> module = std::make_unique<thorn::MainModuleScope>();
    thorn::test::XScreen screen;
};

TEST_F(DesignersWay, FromAWorldPictureToTheHandheldsFilesWithThePointerAndKeys) {
    ASSERT_TRUE(screen.Ok());
    ErrorsFormBounds = {};
    thorn::CreateEditorWindows(*app);
    TMainForm& main = *MainForm.Get();
    main.Show();
    ASSERT_TRUE(RunUntil([&] { return main.GetHostWindow() && !main.HasPendingPaint(); }));
    Hand hand(*host);
    const TPoint middle = main.ClientToScreen({main.GetClientWidth() / 2, main.GetClientHeight() / 2});
    hand.Then("the main window", [] { return true; }, [&] {
        screen.MoveTo(middle.X, middle.Y);
        screen.Key("n", {"Control_L"});
    });
    hand.Then("the picture dialog", [] { return ShownForm<thorn::FileDialogForm>() != nullptr; }, [&] {
        const TPoint p = ShownForm<thorn::FileDialogForm>()->ClientToScreen({20, 20});
        screen.MoveTo(p.X, p.Y);
        screen.Type((folder / "worlds/twin_kingdoms.bmp").string());
        screen.Key("Return");
    });
    Run(hand);
    ASSERT_TRUE(RunUntil([&] { return MapProject->Provinces.GetCount() > 0 && !main.HasPendingPaint(); }));
    Shot("way_01_new.png");
}

}  // namespace
