#include "model/Event.h"

#include "model/ProjectLink.h"
#include "model/RecordFields.h"

namespace {

constexpr int kMaxStoredFlags = 255;  // their count is stored in one byte

template <typename T>
int Store(T& field, T value) {
    if (field == value) return 0;
    field = value;
    thorn::Project().MarkModified();
    return 1;
}

int StoreAt(Orv::CSimpleArray<uint8_t>& array, uint8_t n, uint8_t value) {
    return n < array.GetCount() ? Store(array[n], value) : 0;
}

}  // namespace

void CEventB::SerializeForGame(Orv::ISerializer& s, const thorn::MissionCounts& counts) {
    s.Word(Turn);
    thorn::ResizeTo(PlayerFlags, counts.players);
    thorn::Elements(s, PlayerFlags);
    s.Byte(EffectType);
    if (EffectType == ResourcesIncrease) {
        thorn::ResizeTo(Resources.Increase, counts.resources);
        thorn::Elements(s, Resources.Increase);
    } else if (EffectType == ResourcesDecrease) {
        thorn::ResizeTo(Resources.Decrease, counts.resources);
        thorn::Elements(s, Resources.Decrease);
    }
}

void CEvent::Serialize(Orv::ISerializer& s, uint8_t resourceCount) {
    s.Word(Turn);
    if (PlayerFlags.GetCount() > kMaxStoredFlags) thorn::ResizeTo(PlayerFlags, kMaxStoredFlags);
    uint8_t flagCount = static_cast<uint8_t>(PlayerFlags.GetCount());
    s.Byte(flagCount);
    thorn::ResizeTo(PlayerFlags, flagCount);
    thorn::Elements(s, PlayerFlags);
    s.Byte(EffectType);
    thorn::ResizeTo(Resources.Increase, resourceCount);
    thorn::ResizeTo(Resources.Decrease, resourceCount);
    for (int i = 0; i < resourceCount; ++i) {
        s.Byte(Resources.Increase[i]);
        s.Byte(Resources.Decrease[i]);
    }
    thorn::SwitchAsByte(s, Enabled);
    s.Byte(TextSlot);
    s.Byte(Affects);
}

int CEvent::SetTurn(uint16_t turn) { return Store(Turn, turn); }
int CEvent::SetEffect(uint8_t effect) { return Store(EffectType, effect); }
int CEvent::SetAffects(uint8_t affects) { return Store(Affects, affects); }
int CEvent::SetEnabled(uint32_t enabled) { return Store(Enabled, enabled); }
int CEvent::SetPlayerFlag(uint8_t n, bool applies) { return StoreAt(PlayerFlags, n, applies ? 1 : 0); }
int CEvent::SetIncrease(uint8_t n, uint8_t amount) { return StoreAt(Resources.Increase, n, amount); }
int CEvent::SetDecrease(uint8_t n, uint8_t amount) { return StoreAt(Resources.Decrease, n, amount); }
