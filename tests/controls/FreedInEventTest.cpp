#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "FreedInEvent.h"

namespace {

using thorn::test::ControlRow;
using thorn::test::EventCase;
using thorn::test::FreeKit;

// The cases whose name holds the text of THORN_FREED_CASE, or all: one
// case run alone ("TTreeView OnAddition on LoadFromStream frees its form")
// meets freed memory on a heap no earlier case has churned.
bool Chosen(const std::string& name) {
    const char* wanted = std::getenv("THORN_FREED_CASE");
    return !wanted || name.find(wanted) != std::string::npos;
}

// Every control of the kit, the bitmap library, the inspector library and
// the controls library, every event it fires, with a handler that frees the
// control and one that frees its form: nothing touches them afterwards (the
// sanitizer build catches what would) and the application goes on.
TEST(FreedInItsOwnEvent, NothingTouchesTheControlOrItsFormAfterwards) {
    std::vector<ControlRow> rows = thorn::test::KitRows();
    for (auto part : {thorn::test::BitmapRows, thorn::test::InspectorRows, thorn::test::ControlsRows})
        for (ControlRow& row : part()) rows.push_back(std::move(row));
    int runs = 0;
    for (const ControlRow& row : rows) {
        for (const EventCase& event : thorn::test::EventsOf(row)) {
            for (FreeKit::Victim victim : {FreeKit::Victim::control, FreeKit::Victim::form}) {
                const std::string name = row.control + " " + event.event +
                                         (victim == FreeKit::Victim::form ? " frees its form" : " frees it");
                if (!Chosen(name)) continue;
                SCOPED_TRACE(name);
                ++runs;
                FreeKit kit(victim);
                TComponent* control = row.make(kit);
                if (event.applies && !event.applies(*control)) break;
                try {
                    kit.Ready(*control);
                    event.hook(kit, *control);
                    event.fire(kit, *control);
                    EXPECT_GT(kit.Fired(), 0) << "the input fired no event";
                    EXPECT_TRUE(kit.VictimGone());
                    kit.Settle();
                } catch (const std::exception& e) {
                    ADD_FAILURE() << e.what();
                }
            }
        }
    }
    EXPECT_GT(runs, 0) << "no case is named so";
    RecordProperty("runs", runs);
}

}  // namespace
