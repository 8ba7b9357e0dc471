// Typing into an edit: one character typed at the caret and the edit painted
// again into its form's back buffer, the way a key press goes through the
// headless host (routing, the text, OnChange, the repaint of the formatting
// rectangle), for texts of 300, 3,000 and 30,000 characters, with the caret
// at the end (the text scrolled to it) and at the start (the whole text moves
// along in memory). "repaint" paints the edit alone again. The edit measures
// and paints only the characters in sight, so the figures should hardly grow
// with the text: the table holds 30,000 characters to 1.5 times 300, and a
// key to a frame at 60 Hz (16.7 ms).
#include <benchmark/benchmark.h>

#include <string>

#include "Harness.h"
#include "gui/Application.h"
#include "gui/Edit.h"
#include "gui/headless/HeadlessHost.h"

namespace {

struct TypingSession {
    explicit TypingSession(int length, bool atEnd) {
        form = Application->CreateForm<TForm>();
        form->SetBounds(0, 0, 400, 100);
        edit = thorn::Make<TEdit>(*form);
        edit->SetParent(form);
        edit->SetBounds(10, 10, 380, 21);
        std::string text;
        for (int i = 0; i < length; ++i) text += static_cast<char>('a' + i % 26);
        edit->SetText(text);
        form->Show();
        session.Host().PressKey(atEnd ? VK_END : VK_HOME);
    }
    thorn::HeadlessApplication session;
    TForm* form = nullptr;
    TEdit* edit = nullptr;
};

void Type(benchmark::State& state, int length, bool atEnd) {
    TypingSession s(length, atEnd);
    thorn::HeadlessHost& host = s.session.Host();
    for (auto _ : state) {
        host.TypeText("x");
        state.PauseTiming();
        host.PressKey(VK_BACK);
        state.ResumeTiming();
    }
}

void Repaint(benchmark::State& state, int length) {
    TypingSession s(length, true);
    for (auto _ : state) {
        s.edit->Invalidate();
        s.form->PaintPending();
    }
}

constexpr double kFrameMs = 1000.0 / 60;

void Register() {
    using thorn::bench::Row;
    for (int length : {300, 3000, 30000}) {
        std::string n = std::to_string(length);
        benchmark::RegisterBenchmark(("type at the end/" + n).c_str(),
                                     [length](benchmark::State& s) { Type(s, length, true); })
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("type at the start/" + n).c_str(),
                                     [length](benchmark::State& s) { Type(s, length, false); })
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("repaint/" + n).c_str(), [length](benchmark::State& s) { Repaint(s, length); })
            ->Unit(benchmark::kMicrosecond);
    }
    for (const char* where : {"type at the end", "type at the start"}) {
        Row frame;
        frame.label = std::string("one character typed and painted (") + where + "), 30,000 characters";
        frame.ours = {std::string(where) + "/30000"};
        frame.target = thorn::bench::Below(kFrameMs);
        thorn::bench::AddRow(frame);
    }
    for (const char* what : {"type at the end", "repaint"}) {
        Row growth;
        growth.label = std::string(what) + ", 30,000 characters against 300";
        growth.ours = {std::string(what) + "/30000"};
        growth.peerName = "300";
        growth.peer = {std::string(what) + "/300"};
        growth.target = thorn::bench::RatioAtMost(1.5);
        thorn::bench::AddRow(growth);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    return thorn::bench::Main(argc, argv);
}
