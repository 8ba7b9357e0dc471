#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

// The frame every benchmark program runs in. Our side of a comparison and
// its peer are separate benchmarks, run in random interleaved order with
// repetitions, so that both meet the same moments of a busy machine; each
// benchmark is printed with the median and the spread of its repetitions;
// the program ends with one table of the comparisons, their ratios and
// targets, after checking that both sides of each did the same work.
//
// When the environment names a file in THORN_BENCH_TABLE, the table's rows
// are also appended to it, tab-separated, for bench/run's closing table.
namespace thorn::bench {

// What a row of the table is held to.
struct Target {
    enum class Kind { None, RatioAtMost, RatioAtLeast, ValueBelow, ValueAtMost, ValueAtLeast };
    Kind kind = Kind::None;
    double bound = 0;
};
inline Target RatioAtMost(double bound) { return {Target::Kind::RatioAtMost, bound}; }
inline Target RatioAtLeast(double bound) { return {Target::Kind::RatioAtLeast, bound}; }
inline Target Below(double bound) { return {Target::Kind::ValueBelow, bound}; }
inline Target AtMost(double bound) { return {Target::Kind::ValueAtMost, bound}; }
inline Target AtLeast(double bound) { return {Target::Kind::ValueAtLeast, bound}; }

// One figure of a benchmark: its real time per iteration in milliseconds,
// or one of its counters.
struct Figure {
    Figure() = default;
    Figure(std::string benchmarkName, std::string counterName = {})
        : benchmark(std::move(benchmarkName)), counter(std::move(counterName)) {}
    std::string benchmark;  // the benchmark's full name, arguments included
    std::string counter;    // empty for the time
};

struct Row {
    std::string label;
    Figure ours;
    std::string peerName;  // empty when the row has no peer
    Figure peer;
    std::string unit = "ms";
    Target target;
    // Said beside the figures, e.g. why a peer gives no ratio.
    std::string note;
    // When set, both figures are bandwidths: these bytes over each time.
    double bytes = 0;
    // When set, the row's figure is the exponent of ours over the peer
    // (the same work at a size this many times larger).
    double growth = 0;
    // What grows, named in the exponent ("pixels^1.02").
    std::string growthOf = "pixels";
};

void AddRow(Row row);

// Thrown by a check when the two sides of a comparison disagree.
class Disagreement : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Checks, once after the timing, that both sides of the row with this label
// did the same job: answers how they agree ("same pixels", "colours within
// 1"), or throws Disagreement. The row is not met when they disagree.
void AddCheck(const std::string& label, std::function<std::string()> check);

// Whether THORN_BENCH_QUICK is set (and not "0"): the run is a quick pass
// that only shows every benchmark still does its work, as the test suite
// runs them. Each benchmark runs twice, one iteration each time, so that
// one whose run leaves behind what the next run trips over (a file it
// wrote, say) fails too. The figures mean nothing and no target is held.
bool QuickPass();
constexpr int kQuickRepetitions = 2;

// The repetitions for a benchmark that asks for other than the default:
// count, or those of a quick pass.
int Repetitions(int count);

// Runs the registered benchmarks (seven interleaved repetitions
// each unless the command line says otherwise) and prints the table.
// Answers 0; in a quick pass, 1 when a benchmark reported an error or a
// check found the two sides of a row disagreeing.
int Main(int argc, char** argv);

}  // namespace thorn::bench
