#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Classes.h"
#include "platform/FrontList.h"
#include "platform/Sets.h"

// Components: objects with an owner, a name and free notification.
//
// Ownership: a component made with thorn::Make<T>(owner, ...) belongs to
// owner, which holds it in a std::unique_ptr and destroys it (last made, first
// destroyed) when it is destroyed itself. Make returns a non-owning pointer.
// An owned component is freed early with thorn::Free(component), which asks
// its owner to destroy it. A component made without an owner is held by whoever
// made it, through std::unique_ptr (or as a plain member or local). Nothing
// outside an owner ever deletes a component.
//
// Destroying a component sets csDestroying on it and on what it owns, tells
// every component that asked for free notification (Notification with
// opRemove), destroys what it owns, then tells its owner, which passes the
// news on to every component it owns (but for those that hear no removals,
// see HearNoRemovals). Weak references (thorn::ComponentRef) read null from
// the moment destruction starts.

class EComponentError : public Exception {
    using Exception::Exception;
};

enum TOperation { opInsert, opRemove };

enum TComponentStateMember {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFreeNotification,
};
using TComponentState = thorn::EnumSet<TComponentStateMember>;

class TComponent;

namespace thorn {
void Free(TComponent* component);
template <typename T>
class ComponentRef;
}  // namespace thorn

class TComponent : public TPersistent {
public:
    TComponent();
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* GetOwner() const { return owner_; }
    const std::string& GetName() const { return name_; }
    // Names are identifiers (a letter or "_", then letters, digits or "_"),
    // unique among the components of one owner regardless of case; an empty
    // name is always allowed. A refused name throws EComponentError.
    virtual void SetName(const std::string& name);
    intptr_t GetTag() const { return tag_; }
    void SetTag(intptr_t tag) { tag_ = tag; }
    TComponentState GetComponentState() const { return state_; }

    int GetComponentCount() const { return static_cast<int>(components_.size()); }
    // The owned component at index (0 = made first); throws EListError past the end.
    TComponent* GetComponent(int index) const;
    // Position in the owner's list, -1 without an owner.
    int GetComponentIndex() const;
    // The owned component of that name (case ignored), or null. Names are
    // looked up in an index, so a search costs the same among thousands.
    TComponent* FindComponent(std::string_view name) const;
    // The first of stem + "1", stem + "2", ... that no owned component has
    // (case ignored). The numbers found taken are remembered until a name
    // leaves this owner, so naming many components this way stays linear.
    std::string FirstFreeName(const std::string& stem);

    // Takes ownership of component (which must have no owner) and tells this
    // owner (Notification with opInsert); the components it owns already are
    // not told of a newcomer, so that filling an owner with thousands stays
    // linear. Returns the component.
    TComponent* InsertComponent(std::unique_ptr<TComponent> component);
    // Gives up ownership of component: the owner and its components are told
    // (opRemove; see HearNoRemovals for those passed over) and the caller
    // receives it. Null when it is not owned here.
    std::unique_ptr<TComponent> RemoveComponent(TComponent* component);
    // Destroys every owned component, last made first.
    void DestroyComponents();

    // Asks to be told (Notification with opRemove) when component is destroyed.
    // Components of one owner already hear of each other through that owner.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Loading brackets: Loading sets csLoading here and on every owned
    // component; Loaded clears it (owned components first).
    void Loading();
    virtual void Loaded();

    // Runs while the object is still whole, just before an owner or
    // thorn::Free destroys it: marks it (and what it owns) as being destroyed.
    // Overrides call the base first.
    virtual void BeforeDestruction();

    // Publishes Tag (default 0); the name is part of a stream's component header.
    void PublishProperties(thorn::PropertyList& list) override;
    // The components a form stream writes after this one's properties, each
    // handed to proc; root is the component the stream began with. None here.
    virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {}
    // Places a component read from a form stream under the one it was
    // written after (its parent control, say). Nothing here.
    virtual void SetParentComponent(TComponent* parent) {}

    // Runs Notification; the platform's broadcast of inserts and removals.
    void Notify(TComponent* component, TOperation operation) { Notification(component, operation); }

protected:
    // Told about components joining this owner (opInsert), leaving this
    // one's owner or this owner (opRemove), and about components this one
    // asked free notification of. The base passes the news of a removal on
    // to every owned component, last made first, but for those that hear
    // no removals.
    virtual void Notification(TComponent* component, TOperation operation);
    // For a kind that keeps the base's Notification, made by the thousand
    // under one owner (the rows of a grid): while such a component owns none
    // and asked free notification of none, the news of another component
    // leaving would change nothing in it, so its owner does not pass it on,
    // and the owner's components are freed each in a time of its own, not
    // in one growing with those left. Called by the kind's constructor.
    void HearNoRemovals() { hearsRemovals_ = false; }
    // Checks that newName can be given to component (one of this owner's);
    // throws EComponentError when a sibling has it.
    virtual void ValidateRename(TComponent* component, std::string_view currentName, std::string_view newName) const;
    // Marks this component and what it owns as being destroyed.
    void Destroying();
    // Weak references to this component read null from here on: its
    // destruction has begun, though it is not marked yet (its own OnDestroy
    // runs first).
    void DropReferences();

private:
    template <typename T>
    friend class thorn::ComponentRef;
    friend void thorn::Free(TComponent* component);

    std::shared_ptr<TComponent*> SelfCell() const;
    std::unique_ptr<TComponent> TakeForDestruction(TComponent* component);
    // Keep the index of the owned components' names in step with the list:
    // a component is indexed while it is listed here and has a name.
    void IndexName(TComponent* component);
    void UnindexName(TComponent* component, std::string_view name);
    void AddFreeNotifyEntry(TComponent* component);
    bool RemoveFreeNotifyEntry(TComponent* component);
    // Whether the owner passes news of removals on to this component.
    bool Listens() const { return hearsRemovals_ || !components_.empty() || !freeNotifies_.empty(); }
    // This owned component is passed the news from now on (it came to own
    // a component or to watch one).
    void StartListening();
    // component, leaving this owner's list, leaves its listeners too.
    void StopPassingTo(TComponent* component);

    TComponent* owner_ = nullptr;
    std::string name_;
    intptr_t tag_ = 0;
    TComponentState state_;
    // Freed from the front when a grid clears its rows, first made first.
    thorn::FrontList<std::unique_ptr<TComponent>> components_;
    // The owned components passed the news of removals (those that Listen),
    // in the order of components_.
    std::vector<TComponent*> listeners_;
    bool listening_ = false;  // in its owner's listeners_
    bool hearsRemovals_ = true;
    struct NameIndex;
    std::unique_ptr<NameIndex> names_;  // made with the first named component
    bool listed_ = false;               // in its owner's list (not yet taken out to be destroyed)
    std::vector<TComponent*> freeNotifies_;
    mutable std::shared_ptr<TComponent*> selfCell_;
};

namespace thorn {

// Makes a component owned by owner; the owner destroys it. Returns a
// non-owning pointer.
template <typename T, typename... Args>
T* Make(TComponent& owner, Args&&... args) {
    auto component = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = component.get();
    owner.InsertComponent(std::move(component));
    return raw;
}

// Hands an already made component to owner.
template <typename T>
T* Adopt(TComponent& owner, std::unique_ptr<T> component) {
    T* raw = component.get();
    owner.InsertComponent(std::move(component));
    return raw;
}

// Destroys an owned component through its owner; null does nothing, and so
// does a component whose destruction has begun (a handler of its own
// OnDestroy frees it again). A component without an owner belongs to
// whoever holds it and is refused (EInvalidOperation).
void Free(TComponent* component);

// A weak reference to a component: reads null once the component's
// destruction has started.
template <typename T>
class ComponentRef {
public:
    ComponentRef() = default;
    ComponentRef(T* component) : cell_(CellOf(component)) {}
    ComponentRef& operator=(T* component) {
        cell_ = CellOf(component);
        return *this;
    }

    T* Get() const { return cell_ && *cell_ ? static_cast<T*>(*cell_) : nullptr; }
    T* operator->() const { return Get(); }
    explicit operator bool() const { return Get() != nullptr; }
    bool operator==(const T* other) const { return Get() == other; }
    void Reset() { cell_.reset(); }

private:
    static std::shared_ptr<TComponent*> CellOf(const T* c) {
        return c ? static_cast<const TComponent*>(c)->SelfCell() : nullptr;
    }
    std::shared_ptr<TComponent*> cell_;
};

// Whether a handler freed a component while a call ran that may free it.
// A component already being destroyed when the watch begins (it empties
// itself on the way out) is not watched, and neither is none.
class ComponentWatch {
public:
    explicit ComponentWatch(TComponent* component) : ref_(component), watched_(ref_) {}
    bool Freed() const { return watched_ && !ref_; }

private:
    ComponentRef<TComponent> ref_;
    bool watched_;
};

// Whether name is a valid component name (an identifier).
bool IsValidIdent(std::string_view name);
// Equality of texts with ASCII and Windows-1252 letters compared without case.
bool SameText(std::string_view a, std::string_view b);

}  // namespace thorn
