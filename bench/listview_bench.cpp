// A list view of 10,000 rows and 4 columns, as the warnings window may hold:
// filling it inside Items.BeginUpdate/EndUpdate, scrolling one page with the
// Page Down key (the focus moves, the view scrolls and paints again), and a
// repaint of the whole view, beside the repaint of a list of 10 rows in a
// view of the same size (ten rows in sight). Only the rows in sight are
// painted, so the repaint should cost about the same for both: the table
// holds 10,000 rows to 1.5 times 10, and one page of scrolling to a frame at
// 60 Hz.
#include <benchmark/benchmark.h>

#include <string>

#include "Harness.h"
#include "gui/Application.h"
#include "gui/ListView.h"
#include "gui/headless/HeadlessHost.h"

namespace {

struct ListSession {
    ListSession() {
        form = Application->CreateForm<TForm>();
        form->SetBounds(0, 0, 480, 220);
        view = thorn::Make<TListView>(*form);
        view->SetParent(form);
        view->SetRowSelect(true);
        view->SetCheckboxes(true);
        for (const char* caption : {"Turn", "Title", "Owner", "Amount"}) {
            TListColumn* column = view->GetColumns()->Add();
            column->SetCaption(caption);
            column->SetWidth(100);
        }
        // Ten rows in sight below the header, inside the frame.
        view->SetBounds(10, 10, 440, 4 + view->HeaderHeight() + 10 * view->GetRowHeight());
        form->Show();
        view->SetFocus();
    }
    void Fill(int rows) {
        TListItems& items = *view->GetItems();
        items.BeginUpdate();
        for (int i = 0; i < rows; ++i) {
            TListItem* item = items.Add();
            item->SetCaption(std::to_string(i + 1));
            item->GetSubItems()->Add("Province " + std::to_string(i) + " lost its castle");
            item->GetSubItems()->Add("Player " + std::to_string(i % 6 + 1));
            item->GetSubItems()->Add(std::to_string(i * 7 % 1000));
            item->SetChecked(i % 3 == 0);
        }
        items.EndUpdate();
    }
    thorn::HeadlessApplication session;
    TForm* form = nullptr;
    TListView* view = nullptr;
};

void Fill(benchmark::State& state) {
    ListSession s;
    for (auto _ : state) {
        s.Fill(static_cast<int>(state.range(0)));
        s.form->PaintPending();
        state.PauseTiming();
        s.view->GetItems()->Clear();
        s.form->PaintPending();
        state.ResumeTiming();
    }
}

void ScrollPage(benchmark::State& state) {
    ListSession s;
    s.Fill(static_cast<int>(state.range(0)));
    thorn::HeadlessHost& host = s.session.Host();
    host.PressKey(VK_HOME);
    for (auto _ : state) {
        host.PressKey(VK_NEXT);  // handled and painted before it returns
        if (s.view->GetTopRow() + 2 * s.view->GetVisibleRowCount() >= s.view->GetItems()->GetCount()) {
            state.PauseTiming();
            host.PressKey(VK_HOME);
            state.ResumeTiming();
        }
    }
}

void Repaint(benchmark::State& state) {
    ListSession s;
    s.Fill(static_cast<int>(state.range(0)));
    s.view->GetItems()->GetItem(2)->SetSelected(true);
    for (auto _ : state) {
        s.view->Invalidate();
        s.form->PaintPending();
    }
}

constexpr double kFrameMs = 1000.0 / 60;

void Register() {
    using thorn::bench::Row;
    benchmark::RegisterBenchmark("fill", Fill)->Arg(10000)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("scroll one page", ScrollPage)->Arg(10000)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("repaint", Repaint)->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);

    Row page;
    page.label = "one page scrolled and painted, 10,000 rows";
    page.ours = {"scroll one page/10000"};
    page.target = thorn::bench::Below(kFrameMs);
    thorn::bench::AddRow(page);
    Row repaint;
    repaint.label = "repaint, 10,000 rows against 10";
    repaint.ours = {"repaint/10000"};
    repaint.peerName = "10 rows";
    repaint.peer = {"repaint/10"};
    repaint.target = thorn::bench::RatioAtMost(1.5);
    thorn::bench::AddRow(repaint);
    Row fill;
    fill.label = "filling 10,000 rows of 4 columns";
    fill.ours = {"fill/10000"};
    thorn::bench::AddRow(fill);
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    return thorn::bench::Main(argc, argv);
}
