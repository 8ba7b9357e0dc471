#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace thorn {

// A small set of enumeration members (at most 64, numbered from 0), used where
// the original platform had Pascal sets: shift states, component states,
// control styles, option sets.
template <typename E>
class EnumSet {
    static_assert(std::is_enum_v<E>);

public:
    constexpr EnumSet() = default;
    constexpr EnumSet(E member) : bits_(Bit(member)) {}
    constexpr EnumSet(std::initializer_list<E> members) {
        for (E m : members) bits_ |= Bit(m);
    }

    static constexpr EnumSet FromBits(uint64_t bits) {
        EnumSet s;
        s.bits_ = bits;
        return s;
    }
    constexpr uint64_t Bits() const { return bits_; }

    constexpr bool Contains(E member) const { return (bits_ & Bit(member)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr EnumSet& Include(E member) {
        bits_ |= Bit(member);
        return *this;
    }
    constexpr EnumSet& Exclude(E member) {
        bits_ &= ~Bit(member);
        return *this;
    }
    constexpr EnumSet& Set(E member, bool on) { return on ? Include(member) : Exclude(member); }

    constexpr EnumSet operator|(EnumSet other) const { return FromBits(bits_ | other.bits_); }
    constexpr EnumSet operator&(EnumSet other) const { return FromBits(bits_ & other.bits_); }
    constexpr EnumSet operator-(EnumSet other) const { return FromBits(bits_ & ~other.bits_); }
    constexpr EnumSet& operator|=(EnumSet other) {
        bits_ |= other.bits_;
        return *this;
    }
    constexpr EnumSet& operator-=(EnumSet other) {
        bits_ &= ~other.bits_;
        return *this;
    }
    constexpr bool operator==(const EnumSet&) const = default;

private:
    static constexpr uint64_t Bit(E member) { return uint64_t{1} << static_cast<unsigned>(member); }
    uint64_t bits_ = 0;
};

}  // namespace thorn
