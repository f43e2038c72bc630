// The host's ids in use (player_ids.h).
// Depends on the session messages.
#include "net/player_ids.h"

void PlayerIds::setInUse(uint16_t id, bool used) {
    const uint64_t bit = uint64_t{1} << (id % 64);
    words_[id / 64] = used ? (words_[id / 64] | bit) : (words_[id / 64] & ~bit);
}

uint16_t PlayerIds::firstFreeIn(uint32_t from, uint32_t last) const {
    for (uint32_t id = from; id <= last;) {
        const uint64_t free = ~words_[id / 64] >> (id % 64);
        if (free == 0) {
            id = (id / 64 + 1) * 64;  // the rest of this word is in use
            continue;
        }
        uint32_t skip = 0;
        while (((free >> skip) & 1u) == 0) ++skip;
        id += skip;
        return id <= last ? static_cast<uint16_t>(id) : 0;
    }
    return 0;
}

uint16_t PlayerIds::firstFreeFrom(uint32_t next) const {
    if (next < kFirstAssignedPlayerId || next > kLastValidPlayerId) next = kFirstAssignedPlayerId;
    if (const uint16_t id = firstFreeIn(next, kLastValidPlayerId)) return id;
    return next > kFirstAssignedPlayerId ? firstFreeIn(kFirstAssignedPlayerId, next - 1) : 0;
}
