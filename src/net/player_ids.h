// The player ids a host has given out and not yet taken back. Ids are handed
// out in order from 101; once 65,279 (the last valid id) has been given, the
// count starts again from 101 and skips every id still in use, so departed
// players' ids are given again but never one that someone still holds.
// Depends on the session messages (the valid range).
#pragma once
#include <array>
#include <cstdint>

#include "net/session_message.h"

class PlayerIds {
public:
    // The id to give for a count standing at `next`: `next` itself when it
    // is valid and free, else the first free one after it (wrapping from
    // 65,279 to 101); 0 when every id is in use. Nothing is taken.
    uint16_t firstFreeFrom(uint32_t next) const;
    void take(uint16_t id) { setInUse(id, true); }
    void giveBack(uint16_t id) { setInUse(id, false); }
    bool inUse(uint16_t id) const { return (words_[id / 64] >> (id % 64)) & 1u; }
    void clear() { words_.fill(0); }

private:
    void setInUse(uint16_t id, bool used);
    // The first free id from `from` to `last` (both valid), or 0.
    uint16_t firstFreeIn(uint32_t from, uint32_t last) const;

    std::array<uint64_t, 65536 / 64> words_{};  // bit set: the id is in use
};
