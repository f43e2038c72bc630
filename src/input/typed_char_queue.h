// The typed-character queue: the characters typed into the window, oldest
// first, at most 16 waiting. A character typed while 16 wait is dropped.
#pragma once
#include <cstdint>

class TypedCharQueue {
public:
    static constexpr int32_t kCapacity = 16;

    // False when the queue is full and the character was dropped.
    bool push(uint8_t character);
    // The oldest character, or 0 when none waits.
    uint8_t pop();
    int32_t size() const { return count_; }
    void clear() { head_ = count_ = 0; }

private:
    uint8_t ring_[kCapacity] = {};
    int32_t head_ = 0;   // index of the oldest
    int32_t count_ = 0;
};
