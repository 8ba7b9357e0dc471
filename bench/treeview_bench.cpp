// A tree view of 100,000 nodes (100 roots, 9 branches each, 110 leaves on
// every branch): expanding every node and painting the result, scrolling a
// page with the Page Down key (the selection moves, the view scrolls and
// paints again), and a repaint of the whole view, beside the repaint of a
// tree of 100 nodes in a view of the same size. Only the expanded part is
// laid out and only the rows in sight are painted, so the repaint should
// cost about the same for both: the table holds 100,000 nodes to 1.5 times
// 100, and a page of scrolling to a frame at 60 Hz.
#include <benchmark/benchmark.h>

#include <string>

#include "Harness.h"
#include "gui/Application.h"
#include "gui/TreeView.h"
#include "gui/headless/HeadlessHost.h"

namespace {

struct TreeSession {
    explicit TreeSession(int nodes) {
        form = Application->CreateForm<TForm>();
        form->SetBounds(0, 0, 320, 480);
        view = thorn::Make<TTreeView>(*form);
        view->SetParent(form);
        view->SetBounds(10, 10, 300, 460);
        TTreeNodes& items = *view->GetItems();
        items.BeginUpdate();
        // 100 roots; below each, branches of leaves until nodes are made.
        const int roots = nodes >= 100 ? 100 : nodes;
        const int perRoot = nodes / roots - 1;
        const int branches = perRoot >= 10 ? 9 : 0;
        const int leaves = branches ? perRoot / branches - 1 : 0;
        for (int r = 0; r < roots; ++r) {
            TTreeNode* root = items.AddChild(nullptr, "Region " + std::to_string(r));
            for (int b = 0; b < branches; ++b) {
                TTreeNode* branch = items.AddChild(root, "Province " + std::to_string(r * branches + b));
                for (int l = 0; l < leaves; ++l) items.AddChild(branch, "Castle " + std::to_string(l));
            }
        }
        items.EndUpdate();
        form->Show();
        view->SetFocus();
        form->PaintPending();
    }
    thorn::HeadlessApplication session;
    TForm* form = nullptr;
    TTreeView* view = nullptr;
};

void ExpandAll(benchmark::State& state) {
    TreeSession s(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        s.view->FullExpand();
        s.form->PaintPending();
        state.PauseTiming();
        s.view->FullCollapse();
        s.form->PaintPending();
        state.ResumeTiming();
    }
    state.counters["nodes"] = s.view->GetItems()->GetCount();
}

void ScrollPage(benchmark::State& state) {
    TreeSession s(static_cast<int>(state.range(0)));
    s.view->FullExpand();
    thorn::HeadlessHost& host = s.session.Host();
    host.PressKey(VK_HOME);
    for (auto _ : state) {
        host.PressKey(VK_NEXT);  // handled and painted before it returns
        if (s.view->GetFocusedRow() + 2 * s.view->GetVisibleCount() >= s.view->GetItems()->GetCount()) {
            state.PauseTiming();
            host.PressKey(VK_HOME);
            state.ResumeTiming();
        }
    }
}

void Repaint(benchmark::State& state) {
    TreeSession s(static_cast<int>(state.range(0)));
    s.view->FullExpand();
    s.view->SetSelected(s.view->GetItems()->GetItem(3));
    s.form->PaintPending();
    for (auto _ : state) {
        s.view->Invalidate();
        s.form->PaintPending();
    }
}

constexpr double kFrameMs = 1000.0 / 60;

void Register() {
    using thorn::bench::Row;
    benchmark::RegisterBenchmark("expand all", ExpandAll)->Arg(100000)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("scroll one page", ScrollPage)->Arg(100000)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("repaint", Repaint)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);

    Row expand;
    expand.label = "expanding all 100,000 nodes and painting";
    expand.ours = {"expand all/100000"};
    expand.target = thorn::bench::Below(100);
    thorn::bench::AddRow(expand);
    Row page;
    page.label = "one page scrolled and painted, 100,000 nodes";
    page.ours = {"scroll one page/100000"};
    page.target = thorn::bench::Below(kFrameMs);
    thorn::bench::AddRow(page);
    Row repaint;
    repaint.label = "repaint, 100,000 nodes against 100";
    repaint.ours = {"repaint/100000"};
    repaint.peerName = "100 nodes";
    repaint.peer = {"repaint/100"};
    repaint.target = thorn::bench::RatioAtMost(1.5);
    thorn::bench::AddRow(repaint);
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    return thorn::bench::Main(argc, argv);
}
