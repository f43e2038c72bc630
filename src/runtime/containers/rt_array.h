// RtArray<T>: the runtime's bounds-checked array of up to four dimensions.
//
// One record of a pointer and ten 32-bit fields; an all-zero record is a valid
// empty array, so the game's global arrays are constant-initialised and need
// no start-up code. Element (i, j, k, l) is slot i + j*stride2 + k*stride3 +
// l*stride4: the first index varies fastest, and a negative first index
// counts from the end once. Every failure is fatal: a bad index prints the
// bounds report and ends with code 9, missing storage ends with code 7, a push
// onto a two-dimensional array ends with code 8.
//
// One template serves every element kind (array_rules.h); what a kind can do
// is fixed at compile time: numbers have dimExact, copy, lists and the
// four-index resize; strings push and sort; records push, remove and move
// rows; byte arrays only dim and access. Resizing, push and remove are in
// rt_array_resize.h, included at the end.
//
// Departures, each closing a way out of the buffer: an absent dimension
// (size 0) accepts only index 0; shapes beyond 32 bits end with code 7
// instead of wrapping; a dim that frees the buffer always leaves `data` null;
// copying an array onto itself changes nothing; pushing an element of the
// same array copies it before the storage moves. A new buffer is obtained
// before the old one is released, so a failed allocation leaves the array as
// it was. The destructor releases the buffer (for a global array, at exit).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <new>

#include "runtime/containers/array_faults.h"
#include "runtime/containers/array_rules.h"
#include "runtime/containers/bounds_report.h"
#include "runtime/containers/container_storage.h"
#include "runtime/containers/text_sort.h"

template <class T>
class RtArray {
    static constexpr ArrayElementKind kind = arrayKindOf<T>;
    static constexpr bool isNumber = kind == ArrayElementKind::Number;
    static constexpr bool isText = kind == ArrayElementKind::Text;
    static constexpr bool isRecord = kind == ArrayElementKind::Record;
    static constexpr CapacityRule dimRule = isNumber ? CapacityRule::SpareEight : CapacityRule::Block;
    static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);

public:
    using RowCopy = void (*)(T& target, const T& source);

    T* data = nullptr;
    int32_t stride2 = 0;
    int32_t stride3 = 0;
    int32_t stride4 = 0;
    int32_t d1 = 0;
    int32_t d2 = 0;
    int32_t d3 = 0;
    int32_t d4 = 0;
    int32_t total = 0;     // elements: d1 * max(1, d2) * max(1, d3) * max(1, d4)
    int32_t dims = 0;      // 0 to 4
    int32_t capacity = 0;  // slots in the buffer; slots from total on are spare

    constexpr RtArray() noexcept = default;
    RtArray(const RtArray&) = delete;
    ~RtArray() { releaseBuffer(data, capacity); }

    // Array copy (numbers): the target takes the source's sizes by its own
    // dim, then the elements in storage order.
    RtArray& operator=(const RtArray& source)
        requires isNumber
    {
        if (this == &source) return *this;
        dim(source.d1, source.d2, source.d3, source.d4);
        int32_t n = total < source.total ? total : source.total;
        if (n > 0 && data != nullptr && source.data != nullptr && n <= capacity && n <= source.capacity) {
            std::memcpy(data, source.data, static_cast<size_t>(n) * sizeof(T));
        }
        return *this;
    }

    // New sizes with fresh elements (zero, or the empty string). A buffer
    // that is large enough is reused; otherwise the kind's capacity rule
    // makes a new one and every slot of it is fresh.
    void dim(int32_t n1, int32_t n2 = 0, int32_t n3 = 0, int32_t n4 = 0) {
        dimWithRule(dimRule, n1, n2, n3, n4);
    }
    // The same with a buffer of exactly the elements (pixel arrays).
    void dimExact(int32_t n1, int32_t n2 = 0, int32_t n3 = 0, int32_t n4 = 0)
        requires isNumber
    {
        dimWithRule(CapacityRule::Exact, n1, n2, n3, n4);
    }
    // n elements holding values[0..n-1].
    void dimFromList(int32_t n, const T* values)
        requires isNumber
    {
        dim(n, 0, 0, 0);
        if (n <= 0 || values == nullptr) return;
        for (int32_t i = 0; i < n; ++i) {
            T* slot = locate<1>(i, 0, 0, 0);
            if (slot == nullptr) return;
            *slot = values[i];
        }
    }

    // The bounds-checked place of one element; indices not given count as 0.
    T& at(int32_t i) { return orDiscarded(locate<1>(i, 0, 0, 0)); }
    T& at(int32_t i, int32_t j) { return orDiscarded(locate<2>(i, j, 0, 0)); }
    T& at(int32_t i, int32_t j, int32_t k) { return orDiscarded(locate<3>(i, j, k, 0)); }
    T& at(int32_t i, int32_t j, int32_t k, int32_t l) { return orDiscarded(locate<4>(i, j, k, l)); }
    const T& at(int32_t i) const { return orDiscarded(locate<1>(i, 0, 0, 0)); }
    const T& at(int32_t i, int32_t j) const { return orDiscarded(locate<2>(i, j, 0, 0)); }
    const T& at(int32_t i, int32_t j, int32_t k) const { return orDiscarded(locate<3>(i, j, k, 0)); }
    const T& at(int32_t i, int32_t j, int32_t k, int32_t l) const {
        return orDiscarded(locate<4>(i, j, k, l));
    }

    // The size of dimension n (0 to 3); 0 for any other n.
    int32_t bound(int32_t n) const
        requires(isNumber || isText)
    {
        switch (n) {
            case 0: return d1;
            case 1: return d2;
            case 2: return d3;
            case 3: return d4;
            default: return 0;
        }
    }

    // Resizing that keeps the overlap: all four indices for numbers, the
    // first two for strings and records. A first size below 1 empties the
    // array and keeps its buffer.
    void redim(int32_t s1, int32_t s2 = 0, int32_t s3 = 0, int32_t s4 = 0)
        requires ResizableElement<T>;

    // Appends a copy of the element to a one-dimensional array.
    void push(const T& element)
        requires PushableElement<T>;
    // Deletes element (or row) i and closes the gap; negative i counts from
    // the end. The buffer stays; the slots given up keep their contents.
    void remove(int32_t i)
        requires RecordElement<T>;
    // Row dst receives row src over every second index (third and fourth 0).
    void moveRow(int32_t dst, int32_t src, RowCopy copy)
        requires RecordElement<T>;
    // One record copied field by field.
    static void copyElement(T& target, const T& source)
        requires isRecord
    {
        target = source;
    }

    // Sorts slots first..last (both included) ascending by strcmp, or by the
    // routine when one is given. The sorting members name the string type
    // rather than T, and sortAll repeats its constraint inside: some
    // compilers build every member of an explicitly instantiated record
    // array, constraints or not, and these bodies must compile there too.
    static void sort(RtString* first, RtString* last, TextCompareRoutine compare)
        requires isText
    {
        containers::sortTextRun(first, last, compare);
    }
    // All elements, slots 0 to total - 1.
    void sortAll(TextCompareRoutine compare)
        requires isText
    {
        if constexpr (isText) {
            if (data != nullptr && total > 0) sort(data, data + (total - 1), compare);
        }
    }
    static int32_t compareByRoutine(const RtString* a, const RtString* b, TextCompareRoutine compare)
        requires isText
    {
        return containers::compareTextByRoutine(a, b, compare);
    }
    static void swapSlots(RtString* a, RtString* b) noexcept
        requires isText
    {
        containers::swapTextSlots(a, b);
    }

    // Prints the two lines of the bounds report for these indices.
    void reportBounds(int32_t i, int32_t j, int32_t k, int32_t l) const {
        const int32_t sizes[4] = {d1, d2, d3, d4};
        const int32_t indices[4] = {i, j, k, l};
        containers::reportArrayBounds(sizes, indices,
                                      kind == ArrayElementKind::Byte
                                          ? containers::BoundsReportWidth::FourIndices
                                          : containers::BoundsReportWidth::TwoIndices);
    }

private:
    // The slot of (i, j, k, l) with Given indices checked, or null after the
    // bad index was reported and the end was run (and returned).
    template <int Given>
    T* locate(int32_t i, int32_t j, int32_t k, int32_t l) const {
        if (i < 0) i += d1;
        bool valid = data != nullptr && i >= 0 && i < d1;
        if constexpr (Given >= 2) valid = valid && arrayIndexFits(j, d2);
        if constexpr (Given >= 3) valid = valid && arrayIndexFits(k, d3);
        if constexpr (Given >= 4) valid = valid && arrayIndexFits(l, d4);
        if (valid) [[likely]] {
            return data + (i + static_cast<ptrdiff_t>(j) * stride2 + static_cast<ptrdiff_t>(k) * stride3 +
                           static_cast<ptrdiff_t>(l) * stride4);
        }
        failAccess(i, j, k, l);
        return nullptr;
    }

    [[gnu::noinline, gnu::cold]] void failAccess(int32_t i, int32_t j, int32_t k, int32_t l) const {
        reportBounds(i, j, k, l);
        containers::arrayIndexFault();
    }

    // Where a failed access lands when the end returns to us (the shutdown
    // is already under way): a fresh element outside every array.
    static T& orDiscarded(T* slot) {
        if (slot != nullptr) [[likely]] return *slot;
        static T discarded{};
        discarded = T{};
        return discarded;
    }

    bool holds(const T* p) const {
        return data != nullptr && std::less_equal<const T*>{}(data, p) &&
               std::less<const T*>{}(p, data + capacity);
    }

    void dimWithRule(CapacityRule rule, int32_t n1, int32_t n2, int32_t n3, int32_t n4) {
        ArrayShape shape;
        if (!planArrayShape(n1, n2, n3, n4, shape)) return containers::arrayStorageFault();
        if (n1 < 1 || capacity < shape.total) {
            int32_t newCapacity = 0;
            if (!capacityFor(rule, shape.total, newCapacity)) return containers::arrayStorageFault();
            T* fresh = nullptr;
            if (newCapacity > 0) {
                fresh = makeBuffer(newCapacity);
                if (fresh == nullptr) return containers::arrayStorageFault();
            }
            releaseBuffer(data, capacity);
            data = fresh;
            capacity = newCapacity;
        } else {
            makeFresh(data, shape.total);
        }
        applyShape(shape);
    }

    void applyShape(const ArrayShape& shape) {
        stride2 = shape.stride2;
        stride3 = shape.stride3;
        stride4 = shape.stride4;
        d1 = shape.d1;
        d2 = shape.d2;
        d3 = shape.d3;
        d4 = shape.d4;
        total = shape.total;
        dims = shape.dims;
    }

    // A buffer of `slots` fresh slots, or null when storage is refused.
    static T* makeBuffer(int32_t slots) {
        void* raw = containers::obtainStorage(static_cast<size_t>(slots) * sizeof(T));
        if (raw == nullptr) return nullptr;
        T* buffer = static_cast<T*>(raw);
        if constexpr (isText) {
            for (int32_t s = 0; s < slots; ++s) new (buffer + s) RtString();
        } else {
            std::memset(raw, 0, static_cast<size_t>(slots) * sizeof(T));
        }
        return buffer;
    }

    // Slots 0..n-1 become fresh in place; strings keep their buffers.
    static void makeFresh(T* buffer, int32_t n) {
        if (buffer == nullptr || n <= 0) return;
        if constexpr (isText) {
            const RtString empty;
            for (int32_t s = 0; s < n; ++s) buffer[s] = empty;
        } else {
            std::memset(static_cast<void*>(buffer), 0, static_cast<size_t>(n) * sizeof(T));
        }
    }

    // String slots are released from the last to the first, then the buffer.
    static void releaseBuffer(T* buffer, int32_t slots) {
        if (buffer == nullptr) return;
        if constexpr (isText) {
            for (int32_t s = slots - 1; s >= 0; --s) buffer[s].~RtString();
        }
        containers::releaseStorage(buffer);
    }

    // redim: to every field but data and capacity 0.
    void clearShape() { applyShape(ArrayShape{}); }

    void takeOver(RtArray& other) noexcept;
    void copyOverlapTwo(RtArray& target) const;
    void copyOverlapFour(RtArray& target) const;
};

#include "runtime/containers/rt_array_resize.h"
