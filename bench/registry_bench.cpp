// The registry's store holding many sibling keys under one key (as a long
// history or a list of recent files makes them): one value read from a key
// of the store, the same read just after another program changed the file
// (so the file is parsed again), and one value written (locked, read,
// formatted, written to a synced temporary file and renamed), with 20,000
// and 40,000 sibling keys. The store parses only a file that changed and
// finds keys and values through an index, so a read of an unchanged store
// stays well under a frame (16.7 ms) and every figure grows at most in
// proportion to the keys (growth exponent at most 1.2 from 20,000 to 40,000).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "Harness.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/RegistryFile.h"

namespace {

// The configuration folder of one size's store, removed at the end.
class Store {
public:
    explicit Store(int keys) {
        std::string pattern = (std::filesystem::temp_directory_path() / "thorn-bench-registry-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
        folder_ = pattern;
        thorn::registry::Key top;
        thorn::registry::Key& bench = top.Obtain("HKEY_CURRENT_USER").Obtain("Software").Obtain("Bench");
        for (int i = 0; i < keys; ++i) bench.Obtain("Key " + std::to_string(i)).SetValue("Name", "value " + std::to_string(i));
        texts_[0] = thorn::registry::Format(top);
        bench.Obtain("Key 0").SetValue("Name", "VALUE 0");  // the same size, other bytes
        texts_[1] = thorn::registry::Format(top);
        Use();
        std::filesystem::create_directories(thorn::RegistryFile().parent_path());
        Rewrite();
    }
    ~Store() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Makes this store the user's.
    void Use() const { setenv("XDG_CONFIG_HOME", folder_.c_str(), 1); }
    // Rewrites the file as another program would, with other bytes each time.
    void Rewrite() {
        const std::string& text = texts_[next_ ^= 1];
        thorn::WriteWholeFile(thorn::RegistryFile(), std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    }

private:
    std::filesystem::path folder_;
    std::string texts_[2];
    int next_ = 0;
};

Store& StoreOf(int keys) {
    static Store twenty(20000), forty(40000);
    return keys == 20000 ? twenty : forty;
}

// Opens the key in the middle of the siblings.
void OpenMiddle(TRegistry& registry, int keys) {
    if (!registry.OpenKey("Software\\Bench\\Key " + std::to_string(keys / 2), false))
        throw std::runtime_error("the benchmark's key is missing");
}

void Read(benchmark::State& state, int keys) {
    Store& store = StoreOf(keys);
    store.Use();
    TRegistry registry;
    OpenMiddle(registry, keys);
    for (auto _ : state) benchmark::DoNotOptimize(registry.ReadString("Name"));
}

void ReadAfterChange(benchmark::State& state, int keys) {
    Store& store = StoreOf(keys);
    store.Use();
    TRegistry registry;
    OpenMiddle(registry, keys);
    for (auto _ : state) {
        state.PauseTiming();
        store.Rewrite();
        state.ResumeTiming();
        benchmark::DoNotOptimize(registry.ReadString("Name"));
    }
}

void Write(benchmark::State& state, int keys) {
    Store& store = StoreOf(keys);
    store.Use();
    TRegistry registry;
    OpenMiddle(registry, keys);
    int n = 0;
    for (auto _ : state) registry.WriteInteger("Count", ++n);
}

constexpr double kFrameMs = 1000.0 / 60;

void Register() {
    using thorn::bench::Row;
    struct Kind {
        const char* name;
        void (*run)(benchmark::State&, int);
    };
    const Kind kinds[] = {
        {"registry read", Read}, {"registry read after a change", ReadAfterChange}, {"registry write", Write}};
    for (const Kind& kind : kinds) {
        for (int keys : {20000, 40000})
            benchmark::RegisterBenchmark((std::string(kind.name) + "/" + std::to_string(keys)).c_str(),
                                         [run = kind.run, keys](benchmark::State& s) { run(s, keys); })
                ->Unit(benchmark::kMillisecond);
        Row growth;
        growth.label = std::string(kind.name) + ", growth from 20,000 to 40,000 sibling keys";
        growth.ours = {std::string(kind.name) + "/40000"};
        growth.peerName = "20000";
        growth.peer = {std::string(kind.name) + "/20000"};
        growth.growth = 2;
        growth.unit = "";
        growth.target = thorn::bench::AtMost(1.2);
        thorn::bench::AddRow(growth);
    }
    Row read;
    read.label = "registry read, 40,000 sibling keys";
    read.ours = {"registry read/40000"};
    read.target = thorn::bench::Below(kFrameMs);
    thorn::bench::AddRow(read);
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    return thorn::bench::Main(argc, argv);
}
