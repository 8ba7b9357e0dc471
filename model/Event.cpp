#include "model/Event.h"

#include "model/RecordFields.h"

namespace {

constexpr int kMaxStoredFlags = 255;  // their count is stored in one byte

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
