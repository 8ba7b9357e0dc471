// Reads arbitrary bytes as one of the game's files the export writes: the
// first byte chooses "mission.dat" (even) or a cell map (odd). What was read
// without running out of bytes must write back to exactly the bytes read.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "export/CellImages.h"
#include "export/Pda_serialize.h"
#include "model/OrvSerializer.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

template <typename Record, typename Walk>
void RoundTrip(std::span<const uint8_t> bytes, Walk walk) {
    Record record;
    Orv::CSerialLoader loader(bytes);
    walk(record, loader);
    if (loader.Error()) return;
    Orv::CSerialSizer sizer;
    walk(record, sizer);
    std::vector<uint8_t> written(sizer.Size());
    Orv::CSerialSaver saver(written);
    walk(record, saver);
    Check(!saver.Error());
    Check(std::vector<uint8_t>(bytes.begin(), bytes.begin() + loader.Position()) == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::span<const uint8_t> bytes(data + 1, size - 1);
    if (data[0] % 2 == 0)
        RoundTrip<PdaMission>(bytes, [](PdaMission& m, Orv::ISerializer& s) { SerializeMission(m, s); });
    else
        RoundTrip<CMapDta>(bytes, [](CMapDta& m, Orv::ISerializer& s) { SerializeMapDta(m, s); });
    return 0;
}
