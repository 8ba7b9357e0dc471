#include "model/Event_list.h"

#include <utility>
#include <vector>

#include "model/ProjectLink.h"
#include "model/RecordFields.h"
#include "model/StringTable.h"
#include "model/StringTableList.h"

CEvent* CEventList::AddEvent() {
    if (GetCount() >= kMaxEvents) return nullptr;
    thorn::ProjectLink& project = thorn::Project();
    std::vector<uint8_t> held;
    held.reserve(GetCount());
    events_.ForEach([&](const CEvent& e) { held.push_back(e.TextSlot); });
    uint16_t pair = AddEventStringsToTables(project.StringTables(), held);
    if (pair == CStringTableList::kNoPair) return nullptr;
    auto event = std::make_unique<CEvent>();
    event->TextSlot = static_cast<uint8_t>(pair);
    thorn::ResizeTo(event->Resources.Increase, project.ResourceCount());
    thorn::ResizeTo(event->Resources.Decrease, project.ResourceCount());
    thorn::ResizeTo(event->PlayerFlags, kPlayerSlots);
    CEvent* added = event.get();
    events_.Append(std::move(event));
    project.MarkModified();
    return added;
}

int CEventList::Remove(CEvent* event) {
    if (!event) return 0;
    uint16_t position = IndexOf(event);
    if (position == kNotFound) throw NotExist{};
    uint8_t slot = event->TextSlot;
    events_.RemoveAt(position);
    thorn::Project().StringTables().ClearEventStrings(slot);
    thorn::Project().MarkModified();
    return 1;
}

CEvent* CEventList::GetAt(uint16_t i) const {
    auto* node = events_.GetItem(i);
    return node ? node->data.get() : nullptr;
}

uint16_t CEventList::IndexOf(const CEvent* event) const {
    if (!event) return kNotFound;
    uint16_t position = 0;
    uint16_t found = kNotFound;
    events_.ForEach([&](const CEvent& e) {
        if (found == kNotFound && &e == event) found = position;
        ++position;
    });
    return found;
}

int CEventList::Move(uint16_t from, uint16_t to) {
    const uint16_t count = GetCount();
    if (from == to || from >= count || to >= count) return 0;
    // The nodes stay; their events pass one place along the way.
    const int step = from < to ? 1 : -1;
    for (int i = from; i != to; i += step)
        std::swap(events_.GetItem(static_cast<uint32_t>(i))->data, events_.GetItem(static_cast<uint32_t>(i + step))->data);
    thorn::Project().MarkModified();
    return 1;
}

uint16_t CEventList::CountEnabled() const {
    uint16_t enabled = 0;
    events_.ForEach([&](const CEvent& e) { enabled += e.Enabled != 0 ? 1 : 0; });
    return enabled;
}

void CEventList::Clear() { events_.Clear(); }

int CEventList::Serialize(Orv::ISerializer& s) {
    uint16_t count = GetCount();
    s.Word(count);
    if (count > kMaxEvents) {
        Clear();
        return 0;
    }
    events_.Resize(count);  // new places get default events
    const uint8_t resources = static_cast<uint8_t>(thorn::Project().ResourceCount());
    for (uint16_t i = 0; i < count; ++i) {
        CEvent& event = *events_.GetItem(i)->data;
        event.Serialize(s, resources);
        if (!s.IsSaving() && event.TextSlot >= CStringTable::kEventPairCount) {
            Clear();
            return 0;
        }
    }
    return 1;
}
