// The rules that give a runtime array its shape: which kind of element an
// array holds (numbers, bytes, strings or the game's plain records), the
// capacity rule of each kind, and the sizes, strides and element count that a
// dim records.
//
// Every size product is computed in 64 bits: a shape or a capacity beyond the
// signed 32-bit range is refused (the caller turns that into the out-of-memory
// end) instead of wrapping into a small buffer.
#pragma once
#include <cstdint>
#include <type_traits>

#include "runtime/strings/rt_string.h"

enum class ArrayElementKind {
    Number,  // int and double: spare-eight capacity, exact dim, copy, lists
    Byte,    // unsigned char: block capacity, the four-index bounds report
    Text,    // RtString: block capacity, every slot a constructed string
    Record,  // the game's records of 32-bit integers and doubles
};

// Records are any plain class type: copied field by field (bitwise, doubles
// bit for bit), fresh when all bytes are zero, never destroyed one by one.
template <class T>
struct ArrayElementTraits {
    static_assert(std::is_class_v<T> && std::is_trivially_copyable_v<T> &&
                      std::is_standard_layout_v<T>,
                  "RtArray holds int, double, unsigned char, RtString or a plain record");
    static constexpr ArrayElementKind kind = ArrayElementKind::Record;
};
template <>
struct ArrayElementTraits<int> {
    static constexpr ArrayElementKind kind = ArrayElementKind::Number;
};
template <>
struct ArrayElementTraits<double> {
    static constexpr ArrayElementKind kind = ArrayElementKind::Number;
};
template <>
struct ArrayElementTraits<unsigned char> {
    static constexpr ArrayElementKind kind = ArrayElementKind::Byte;
};
template <>
struct ArrayElementTraits<RtString> {
    static constexpr ArrayElementKind kind = ArrayElementKind::Text;
};

template <class T>
inline constexpr ArrayElementKind arrayKindOf = ArrayElementTraits<T>::kind;

// The kinds that may resize, push, and remove or move rows. The array's
// members defined outside its class name these in their constraints: a
// constraint there must not depend on the class's own constants, which not
// every compiler looks up at that point.
template <class T>
concept ResizableElement = arrayKindOf<T> != ArrayElementKind::Byte;
template <class T>
concept PushableElement = arrayKindOf<T> == ArrayElementKind::Text || arrayKindOf<T> == ArrayElementKind::Record;
template <class T>
concept RecordElement = arrayKindOf<T> == ArrayElementKind::Record;

enum class CapacityRule {
    Block,       // (need / 64) * 64 + 64; need 0 frees the buffer
    SpareEight,  // (need / 8) * 8 + 8; need 0 still makes eight slots
    Exact,       // need; need 0 makes no slots
};

// The shape fields of an array record, in record order after `data`.
struct ArrayShape {
    int32_t stride2 = 0, stride3 = 0, stride4 = 0;
    int32_t d1 = 0, d2 = 0, d3 = 0, d4 = 0;
    int32_t total = 0, dims = 0;
};

inline constexpr int64_t kMaxArrayCount = INT32_MAX;

// The shape that dim(n1, n2, n3, n4) records. A first size below 1 becomes 0;
// later sizes are kept as passed and count as max(1, size) in `total`; the
// strides are the plain products of the sizes as passed (wrapping like the
// 32-bit fields they are; a stride built on a negative size is never used,
// because every index of such a dimension fails the bounds check). False when
// the element count exceeds the 32-bit range.
constexpr bool planArrayShape(int32_t n1, int32_t n2, int32_t n3, int32_t n4, ArrayShape& shape) {
    if (n1 < 1) n1 = 0;
    int64_t need = n1;
    for (int32_t size : {n2, n3, n4}) {
        need *= size > 1 ? size : 1;
        if (need > kMaxArrayCount) return false;
    }
    auto product = [](int32_t a, int32_t b) {
        return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
    };
    shape.d1 = n1;
    shape.d2 = n2;
    shape.d3 = n3;
    shape.d4 = n4;
    shape.stride2 = n1;
    shape.stride3 = product(n1, n2);
    shape.stride4 = product(shape.stride3, n3);
    shape.total = static_cast<int32_t>(need);
    shape.dims = n4 != 0 ? 4 : n3 != 0 ? 3 : n2 != 0 ? 2 : n1 != 0 ? 1 : 0;
    return true;
}

// The capacity of a new buffer for `need` elements; false beyond 32 bits.
constexpr bool capacityFor(CapacityRule rule, int32_t need, int32_t& capacity) {
    int64_t n = need < 0 ? 0 : need;
    int64_t result = 0;
    switch (rule) {
        case CapacityRule::Block: result = n == 0 ? 0 : (n / 64) * 64 + 64; break;
        case CapacityRule::SpareEight: result = (n / 8) * 8 + 8; break;
        case CapacityRule::Exact: result = n; break;
    }
    if (result > kMaxArrayCount) return false;
    capacity = static_cast<int32_t>(result);
    return true;
}

// An index given for a dimension of size `size`: 0 <= x < size, and only 0
// where the dimension is absent (size 0), so that no index names a slot
// outside the elements.
constexpr bool arrayIndexFits(int32_t x, int32_t size) {
    return size == 0 ? x == 0 : (x >= 0 && x < size);
}
