#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "inspector/HashSlots.h"

// The paths of the path trees (the grid's tree and the path tree view) and
// the index that finds a node by its path. A node's path is the separator
// followed by the text, for each ancestor from the root down and the node
// itself. The node types only need to tell their text and parent
// (GetText, GetParent).
namespace thorn {

// The path of node; "" for no node.
template <typename Node>
std::string PathOf(const Node* node, char sep) {
    size_t length = 0;
    for (const Node* n = node; n; n = n->GetParent()) length += n->GetText().size() + 1;
    std::string path(length, sep);
    for (const Node* n = node; n; n = n->GetParent()) {
        const std::string& text = n->GetText();
        length -= text.size();
        std::memcpy(path.data() + length, text.data(), text.size());
        --length;
    }
    return path;
}

// Whether path is node's path, compared name by name from the node up,
// without building it.
template <typename Node>
bool PathIs(const Node* node, std::string_view path, char sep) {
    size_t end = path.size();
    for (const Node* n = node; n; n = n->GetParent()) {
        const std::string& text = n->GetText();
        if (end < text.size() + 1) return false;
        const size_t start = end - text.size();
        if (path[start - 1] != sep || std::memcmp(path.data() + start, text.data(), text.size()) != 0) return false;
        end = start - 1;
    }
    return end == 0;
}

// The entries of a path index, one for each indexed node (the hash of the
// path it is indexed under, that path's length and the node), in a list,
// found by hash through HashSlots. A node keeps the position of its entry,
// so it is taken out by node and never by a path another node may share.
// Traits tells what an entry is and where a node keeps its position:
//   using Entry, Node;
//   static Entry Make(int32_t hash, size_t length, Node* node);
//   static int32_t HashOf(const Entry&);
//   static size_t LengthOf(const Entry&);
//   static Node* NodeOf(const Entry&);
//   static int32_t& PositionOf(Node&);  // -1 while the node has no entry
template <typename Traits>
class PathIndex {
public:
    using Entry = typename Traits::Entry;
    using Node = typename Traits::Node;

    int Count() const { return static_cast<int>(entries_.size()); }
    // How many entries have been taken out: while it stands, no path found
    // indexed has left the index.
    uint64_t Removals() const { return removals_; }
    const Entry& operator[](int index) const { return entries_[static_cast<size_t>(index)]; }
    const std::vector<Entry>& Entries() const { return entries_; }

    // The first entry of hash for which matches (its position) holds, -1.
    template <typename Match>
    int Find(int32_t hash, Match matches) const {
        return slots_.Find(hash, matches);
    }
    // The entry of hash whose node's path is path, -1.
    int FindPath(int32_t hash, std::string_view path, char sep) const {
        return slots_.Find(hash, [&](uint32_t position) {
            const Entry& entry = entries_[position];
            return Traits::LengthOf(entry) == path.size() && PathIs(Traits::NodeOf(entry), path, sep);
        });
    }

    // Enters node (which has no entry) under a path of that hash and length.
    void Add(int32_t hash, size_t length, Node* node) {
        entries_.push_back(Traits::Make(hash, length, node));
        Traits::PositionOf(*node) = static_cast<int32_t>(entries_.size() - 1);
        slots_.Add(hash, static_cast<uint32_t>(entries_.size() - 1));
    }
    // Takes the entry at index out; the last entry takes its position.
    void Remove(int32_t index) {
        const auto position = static_cast<uint32_t>(index);
        const auto last = static_cast<uint32_t>(entries_.size() - 1);
        slots_.Remove(position, Traits::HashOf(entries_[position]), last, Traits::HashOf(entries_[last]));
        Traits::PositionOf(*Traits::NodeOf(entries_[position])) = -1;
        if (position != last) {
            entries_[position] = entries_.back();
            Traits::PositionOf(*Traits::NodeOf(entries_[position])) = index;
        }
        entries_.pop_back();
        ++removals_;
    }
    // Forgets every entry (the nodes are told nothing).
    void Clear() {
        removals_ += entries_.size();
        entries_.clear();
        slots_.Clear();
    }

private:
    std::vector<Entry> entries_;
    uint64_t removals_ = 0;
    HashSlots slots_;
};

}  // namespace thorn
