// The editor's main window at 1280 x 800 with 200 controls: a tool bar of 20
// buttons, a status bar of four panels, a page control of four pages full
// of labels, edits, check boxes, buttons, track and progress bars beside a
// splitter, and a scroll box of panels filling the rest. Measured: laying it
// all out again when the user resizes the window (anchors, alignment, the
// tool bar's rows, the page control's tabs, the scroll box's range), and
// painting the whole window. Either, and the two together, should fit into
// one frame at 60 Hz, so a window being dragged larger keeps up.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "Harness.h"
#include "gui/Application.h"
#include "gui/Buttons.h"
#include "gui/CheckBox.h"
#include "gui/Edit.h"
#include "gui/ImageList.h"
#include "gui/Label.h"
#include "gui/PageControl.h"
#include "gui/Panel.h"
#include "gui/ProgressBar.h"
#include "gui/ScrollBox.h"
#include "gui/Splitter.h"
#include "gui/StatusBar.h"
#include "gui/ToolBar.h"
#include "gui/ToolButton.h"
#include "gui/TrackBar.h"
#include "gui/headless/HeadlessHost.h"

namespace {

constexpr int kControls = 200;

struct MainWindow {
    MainWindow() {
        form = Application->CreateForm<TForm>();
        form->SetBounds(0, 0, 1280, 800);
        TImageList* images = thorn::Make<TImageList>(*form, 20, 20);
        for (int i = 0; i < 8; ++i) {
            TBitmap32 picture;
            picture.SetSize(20, 20);
            picture.Clear(0xFF000000u | static_cast<uint32_t>(i * 0x203040));
            images->AddMasked(picture, clNone);
        }
        TToolBar* bar = Add<TToolBar>(form, {0, 0, 100, 36});
        bar->SetFlat(true);
        bar->SetImages(images);
        bar->SetButtonWidth(29);
        bar->SetButtonHeight(26);
        for (int i = 0; i < 20; ++i) {
            TToolButton* button = Add<TToolButton>(bar, {});
            button->SetImageIndex(i % 8);
            if (i % 5 == 4) button->SetStyle(tbsSeparator);
            if (i % 7 == 3) button->SetStyle(tbsCheck), button->SetDown(true);
        }
        TStatusBar* status = Add<TStatusBar>(form, {0, 0, 100, 20});
        for (const char* text : {"(120;45)", "200%", "Show the names of the provinces", "[1024:768]"}) {
            TStatusPanel* panel = status->Panels().Add();
            panel->SetText(text);
            panel->SetWidth(text[0] == 'S' ? 1080 : 50);
        }
        TPageControl* pages = Add<TPageControl>(form, {0, 0, 320, 100});
        pages->SetAlign(alLeft);
        pages->SetMultiLine(true);
        for (const char* caption : {"Players and Domains", "Provinces", "Mission", "Events"}) {
            TTabSheet* sheet = Add<TTabSheet>(pages, {});
            sheet->SetCaption(caption);
            FillPage(*sheet);
        }
        Add<TSplitter>(form, {320, 0, 323, 100});
        TScrollBox* box = Add<TScrollBox>(form, {0, 0, 100, 100});
        box->SetAlign(alClient);
        for (int i = 0; count < kControls; ++i) {
            TPanel* panel = Add<TPanel>(box, {10 + (i % 6) * 160, 10 + (i / 6) * 120, 160 + (i % 6) * 160,
                                              120 + (i / 6) * 120});
            panel->SetCaption("Province " + std::to_string(i + 1));
        }
        form->Show();
        form->PaintPending();
    }
    template <typename T>
    T* Add(TWinControl* parent, TRect bounds) {
        T* control = thorn::Make<T>(*form);
        controls.push_back(control);
        control->SetParent(parent);
        if (!IsRectEmpty(bounds)) control->SetBoundsRect(bounds);
        ++count;
        return control;
    }
    // 32 controls, the wide ones anchored to both sides of the page.
    void FillPage(TTabSheet& sheet) {
        for (int i = 0; i < 10; ++i) {
            Add<TLabel>(&sheet, {8, 8 + i * 26, 100, 24 + i * 26})->SetCaption("Field " + std::to_string(i + 1));
            TEdit* edit = Add<TEdit>(&sheet, {104, 6 + i * 26, 300, 27 + i * 26});
            edit->SetText("Value " + std::to_string(i * 17));
            edit->SetAnchors({akLeft, akTop, akRight});
        }
        for (int i = 0; i < 5; ++i) {
            Add<TCheckBox>(&sheet, {8, 270 + i * 20, 150, 287 + i * 20})->SetCaption("Option " + std::to_string(i));
            TButton* button = Add<TButton>(&sheet, {160, 268 + i * 28, 235, 293 + i * 28});
            button->SetCaption("Apply " + std::to_string(i));
        }
        TTrackBar* track = Add<TTrackBar>(&sheet, {8, 420, 300, 465});
        track->SetAnchors({akLeft, akTop, akRight});
        track->SetPosition(4);
        TProgressBar* progress = Add<TProgressBar>(&sheet, {8, 470, 300, 487});
        progress->SetAnchors({akLeft, akRight, akBottom});
        progress->SetPosition(60);
    }
    // How many controls one resize moves or sizes.
    int Moved(int width, int height) {
        std::vector<TRect> before;
        for (const TControl* c : controls) before.push_back(c->GetBoundsRect());
        form->SetBounds(0, 0, width, height);
        int moved = 0;
        for (size_t i = 0; i < controls.size(); ++i) moved += controls[i]->GetBoundsRect() != before[i];
        return moved;
    }
    thorn::HeadlessApplication session;
    TForm* form = nullptr;
    int count = 0;
    std::vector<TControl*> controls;
};

// Alternates between two sizes, as a frame dragged to and fro.
void Resize(MainWindow& w, bool& wide) {
    wide = !wide;
    w.form->SetBounds(0, 0, wide ? 1280 : 1200, wide ? 800 : 760);
}

void Layout(benchmark::State& state) {
    MainWindow w;
    state.counters["moved"] = w.Moved(1200, 760);
    w.Moved(1280, 800);
    bool wide = true;
    for (auto _ : state) Resize(w, wide);
    state.counters["controls"] = w.count;
}

void Paint(benchmark::State& state) {
    MainWindow w;
    for (auto _ : state) {
        w.form->Invalidate();
        w.form->PaintPending();
    }
    state.counters["controls"] = w.count;
}

void ResizeAndPaint(benchmark::State& state) {
    MainWindow w;
    bool wide = true;
    for (auto _ : state) {
        Resize(w, wide);
        w.form->PaintPending();
    }
}

constexpr double kFrameMs = 1000.0 / 60;

void Register() {
    using thorn::bench::Row;
    benchmark::RegisterBenchmark("layout", Layout)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("paint", Paint)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("resize and paint", ResizeAndPaint)->Unit(benchmark::kMillisecond);
    for (auto [label, name] : {std::pair{"1280 x 800, 200 controls: laid out again after a resize", "layout"},
                               std::pair{"1280 x 800, 200 controls: painted whole", "paint"},
                               std::pair{"1280 x 800, 200 controls: resized, laid out and painted",
                                         "resize and paint"}}) {
        Row row;
        row.label = label;
        row.ours = {name};
        row.target = thorn::bench::Below(kFrameMs);
        thorn::bench::AddRow(row);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    return thorn::bench::Main(argc, argv);
}
