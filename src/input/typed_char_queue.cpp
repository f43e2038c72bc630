#include "input/typed_char_queue.h"

bool TypedCharQueue::push(uint8_t character) {
    if (count_ == kCapacity) return false;
    ring_[(head_ + count_) % kCapacity] = character;
    ++count_;
    return true;
}

uint8_t TypedCharQueue::pop() {
    if (count_ == 0) return 0;
    uint8_t c = ring_[head_];
    head_ = (head_ + 1) % kCapacity;
    --count_;
    return c;
}
