// Reads arbitrary bytes as the registry's file. A file must be read or found
// damaged; one that is read must write out as text that reads back to the
// same tree.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/RegistryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto top = thorn::registry::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!top) return 0;
    const std::string text = thorn::registry::Format(*top);
    const auto again = thorn::registry::Parse(text);
    if (!again || thorn::registry::Format(*again) != text) std::abort();
    return 0;
}
