#include <gtest/gtest.h>

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

}  // namespace
