// RtString construction, growth, assignment, appending and equality.
//
// Buffers come from array new and go back to array delete. Appending or
// assigning C text that lies inside the target's own buffer is safe here:
// such text is copied before the buffer is released or moved. A length that
// would pass the 32-bit range raises the allocation failure (std::bad_alloc)
// instead of wrapping around, as an allocation that cannot be had does.
#include "runtime/strings/rt_string.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace {

// Never written, never freed; 16 bytes so that a reader of a few bytes past
// the NUL (the first-four-bytes rule of reserve) stays inside it.
alignas(16) char sharedEmpty[16] = {};

bool pointsInto(const RtString& s, const char* p) {
    return s.ownsBuffer() && p >= s.data && p < s.data + s.capacity;
}

// The length after appending `add` bytes; a text that would not fit the
// 32-bit length raises the allocation failure instead of wrapping around.
uint32_t grownLength(uint32_t length, uint32_t add) {
    uint64_t total = uint64_t{length} + add;
    if (total >= UINT32_MAX - 16) throw std::bad_alloc();
    return static_cast<uint32_t>(total);
}

}  // namespace

uint32_t measureText(const char* text) {
    return text ? static_cast<uint32_t>(std::strlen(text)) : 0;
}

char* RtString::emptyBuffer() { return sharedEmpty; }

RtString::RtString() : data(sharedEmpty), capacity(0), length(0) {}

RtString::RtString(const char* text) : RtString() {
    uint32_t n = measureText(text);
    if (n == 0) return;
    reserve(n, false);
    std::memcpy(data, text, n);
    length = n;
    data[n] = '\0';
}

RtString::RtString(const RtString& other) : RtString() {
    if (other.length == 0) return;
    reserve(other.length, false);
    std::memcpy(data, other.data, other.length);
    length = other.length;
    data[length] = '\0';
}

RtString::RtString(RtString&& other) noexcept
    : data(other.data), capacity(other.capacity), length(other.length) {
    other.data = sharedEmpty;
    other.capacity = 0;
    other.length = 0;
}

RtString::~RtString() { clear(); }

void RtString::clear() {
    if (ownsBuffer()) delete[] data;
    data = sharedEmpty;
    capacity = 0;
    length = 0;
}

void RtString::reserve(uint32_t needed, bool keep) {
    if (needed == 0) return;
    if (static_cast<uint64_t>(needed) + 1 <= capacity) return;
    uint64_t newCapacity = ((static_cast<uint64_t>(needed) + 1) & ~uint64_t{15}) + 16;
    if (newCapacity > UINT32_MAX) throw std::bad_alloc();
    char* fresh = new char[newCapacity];
    if (keep && length > 0) {
        std::memcpy(fresh, data, length);
        fresh[length] = '\0';
    } else {
        std::memset(fresh, 0, 4);
    }
    if (ownsBuffer()) delete[] data;
    data = fresh;
    capacity = static_cast<uint32_t>(newCapacity);
}

char* RtString::writableBuffer(uint32_t n) {
    reserve(n, true);
    return data;
}

void RtString::recountLength() {
    length = 0;
    if (!ownsBuffer()) return;
    while (length < capacity && data[length] != '\0') ++length;
    if (length == capacity && length > 0) {
        length = capacity - 1;
        data[length] = '\0';
    }
}

RtString& RtString::operator=(const RtString& other) {
    if (other.data == data) return *this;
    if (other.length == 0) {
        if (ownsBuffer()) data[0] = '\0';
        length = 0;
        return *this;
    }
    reserve(other.length, false);
    std::memcpy(data, other.data, other.length + 1);
    length = other.length;
    return *this;
}

RtString& RtString::assign(const char* text) {
    uint32_t n = measureText(text);
    if (n > 0 && pointsInto(*this, text)) {
        std::string copy(text, n);  // the text dies with our buffer
        return assign(copy.c_str());
    }
    clear();
    if (n == 0) return *this;
    data = new char[static_cast<uint64_t>(n) + 1];
    capacity = n + 1;
    std::memcpy(data, text, n);
    data[n] = '\0';
    length = n;
    return *this;
}

RtString& RtString::operator+=(const RtString& other) {
    if (other.length == 0) return *this;
    uint32_t add = other.length;
    reserve(grownLength(length, add), true);
    // Read the source only now: appending a value to itself doubles it.
    std::memmove(data + length, other.data, add);
    length += add;
    data[length] = '\0';
    return *this;
}

RtString& RtString::operator+=(const char* text) {
    uint32_t n = measureText(text);
    if (n == 0) return *this;
    return appendBytes(text, n);
}

RtString& RtString::appendBytes(const void* bytes, uint32_t count) {
    if (count == 0) return *this;
    const char* source = static_cast<const char*>(bytes);
    if (pointsInto(*this, source)) {
        std::string copy(source, count);  // the growth may free our buffer
        return appendBytes(copy.data(), count);
    }
    reserve(grownLength(length, count), true);
    std::memcpy(data + length, source, count);
    length += count;
    data[length] = '\0';
    return *this;
}

RtString& RtString::appendChar(char c) {
    reserve(grownLength(length, 1), true);
    data[length] = c;
    ++length;
    data[length] = '\0';
    return *this;
}

RtString RtString::fromBytes(const void* bytes, uint32_t count) {
    RtString result;
    if (count == 0) return result;
    result.reserve(count, false);
    std::memcpy(result.data, bytes, count);
    result.length = count;
    result.data[count] = '\0';
    return result;
}

bool RtString::equals(const char* text) const {
    uint32_t n = measureText(text);
    return n == length && (n == 0 || std::memcmp(data, text, n) == 0);
}

bool RtString::equals(const RtString& other) const {
    return other.length == length && (length == 0 || std::memcmp(data, other.data, length) == 0);
}

RtString operator+(const RtString& left, const RtString& right) {
    return rtstring::concatOperands(left, right);
}

RtString operator+(const char* left, const RtString& right) {
    return rtstring::concatOperands(left, right);
}

RtString operator+(const RtString& left, const char* right) {
    return rtstring::concatOperands(left, right);
}

RtString concatText(const char* first, const char* second) {
    return rtstring::concatOperands(first, second);
}
