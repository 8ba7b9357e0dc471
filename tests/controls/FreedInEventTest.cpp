#include <gtest/gtest.h>

#include "FreedInEvent.h"

namespace {

using thorn::test::ControlRow;
using thorn::test::EventCase;
using thorn::test::FreeKit;

// Every control of the kit, the bitmap library, the inspector library and
// the controls library, every event it fires, with a handler that frees the
// control and one that frees its form: nothing touches them afterwards (the
// sanitizer build catches what would) and the application goes on.
TEST(FreedInItsOwnEvent, NothingTouchesTheControlOrItsFormAfterwards) {
    std::vector<ControlRow> rows = thorn::test::KitRows();
    for (auto part : {thorn::test::BitmapRows, thorn::test::InspectorRows, thorn::test::ControlsRows})
        for (ControlRow& row : part()) rows.push_back(std::move(row));
    for (const ControlRow& row : rows) {
        for (const EventCase& event : thorn::test::EventsOf(row)) {
            for (FreeKit::Victim victim : {FreeKit::Victim::control, FreeKit::Victim::form}) {
                SCOPED_TRACE(row.control + " " + event.event +
                             (victim == FreeKit::Victim::form ? " frees its form" : " frees it"));
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
}

}  // namespace
