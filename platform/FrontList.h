#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace thorn {

// A list kept in a vector from which the first entry is taken, or before
// which one is put, in constant time: the entries stand from a head on, and
// taking the first one moves the head instead of every entry after it. The
// slots left before the head are given back once they are as many as the
// entries. Else it is a vector: a list emptied from its first entry on costs
// the entries, not their square.
//
// Shift() grows by one when the first entry is taken out and shrinks by one
// when an entry is put first, so index + Shift() of an entry stays the same
// while entries come and go at the front alone: a holder that keeps that sum
// finds the entry again without renumbering the rest. Both are counted
// modulo 2^32 (unsigned), so the count never runs out however long the list
// lives.
template <typename T>
class FrontList {
public:
    using iterator = typename std::vector<T>::iterator;
    using const_iterator = typename std::vector<T>::const_iterator;

    size_t size() const { return slots_.size() - head_; }
    bool empty() const { return slots_.size() == head_; }
    T& operator[](size_t index) { return slots_[head_ + index]; }
    const T& operator[](size_t index) const { return slots_[head_ + index]; }
    T& front() { return slots_[head_]; }
    const T& front() const { return slots_[head_]; }
    T& back() { return slots_.back(); }
    const T& back() const { return slots_.back(); }
    iterator begin() { return slots_.begin() + static_cast<std::ptrdiff_t>(head_); }
    iterator end() { return slots_.end(); }
    const_iterator begin() const { return slots_.begin() + static_cast<std::ptrdiff_t>(head_); }
    const_iterator end() const { return slots_.end(); }
    uint32_t Shift() const { return shift_; }

    void push_back(T value) { slots_.push_back(std::move(value)); }
    void pop_back() {
        slots_.pop_back();
        if (empty()) clear();
    }
    // Puts value at index (0 to size()).
    void insert(size_t index, T value) {
        if (index == 0) {
            --shift_;
            if (head_ > 0) {
                slots_[--head_] = std::move(value);
                return;
            }
        }
        slots_.insert(slots_.begin() + static_cast<std::ptrdiff_t>(head_ + index), std::move(value));
    }
    // Takes the entry at index out of the list.
    T take(size_t index) {
        T taken = std::move(slots_[head_ + index]);
        if (index > 0) {
            slots_.erase(slots_.begin() + static_cast<std::ptrdiff_t>(head_ + index));
            return taken;
        }
        ++shift_;
        if (++head_ >= size()) {
            slots_.erase(slots_.begin(), slots_.begin() + static_cast<std::ptrdiff_t>(head_));
            head_ = 0;
        }
        return taken;
    }
    void clear() {
        slots_.clear();
        head_ = 0;
    }

private:
    std::vector<T> slots_;
    uint32_t head_ = 0;
    uint32_t shift_ = 0;
};

}  // namespace thorn
