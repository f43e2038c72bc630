// A queue of bytes (byte_queue.h).
// Depends on nothing but the standard library.
#include "net/byte_queue.h"

#include <algorithm>

namespace {

constexpr size_t kCutBytes = 64 * 1024;      // taken bytes are cut from the front from this many
constexpr size_t kKeptCapacity = 1 << 20;  // an empty queue keeps this much memory at most

}  // namespace

void ByteQueue::append(const void* bytes, size_t count) { bytes_.append(static_cast<const char*>(bytes), count); }

void ByteQueue::take(size_t count) {
    taken_ += std::min(count, size());
    if (taken_ == bytes_.size()) {
        clear();
    } else if (taken_ >= kCutBytes && taken_ * 2 >= bytes_.size()) {
        bytes_.erase(0, taken_);
        taken_ = 0;
    }
}

void ByteQueue::clear() {
    taken_ = 0;
    if (bytes_.capacity() > kKeptCapacity) {
        std::string().swap(bytes_);
    } else {
        bytes_.clear();
    }
}
