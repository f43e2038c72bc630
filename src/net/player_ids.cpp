// The host's ids in use (player_ids.h).
// Depends on the session messages.
#include "net/player_ids.h"

#include <bit>

void PlayerIds::setInUse(uint16_t id, bool used) {
    const uint64_t bit = uint64_t{1} << (id % 64);
    words_[id / 64] = used ? (words_[id / 64] | bit) : (words_[id / 64] & ~bit);
}

uint16_t PlayerIds::firstFreeIn(uint32_t from, uint32_t last) const {
    // A word at a time: the ids from `id` to the end of its word, then the next word.
    for (uint32_t id = from; id <= last; id = (id / 64 + 1) * 64) {
        const uint64_t free = ~words_[id / 64] >> (id % 64);
        if (free == 0) continue;
        id += static_cast<uint32_t>(std::countr_zero(free));
        return id <= last ? static_cast<uint16_t>(id) : 0;
    }
    return 0;
}

uint16_t PlayerIds::firstFreeFrom(uint32_t next) const {
    if (next < kFirstAssignedPlayerId || next > kLastValidPlayerId) next = kFirstAssignedPlayerId;
    if (const uint16_t id = firstFreeIn(next, kLastValidPlayerId)) return id;
    return next > kFirstAssignedPlayerId ? firstFreeIn(kFirstAssignedPlayerId, next - 1) : 0;
}
