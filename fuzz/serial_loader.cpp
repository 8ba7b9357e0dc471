// Reads arbitrary bytes as a stream of serializer fields chosen by the input
// itself, checking that the loader never reads past its buffer.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "model/OrvSerializer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Orv::CSerialLoader loader(std::span<const uint8_t>(data, size));
    uint8_t kind = 0;
    while (loader.Remaining() > 0) {
        loader.Byte(kind);
        uint32_t d;
        uint16_t w;
        int i;
        Orv::CString s;
        std::string t;
        switch (kind % 5) {
        case 0: loader.Dword(d); break;
        case 1: loader.Word(w); break;
        case 2: loader.IntAsByte(i); break;
        case 3: loader.String(s); break;
        case 4: loader.Text(t); break;
        }
        if (loader.Position() > size) std::abort();
    }
    return 0;
}
