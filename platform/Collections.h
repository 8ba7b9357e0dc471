#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Classes.h"

// A list index outside the list.
class EListError : public Exception {
    using Exception::Exception;
};

// Throws EListError "List index out of bounds (index)".
[[noreturn]] void ThrowListIndexError(int index);

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

// One item of a TCollection; the collection owns it.
class TCollectionItem : public TPersistent {
public:
    TCollectionItem() = default;
    ~TCollectionItem() override = default;
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;

    TCollection* GetCollection() const { return collection_; }
    // Moves the item into another collection (or out of every one, which
    // destroys it); the item object stays the same.
    void SetCollection(TCollection* collection);
    int GetID() const { return id_; }
    // Position in the collection, -1 without one.
    int GetIndex() const;
    virtual void SetIndex(int value);
    // The collection.
    TCollection* GetOwner() const { return collection_; }

protected:
    // Reports a change of this item (or of all items) to the collection.
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    int id_ = 0;
};

// An ordered collection of items of one class, made by an item factory.
class TCollection : public TPersistent {
public:
    using ItemFactory = std::function<std::unique_ptr<TCollectionItem>()>;

    template <typename T>
    static ItemFactory ItemClass() {
        return [] { return std::make_unique<T>(); };
    }

    explicit TCollection(ItemFactory itemClass);
    ~TCollection() override;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    TCollectionItem* Add();
    // A new item at index (clamped to 0 .. Count).
    TCollectionItem* Insert(int index);
    void Delete(int index);
    void Clear();
    int GetCount() const { return static_cast<int>(items_.size()); }
    // The item at index; throws EListError outside the collection.
    TCollectionItem* GetItem(int index) const;
    // Copies value into the existing item at index.
    void SetItem(int index, const TCollectionItem& value);
    TCollectionItem* FindItemID(int id) const;
    // Takes an item out without destroying it.
    std::unique_ptr<TCollectionItem> Extract(TCollectionItem* item);

    void BeginUpdate();
    void EndUpdate();
    int GetUpdateCount() const { return updateCount_; }

    // Replaces the items by copies of another collection's items.
    void Assign(const TPersistent& source) override;

    // The object this collection belongs to, if any.
    virtual TPersistent* GetOwner() const { return nullptr; }

    // Runs after every change (with the changed item, or null for many).
    std::function<void(TCollection* sender, TCollectionItem* item)> OnUpdate;

protected:
    // Called when the collection changed and no update is open.
    virtual void Update(TCollectionItem* item);
    virtual void Notify(TCollectionItem* item, TCollectionNotification action);
    void Changed();

private:
    friend class TCollectionItem;
    TCollectionItem* InsertItem(std::unique_ptr<TCollectionItem> item, int index);
    void ItemChanged(TCollectionItem* item);
    void MoveItem(TCollectionItem* item, int newIndex);

    ItemFactory itemClass_;
    std::vector<std::unique_ptr<TCollectionItem>> items_;
    int nextId_ = 0;
    int updateCount_ = 0;
};

// A collection that knows its owner.
class TOwnedCollection : public TCollection {
public:
    TOwnedCollection(TPersistent* owner, ItemFactory itemClass) : TCollection(std::move(itemClass)), owner_(owner) {}
    TPersistent* GetOwner() const override { return owner_; }

private:
    TPersistent* owner_;
};
