#include "platform/Collections.h"

#include <algorithm>

void ThrowListIndexError(int index) { throw EListError("List index out of bounds (" + std::to_string(index) + ")"); }

void TCollectionItem::SetCollection(TCollection* collection) {
    if (collection == collection_) return;
    if (!collection_) throw EInvalidOperation("An item is made by its collection");
    std::unique_ptr<TCollectionItem> self = collection_->Extract(this);
    if (collection) collection->InsertItem(std::move(self), collection->GetCount());
    // Without a new collection the item goes with `self`.
}

int TCollectionItem::GetIndex() const {
    if (!collection_) return -1;
    const auto& items = collection_->items_;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].get() == this) return static_cast<int>(i);
    return -1;
}

void TCollectionItem::SetIndex(int value) {
    if (collection_ && value != GetIndex()) collection_->MoveItem(this, value);
}

void TCollectionItem::Changed(bool allItems) {
    if (collection_) collection_->ItemChanged(allItems ? nullptr : this);
}

TCollection::TCollection(ItemFactory itemClass) : itemClass_(std::move(itemClass)) {}

TCollection::~TCollection() {
    updateCount_ = 1;  // no notifications from a dying collection
    while (!items_.empty()) {
        std::unique_ptr<TCollectionItem> last = std::move(items_.back());
        items_.pop_back();
        last->collection_ = nullptr;
    }
}

TCollectionItem* TCollection::Add() { return Insert(GetCount()); }

TCollectionItem* TCollection::Insert(int index) {
    return InsertItem(itemClass_(), std::clamp(index, 0, GetCount()));
}

TCollectionItem* TCollection::InsertItem(std::unique_ptr<TCollectionItem> item, int index) {
    TCollectionItem* raw = item.get();
    item->collection_ = this;
    item->id_ = nextId_++;
    items_.insert(items_.begin() + std::clamp(index, 0, GetCount()), std::move(item));
    Notify(raw, cnAdded);
    Changed();
    return raw;
}

void TCollection::Delete(int index) {
    TCollectionItem* item = GetItem(index);
    Notify(item, cnDeleting);
    std::unique_ptr<TCollectionItem> taken = Extract(item);
}

std::unique_ptr<TCollectionItem> TCollection::Extract(TCollectionItem* item) {
    auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& p) { return p.get() == item; });
    if (it == items_.end()) return nullptr;
    Notify(item, cnExtracting);
    std::unique_ptr<TCollectionItem> taken = std::move(*it);
    items_.erase(it);
    taken->collection_ = nullptr;
    Changed();
    return taken;
}

void TCollection::Clear() {
    if (items_.empty()) return;
    thorn::WithinUpdate(*this, [&] {
        while (!items_.empty()) Delete(GetCount() - 1);
    });
}

TCollectionItem* TCollection::GetItem(int index) const {
    if (index < 0 || index >= GetCount()) ThrowListIndexError(index);
    return items_[static_cast<size_t>(index)].get();
}

void TCollection::SetItem(int index, const TCollectionItem& value) { GetItem(index)->Assign(value); }

TCollectionItem* TCollection::FindItemID(int id) const {
    for (const auto& item : items_)
        if (item->id_ == id) return item.get();
    return nullptr;
}

void TCollection::MoveItem(TCollectionItem* item, int newIndex) {
    int from = item->GetIndex();
    int to = std::clamp(newIndex, 0, GetCount() - 1);
    if (from < 0 || from == to) return;
    std::unique_ptr<TCollectionItem> taken = std::move(items_[static_cast<size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(taken));
    Changed();
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
    if (updateCount_ <= 0) return;
    if (--updateCount_ == 0) Changed();
}

void TCollection::Changed() {
    if (updateCount_ == 0) Update(nullptr);
}

void TCollection::ItemChanged(TCollectionItem* item) {
    if (updateCount_ == 0) Update(item);
}

void TCollection::Update(TCollectionItem* item) {
    if (OnUpdate) OnUpdate(this, item);
}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::Assign(const TPersistent& source) {
    if (const auto* other = dynamic_cast<const TCollection*>(&source)) {
        if (other == this) return;
        thorn::WithinUpdate(*this, [&] {
            Clear();
            for (const auto& item : other->items_) Add()->Assign(*item);
        });
        return;
    }
    TPersistent::Assign(source);
}
