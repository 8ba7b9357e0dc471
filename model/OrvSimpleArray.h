#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <stdexcept>
#include <utility>

namespace Orv {

// Growable array with a signed 16-bit count and capacity (at most 32767
// elements). New elements are value-initialised (all zero for plain types);
// shrinking keeps the block but resets the dropped elements, so growing back
// shows zeros, never old values.
template <typename T>
class CSimpleArray {
public:
    static constexpr int kMaxCount = 32767;
    static constexpr uint16_t kKeepGrowBy = 0xFFFF;

    CSimpleArray() = default;
    CSimpleArray(const CSimpleArray& other) { CopyFrom(other); }
    CSimpleArray& operator=(const CSimpleArray& other) {
        if (this != &other) {
            SetSize(0);
            CopyFrom(other);
        }
        return *this;
    }
    CSimpleArray(CSimpleArray&& other) noexcept { Swap(other); }
    CSimpleArray& operator=(CSimpleArray&& other) noexcept {
        if (this != &other) {
            SetSize(0);
            Swap(other);
        }
        return *this;
    }
    virtual ~CSimpleArray() = default;

    int GetCount() const { return count_; }
    int GetCapacity() const { return capacity_; }
    int GetGrowBy() const { return growBy_; }
    bool IsEmpty() const { return count_ == 0; }

    // Resizes to n elements; answers 1, or 0 when n is outside 0..32767 or the
    // allocation fails (the array is then unchanged).
    int SetSize(int n, uint16_t growBy = kKeepGrowBy) {
        if (growBy != kKeepGrowBy) growBy_ = static_cast<int16_t>(std::min<int>(growBy, kMaxCount));
        if (n < 0 || n > kMaxCount) return 0;
        if (n == 0) {
            data_.reset();
            count_ = capacity_ = 0;
            return 1;
        }
        if (n > capacity_) {
            int step = growBy_;
            if (step == 0) step = std::clamp(count_ / 8, 4, 1024);
            int newCapacity = capacity_ + step >= n ? std::min(capacity_ + step, kMaxCount) : n;
            std::unique_ptr<T[]> block;
            try {
                block = std::make_unique<T[]>(static_cast<size_t>(newCapacity));
            } catch (const std::bad_alloc&) {
                return 0;
            }
            std::move(data_.get(), data_.get() + count_, block.get());
            data_ = std::move(block);
            count_ = static_cast<int16_t>(n);
            capacity_ = static_cast<int16_t>(newCapacity);
            return 1;
        }
        for (int i = n; i < count_; ++i) data_[i] = T{};
        count_ = static_cast<int16_t>(n);
        return 1;
    }

    // Appends n elements copied from source; answers the index of the first
    // new one, or -1 when the array cannot grow.
    int AddN(const T* source, int n) {
        if (n < 0) return -1;
        if (source >= data_.get() && source < data_.get() + count_) {
            // The source lives in this array and may move when it grows.
            std::unique_ptr<T[]> copy = std::make_unique<T[]>(static_cast<size_t>(n));
            std::copy(source, source + n, copy.get());
            return AddN(copy.get(), n);
        }
        int old = count_;
        if (!SetSize(old + n)) return -1;
        std::copy(source, source + n, data_.get() + old);
        return old;
    }
    int Add(const T& value) { return AddN(&value, 1); }

    // Removes the element at i, moving the later ones down.
    void RemoveAt(int i) {
        CheckIndex(i);
        std::move(data_.get() + i + 1, data_.get() + count_, data_.get() + i);
        SetSize(count_ - 1);
    }

    // Index of the first element equal to value, -1 when absent.
    int IndexOf(const T& value) const {
        for (int i = 0; i < count_; ++i)
            if (data_[i] == value) return i;
        return -1;
    }

    T& operator[](int i) {
        CheckIndex(i);
        return data_[i];
    }
    const T& operator[](int i) const {
        CheckIndex(i);
        return data_[i];
    }

    std::span<T> Items() { return {data_.get(), static_cast<size_t>(count_)}; }
    std::span<const T> Items() const { return {data_.get(), static_cast<size_t>(count_)}; }
    T* begin() { return data_.get(); }
    T* end() { return data_.get() + count_; }
    const T* begin() const { return data_.get(); }
    const T* end() const { return data_.get() + count_; }

private:
    void CheckIndex(int i) const {
        if (i < 0 || i >= count_) throw std::out_of_range("array index out of range");
    }
    void CopyFrom(const CSimpleArray& other) {
        growBy_ = other.growBy_;
        if (other.count_ && SetSize(other.count_))
            std::copy(other.begin(), other.end(), data_.get());
    }
    void Swap(CSimpleArray& other) noexcept {
        std::swap(count_, other.count_);
        std::swap(capacity_, other.capacity_);
        std::swap(growBy_, other.growBy_);
        std::swap(data_, other.data_);
    }

    int16_t count_ = 0;
    int16_t capacity_ = 0;
    int16_t growBy_ = 0;
    std::unique_ptr<T[]> data_;
};

}  // namespace Orv
