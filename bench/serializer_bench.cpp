// Writing and reading a record of many small fields through the serializers.
#include <benchmark/benchmark.h>

#include <vector>

#include "Harness.h"
#include "model/OrvSerializer.h"

namespace {

struct Record {
    std::vector<uint32_t> numbers = std::vector<uint32_t>(4096, 0x01020304);
    std::vector<Orv::CString> names = std::vector<Orv::CString>(512, Orv::CString("Province name"));

    void Serialize(Orv::ISerializer& s) {
        for (uint32_t& n : numbers) s.Dword(n);
        for (Orv::CString& name : names) s.String(name);
    }
};

void BM_SaveTwoPass(benchmark::State& state) {
    Record r;
    for (auto _ : state) {
        std::vector<uint8_t> bytes = Orv::SerializeToBytes(r);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_SaveTwoPass);

void BM_Load(benchmark::State& state) {
    Record r;
    std::vector<uint8_t> bytes = Orv::SerializeToBytes(r);
    for (auto _ : state) {
        Orv::CSerialLoader loader(bytes);
        r.Serialize(loader);
        benchmark::DoNotOptimize(loader.Position());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_Load);

}  // namespace

int main(int argc, char** argv) { return thorn::bench::Main(argc, argv); }
