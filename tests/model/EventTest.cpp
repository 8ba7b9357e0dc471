#include <gtest/gtest.h>

#include "RecordsProject.h"
#include "model/Event.h"
#include "model/Event_list.h"

namespace {

using thorn::test::Bytes;
using thorn::test::RecordsProject;

TEST(Event, ConstructedEvent) {
    CEvent e;
    EXPECT_EQ(e.Turn, 1);
    EXPECT_EQ(e.EffectType, 0);
    EXPECT_EQ(e.Enabled, 1u);
    EXPECT_EQ(e.TextSlot, 0);
    EXPECT_EQ(e.Affects, 1);
    EXPECT_TRUE(e.PlayerFlags.IsEmpty() && e.Resources.Increase.IsEmpty() && e.Resources.Decrease.IsEmpty());
}

TEST(EventList, FirstEventOfANewMission) {
    RecordsProject project(3, 2);
    CEventList events;
    CEvent* e = events.AddEvent();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Turn, 1);
    EXPECT_EQ(e->EffectType, 0);
    EXPECT_EQ(e->Enabled, 1u);
    EXPECT_EQ(e->TextSlot, 0);
    EXPECT_EQ(e->Affects, 1);
    ASSERT_EQ(e->PlayerFlags.GetCount(), 6);
    for (uint8_t f : e->PlayerFlags) EXPECT_EQ(f, 0);
    EXPECT_EQ(e->Resources.Increase.GetCount(), 3);
    EXPECT_EQ(e->Resources.Decrease.GetCount(), 3);
    for (uint8_t a : e->Resources.Increase) EXPECT_EQ(a, 0);
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

TEST(EventList, AtMostOneHundredFiftyEvents) {
    RecordsProject project;
    project.tables.Add(std::make_unique<CStringTable>());
    CEventList events;
    // 140 pairs are handed out; removing events and clearing their pairs lets
    // the list grow past them up to its own limit.
    for (int i = 0; i < 140; ++i) ASSERT_NE(events.AddEvent(), nullptr) << i;
    EXPECT_EQ(events.AddEvent(), nullptr);  // no free pair
    EXPECT_EQ(events.GetCount(), 140);

    // Several events may share a pair whose title was emptied by hand.
    for (int i = 0; i < 10; ++i) {
        project.Table().EventStrings[0].Title.clear();
        ASSERT_NE(events.AddEvent(), nullptr);
    }
    EXPECT_EQ(events.GetCount(), 150);
    project.Table().EventStrings[5].Title.clear();
    EXPECT_EQ(events.AddEvent(), nullptr);  // the 151st is refused
    EXPECT_EQ(events.GetCount(), 150);
    EXPECT_EQ(project.Table().GetEventTitle(5), "");  // nothing was handed out
    EXPECT_EQ(project.tables.GetAt(1)->GetEventTitle(5), "Message #6");
}

TEST(EventList, WithoutStringTablesNoEventIsAdded) {
    RecordsProject project;
    project.tables.Clear();
    CEventList events;
    EXPECT_EQ(events.AddEvent(), nullptr);
    EXPECT_EQ(events.GetCount(), 0);
}

// One event of a project with three resources.
const Bytes kOneEvent = {
    0x05, 0x00,                    // turn
    0x06, 1, 0, 0, 0, 0, 1,        // six player flags
    0x01,                          // effect
    1, 4, 2, 5, 3, 6,              // increase and decrease, resource by resource
    0x01,                          // enabled
    0x02,                          // text slot
    0x01,                          // affects
};

TEST(EventList, ProjectFileLayout) {
    RecordsProject project(3, 2);
    CEventList events;
    events.AddEvent();
    events.AddEvent();
    CEvent* e = events.AddEvent();
    events.Remove(events.GetAt(0));
    events.Remove(events.GetAt(0));
    e->Turn = 5;
    e->PlayerFlags[0] = 1;
    e->PlayerFlags[5] = 1;
    e->EffectType = 1;
    for (int i = 0; i < 3; ++i) {
        e->Resources.Increase[i] = static_cast<uint8_t>(1 + i);
        e->Resources.Decrease[i] = static_cast<uint8_t>(4 + i);
    }
    Bytes expected = {1, 0};
    expected.insert(expected.end(), kOneEvent.begin(), kOneEvent.end());
    ASSERT_EQ(kOneEvent.size(), 19u);
    EXPECT_EQ(Orv::SerializeToBytes(events), expected);

    CEventList back;
    Orv::CSerialLoader loader = thorn::test::LoadInto(back, expected);
    EXPECT_EQ(loader.Error(), 0u);
    ASSERT_EQ(back.GetCount(), 1);
    EXPECT_EQ(back.GetAt(0)->TextSlot, 2);
    EXPECT_EQ(back.GetAt(0)->Resources.Decrease[2], 6);
    EXPECT_EQ(Orv::SerializeToBytes(back), expected);
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
    const CEvent& e = *events.GetAt(0);
    EXPECT_EQ(e.Turn, 7);
    EXPECT_EQ(e.PlayerFlags.GetCount(), 2);
    EXPECT_EQ(e.EffectType, 1);
    EXPECT_EQ(e.Resources.Increase[0], 2);
    EXPECT_EQ(e.Resources.Decrease[0], 3);
    EXPECT_EQ(e.Enabled, 4u);
    EXPECT_EQ(e.TextSlot, 5);
    EXPECT_EQ(e.Affects, 6);
}

TEST(EventList, LoadingRefusesWhatTheLimitsForbid) {
    RecordsProject project(3, 2);
    CEventList events;
    Bytes tooMany = {151, 0};
    Orv::CSerialLoader many(tooMany);
    EXPECT_EQ(events.Serialize(many), 0);
    EXPECT_EQ(events.GetCount(), 0);

    Bytes badSlot = {1, 0};
    badSlot.insert(badSlot.end(), kOneEvent.begin(), kOneEvent.end());
    badSlot[2 + 17] = 145;  // text slot past the pairs
    Orv::CSerialLoader loader(badSlot);
    EXPECT_EQ(events.Serialize(loader), 0);
    EXPECT_EQ(events.GetCount(), 0);

    badSlot[2 + 17] = 144;
    Orv::CSerialLoader fine(badSlot);
    EXPECT_EQ(events.Serialize(fine), 1);
    EXPECT_EQ(events.GetCount(), 1);
}

TEST(EventList, TruncatedBytesNeverReadPastTheEnd) {
    RecordsProject project(3, 2);
    Bytes full = {2, 0};
    for (int i = 0; i < 2; ++i) full.insert(full.end(), kOneEvent.begin(), kOneEvent.end());
    for (size_t cut = 0; cut < full.size(); ++cut) {
        Bytes part(full.begin(), full.begin() + static_cast<long>(cut));
        CEventList events;
        Orv::CSerialLoader loader = thorn::test::LoadInto(events, part);
        EXPECT_EQ(loader.Error(), 1u) << cut;
        EXPECT_LE(loader.Position(), part.size());
        EXPECT_EQ(events.GetCount(), cut < 2 ? 0 : 2);
    }
}

TEST(Event, GameFormByEffect) {
    CEventB e;
    e.Turn = 3;
    e.PlayerFlags.SetSize(6);
    e.PlayerFlags[0] = 1;
    e.Resources.Increase.SetSize(1);
    e.Resources.Increase[0] = 7;
    e.Resources.Decrease.SetSize(1);
    e.Resources.Decrease[0] = 8;
    thorn::MissionCounts counts{.resources = 1, .unitTypes = 1, .players = 2};
    EXPECT_EQ(thorn::test::SaveForGame(e, counts), (Bytes{3, 0, 1, 0, 0, 7}));
    e.EffectType = 1;
    EXPECT_EQ(thorn::test::SaveForGame(e, counts), (Bytes{3, 0, 1, 0, 1, 8}));
    e.EffectType = 2;
    EXPECT_EQ(thorn::test::SaveForGame(e, counts), (Bytes{3, 0, 1, 0, 2}));
}

}  // namespace
