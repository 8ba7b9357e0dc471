#pragma once

#include <algorithm>
#include <cstdint>

#include "model/OrvSerializer.h"
#include "model/OrvSimpleArray.h"

// Small helpers shared by the records' Serialize routines.
namespace thorn {

// Resizes an array to n elements (a negative n counts as 0). Saving leaves an
// array that already holds n elements as it is.
template <typename T>
void ResizeTo(Orv::CSimpleArray<T>& array, int n) {
    array.SetSize(std::clamp(n, 0, Orv::CSimpleArray<T>::kMaxCount));
}

// A count byte stored before a list whose length the project fixes: the
// array is sized to n, the byte written is n, and a byte read is only
// skipped, so a file that disagrees can never size an array on its own.
template <typename T>
void FixedCountByte(Orv::ISerializer& s, Orv::CSimpleArray<T>& array, int n) {
    ResizeTo(array, n);
    uint8_t stored = static_cast<uint8_t>(std::min(array.GetCount(), 255));
    s.Byte(stored);
}

// Every element of an array, in order.
inline void Elements(Orv::ISerializer& s, Orv::CSimpleArray<uint32_t>& array) {
    for (uint32_t& value : array) s.Dword(value);
}
inline void Elements(Orv::ISerializer& s, Orv::CSimpleArray<uint16_t>& array) {
    for (uint16_t& value : array) s.Word(value);
}
inline void Elements(Orv::ISerializer& s, Orv::CSimpleArray<uint8_t>& array) {
    for (uint8_t& value : array) s.Byte(value);
}

// A 32-bit switch stored as one byte (the serializer's one-byte integer).
inline void SwitchAsByte(Orv::ISerializer& s, uint32_t& value) {
    int asInt = static_cast<int>(value);  // a failed read leaves it as it was
    s.IntAsByte(asInt);
    value = static_cast<uint32_t>(asInt);
}

}  // namespace thorn
