// The property grid as the editor's grids use it, with 500 rows (20 groups
// of 25) against 50: moving the selection down one row with the Down key
// (the editor of the row left is closed and the next one opened, the view
// follows and paints), and a repaint of the whole grid. Only the rows in
// sight are painted and the rows are found without walking the whole tree
// for each of them, so a step at 500 rows should cost at most 1.5 times one
// at 50, and so should a repaint.
//
// Adding rows one by one to an empty grid on its form, each with the name
// and path the grid makes up for it, at 1,000 to 10,000 rows: the names are
// found through the owner's index and the numbers go on from the last one
// given, so adding grows with the rows alone. The table holds 10,000 rows
// to a second and their growth from 1,000 to an exponent of at most 1.15.
//
// Emptying a grid of 10,000 and 100,000 rows, with ClearItems and by freeing
// the grid: each row and its item go in a time of their own, whatever the
// rows left, so 100,000 rows go in under a second either way.
#include <benchmark/benchmark.h>

#include <memory>
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

// An empty grid on a shown form, and the adding of rows to it.
struct EmptyGrid {
    EmptyGrid() {
        form = Application->CreateForm<TForm>();
        form->SetBounds(0, 0, 320, 340);
        grid = thorn::Make<TrmInspector>(*form);
        grid->SetParent(form);
        grid->SetBounds(10, 10, 300, 320);
        form->Show();
        session.App().ProcessMessages();
    }
    void Add(int rows) {
        const thorn::ClassInfo& kind = FindClass("TrmStringInspectorItem");
        for (int i = 0; i < rows; ++i) grid->AddItem(nullptr, kind);
        form->PaintPending();
    }
    thorn::HeadlessApplication session;
    TForm* form = nullptr;
    TrmInspector* grid = nullptr;
};

void AddRows(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto grid = std::make_unique<EmptyGrid>();
        state.ResumeTiming();
        grid->Add(rows);
        state.PauseTiming();
        if (grid->grid->GetItems().GetCount() != rows) state.SkipWithError("rows missing");
        grid.reset();
        state.ResumeTiming();
    }
    state.counters["rows_per_s"] = benchmark::Counter(rows, benchmark::Counter::kIsIterationInvariantRate);
}

constexpr int kAddedRows[] = {1000, 2000, 5000, 10000};

// A grid of rows made before the timing, emptied by empty while it runs.
template <typename Empty>
void EmptyRows(benchmark::State& state, Empty empty) {
    const int rows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto grid = std::make_unique<EmptyGrid>();
        grid->Add(rows);
        state.ResumeTiming();
        empty(*grid);
        state.PauseTiming();
        grid.reset();
        state.ResumeTiming();
    }
}

void ClearRows(benchmark::State& state) {
    EmptyRows(state, [&](EmptyGrid& g) {
        g.grid->ClearItems();
        if (g.grid->GetItems().GetCount() != 0 || g.grid->GetComponentCount() != 0) state.SkipWithError("rows left");
    });
}

void FreeGrid(benchmark::State& state) {
    EmptyRows(state, [&](EmptyGrid& g) {
        thorn::Free(g.grid);
        if (g.form->GetComponentCount() != 0) state.SkipWithError("the grid is left");
    });
}

constexpr int kEmptiedRows[] = {10000, 100000};

void Register() {
    using thorn::bench::Row;
    auto* adding = benchmark::RegisterBenchmark("adding rows", AddRows)->Unit(benchmark::kMillisecond)->UseRealTime();
    for (int rows : kAddedRows) adding->Arg(rows);
    Row added;
    added.label = "10,000 rows added one by one";
    added.ours = {"adding rows/10000/real_time"};
    added.target = thorn::bench::Below(1000);
    thorn::bench::AddRow(added);
    Row growth;
    growth.label = "adding rows, growth from 1,000 to 10,000";
    growth.ours = {"adding rows/10000/real_time"};
    growth.peerName = "1,000";
    growth.peer = {"adding rows/1000/real_time"};
    growth.growth = 10;
    growth.growthOf = "rows";
    growth.unit = "";
    growth.target = thorn::bench::AtMost(1.15);
    thorn::bench::AddRow(growth);
    for (auto* emptying : {benchmark::RegisterBenchmark("clearing rows", ClearRows),
                           benchmark::RegisterBenchmark("freeing the grid", FreeGrid)}) {
        emptying->Unit(benchmark::kMillisecond)->UseRealTime();
        for (int rows : kEmptiedRows) emptying->Arg(rows);
    }
    Row cleared;
    cleared.label = "100,000 rows cleared";
    cleared.ours = {"clearing rows/100000/real_time"};
    cleared.target = thorn::bench::Below(1000);
    thorn::bench::AddRow(cleared);
    Row freed;
    freed.label = "a grid of 100,000 rows freed";
    freed.ours = {"freeing the grid/100000/real_time"};
    freed.target = thorn::bench::Below(1000);
    thorn::bench::AddRow(freed);
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
