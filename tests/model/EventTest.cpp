#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "RecordsProject.h"
#include "model/Event.h"
#include "model/Event_list.h"

namespace {

using thorn::test::Bytes;
using thorn::test::RecordsProject;

TEST(EventList, FirstEventOfANewMission) {
    RecordsProject project(3, 2);
    CEventList events;
    CEvent* e = events.AddEvent();
    ASSERT_NE(e, nullptr);
    // Turn 1, enabled, text pair 0, six player flags and three amounts of
    // each kind, all 0.
    EXPECT_EQ(thorn::test::SaveWith(*e, uint8_t{3}),
              (Bytes{1, 0, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1}));
    EXPECT_EQ(project.Table().GetEventTitle(e->TextSlot), "Message #1");
    EXPECT_EQ(project.Table().GetEventText(e->TextSlot), "Message #1 Info");
    EXPECT_EQ(events.GetCount(), 1);
    EXPECT_EQ(events.GetAt(0), e);
}

TEST(EventList, RemovedPairsAreHandedOutAgain) {
    RecordsProject project;
    CEventList events;
    CEvent* first = events.AddEvent();
    CEvent* second = events.AddEvent();
    CEvent* third = events.AddEvent();
    EXPECT_EQ(events.Remove(first), 1);
    EXPECT_EQ(project.Table().GetEventTitle(0), "");
    CEvent* fourth = events.AddEvent();
    EXPECT_EQ(fourth->TextSlot, 0);
    EXPECT_EQ(project.Table().GetEventTitle(fourth->TextSlot), "Message #1");
    EXPECT_EQ(project.Table().GetEventTitle(second->TextSlot), "Message #2");
    EXPECT_EQ(project.Table().GetEventTitle(third->TextSlot), "Message #3");
    // Order is the order of addition.
    EXPECT_EQ(events.GetAt(0), second);
    EXPECT_EQ(events.GetAt(1), third);
    EXPECT_EQ(events.GetAt(2), fourth);
    EXPECT_EQ(events.GetAt(3), nullptr);
}

TEST(EventList, PositionsAndRemoval) {
    RecordsProject project;
    CEventList events;
    CEventList other;
    CEvent* a = events.AddEvent();
    CEvent* b = events.AddEvent();
    CEvent* foreign = other.AddEvent();
    EXPECT_EQ(events.IndexOf(nullptr), 0xFFFF);
    EXPECT_EQ(events.IndexOf(foreign), 0xFFFF);
    EXPECT_EQ(events.IndexOf(b), 1);
    EXPECT_EQ(events.GetAt(events.GetCount()), nullptr);

    EXPECT_EQ(events.Remove(nullptr), 0);
    EXPECT_THROW(events.Remove(foreign), CList<CEvent*>::NotExist);
    EXPECT_EQ(events.GetCount(), 2);
    EXPECT_EQ(project.Table().GetEventTitle(foreign->TextSlot), "Message #3");

    EXPECT_EQ(events.Remove(b), 1);  // the last one
    EXPECT_EQ(events.GetCount(), 1);
    EXPECT_EQ(events.GetAt(0), a);
    CEvent* c = events.AddEvent();
    EXPECT_EQ(events.GetAt(1), c);  // the tail was mended
    EXPECT_EQ(events.Remove(a), 1);
    EXPECT_EQ(events.Remove(c), 1);  // the only one
    EXPECT_EQ(events.GetCount(), 0);
    EXPECT_EQ(events.GetAt(0), nullptr);
    EXPECT_NE(events.AddEvent(), nullptr);
    EXPECT_EQ(events.GetCount(), 1);
}

TEST(EventList, CountEnabledAndClear) {
    RecordsProject project;
    CEventList events;
    for (int i = 0; i < 4; ++i) events.AddEvent();
    events.GetAt(1)->Enabled = 0;
    EXPECT_EQ(events.CountEnabled(), 3);
    events.Clear();
    EXPECT_EQ(events.GetCount(), 0);
    EXPECT_EQ(events.CountEnabled(), 0);
    // Clearing leaves the text pairs as they are.
    EXPECT_EQ(project.Table().GetEventTitle(3), "Message #4");
}

TEST(EventList, AtMostOneHundredFiftyEventsEachWithAPairOfItsOwn) {
    RecordsProject project(0, 0);
    project.tables.Add(std::make_unique<CStringTable>());
    CEventList events;
    for (int i = 0; i < 140; ++i) ASSERT_NE(events.AddEvent(), nullptr) << i;
    EXPECT_EQ(events.AddEvent(), nullptr);  // no free pair
    EXPECT_EQ(events.GetCount(), 140);

    // A title emptied by the designer leaves the pair with its event: a new
    // event taking it would overwrite the old one's texts and share them.
    project.Table().EventStrings[0].Title.clear();
    EXPECT_EQ(events.AddEvent(), nullptr);
    EXPECT_EQ(project.tables.GetAt(1)->GetEventText(0), "Message #1 Info");
    EXPECT_EQ(events.Remove(events.GetAt(0)), 1);
    ASSERT_NE(events.AddEvent(), nullptr);
    EXPECT_EQ(events.GetAt(139)->TextSlot, 0);

    // A stored list may hold 150 events; the 151st is refused with pairs free.
    Bytes stored = {150, 0};
    for (int i = 0; i < 150; ++i) stored.insert(stored.end(), {1, 0, 0, 0, 1, 139, 1});
    CEventList loaded;
    ASSERT_EQ(thorn::test::LoadInto(loaded, stored).Error(), 0u);
    project.tables.ClearEventStrings(5);
    EXPECT_EQ(loaded.AddEvent(), nullptr);
    EXPECT_EQ(loaded.GetCount(), 150);
    EXPECT_EQ(project.tables.GetAt(1)->GetEventTitle(5), "");  // nothing was handed out
}

TEST(EventList, AddingAndRemovingMarkTheProjectModified) {
    RecordsProject project;
    CEventList events;
    CEvent* added = nullptr;
    const struct {
        const char* what;
        std::function<bool()> act;
        uint32_t modified;
    } steps[] = {
        {"added", [&] { return (added = events.AddEvent()) != nullptr; }, 1},
        {"nothing removed", [&] { return events.Remove(nullptr) == 0; }, 0},
        {"removed", [&] { return events.Remove(added) == 1; }, 1},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        project.modified = 0;
        EXPECT_TRUE(step.act());
        EXPECT_EQ(project.modified, step.modified);
    }
}

TEST(EventList, WithoutStringTablesNoEventIsAdded) {
    RecordsProject project;
    project.tables.Clear();
    CEventList events;
    EXPECT_EQ(events.AddEvent(), nullptr);
    EXPECT_EQ(events.GetCount(), 0);
}

TEST(EventList, EnabledIsStoredAsItsLowByte) {
    RecordsProject project(0, 0);
    CEvent e;
    e.Enabled = 0x101;
    Bytes bytes = thorn::test::SaveWith(e, uint8_t{0});
    EXPECT_EQ(bytes, (Bytes{1, 0, 0, 0, 1, 0, 1}));
}

TEST(EventList, StoredFlagCountIsKept) {
    RecordsProject project(1, 0);
    Bytes stored = {1, 0, 7, 0, 2, 1, 0, 1, 2, 3, 4, 5, 6};  // two flags, one resource
    CEventList events;
    Orv::CSerialLoader loader = thorn::test::LoadInto(events, stored);
    EXPECT_EQ(loader.Error(), 0u);
    EXPECT_EQ(loader.Position(), stored.size());
    EXPECT_EQ(events.GetAt(0)->PlayerFlags.GetCount(), 2);
    EXPECT_EQ(Orv::SerializeToBytes(events), stored);
}

// A stored list holds what the list itself can: 150 whole events are read,
// 151 are refused and leave the list empty.
TEST(EventList, AStoredListHoldsAtMostOneHundredFiftyEvents) {
    RecordsProject project(1, 0);
    const Bytes event = {7, 0, 2, 1, 0, 1, 2, 3, 4, 0, 6};  // two flags, one resource, text slot 0
    const struct {
        uint16_t count;
        int answer;
        uint16_t held;
    } cases[] = {{150, 1, 150}, {151, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        Bytes stored = {static_cast<uint8_t>(c.count), 0};
        for (uint16_t i = 0; i < c.count; ++i) stored.insert(stored.end(), event.begin(), event.end());
        CEventList events;
        events.AddEvent();
        Orv::CSerialLoader loader(stored);
        EXPECT_EQ(events.Serialize(loader), c.answer);
        EXPECT_EQ(events.GetCount(), c.held);
    }
}

TEST(EventList, MoveShiftsTheEventsBetween) {
    RecordsProject project;
    CEventList events;
    CEvent* e[4];
    for (CEvent*& added : e) added = events.AddEvent();
    struct Case {
        uint16_t from, to;
        int answer;
        std::array<int, 4> order;  // indices into e afterwards
    };
    const Case cases[] = {
        {0, 1, 1, {1, 0, 2, 3}},  // down one
        {1, 0, 1, {0, 1, 2, 3}},  // and back up
        {3, 0, 1, {3, 0, 1, 2}},  // the last to the front
        {0, 3, 1, {0, 1, 2, 3}},  // and back
        {2, 2, 0, {0, 1, 2, 3}},
        {0, 4, 0, {0, 1, 2, 3}},  // past the end
        {4, 0, 0, {0, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " -> " << c.to);
        project.modified = 0;
        EXPECT_EQ(events.Move(c.from, c.to), c.answer);
        EXPECT_EQ(project.modified, static_cast<uint32_t>(c.answer));
        for (uint16_t i = 0; i < 4; ++i) EXPECT_EQ(events.GetAt(i), e[c.order[i]]) << i;
    }
    // Texts stay with their events.
    events.Move(0, 2);
    EXPECT_EQ(project.Table().GetEventTitle(events.GetAt(2)->TextSlot), "Message #1");
    CEvent* appended = events.AddEvent();
    EXPECT_EQ(events.GetAt(4), appended);  // the tail is still the tail
}

TEST(EventList, SettersMarkOnlyChanges) {
    RecordsProject project(2, 0);
    CEventList events;
    CEvent& e = *events.AddEvent();
    struct Case {
        const char* what;
        std::function<int()> set;
        int answer;
    };
    const Case cases[] = {
        {"turn", [&] { return e.SetTurn(7); }, 1},
        {"same turn", [&] { return e.SetTurn(7); }, 0},
        {"effect", [&] { return e.SetEffect(CEventB::Custom); }, 1},
        {"affects", [&] { return e.SetAffects(0); }, 1},
        {"enabled", [&] { return e.SetEnabled(0); }, 1},
        {"same enabled", [&] { return e.SetEnabled(0); }, 0},
        {"player flag", [&] { return e.SetPlayerFlag(5, true); }, 1},
        {"same player flag", [&] { return e.SetPlayerFlag(5, true); }, 0},
        {"flag past the players", [&] { return e.SetPlayerFlag(6, true); }, 0},
        {"increase", [&] { return e.SetIncrease(1, 40); }, 1},
        {"decrease", [&] { return e.SetDecrease(0, 3); }, 1},
        {"amount past the resources", [&] { return e.SetDecrease(2, 3); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        project.modified = 0;
        EXPECT_EQ(c.set(), c.answer);
        EXPECT_EQ(project.modified, static_cast<uint32_t>(c.answer));
    }
    // Turn 7, flag 5, custom, amounts (0, 3) and (40, 0) interleaved, off,
    // slot 0, affects 0.
    EXPECT_EQ(thorn::test::SaveWith(e, uint8_t{2}),
              (Bytes{7, 0, 6, 0, 0, 0, 0, 0, 1, 2, 0, 3, 40, 0, 0, 0, 0}));
}

}  // namespace
