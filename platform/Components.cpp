#include "platform/Components.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>

#include "platform/Charset.h"
#include "platform/Collections.h"
#include "platform/NumberedNames.h"
#include "platform/Properties.h"

namespace thorn {
namespace {

// A name as SameText sees it: every letter a capital.
std::string NameKey(std::string_view name) {
    std::string key(name);
    for (char& c : key) c = static_cast<char>(UpperCase1252(static_cast<unsigned char>(c)));
    return key;
}

}  // namespace

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (UpperCase1252(static_cast<unsigned char>(a[i])) != UpperCase1252(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool IsValidIdent(std::string_view name) {
    auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    if (name.empty() || !alpha(name[0])) return false;
    return std::all_of(name.begin(), name.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

void Free(TComponent* component) {
    if (!component || component->state_.Contains(csDestroying)) return;
    TComponent* owner = component->owner_;
    if (!owner) throw EInvalidOperation("A component without an owner is freed by whoever holds it");
    // Still naming its owner but out of its list: Free took it already and
    // it is on its way out.
    const auto& owned = owner->components_;
    if (std::none_of(owned.begin(), owned.end(), [&](const auto& c) { return c.get() == component; })) return;
    std::unique_ptr<TComponent> holder = owner->TakeForDestruction(component);
    holder->BeforeDestruction();
    holder.reset();
}

}  // namespace thorn

struct TComponent::NameIndex {
    std::unordered_map<std::string, TComponent*> byKey;
    uint64_t freed = 0;  // names that left the index
    thorn::NumberedNames numbered;
};

TComponent::TComponent() = default;

TComponent::~TComponent() {
    Destroying();
    if (selfCell_) *selfCell_ = nullptr;
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        other->RemoveFreeNotifyEntry(this);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    // Owner still set here only when thorn::Free took us out of its list:
    // tell it now, after our own parts are gone, so that whatever the owner
    // does on hearing it (drop its field, free another control) meets
    // nothing of ours half-freed.
    if (owner_) {
        TComponent* owner = owner_;
        owner_ = nullptr;
        if (!owner->state_.Contains(csDestroying)) owner->Notification(this, opRemove);
    }
}

std::shared_ptr<TComponent*> TComponent::SelfCell() const {
    if (state_.Contains(csDestroying)) return std::make_shared<TComponent*>(nullptr);
    if (!selfCell_) selfCell_ = std::make_shared<TComponent*>(const_cast<TComponent*>(this));
    return selfCell_;
}

void TComponent::PublishProperties(thorn::PropertyList& list) {
    list.Int64(
        "Tag", [this] { return int64_t{tag_}; }, [this](int64_t v) { tag_ = static_cast<intptr_t>(v); }, 0);
}

void TComponent::SetName(const std::string& name) {
    if (name == name_) return;
    if (!name.empty() && !thorn::IsValidIdent(name)) throw EComponentError("'" + name + "' is not a valid component name");
    if (owner_) owner_->ValidateRename(this, name_, name);
    const std::string old = std::exchange(name_, name);
    if (owner_ && listed_) {
        owner_->UnindexName(this, old);
        owner_->IndexName(this);
    }
}

void TComponent::IndexName(TComponent* component) {
    if (component->name_.empty()) return;
    if (!names_) names_ = std::make_unique<NameIndex>();
    names_->byKey[thorn::NameKey(component->name_)] = component;
}

void TComponent::UnindexName(TComponent* component, std::string_view name) {
    if (name.empty() || !names_) return;
    auto it = names_->byKey.find(thorn::NameKey(name));
    if (it == names_->byKey.end() || it->second != component) return;
    names_->byKey.erase(it);
    ++names_->freed;
}

void TComponent::ValidateRename(TComponent* component, std::string_view currentName, std::string_view newName) const {
    if (newName.empty() || thorn::SameText(currentName, newName)) return;
    TComponent* existing = FindComponent(newName);
    if (existing && existing != component)
        throw EComponentError("A component named " + std::string(newName) + " already exists");
}

TComponent* TComponent::GetComponent(int index) const {
    if (index < 0 || index >= GetComponentCount()) ThrowListIndexError(index);
    return components_[static_cast<size_t>(index)].get();
}

int TComponent::GetComponentIndex() const {
    if (!owner_) return -1;
    const auto& list = owner_->components_;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].get() == this) return static_cast<int>(i);
    return -1;
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty() || !names_) return nullptr;
    auto it = names_->byKey.find(thorn::NameKey(name));
    return it == names_->byKey.end() ? nullptr : it->second;
}

std::string TComponent::FirstFreeName(const std::string& stem) {
    if (!names_) names_ = std::make_unique<NameIndex>();
    return names_->numbered.FirstFree(stem, names_->freed, [this](const std::string& name) { return FindComponent(name); });
}

TComponent* TComponent::InsertComponent(std::unique_ptr<TComponent> component) {
    if (!component) return nullptr;
    if (component->owner_) throw EInvalidOperation("The component already has an owner");
    ValidateRename(component.get(), "", component->name_);
    TComponent* raw = component.get();
    components_.push_back(std::move(component));
    raw->owner_ = this;
    raw->listed_ = true;
    if (raw->Listens()) {
        raw->listening_ = true;
        listeners_.push_back(raw);
    }
    StartListening();
    IndexName(raw);
    if (state_.Contains(csLoading)) raw->Loading();
    Notification(raw, opInsert);
    return raw;
}

std::unique_ptr<TComponent> TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find_if(components_.begin(), components_.end(), [&](const auto& c) { return c.get() == component; });
    if (it == components_.end()) return nullptr;
    Notification(component, opRemove);
    // The notification may have changed the list: look again.
    it = std::find_if(components_.begin(), components_.end(), [&](const auto& c) { return c.get() == component; });
    if (it == components_.end()) return nullptr;
    std::unique_ptr<TComponent> taken = components_.take(static_cast<size_t>(it - components_.begin()));
    taken->listed_ = false;
    StopPassingTo(taken.get());
    UnindexName(taken.get(), taken->name_);
    taken->owner_ = nullptr;
    return taken;
}

std::unique_ptr<TComponent> TComponent::TakeForDestruction(TComponent* component) {
    auto it = std::find_if(components_.begin(), components_.end(), [&](const auto& c) { return c.get() == component; });
    if (it == components_.end()) throw EInvalidOperation("The component is not owned here");
    std::unique_ptr<TComponent> taken = components_.take(static_cast<size_t>(it - components_.begin()));
    taken->listed_ = false;
    StopPassingTo(taken.get());
    UnindexName(taken.get(), taken->name_);
    // owner_ stays set: the destructor tells us once the component is gone.
    return taken;
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        std::unique_ptr<TComponent> last = std::move(components_.back());
        components_.pop_back();
        last->listed_ = false;
        StopPassingTo(last.get());
        UnindexName(last.get(), last->name_);
        last->owner_ = nullptr;
        last->BeforeDestruction();
        last.reset();
    }
}

void TComponent::BeforeDestruction() { Destroying(); }

void TComponent::Destroying() {
    if (state_.Contains(csDestroying)) return;
    state_.Include(csDestroying);
    if (selfCell_) *selfCell_ = nullptr;
    for (const auto& c : components_) c->Destroying();
}

void TComponent::DropReferences() {
    if (!selfCell_) selfCell_ = std::make_shared<TComponent*>(nullptr);
    *selfCell_ = nullptr;
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component) RemoveFreeNotification(component);
    if (operation != opRemove) return;
    // Handlers may remove components: walk down and re-clamp the index.
    for (int i = static_cast<int>(listeners_.size()) - 1; i >= 0; --i) {
        if (i >= static_cast<int>(listeners_.size())) {
            i = static_cast<int>(listeners_.size());
            continue;
        }
        listeners_[static_cast<size_t>(i)]->Notification(component, operation);
    }
}

void TComponent::StartListening() {
    if (listening_ || !owner_ || !listed_ || !Listens()) return;
    listening_ = true;
    // Rare (a component that hears no removals came to own or watch one):
    // the owner's listeners are taken again in the order of its list.
    std::vector<TComponent*>& listeners = owner_->listeners_;
    listeners.clear();
    for (const auto& c : owner_->components_)
        if (c->listening_) listeners.push_back(c.get());
}

void TComponent::StopPassingTo(TComponent* component) {
    if (!component->listening_) return;
    component->listening_ = false;
    // The last made goes first, and so is looked for from the back.
    auto it = std::find(listeners_.rbegin(), listeners_.rend(), component);
    if (it != listeners_.rend()) listeners_.erase(std::next(it).base());
}

void TComponent::AddFreeNotifyEntry(TComponent* component) {
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
        freeNotifies_.push_back(component);
    StartListening();
}

bool TComponent::RemoveFreeNotifyEntry(TComponent* component) {
    auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), component);
    if (it == freeNotifies_.end()) return false;
    freeNotifies_.erase(it);
    return true;
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    if (owner_ && component->owner_ == owner_) {
        state_.Include(csFreeNotification);
        return;
    }
    AddFreeNotifyEntry(component);
    component->AddFreeNotifyEntry(this);
    state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    RemoveFreeNotifyEntry(component);
    component->RemoveFreeNotifyEntry(this);
}

void TComponent::Loading() {
    state_.Include(csLoading);
    for (const auto& c : components_) c->Loading();
}

void TComponent::Loaded() {
    for (size_t i = 0; i < components_.size(); ++i)
        if (components_[i]->state_.Contains(csLoading)) components_[i]->Loaded();
    state_.Exclude(csLoading);
}
