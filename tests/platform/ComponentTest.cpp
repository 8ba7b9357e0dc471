#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/Collections.h"
#include "platform/Components.h"

namespace {

// Records what it is told, and its own destruction, into a shared log.
class Probe : public TComponent {
public:
    explicit Probe(std::vector<std::string>* log = nullptr) : log_(log) {}
    ~Probe() override {
        if (log_) log_->push_back("destroyed " + GetName());
    }
    void BeforeDestruction() override {
        TComponent::BeforeDestruction();
        if (log_) log_->push_back("before " + GetName());
    }

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (log_ && component != this)
            log_->push_back(GetName() + (operation == opInsert ? " +" : " -") + component->GetName());
    }

private:
    std::vector<std::string>* log_;
};

TEST(TComponent, OwnerDestroysWhatItOwnsLastMadeFirst) {
    std::vector<std::string> log;
    {
        Probe owner(&log);
        owner.SetName("Owner");
        Probe* a = thorn::Make<Probe>(owner, &log);
        a->SetName("A");
        Probe* b = thorn::Make<Probe>(owner, &log);
        b->SetName("B");
        EXPECT_EQ(owner.GetComponentCount(), 2);
        EXPECT_EQ(owner.GetComponent(1), b);
        EXPECT_EQ(b->GetOwner(), &owner);
        EXPECT_EQ(b->GetComponentIndex(), 1);
        log.clear();
    }
    // The holder's own destructor runs first, then what it owns goes, last
    // made first; they are not told of each other's end.
    std::vector<std::string> expected{"destroyed Owner", "before B", "destroyed B", "before A", "destroyed A"};
    EXPECT_EQ(log, expected);
}

TEST(TComponent, FreeRemovesFromTheOwnerAndTellsTheSiblings) {
    std::vector<std::string> log;
    Probe owner(&log);
    owner.SetName("Owner");
    Probe* a = thorn::Make<Probe>(owner, &log);
    a->SetName("A");
    Probe* b = thorn::Make<Probe>(owner, &log);
    b->SetName("B");
    thorn::ComponentRef<Probe> ref(a);
    log.clear();
    thorn::Free(a);
    EXPECT_FALSE(ref);
    EXPECT_EQ(owner.GetComponentCount(), 1);
    EXPECT_EQ(owner.GetComponent(0), b);
    std::vector<std::string> expected{"before A", "destroyed A", "B -A", "Owner -A"};
    EXPECT_EQ(log, expected);
    thorn::Free(nullptr);
}

// A kind that hears no removals is passed over by its owner's news, but for
// one that came to own a component, which passes the news on to it. (The
// probe logs what it is told, which a kind that hears none would not do.)
TEST(TComponent, ComponentsThatHearNoRemovalsArePassedOverButForWhatTheyOwn) {
    struct Quiet : Probe {
        explicit Quiet(std::vector<std::string>* log) : Probe(log) { HearNoRemovals(); }
    };
    std::vector<std::string> log;
    Probe owner(&log);
    owner.SetName("Owner");
    thorn::Make<Quiet>(owner, &log)->SetName("Quiet");
    Quiet* parent = thorn::Make<Quiet>(owner, &log);
    parent->SetName("Parent");
    Probe* a = thorn::Make<Probe>(owner, &log);
    a->SetName("A");
    thorn::Make<Probe>(owner, &log)->SetName("B");
    thorn::Make<Probe>(*parent, &log)->SetName("Child");
    log.clear();
    thorn::Free(a);
    std::vector<std::string> expected{"before A", "destroyed A", "B -A", "Child -A", "Parent -A", "Owner -A"};
    EXPECT_EQ(log, expected);
}

TEST(TComponent, AComponentWithoutOwnerIsFreedByItsHolder) {
    auto lone = std::make_unique<Probe>();
    EXPECT_THROW(thorn::Free(lone.get()), EInvalidOperation);
    EXPECT_EQ(lone->GetOwner(), nullptr);
}

TEST(TComponent, NamesAreIdentifiersUniqueWithinTheOwnerIgnoringCase) {
    TComponent owner;
    auto* a = thorn::Make<TComponent>(owner);
    auto* b = thorn::Make<TComponent>(owner);
    a->SetName("Speed");
    EXPECT_THROW(b->SetName("SPEED"), EComponentError);
    EXPECT_THROW(b->SetName("2fast"), EComponentError);
    EXPECT_THROW(b->SetName("with space"), EComponentError);
    b->SetName("Speed_editor");
    a->SetName("speed");  // a new case of its own name is fine
    EXPECT_EQ(owner.FindComponent("SPEED"), a);
    EXPECT_EQ(owner.FindComponent("speed_EDITOR"), b);
    EXPECT_EQ(owner.FindComponent("missing"), nullptr);
    EXPECT_EQ(owner.FindComponent(""), nullptr);
    a->SetName("");
    b->SetName("");  // empty names never clash

    // A component carrying a taken name cannot join the owner.
    auto stray = std::make_unique<TComponent>();
    a->SetName("Taken");
    stray->SetName("taken");
    EXPECT_THROW(owner.InsertComponent(std::move(stray)), EComponentError);
    EXPECT_EQ(owner.GetComponentCount(), 2);
    EXPECT_THROW(owner.GetComponent(2), EListError);
}

// The owner finds a component by name only while the component is listed
// under it with that name, whichever way the name or the listing changed.
TEST(TComponent, AComponentIsFoundByTheNameItHasWhileItIsOwned) {
    TComponent owner, other;
    auto* a = thorn::Make<TComponent>(owner);
    auto* b = thorn::Make<TComponent>(owner);
    a->SetName("Alpha");
    b->SetName("Beta");
    std::unique_ptr<TComponent> removed;
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* name;
        std::function<TComponent*()> found;
    };
    const Step steps[] = {
        {"renamed", [&] { a->SetName("Gamma"); }, "gamma", [&] { return a; }},
        {"its old name", [] {}, "Alpha", [] { return nullptr; }},
        {"the old name taken by another", [&] { b->SetName("ALPHA"); }, "alpha", [&] { return b; }},
        {"the other's old name", [] {}, "Beta", [] { return nullptr; }},
        {"a new case of its own name", [&] { a->SetName("GAMMA"); }, "Gamma", [&] { return a; }},
        {"emptied", [&] { a->SetName(""); }, "gamma", [] { return nullptr; }},
        {"removed", [&] { removed = owner.RemoveComponent(b); }, "Alpha", [] { return nullptr; }},
        {"renamed while nobody owns it", [&] { removed->SetName("Delta"); }, "Delta", [] { return nullptr; }},
        {"inserted elsewhere", [&] { other.InsertComponent(std::move(removed)); }, "Alpha", [] { return nullptr; }},
        {"freed", [&] { a->SetName("Epsilon"); thorn::Free(a); }, "Epsilon", [] { return nullptr; }},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(owner.FindComponent(s.name), s.found());
    }
    EXPECT_EQ(other.FindComponent("delta"), b);
    EXPECT_EQ(owner.GetComponentCount(), 0);
}

// Numbered names go on from the last one given, and come back to a number
// that was freed.
TEST(TComponent, FirstFreeNameTakesTheLowestNumberNoComponentHas) {
    TComponent owner;
    std::vector<TComponent*> made;
    for (const char* expected : {"Item1", "Item2", "Item3"}) {
        const std::string name = owner.FirstFreeName("Item");
        EXPECT_EQ(name, expected);
        made.push_back(thorn::Make<TComponent>(owner));
        made.back()->SetName(name);
    }
    EXPECT_EQ(owner.FirstFreeName("Item"), "Item4") << "a name given but not taken is given again";
    EXPECT_EQ(owner.FirstFreeName("ITEM"), "ITEM4") << "taken names are found without their case";
    made[1]->SetName("Other");
    EXPECT_EQ(owner.FirstFreeName("Item"), "Item2");
    made[1]->SetName("Item2");
    thorn::Free(made[0]);
    EXPECT_EQ(owner.FirstFreeName("Item"), "Item1");
    EXPECT_EQ(owner.FirstFreeName("Other"), "Other1");
}

TEST(TComponent, RemoveAndInsertMoveOwnership) {
    std::vector<std::string> log;
    Probe first(&log), second(&log);
    first.SetName("First");
    second.SetName("Second");
    Probe* moved = thorn::Make<Probe>(first, &log);
    moved->SetName("Moved");
    log.clear();
    std::unique_ptr<TComponent> taken = first.RemoveComponent(moved);
    ASSERT_EQ(taken.get(), moved);
    EXPECT_EQ(moved->GetOwner(), nullptr);
    second.InsertComponent(std::move(taken));
    EXPECT_EQ(moved->GetOwner(), &second);
    std::vector<std::string> expected{"First -Moved", "Second +Moved"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(first.RemoveComponent(moved), nullptr);
}

// A component that left its owner, however it left and whoever holds it
// then, hears nothing of the news its old owner passes on afterwards: it is
// no longer reached from there (once freed it could not be).
TEST(TComponent, AComponentThatLeftItsOwnerHearsNoMoreOfItsNews) {
    const char* leavings[] = {"removed and kept", "removed and inserted into another owner", "removed and freed"};
    struct News {
        const char* what;
        void (*pass)(Probe& owner, Probe& sibling, Probe& uncle);
    };
    const News news[] = {
        {"a sibling freed", [](Probe&, Probe& sibling, Probe&) { thorn::Free(&sibling); }},
        {"a sibling removed", [](Probe& owner, Probe& sibling, Probe&) { owner.RemoveComponent(&sibling); }},
        {"the owner's sibling freed, news from above", [](Probe&, Probe&, Probe& uncle) { thorn::Free(&uncle); }},
    };
    for (const char* leaving : leavings) {
        for (const News& n : news) {
            SCOPED_TRACE(std::string(leaving) + ", then " + n.what);
            std::vector<std::string> log;
            Probe top(&log), elsewhere(&log);
            Probe* owner = thorn::Make<Probe>(top, &log);
            Probe* uncle = thorn::Make<Probe>(top, &log);
            Probe* leaver = thorn::Make<Probe>(*owner, &log);
            Probe* sibling = thorn::Make<Probe>(*owner, &log);
            leaver->SetName("Leaver");
            std::unique_ptr<TComponent> kept = owner->RemoveComponent(leaver);
            if (leaving == leavings[1]) elsewhere.InsertComponent(std::move(kept));
            if (leaving == leavings[2]) kept.reset();
            log.clear();
            n.pass(*owner, *sibling, *uncle);
            EXPECT_TRUE(std::none_of(log.begin(), log.end(), [](const std::string& line) {
                return line.starts_with("Leaver ");
            })) << testing::PrintToString(log);
        }
    }
}

TEST(TComponent, FreeNotificationTellsAComponentOfAnotherOwner) {
    std::vector<std::string> log;
    Probe ownerA(&log), ownerB(&log);
    ownerA.SetName("OwnerA");
    ownerB.SetName("OwnerB");
    Probe* watcher = thorn::Make<Probe>(ownerA, &log);
    watcher->SetName("Watcher");
    Probe* watched = thorn::Make<Probe>(ownerB, &log);
    watched->SetName("Watched");
    watcher->FreeNotification(watched);
    log.clear();
    thorn::Free(watched);
    std::vector<std::string> expected{"before Watched", "destroyed Watched", "Watcher -Watched", "OwnerB -Watched"};
    EXPECT_EQ(log, expected);

    // Once the watcher is gone, nothing refers to it any more.
    Probe* other = thorn::Make<Probe>(ownerB, &log);
    other->SetName("Other");
    watcher->FreeNotification(other);
    thorn::Free(watcher);
    log.clear();
    thorn::Free(other);
    std::vector<std::string> after{"before Other", "destroyed Other", "OwnerB -Other"};
    EXPECT_EQ(log, after);
}

TEST(TComponent, DestroyingIsSetBeforeTheDerivedPartsGo) {
    struct Watch : TComponent {
        bool* sawDestroying;
        explicit Watch(bool* flag) : sawDestroying(flag) {}
        void BeforeDestruction() override {
            TComponent::BeforeDestruction();
            *sawDestroying = GetComponentState().Contains(csDestroying);
        }
    };
    bool saw = false;
    TComponent owner;
    thorn::Make<Watch>(owner, &saw);
    owner.DestroyComponents();
    EXPECT_TRUE(saw);
    EXPECT_EQ(owner.GetComponentCount(), 0);
}

TEST(TComponent, LoadingReachesOwnedComponents) {
    struct Counting : TComponent {
        int loads = 0;
        void Loaded() override {
            TComponent::Loaded();
            ++loads;
        }
    };
    TComponent owner;
    auto* child = thorn::Make<Counting>(owner);
    owner.Loading();
    EXPECT_TRUE(child->GetComponentState().Contains(csLoading));
    auto* late = thorn::Make<Counting>(owner);
    EXPECT_TRUE(late->GetComponentState().Contains(csLoading));
    owner.Loaded();
    EXPECT_FALSE(child->GetComponentState().Contains(csLoading));
    EXPECT_EQ(child->loads, 1);
    EXPECT_EQ(late->loads, 1);
}

// ---- collections

class NamedItem : public TCollectionItem {
public:
    std::string name;
    void Assign(const TPersistent& source) override {
        if (auto* other = dynamic_cast<const NamedItem*>(&source)) {
            name = other->name;
            Changed(false);
            return;
        }
        TCollectionItem::Assign(source);
    }
};

TEST(TCollection, ItemsAreMadeOwnedMovedAndCopied) {
    TCollection items(TCollection::ItemClass<NamedItem>());
    std::vector<TCollectionItem*> updates;
    items.OnUpdate = [&](TCollection*, TCollectionItem* item) { updates.push_back(item); };
    auto* a = static_cast<NamedItem*>(items.Add());
    a->name = "a";
    auto* b = static_cast<NamedItem*>(items.Add());
    b->name = "b";
    auto* c = static_cast<NamedItem*>(items.Insert(0));
    c->name = "c";
    EXPECT_EQ(items.GetCount(), 3);
    EXPECT_EQ(items.GetItem(0), c);
    EXPECT_EQ(a->GetIndex(), 1);
    EXPECT_EQ(a->GetCollection(), &items);
    EXPECT_EQ(items.FindItemID(b->GetID()), b);
    EXPECT_EQ(updates.size(), 3u);

    b->SetIndex(-4);  // clamped to the first place
    EXPECT_EQ(items.GetItem(0), b);
    EXPECT_THROW(items.GetItem(3), EListError);
    EXPECT_THROW(items.GetItem(-1), EListError);

    TCollection copy(TCollection::ItemClass<NamedItem>());
    copy.Assign(items);
    ASSERT_EQ(copy.GetCount(), 3);
    EXPECT_EQ(static_cast<NamedItem*>(copy.GetItem(0))->name, "b");
    EXPECT_NE(copy.GetItem(0), items.GetItem(0));

    NamedItem replacement;
    replacement.name = "z";
    items.SetItem(2, replacement);
    EXPECT_EQ(static_cast<NamedItem*>(items.GetItem(2))->name, "z");

    updates.clear();
    items.BeginUpdate();
    items.Delete(0);
    items.Delete(0);
    EXPECT_TRUE(updates.empty());
    items.EndUpdate();
    EXPECT_EQ(updates.size(), 1u);
    EXPECT_EQ(items.GetCount(), 1);

    a = static_cast<NamedItem*>(items.GetItem(0));
    a->SetCollection(&copy);
    EXPECT_EQ(items.GetCount(), 0);
    EXPECT_EQ(copy.GetCount(), 4);
    EXPECT_EQ(copy.GetItem(3), a);
    items.Clear();
    copy.Clear();
    EXPECT_EQ(copy.GetCount(), 0);
}

}  // namespace
