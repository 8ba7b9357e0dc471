// The path tree's index: a tree of n nodes built by AddPathNode from paths
// four levels deep (ten children a level under n / 1000 roots), then every
// path looked up with FindPathNode, beside a std::unordered_map from the same
// full paths to the same nodes, looked up in the same order. The table holds
// the lookups within 2x of the map, and the building to a growth of at most
// n^1.15 from 5,000 to 50,000 and from 50,000 to 500,000 nodes (reported as
// "pixels^" by the frame: read it as nodes). One path of n levels ("/n"
// repeated) made by a single AddPathNode is held to the same growth from
// 2,000 to 20,000 levels: linear in the path's length; so is renaming the
// root of such a chain (from 5,000 to 50,000 levels), which indexes every
// node of it again.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "Harness.h"
#include "inspector/Rmtreenonview.h"

namespace {

std::vector<std::string> MakePaths(int n) {
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        paths.push_back("/Group " + std::to_string(i / 1000) + "/Section " + std::to_string(i / 100 % 10) +
                        "/Part " + std::to_string(i / 10 % 10) + "/Item " + std::to_string(i % 10));
    return paths;
}

const std::vector<std::string>& Paths(int n) {
    static std::unordered_map<int, std::vector<std::string>> made;
    auto it = made.find(n);
    if (it == made.end()) it = made.emplace(n, MakePaths(n)).first;
    return it->second;
}

void Build(benchmark::State& state, int n) {
    const std::vector<std::string>& paths = Paths(n);
    for (auto _ : state) {
        auto tree = std::make_unique<TrmTreeNonView>();
        for (const std::string& path : paths) tree->AddPathNode(nullptr, path);
        benchmark::DoNotOptimize(tree->GetItems().GetCount());
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
}

void BuildDeep(benchmark::State& state, int levels) {
    std::string path;
    for (int i = 0; i < levels; ++i) path += "/n";
    for (auto _ : state) {
        auto tree = std::make_unique<TrmTreeNonView>();
        benchmark::DoNotOptimize(tree->AddPathNode(nullptr, path));
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
}

void RenameDeep(benchmark::State& state, int levels) {
    std::string path;
    for (int i = 0; i < levels; ++i) path += "/n";
    TrmTreeNonView tree;
    tree.AddPathNode(nullptr, path);
    TrmTreeNonViewNode* root = tree.GetItems().GetFirstNode();
    bool flip = false;
    for (auto _ : state) root->SetText((flip = !flip) ? "m" : "n");
    if (!tree.FindPathNode(tree.NodePath(tree.GetItems().GetNodeFromIndex(levels - 1))))
        state.SkipWithError("the chain is not indexed under its new paths");
}

struct Lookups {
    Lookups() {
        for (const std::string& path : Paths(kCount)) map.emplace(path, tree.AddPathNode(nullptr, path));
    }
    static constexpr int kCount = 50000;
    TrmTreeNonView tree;
    std::unordered_map<std::string, TrmTreeNonViewNode*> map;
    int treeFound = 0, mapFound = 0;
};

Lookups& Shared() {
    static Lookups lookups;
    return lookups;
}

void FindInTree(benchmark::State& state) {
    Lookups& l = Shared();
    for (auto _ : state) {
        int found = 0;
        for (const std::string& path : Paths(Lookups::kCount)) found += l.tree.FindPathNode(path) != nullptr;
        l.treeFound = found;
    }
}

void FindInMap(benchmark::State& state) {
    Lookups& l = Shared();
    for (auto _ : state) {
        int found = 0;
        for (const std::string& path : Paths(Lookups::kCount)) {
            auto it = l.map.find(path);
            found += it != l.map.end() && it->second != nullptr;
        }
        l.mapFound = found;
    }
}

void Register() {
    using thorn::bench::Row;
    for (int n : {5000, 50000, 500000})
        benchmark::RegisterBenchmark(("build/" + std::to_string(n)).c_str(), [n](benchmark::State& s) { Build(s, n); })
            ->Unit(benchmark::kMillisecond);
    for (int n : {2000, 20000})
        benchmark::RegisterBenchmark(("deep path/" + std::to_string(n)).c_str(),
                                     [n](benchmark::State& s) { BuildDeep(s, n); })
            ->Unit(benchmark::kMillisecond);
    for (int n : {5000, 50000})
        benchmark::RegisterBenchmark(("rename deep root/" + std::to_string(n)).c_str(),
                                     [n](benchmark::State& s) { RenameDeep(s, n); })
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("find every path/50000", FindInTree)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("unordered_map find every path/50000", FindInMap)->Unit(benchmark::kMillisecond);

    Row lookups;
    lookups.label = "FindPathNode of 50,000 paths";
    lookups.ours = {"find every path/50000"};
    lookups.peerName = "unordered_map";
    lookups.peer = {"unordered_map find every path/50000"};
    lookups.target = thorn::bench::RatioAtMost(2.0);
    thorn::bench::AddRow(lookups);
    thorn::bench::AddCheck(lookups.label, [] {
        Lookups& l = Shared();
        for (const auto& [path, node] : l.map)
            if (l.tree.FindPathNode(path) != node) throw thorn::bench::Disagreement("the tree found another node");
        if (l.treeFound != Lookups::kCount || l.mapFound != Lookups::kCount)
            throw thorn::bench::Disagreement("tree found " + std::to_string(l.treeFound) + ", map " +
                                             std::to_string(l.mapFound));
        return std::string("both found every node");
    });
    for (auto [from, to] : {std::pair{5000, 50000}, std::pair{50000, 500000}}) {
        Row growth;
        growth.label = "AddPathNode building, growth from " + std::to_string(from) + " to " + std::to_string(to);
        growth.ours = {"build/" + std::to_string(to)};
        growth.peerName = std::to_string(from);
        growth.peer = {"build/" + std::to_string(from)};
        growth.growth = 10;
        growth.unit = "";
        growth.target = thorn::bench::AtMost(1.15);
        thorn::bench::AddRow(growth);
    }
    Row deep;
    deep.label = "AddPathNode of one deep path, growth from 2,000 to 20,000 levels";
    deep.ours = {"deep path/20000"};
    deep.peerName = "2000";
    deep.peer = {"deep path/2000"};
    deep.growth = 10;
    deep.unit = "";
    deep.target = thorn::bench::AtMost(1.15);
    thorn::bench::AddRow(deep);
    Row rename = deep;
    // From 5,000 levels: below that the whole chain stays in the caches.
    rename.label = "SetText of the root of one deep path, growth from 5,000 to 50,000 levels";
    rename.peerName = "5000";
    rename.ours = {"rename deep root/50000"};
    rename.peer = {"rename deep root/5000"};
    thorn::bench::AddRow(rename);
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    return thorn::bench::Main(argc, argv);
}
