// FixedDeque<T>: a ring of fixed capacity, the open list of the grid search.
// The ends push and pop without copying; an insertion or erasure in the
// middle lays the ring out afresh from position 0 through a scratch buffer of
// the same size, and the two buffers swap roles. Nothing grows: the capacity
// is set by the constructor or by reset.
//
// Rules that must hold: head and tail stay in 0..capacity-1 (both 0 for a
// ring without buffers); the elements number 0 when `empty_` is set,
// tail - head when tail > head, else capacity - head + tail. Positions wrap
// by one subtraction or one comparison, never by a modulo.
//
// Every operation that can fail returns false and changes nothing. A ring of
// capacity 0 counts as full. Reading an element that is not there (at() past
// the size, back() of an empty ring) gives T{} instead of reading a slot that
// holds nothing, and reset obtains its new buffers before it lets the old
// ones go, so a refused allocation leaves the ring as it was.
//
// Addition: insertInPlace and eraseInPlace give the same element order as
// insert and erase but move only the shorter side of the ring by one slot,
// in place, so that a sorted open list pays for the elements between the
// change and the nearer end rather than for the whole ring; the ring is not
// re-based. reinsert does an erase and an insert at once, paying for the
// elements between the two places when that is less. partitionPoint finds
// where a sorted ring changes from failing a test to passing it.
#pragma once
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "runtime/containers/container_storage.h"

namespace planner {

template <class T>
class FixedDeque {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                  "FixedDeque holds plain values such as node pointers");

public:
    explicit FixedDeque(uint32_t capacity = 0) { reset(capacity); }
    virtual ~FixedDeque() { freeBuffers(); }
    FixedDeque(const FixedDeque&) = delete;
    FixedDeque& operator=(const FixedDeque&) = delete;

    // Fresh buffers for `capacity` elements, empty. False (ring unchanged)
    // when the storage cannot be obtained.
    bool reset(uint32_t capacity) {
        T* fresh = nullptr;
        T* freshScratch = nullptr;
        if (capacity > 0) {
            const size_t bytes = sizeof(T) * capacity;
            fresh = static_cast<T*>(containers::obtainStorage(bytes));
            freshScratch = fresh == nullptr ? nullptr : static_cast<T*>(containers::obtainStorage(bytes));
            if (freshScratch == nullptr) {
                containers::releaseStorage(fresh);
                return false;
            }
        }
        freeBuffers();
        buffer_ = fresh;
        scratch_ = freshScratch;
        capacity_ = capacity;
        return true;
    }

    // Empty; the buffers stay.
    void clear() {
        head_ = tail_ = 0;
        empty_ = true;
    }

    // Frees both buffers; the ring is then empty with capacity 0.
    void freeBuffers() {
        containers::releaseStorage(buffer_);
        containers::releaseStorage(scratch_);
        buffer_ = scratch_ = nullptr;
        capacity_ = 0;
        clear();
    }

    uint32_t size() const {
        if (empty_) return 0;
        return tail_ > head_ ? tail_ - head_ : capacity_ - head_ + tail_;
    }
    bool empty() const { return empty_; }
    bool full() const { return size() == capacity_; }
    uint32_t capacity() const { return capacity_; }
    uint32_t head() const { return head_; }
    uint32_t tail() const { return tail_; }
    // The raw slot at a buffer position (for inspecting the layout), T{} outside.
    T slot(uint32_t position) const { return position < capacity_ ? buffer_[position] : T{}; }

    // Element i counted from the head.
    T at(uint32_t i) const {
        if (i >= size()) return T{};
        return buffer_[position(i)];
    }
    // The last element.
    T back() const {
        if (empty_) return T{};
        return buffer_[tail_ == 0 ? capacity_ - 1 : tail_ - 1];
    }

    bool push_back(T v) {
        if (full()) return false;
        buffer_[tail_] = v;
        tail_ = tail_ + 1 >= capacity_ ? 0 : tail_ + 1;
        empty_ = false;
        return true;
    }
    bool push_front(T v) {
        if (full()) return false;
        head_ = head_ == 0 ? capacity_ - 1 : head_ - 1;
        buffer_[head_] = v;
        empty_ = false;
        return true;
    }
    bool pop_back() {
        if (empty_) return false;
        tail_ = tail_ == 0 ? capacity_ - 1 : tail_ - 1;
        empty_ = head_ == tail_;
        return true;
    }
    bool pop_front() {
        if (empty_) return false;
        head_ = head_ + 1 >= capacity_ ? 0 : head_ + 1;
        empty_ = head_ == tail_;
        return true;
    }

    // v becomes element i; the elements from i on move back by one.
    bool insert(uint32_t i, T v) { return insertAt<false>(i, v); }
    // Element i leaves; the elements after it move forward by one.
    bool erase(uint32_t i) { return eraseAt<false>(i); }

    // v becomes element i, as insert makes it, moving the elements before i
    // one slot towards the front or those from i on one slot towards the
    // back, whichever are fewer.
    bool insertInPlace(uint32_t i, T v) { return insertAt<true>(i, v); }
    // Element i leaves, as erase removes it, the elements before it moving
    // one slot towards the back or those after it one towards the front,
    // whichever are fewer.
    bool eraseInPlace(uint32_t i) { return eraseAt<true>(i); }

    // Element `from` leaves and v becomes element `to` (counted once it has
    // left), as erase then insert would make them: the elements between move
    // one slot, in place, or else each change moves its shorter side,
    // whichever moves fewer. False when either position is not below the size.
    bool reinsert(uint32_t from, uint32_t to, T v) {
        const uint32_t n = size();
        if (from >= n || to >= n) return false;
        const uint32_t between = from < to ? to - from : from - to;
        if (between > shorterSide(from, n - 1) + shorterSide(to, n - 1)) {
            eraseInPlace(from);
            return insertInPlace(to, v);
        }
        if (to < from) {
            shiftTowardsBack(to, from);
        } else if (to > from) {
            shiftTowardsFront(from + 1, to + 1);
        }
        buffer_[position(to)] = v;
        return true;
    }

    // The first element position whose element satisfies `pred` (the size
    // when none does); every element satisfying it must follow every one
    // that does not.
    template <class Pred>
    uint32_t partitionPoint(Pred pred) const {
        const uint32_t n = size();
        if (n == 0 || !pred(buffer_[tail_ == 0 ? capacity_ - 1 : tail_ - 1])) return n;
        if (pred(buffer_[head_])) return 0;
        // The elements lie in at most two runs of the buffer: the one from the
        // head and, when the ring wraps, the one from position 0. The first
        // element of the second run tells which run holds the answer.
        const uint32_t firstRun = capacity_ - head_ < n ? capacity_ - head_ : n;
        if (firstRun < n && !pred(buffer_[0])) {
            return firstRun + partitionRun(buffer_, n - firstRun, pred);
        }
        return partitionRun(buffer_ + head_, firstRun, pred);
    }

private:
    // insert and insertInPlace: the ends and the refusals alike, the middle
    // through the scratch buffer or in place.
    template <bool kInPlace>
    bool insertAt(uint32_t i, T v) {
        const uint32_t n = size();
        if (i == n) return push_back(v);
        if (i == 0) return push_front(v);
        if (full() || i > n) return false;
        if constexpr (kInPlace) {
            if (i < n - i) {
                shiftTowardsFront(0, i);
                head_ = head_ == 0 ? capacity_ - 1 : head_ - 1;
            } else {
                shiftTowardsBack(i, n);
                tail_ = tail_ + 1 >= capacity_ ? 0 : tail_ + 1;
            }
            buffer_[position(i)] = v;
        } else {
            copyOut(0, i, scratch_);
            scratch_[i] = v;
            copyOut(i, n - i, scratch_ + i + 1);
            adoptScratch(n + 1);
        }
        return true;
    }

    // erase and eraseInPlace, likewise.
    template <bool kInPlace>
    bool eraseAt(uint32_t i) {
        if (empty_) return false;
        const uint32_t n = size();
        if (i == n - 1) return pop_back();
        if (i == 0) return pop_front();
        if (i >= n) return false;
        if constexpr (kInPlace) {
            if (i < n - 1 - i) {
                shiftTowardsBack(0, i);
                head_ = head_ + 1 >= capacity_ ? 0 : head_ + 1;
            } else {
                shiftTowardsFront(i + 1, n);
                tail_ = tail_ == 0 ? capacity_ - 1 : tail_ - 1;
            }
        } else {
            copyOut(0, i, scratch_);
            copyOut(i + 1, n - i - 1, scratch_ + i);
            adoptScratch(n - 1);
        }
        return true;
    }

    // Elements moved to insert at position i of n elements, or to erase
    // element i of n + 1, in place.
    static uint32_t shorterSide(uint32_t i, uint32_t n) { return i < n - i ? i : n - i; }

    // partitionPoint within one run of the buffer. The answer lies in
    // base..base+count throughout. Each step's tests do not wait on one
    // another and decide no branch the processor would have to guess at
    // random (as halving does on a sorted list): the run is split in four,
    // down to a few elements, which are then counted.
    template <class Pred>
    static uint32_t partitionRun(const T* first, uint32_t count, Pred pred) {
        const T* base = first;
        if (count > kEndRun) {
            // A sorted open list mostly changes near one of its ends: those
            // stretches first, a test each.
            if (pred(first[kEndRun - 1])) {
                count = kEndRun;
            } else if (!pred(first[count - kEndRun])) {
                base = first + (count - kEndRun);
                count = kEndRun;
            }
        }
        while (count > kCountedRun) {
            // Three probes that do not wait on one another split the run in
            // four; those before the answer say which quarter holds it.
            const uint32_t quarter = count / 4;
            const uint32_t before = (pred(base[quarter]) ? 0u : 1u) + (pred(base[2 * quarter]) ? 0u : 1u) +
                                    (pred(base[3 * quarter]) ? 0u : 1u);
            base += before * quarter;
            count = before == 3 ? count - 3 * quarter : quarter;
        }
        uint32_t before = 0;
        for (uint32_t i = 0; i < count; ++i) before += pred(base[i]) ? 0u : 1u;
        return static_cast<uint32_t>(base - first) + before;
    }
    static constexpr uint32_t kCountedRun = 32;  // elements counted rather than split
    static constexpr uint32_t kEndRun = 128;     // the stretch at either end looked at first

    // The buffer position of element i, for i from 0 to the capacity.
    uint32_t position(uint32_t i) const {
        const uint32_t p = head_ + i;
        return p >= capacity_ ? p - capacity_ : p;
    }

    // Elements first..last-1 move one slot towards the back (element k into
    // the slot of element k + 1, which for the last element may be the free
    // slot at the tail). Done from the back, in runs that wrap on neither side.
    void shiftTowardsBack(uint32_t first, uint32_t last) {
        uint32_t count = last - first;
        while (count > 0) {
            const uint32_t from = position(first + count - 1);
            const uint32_t to = from + 1 == capacity_ ? 0 : from + 1;
            uint32_t run = count < from + 1 ? count : from + 1;
            if (run > to + 1) run = to + 1;
            std::memmove(buffer_ + to + 1 - run, buffer_ + from + 1 - run, sizeof(T) * run);
            count -= run;
        }
    }

    // Elements first..last-1 move one slot towards the front (element k into
    // the slot of element k - 1, which for element 0 is the free slot before
    // the head). Done from the front, in runs that wrap on neither side.
    void shiftTowardsFront(uint32_t first, uint32_t last) {
        const uint32_t count = last - first;
        uint32_t done = 0;
        while (done < count) {
            const uint32_t from = position(first + done);
            const uint32_t to = from == 0 ? capacity_ - 1 : from - 1;
            uint32_t run = count - done;
            if (run > capacity_ - from) run = capacity_ - from;
            if (run > capacity_ - to) run = capacity_ - to;
            std::memmove(buffer_ + to, buffer_ + from, sizeof(T) * run);
            done += run;
        }
    }

    // Elements first..first+count-1 copied in order to `dest`: at most two
    // runs, the one before the end of the buffer and the one after the wrap.
    void copyOut(uint32_t first, uint32_t count, T* dest) const {
        if (count == 0) return;
        const uint32_t p = position(first);
        const uint32_t run = capacity_ - p < count ? capacity_ - p : count;
        std::memcpy(dest, buffer_ + p, sizeof(T) * run);
        if (run < count) std::memcpy(dest + run, buffer_, sizeof(T) * (count - run));
    }

    // The scratch buffer, holding `count` elements from position 0, becomes the ring.
    void adoptScratch(uint32_t count) {
        T* old = buffer_;
        buffer_ = scratch_;
        scratch_ = old;
        head_ = 0;
        tail_ = count == capacity_ ? 0 : count;
        empty_ = count == 0;
    }

    T* buffer_ = nullptr;
    T* scratch_ = nullptr;
    uint32_t capacity_ = 0;
    uint32_t head_ = 0;  // position of the first element
    uint32_t tail_ = 0;  // position one past the last element
    bool empty_ = true;
};

}  // namespace planner
