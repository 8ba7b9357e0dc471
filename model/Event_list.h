#pragma once

#include <cstdint>

#include "model/Event.h"
#include "model/OrvSerializer.h"
#include "model/pda_list.h"

// The project's scripted events, in the order they were added; the list owns
// them. At most 150 events, and each needs a free text pair in the string
// tables.
class CEventList {
public:
    static constexpr uint16_t kMaxEvents = 150;
    static constexpr uint16_t kNotFound = 0xFFFF;
    static constexpr int kPlayerSlots = 6;
    // Raised by Remove for an event that is not in the list.
    using NotExist = CList<CEvent*>::NotExist;

    CEventList() = default;
    CEventList(const CEventList&) = delete;
    CEventList& operator=(const CEventList&) = delete;

    uint16_t GetCount() const { return static_cast<uint16_t>(events_.GetCount()); }

    // Appends a new event (turn 1, effect 0, enabled, affects players, six
    // zero player flags, zero amounts per resource of the project) holding a
    // free text pair of the string tables, none of the list's events holds,
    // and marks the project modified; null, with nothing changed, when the
    // list holds 150 events or no pair is free.
    CEvent* AddEvent();
    // 0 for null; else unlinks and destroys the event, frees its text pair in
    // every string table, marks the project modified and answers 1. Throws
    // NotExist for an event that is not in the list (nothing changes then).
    int Remove(CEvent* event);
    // The event at i; null at or past the end.
    CEvent* GetAt(uint16_t i) const;
    // The position of the event; 0xFFFF for null or an event not in the list.
    uint16_t IndexOf(const CEvent* event) const;
    // Moves the event at from to the place to, the events between shifting
    // by one, and marks the project modified. Answers 1, or 0 with nothing
    // changed when from equals to or either is past the end.
    int Move(uint16_t from, uint16_t to);
    // Number of enabled events.
    uint16_t CountEnabled() const;
    // Destroys every event; the text pairs stay as they are.
    void Clear();

    // The events' part of the project file: a u16 count, then each event with
    // the project's resource count. Answers 1, or 0 without reading further
    // when the stored count passes 150 or an event's text slot is past the
    // pairs of a string table (the list is then left empty).
    int Serialize(Orv::ISerializer& s);

private:
    CList<CEvent> events_;
};
