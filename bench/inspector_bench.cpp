// The property grid as the editor's grids use it, with 500 rows (20 groups
// of 25) against 50: moving the selection down one row with the Down key
// (the editor of the row left is closed and the next one opened, the view
// follows and paints), and a repaint of the whole grid. Only the rows in
// sight are painted and the rows are found without walking the whole tree
// for each of them, so a step at 500 rows should cost at most 1.5 times one
// at 50, and so should a repaint.
#include <benchmark/benchmark.h>

#include <string>

#include "Harness.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/headless/HeadlessHost.h"
#include "inspector/Rminspectoritems.h"

namespace {

constexpr int kGroupRows = 25;

struct GridSession {
    explicit GridSession(int rows) {
        form = Application->CreateForm<TForm>();
        form->SetBounds(0, 0, 320, 340);
        grid = thorn::Make<TrmInspector>(*form);
        grid->SetParent(form);
        grid->SetBounds(10, 10, 300, 320);
        const char* kinds[] = {"TrmStringInspectorItem", "TrmSafeIntegerInspectorItem", "TrmComboInspectorItem",
                               "TrmCheckBoxInspectorItem"};
        for (int g = 0; g < rows / kGroupRows; ++g) {
            TrmCustomInspectorItem* group = grid->AddItem(nullptr, FindClass("TrmNodeInspectorItem"));
            group->SetName("Group_" + std::to_string(g));
            group->GetNode()->SetText("Group " + std::to_string(g));
            group->GetNode()->SetExpanded(true);
            for (int i = 1; i < kGroupRows; ++i) {
                TrmCustomInspectorItem* item = grid->AddItem(group->GetNode(), FindClass(kinds[i % 4]));
                item->SetName("Row_" + std::to_string(g) + "_" + std::to_string(i));
                item->GetNode()->SetText("Row " + std::to_string(i));
                if (auto* combo = dynamic_cast<TrmComboInspectorItem*>(item)) {
                    for (const char* choice : {"none", "Red", "Blue"}) combo->GetItems().Add(choice);
                    combo->SetValue("Red");
                } else {
                    item->SetStringValue(i % 4 == 3 ? "True" : std::to_string(i * 7));
                }
            }
        }
        form->Show();
        grid->SetFocus();
        grid->SetItemIndex(0);
        session.App().ProcessMessages();
    }
    thorn::HeadlessApplication session;
    TForm* form = nullptr;
    TrmInspector* grid = nullptr;
};

void StepDown(benchmark::State& state) {
    GridSession s(static_cast<int>(state.range(0)));
    thorn::HeadlessHost& host = s.session.Host();
    for (auto _ : state) {
        host.PressKey(VK_DOWN);  // handled, the editor freed and the grid painted before it returns
        if (s.grid->GetItemIndex() + 1 >= s.grid->VisibleItemCount()) {
            state.PauseTiming();
            s.grid->SetItemIndex(0);
            s.session.App().ProcessMessages();
            state.ResumeTiming();
        }
    }
}

void Repaint(benchmark::State& state) {
    GridSession s(static_cast<int>(state.range(0)));
    s.grid->SetItemIndex(3);
    s.session.App().ProcessMessages();
    for (auto _ : state) {
        s.grid->Invalidate();
        s.form->PaintPending();
    }
}

void Register() {
    using thorn::bench::Row;
    benchmark::RegisterBenchmark("step down", StepDown)->Arg(50)->Arg(500)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("repaint", Repaint)->Arg(50)->Arg(500)->Unit(benchmark::kMicrosecond);
    Row step;
    step.label = "selection one row down with its editor, 500 rows against 50";
    step.ours = {"step down/500"};
    step.peerName = "50 rows";
    step.peer = {"step down/50"};
    step.target = thorn::bench::RatioAtMost(1.5);
    thorn::bench::AddRow(step);
    Row repaint;
    repaint.label = "repaint of the grid, 500 rows against 50";
    repaint.ours = {"repaint/500"};
    repaint.peerName = "50 rows";
    repaint.peer = {"repaint/50"};
    repaint.target = thorn::bench::RatioAtMost(1.5);
    thorn::bench::AddRow(repaint);
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    return thorn::bench::Main(argc, argv);
}
