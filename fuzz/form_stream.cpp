// Reads arbitrary bytes as a form stream holding components that publish
// every property kind. A stream must be read or refused with the layer's
// exception; one that is read must write and read back to the same bytes.
#include <cstdint>
#include <cstdlib>

#include "platform/Filer.h"
#include "tests/support/StreamSamples.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool registered = (thorn::test::RegisterSamples(), true);
    (void)registered;
    TMemoryStream input(std::span<const uint8_t>(data, size));
    std::unique_ptr<TComponent> component;
    try {
        component = thorn::ReadComponent(input);
    } catch (const Exception&) {
        return 0;
    }
    TMemoryStream first, second;
    thorn::WriteComponent(first, *component);
    first.SetPosition(0);
    std::unique_ptr<TComponent> again = thorn::ReadComponent(first);
    thorn::WriteComponent(second, *again);
    if (first.Bytes() != second.Bytes()) std::abort();
    return 0;
}
