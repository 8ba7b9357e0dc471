#include "Harness.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace thorn::bench {
namespace {

std::vector<Row>& Rows() {
    static std::vector<Row> rows;
    return rows;
}

std::map<std::string, std::function<std::string()>>& Checks() {
    static std::map<std::string, std::function<std::string()>> checks;
    return checks;
}

// The repetitions of one benchmark: its times and counters.
struct Samples {
    std::vector<double> ms;
    std::map<std::string, std::vector<double>> counters;
    std::string error;
};

struct Spread {
    double median = 0, low = 0, high = 0;
};

Spread Summarise(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Enough digits for three significant ones.
std::string Number(double v) {
    const double a = std::fabs(v);
    if (a >= 100) return Format("%.0f", v);
    if (a >= 10) return Format("%.1f", v);
    if (a >= 1) return Format("%.2f", v);
    return Format("%.3f", v);
}

// A benchmark's name without the "/repeats:N" that a repetition count of
// its own adds, as the rows name it.
std::string RowName(const benchmark::BenchmarkReporter::Run& run) {
    std::string name = run.benchmark_name();
    const size_t at = name.find("/repeats:");
    if (at != std::string::npos) name.erase(at, name.find('/', at + 1) - at);
    return name;
}

// Prints each benchmark once its repetitions are in and keeps them for the
// table.
class Reporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context& context) override {
        PrintBasicContext(&GetErrorStream(), context);
        return true;
    }

    void ReportRuns(const std::vector<Run>& runs) override {
        std::string name;
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            name = RowName(run);
            Samples& s = samples_[name];
            if (run.error_occurred) {
                s.error = run.error_message;
                continue;
            }
            s.ms.push_back(run.real_accumulated_time * 1e3 / static_cast<double>(std::max<int64_t>(run.iterations, 1)));
            for (const auto& [name, counter] : run.counters) s.counters[name].push_back(counter.value);
        }
        if (name.empty()) return;  // the aggregates, which the table does not use
        const Samples& s = samples_[name];
        std::printf("%-58s", name.c_str());
        if (!s.error.empty()) {
            std::printf(" error: %s\n", s.error.c_str());
        } else if (!s.ms.empty()) {
            const Spread t = Summarise(s.ms);
            std::printf(" %10s ms  [%s .. %s] x%zu", Number(t.median).c_str(), Number(t.low).c_str(),
                        Number(t.high).c_str(), s.ms.size());
            for (const auto& [counter, values] : s.counters)
                std::printf("  %s=%s", counter.c_str(), Number(Summarise(values).median).c_str());
            std::printf("\n");
        }
        std::fflush(stdout);
    }

    // The benchmarks that reported an error.
    std::vector<std::string> Errors() const {
        std::vector<std::string> names;
        for (const auto& [name, s] : samples_)
            if (!s.error.empty()) names.push_back(name);
        return names;
    }

    const Samples* Find(const std::string& name) const {
        auto it = samples_.find(name);
        return it == samples_.end() ? nullptr : &it->second;
    }

private:
    std::map<std::string, Samples> samples_;
};

std::optional<Spread> Lookup(const Reporter& reporter, const Figure& figure, std::string& error) {
    const Samples* s = reporter.Find(figure.benchmark);
    if (!s) return std::nullopt;
    if (!s->error.empty()) {
        error = s->error;
        return std::nullopt;
    }
    if (figure.counter.empty()) return s->ms.empty() ? std::nullopt : std::optional(Summarise(s->ms));
    auto it = s->counters.find(figure.counter);
    if (it == s->counters.end() || it->second.empty()) return std::nullopt;
    return Summarise(it->second);
}

std::string TargetText(const Target& t, const std::string& unit) {
    switch (t.kind) {
    case Target::Kind::None: return "";
    case Target::Kind::RatioAtMost: return "ratio <= " + Format("%g", t.bound);
    case Target::Kind::RatioAtLeast: return "ratio >= " + Format("%g", t.bound);
    case Target::Kind::ValueBelow: return "< " + Format("%g", t.bound) + " " + unit;
    case Target::Kind::ValueAtMost: return "<= " + Format("%g", t.bound) + " " + unit;
    case Target::Kind::ValueAtLeast: return ">= " + Format("%g", t.bound) + " " + unit;
    }
    return "";
}

bool Meets(const Target& t, double value, double ratio) {
    switch (t.kind) {
    case Target::Kind::None: return true;
    case Target::Kind::RatioAtMost: return ratio <= t.bound;
    case Target::Kind::RatioAtLeast: return ratio >= t.bound;
    case Target::Kind::ValueBelow: return value < t.bound;
    case Target::Kind::ValueAtMost: return value <= t.bound;
    case Target::Kind::ValueAtLeast: return value >= t.bound;
    }
    return false;
}

struct Cells {
    std::string label, ours, peer, ratio, target, met, note;
    bool checkFailed = false;  // the two sides disagree, or the check could not tell
};

// Two decimals; four near 1, where a ratio is held to a finer bound.
std::string RatioText(double ratio) { return Format(std::fabs(ratio - 1) < 0.01 ? "%.4f" : "%.2f", ratio); }

// "6.59 ms ±2%": the median and half the range of the repetitions.
std::string WithSpread(const Spread& s, double shown, const std::string& unit) {
    const double half = s.median > 0 ? (s.high - s.low) / 2 / s.median * 100 : 0;
    return Number(shown) + " " + unit + " ±" + Format("%.0f", half) + "%";
}

std::optional<Cells> MakeCells(const Reporter& reporter, const Row& row) {
    Cells c{row.label, "", "", "", TargetText(row.target, row.unit), "", row.note};
    std::string error;
    const std::optional<Spread> ours = Lookup(reporter, row.ours, error);
    std::optional<Spread> peer;
    if (!row.peerName.empty()) peer = Lookup(reporter, row.peer, error);
    if (!error.empty()) {
        c.met = "NO";
        c.note = "error: " + error;
        return c;
    }
    if (!ours || (!row.peerName.empty() && !peer)) return std::nullopt;  // filtered out

    double value = ours->median, ratio = 0;
    std::string unit = row.unit;
    if (row.bytes > 0) {
        unit = "GB/s";
        auto bandwidth = [&](double ms) { return row.bytes / (ms / 1e3) / 1e9; };
        value = bandwidth(ours->median);
        c.ours = WithSpread(*ours, value, unit);
        c.peer = row.peerName + " " + WithSpread(*peer, bandwidth(peer->median), unit);
        ratio = value / bandwidth(peer->median);
        c.ratio = RatioText(ratio);
    } else if (row.growth > 0) {
        value = std::log(ours->median / peer->median) / std::log(row.growth);
        c.ours = row.growthOf + "^" + Format("%.2f", value);
        c.peer = "";
    } else {
        c.ours = WithSpread(*ours, value, unit);
        if (peer) {
            c.peer = row.peerName + " " + WithSpread(*peer, peer->median, unit);
            ratio = ours->median / peer->median;
            c.ratio = RatioText(ratio);
        }
    }
    const bool ratioTarget =
        row.target.kind == Target::Kind::RatioAtMost || row.target.kind == Target::Kind::RatioAtLeast;
    if (row.target.kind == Target::Kind::None)
        c.met = "";
    else if (ratioTarget && c.ratio.empty())
        c.met = "NO";
    else
        c.met = Meets(row.target, value, ratio) ? "yes" : "NO";

    auto check = Checks().find(row.label);
    if (check != Checks().end()) {
        std::string agreement;
        try {
            agreement = check->second();
        } catch (const Disagreement& e) {
            agreement = std::string("outputs differ: ") + e.what();
            c.met = "NO";
            c.checkFailed = true;
        } catch (const std::exception& e) {
            agreement = std::string("the check failed: ") + e.what();
            c.met = "NO";
            c.checkFailed = true;
        }
        c.note = c.note.empty() ? agreement : agreement + "; " + c.note;
    }
    return c;
}

void PrintTable(const std::vector<Cells>& table) {
    const Cells heading{"case", "ours", "peer", "ratio", "target", "met", "note"};
    size_t w[6] = {};
    auto widen = [&](const Cells& c) {
        const std::string* f[6] = {&c.label, &c.ours, &c.peer, &c.ratio, &c.target, &c.met};
        for (int i = 0; i < 6; ++i) w[i] = std::max(w[i], f[i]->size());
    };
    widen(heading);
    for (const Cells& c : table) widen(c);
    auto print = [&](const Cells& c) {
        std::printf("%-*s  %-*s  %-*s  %*s  %-*s  %-*s  %s\n", int(w[0]), c.label.c_str(), int(w[1]), c.ours.c_str(),
                    int(w[2]), c.peer.c_str(), int(w[3]), c.ratio.c_str(), int(w[4]), c.target.c_str(), int(w[5]),
                    c.met.c_str(), c.note.c_str());
    };
    std::printf("\n");
    print(heading);
    for (const Cells& c : table) print(c);
}

void AppendTable(const std::vector<Cells>& table) {
    const char* path = std::getenv("THORN_BENCH_TABLE");
    if (!path || !*path) return;
    std::ofstream out(path, std::ios::app);
    for (const Cells& c : table)
        out << c.label << '\t' << c.ours << '\t' << c.peer << '\t' << c.ratio << '\t' << c.target << '\t' << c.met
            << '\t' << c.note << '\n';
}

}  // namespace

bool QuickPass() {
    const char* quick = std::getenv("THORN_BENCH_QUICK");
    return quick && *quick && std::string_view(quick) != "0";
}

int Repetitions(int count) { return QuickPass() ? kQuickRepetitions : count; }

void AddRow(Row row) { Rows().push_back(std::move(row)); }

void AddCheck(const std::string& label, std::function<std::string()> check) { Checks()[label] = std::move(check); }

int Main(int argc, char** argv) {
    // Defaults first, so that the command line can override them.
    std::vector<char*> args{argv[0]};
    const bool quick = QuickPass();
    // A minimum time of 0 ends each repetition after its first iteration.
    std::string defaults[] = {
        quick ? "--benchmark_repetitions=" + std::to_string(kQuickRepetitions) : "--benchmark_repetitions=7",
        "--benchmark_enable_random_interleaving=true",
        quick ? "--benchmark_min_time=0" : "--benchmark_min_time=0.2"};
    for (std::string& d : defaults) args.push_back(d.data());
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::vector<Cells> table;
    for (const Row& row : Rows())
        if (auto cells = MakeCells(reporter, row)) table.push_back(std::move(*cells));
    if (!table.empty()) {
        PrintTable(table);
        AppendTable(table);
    }
    benchmark::Shutdown();
    if (!quick) return 0;
    int failures = 0;
    for (const std::string& name : reporter.Errors()) {
        std::fprintf(stderr, "failed: %s\n", name.c_str());
        ++failures;
    }
    for (const Cells& c : table)
        if (c.checkFailed) {
            std::fprintf(stderr, "failed: %s: %s\n", c.label.c_str(), c.note.c_str());
            ++failures;
        }
    return failures > 0 ? 1 : 0;
}

}  // namespace thorn::bench
