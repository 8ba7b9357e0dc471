// Typing into a memo: one character typed in the middle of the text and the
// memo painted again into its form's back buffer, the way a key press goes
// through the headless host (routing, the text, the rows it shows in,
// OnChange, the repaint), for texts of 3,000, 30,000 and 300,000 characters
// in paragraphs of up to a few hundred characters, with word wrap on and off. The
// memo lays out again only the lines an edit touches and paints only the rows
// in sight, so the figures should hardly grow with the text: the table holds
// 30,000 and 300,000 characters each to 1.5 times 3,000, and a key to a frame
// at 60 Hz (16.7 ms).
#include <benchmark/benchmark.h>

#include <string>

#include "Harness.h"
#include "gui/Application.h"
#include "gui/Memo.h"
#include "gui/headless/HeadlessHost.h"

namespace {

// Paragraphs of 5 to 40 words of 2 to 9 letters, ending in CR LF: even the
// shortest text fills the memo, wrapped or not, with rows wider than it.
std::string Paragraphs(int length) {
    std::string text;
    unsigned seed = 12345;
    auto next = [&seed](unsigned below) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>(((seed >> 16) & 0x7FFF) % below);
    };
    int wordsLeft = 0;
    while (static_cast<int>(text.size()) < length) {
        if (wordsLeft == 0) wordsLeft = 5 + next(36);
        int letters = 2 + next(8);
        for (int i = 0; i < letters; ++i) text += static_cast<char>('a' + next(26));
        text += --wordsLeft == 0 ? "\r\n" : " ";
    }
    text.resize(static_cast<size_t>(length));
    return text;
}

struct MemoSession {
    MemoSession(int length, bool wordWrap) {
        form = Application->CreateForm<TForm>();
        form->SetBounds(0, 0, 400, 260);
        memo = thorn::Make<TMemo>(*form);
        memo->SetParent(form);
        memo->SetBounds(10, 10, 380, 240);
        memo->SetScrollBars(wordWrap ? ssVertical : ssBoth);
        memo->SetWordWrap(wordWrap);
        memo->SetText(Paragraphs(length));
        form->Show();
        memo->SetFocus();
        // The caret in the middle of a word in the middle of the text.
        if (length > 0) {
            int middle = length / 2;
            while (memo->GetText()[static_cast<size_t>(middle)] < 'a') ++middle;
            memo->SetSelStart(middle);
        }
        form->PaintPending();
    }
    thorn::HeadlessApplication session;
    TForm* form = nullptr;
    TMemo* memo = nullptr;
};

void Type(benchmark::State& state, int length, bool wordWrap) {
    MemoSession s(length, wordWrap);
    thorn::HeadlessHost& host = s.session.Host();
    for (auto _ : state) {
        host.TypeText("x");
        state.PauseTiming();
        host.PressKey(VK_BACK);
        state.ResumeTiming();
    }
}

constexpr double kFrameMs = 1000.0 / 60;
constexpr int kLengths[] = {3000, 30000, 300000};

std::string Name(bool wordWrap, int length) {
    return std::string(wordWrap ? "memo, word wrap on" : "memo, word wrap off") + "/" + std::to_string(length);
}

std::string Characters(int length) { return length == 30000 ? "30,000" : "300,000"; }

void AddLines(benchmark::State& state, int lines, bool wordWrap) {
    for (auto _ : state) {
        state.PauseTiming();
        auto s = std::make_unique<MemoSession>(0, wordWrap);
        state.ResumeTiming();
        TStrings& memoLines = *s->memo->GetLines();
        for (int i = 0; i < lines; ++i) memoLines.Add("Line " + std::to_string(i) + " of the report, with a few words");
        s->form->PaintPending();
        state.PauseTiming();
        if (memoLines.GetCount() != lines) state.SkipWithError("lines missing");
        s.reset();
        state.ResumeTiming();
    }
    state.counters["lines_per_s"] = benchmark::Counter(lines, benchmark::Counter::kIsIterationInvariantRate);
}

std::string AddName(bool wordWrap, int lines) {
    return std::string(wordWrap ? "memo lines added, word wrap on" : "memo lines added, word wrap off") + "/" +
           std::to_string(lines);
}

void Register() {
    using thorn::bench::Row;
    for (bool wordWrap : {true, false}) {
        for (int lines : {10000, 100000})
            benchmark::RegisterBenchmark(AddName(wordWrap, lines).c_str(),
                                         [lines, wordWrap](benchmark::State& s) { AddLines(s, lines, wordWrap); })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        const std::string wrap = wordWrap ? "word wrap on" : "word wrap off";
        Row added;
        added.label = "memo: 100,000 lines added one by one, " + wrap;
        added.ours = {AddName(wordWrap, 100000) + "/real_time"};
        added.target = thorn::bench::Below(1000);
        thorn::bench::AddRow(added);
        Row growth;
        growth.label = "memo: lines added, " + wrap + ", growth from 10,000 to 100,000";
        growth.ours = {AddName(wordWrap, 100000) + "/real_time"};
        growth.peerName = "10,000";
        growth.peer = {AddName(wordWrap, 10000) + "/real_time"};
        growth.growth = 10;
        growth.growthOf = "lines";
        growth.unit = "";
        growth.target = thorn::bench::AtMost(1.15);
        thorn::bench::AddRow(growth);
    }
    for (bool wordWrap : {true, false})
        for (int length : kLengths)
            benchmark::RegisterBenchmark(Name(wordWrap, length).c_str(),
                                         [length, wordWrap](benchmark::State& s) { Type(s, length, wordWrap); })
                ->Unit(benchmark::kMicrosecond);
    for (bool wordWrap : {true, false}) {
        const std::string wrap = wordWrap ? "word wrap on" : "word wrap off";
        for (int length : {30000, 300000}) {
            Row frame;
            frame.label = "memo: one character typed and painted, " + wrap + ", " + Characters(length) + " characters";
            frame.ours = {Name(wordWrap, length)};
            frame.target = thorn::bench::Below(kFrameMs);
            thorn::bench::AddRow(frame);
            Row growth;
            growth.label = "memo: typing, " + wrap + ", " + Characters(length) + " characters against 3,000";
            growth.ours = {Name(wordWrap, length)};
            growth.peerName = "3,000";
            growth.peer = {Name(wordWrap, 3000)};
            growth.target = thorn::bench::RatioAtMost(1.5);
            thorn::bench::AddRow(growth);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    return thorn::bench::Main(argc, argv);
}
