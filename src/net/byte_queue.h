// Bytes taken from the front in the order they were put at the back: a
// connection's bytes still to go out, a player's texts still to be read.
// What has been taken is cut from the front once it is half the buffer or
// more, so each byte is moved a few times at most however long the queue
// runs, and a buffer that empties after a burst gives its memory back.
// Depends on nothing but the standard library.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class ByteQueue {
public:
    void append(const void* bytes, size_t count);
    // The bytes not yet taken, size() of them.
    const uint8_t* front() const { return reinterpret_cast<const uint8_t*>(bytes_.data()) + taken_; }
    size_t size() const { return bytes_.size() - taken_; }
    bool empty() const { return size() == 0; }
    // Takes count bytes (at most size()) from the front.
    void take(size_t count);
    void clear();

private:
    std::string bytes_;
    size_t taken_ = 0;  // bytes at the front of bytes_ already taken
};
