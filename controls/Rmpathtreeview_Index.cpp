// The path tree view's index: an entry per indexed node (its path's hash,
// the path's length and the node), found through open addressing with
// linear probing over the hashes. Paths are compared in full among the
// entries of equal hash; a node knows its entry, so it is taken out by node
// and never by a path another node may share.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "controls/Rmlibrary_Files.h"
#include "controls/Rmpathtreeview.h"
#include "inspector/Rmlibrary.h"

int32_t TrmTreeNodes::HashValue(std::string_view path) const { return GetStrCRC32(path); }

bool TrmTreeNodes::PathIs(const TTreeNode* node, std::string_view path) const {
    const char sep = owner_->GetSepChar();
    size_t end = path.size();
    for (const TTreeNode* n = node; n; n = n->GetParent()) {
        const std::string& text = n->GetText();
        if (end < text.size() + 1) return false;
        const size_t start = end - text.size();
        if (path[start - 1] != sep || std::memcmp(path.data() + start, text.data(), text.size()) != 0) return false;
        end = start - 1;
    }
    return end == 0;
}

int TrmTreeNodes::FindEntry(int32_t hash, std::string_view path) const {
    return slots_.Find(hash, [&](uint32_t position) {
        const TrmHashData& entry = entries_[position];
        return static_cast<size_t>(entry.Length) == path.size() && PathIs(entry.Node, path);
    });
}

int TrmTreeNodes::LocateHashIndex(std::string_view path) const { return FindEntry(HashValue(path), path); }

TrmTreeNode* TrmTreeNodes::LocateNode(std::string_view path) const {
    const int index = LocateHashIndex(path);
    return index < 0 ? nullptr : entries_[static_cast<size_t>(index)].Node;
}

void TrmTreeNodes::BinaryInsert(std::string_view path, TrmTreeNode* node) {
    if (node) InsertEntry(HashValue(path), path, node);
}

void TrmTreeNodes::InsertEntry(int32_t hash, std::string_view path, TrmTreeNode* node) {
    if (&node->GetOwner() != this) throw ETreeViewError("The node belongs to another tree");
    // A path is entered once.
    if (FindEntry(hash, path) >= 0) return;
    if (node->hashEntry_ >= 0) RemoveEntry(node->hashEntry_);
    TrmHashData entry;
    entry.Hash = hash;
    entry.Length = static_cast<int32_t>(path.size());
    entry.Node = node;
    entries_.push_back(entry);
    node->hashEntry_ = static_cast<int32_t>(entries_.size() - 1);
    slots_.Add(hash, static_cast<uint32_t>(entries_.size() - 1));
}

void TrmTreeNodes::RemoveHash(TrmTreeNode* node) {
    if (node && &node->GetOwner() == this && node->hashEntry_ >= 0) RemoveEntry(node->hashEntry_);
}

const TrmTreeNodes::TrmHashData& TrmTreeNodes::GetHashData(int index) const {
    if (index < 0 || index >= GetHashCount()) throw ETreeViewError("Invalid index");
    return entries_[static_cast<size_t>(index)];
}

void TrmTreeNodes::RemoveEntry(int32_t index) {
    const auto position = static_cast<uint32_t>(index);
    const auto last = static_cast<uint32_t>(entries_.size() - 1);
    slots_.Remove(position, entries_[position].Hash, last, entries_[last].Hash);
    entries_[position].Node->hashEntry_ = -1;
    // The last entry takes the freed position.
    if (position != last) {
        entries_[position] = entries_.back();
        entries_[position].Node->hashEntry_ = index;
    }
    entries_.pop_back();
}

TrmTreeNode* TrmTreeNodes::AddChildKnowing(TTreeNode* parent, const std::string& text, const KnownPath& known) {
    known_ = &known;
    // A handler told of the node (a change waiting for its delay) may free
    // the view, and these nodes with it.
    struct Forget {
        const KnownPath*& known;
        thorn::ComponentRef<TrmCustomPathTreeView> view;
        ~Forget() {
            if (view) known = nullptr;
        }
    } forget{known_, owner_};
    return AddChild(parent, text);
}

std::filesystem::path TrmTreeNodes::DumpHash() const {
    std::vector<const TrmHashData*> order;
    order.reserve(entries_.size());
    for (const TrmHashData& entry : entries_) order.push_back(&entry);
    std::stable_sort(order.begin(), order.end(),
                     [](const TrmHashData* a, const TrmHashData* b) { return a->Hash < b->Hash; });
    std::string text;
    for (const TrmHashData* entry : order) text += owner_->NodePath(entry->Node) + "\r\n";
    // A name of its own, made with the file, so that nobody else's file or
    // link of that name is written through.
    std::string name = GetTempDir() + "tvhash-XXXXXX.txt";
    const int handle = mkstemps(name.data(), 4);
    if (handle < 0) throw EFOpenError("Cannot create file \"" + name + "\". " + std::strerror(errno));
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t got = write(handle, text.data() + written, text.size() - written);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            const int error = errno;
            close(handle);
            unlink(name.c_str());
            throw EWriteError("Stream write error: " + std::string(std::strerror(error)));
        }
        written += static_cast<size_t>(got);
    }
    close(handle);
    return name;
}
