#pragma once

#include <cstdint>
#include <memory>

#include "platform/Classes.h"

// Singly linked list of heap-allocated elements, each owned by its node.
// The lists of the model are short (six players, at most 150 events), so the
// simple walk from the head that every index and tail removal does is enough.
template <typename T>
class CList {
public:
    // An index at or past the end.
    struct BadSize : Exception {
        BadSize() : Exception("List index out of bounds") {}
    };
    // An element to remove is not in the list.
    struct NotExist : Exception {
        NotExist() : Exception("The element is not in the list") {}
    };

    template <typename U>
    struct CListItem {
        std::unique_ptr<U> data;
        std::unique_ptr<CListItem> next;
        uint32_t reserved = 0;
    };
    using Item = CListItem<T>;

    CList() = default;
    CList(const CList&) = delete;
    CList& operator=(const CList&) = delete;
    ~CList() { Clear(); }

    uint32_t GetCount() const { return count_; }

    // The node at index i, null when i is past the end.
    Item* GetItem(uint32_t i) const {
        if (i >= count_) return nullptr;
        Item* node = head_.get();
        while (i-- > 0) node = node->next.get();
        return node;
    }

    // Indexed access; an index past the end throws BadSize.
    T& operator[](uint32_t i) {
        Item* node = GetItem(i);
        if (!node) throw BadSize{};
        return *node->data;
    }
    const T& operator[](uint32_t i) const {
        Item* node = GetItem(i);
        if (!node) throw BadSize{};
        return *node->data;
    }

    // Removes nodes from the tail, or appends default elements, until the
    // list holds n elements.
    void Resize(uint32_t n) {
        while (count_ > n) RemoveTail();
        while (count_ < n) Append(std::make_unique<T>());
    }

    void Clear() { Resize(0); }

    // Index of the first element equal to value; 0xFFFFFFFF when absent.
    uint32_t IndexOf(const T& value) const {
        uint32_t i = 0;
        for (Item* node = head_.get(); node; node = node->next.get(), ++i)
            if (*node->data == value) return i;
        return 0xFFFFFFFFu;
    }

    // Appends an element the list takes ownership of; answers its index.
    uint32_t Append(std::unique_ptr<T> element) {
        auto node = std::make_unique<Item>();
        node->data = std::move(element);
        Item* raw = node.get();
        if (tail_)
            tail_->next = std::move(node);
        else
            head_ = std::move(node);
        tail_ = raw;
        return count_++;
    }

    // Removes and destroys the node at index i; BadSize past the end.
    void RemoveAt(uint32_t i) {
        if (i >= count_) throw BadSize{};
        if (i == 0) {
            head_ = std::move(head_->next);
            if (!head_) tail_ = nullptr;
        } else {
            Item* prev = GetItem(i - 1);
            prev->next = std::move(prev->next->next);
            if (!prev->next) tail_ = prev;
        }
        --count_;
    }

    // Removes the first element equal to value; NotExist when there is none.
    void Remove(const T& value) {
        uint32_t i = IndexOf(value);
        if (i == 0xFFFFFFFFu) throw NotExist{};
        RemoveAt(i);
    }

    template <typename F>
    void ForEach(F&& visit) const {
        for (Item* node = head_.get(); node; node = node->next.get()) visit(*node->data);
    }

private:
    void RemoveTail() {
        Item* prev = GetItem(count_ - 2);  // null when only one node is left
        if (!prev) {
            head_.reset();
            tail_ = nullptr;
        } else {
            prev->next.reset();
            tail_ = prev;
        }
        --count_;
    }

    std::unique_ptr<Item> head_;
    Item* tail_ = nullptr;
    uint32_t count_ = 0;
};
