// RtArray<T> resizing, push, remove and the row move; included by rt_array.h.
//
// A resize builds the new shape in a temporary array with the same dim and
// copies the kept elements across through the checked access; the array
// takes the temporary's buffer and fields only when that copy is complete,
// so a failure on the way (no storage, a string copy that throws) leaves the
// array as it was. Push fills spare slots in place and resizes only when the
// buffer is full but one slot, once per 64 elements.
#pragma once

template <class T>
void RtArray<T>::takeOver(RtArray& other) noexcept {
    auto exchange = [](auto& a, auto& b) {
        auto kept = a;
        a = b;
        b = kept;
    };
    exchange(data, other.data);
    exchange(stride2, other.stride2);
    exchange(stride3, other.stride3);
    exchange(stride4, other.stride4);
    exchange(d1, other.d1);
    exchange(d2, other.d2);
    exchange(d3, other.d3);
    exchange(d4, other.d4);
    exchange(total, other.total);
    exchange(dims, other.dims);
    exchange(capacity, other.capacity);
}

// Elements (i, j) that lie inside both shapes; third and fourth indices 0.
template <class T>
void RtArray<T>::copyOverlapTwo(RtArray& target) const {
    int32_t m1 = d1 < target.d1 ? d1 : target.d1;
    int32_t m2 = d2 < target.d2 ? d2 : target.d2;
    for (int32_t i = 0; i < m1; ++i) {
        if (m2 == 0) {
            T* to = target.template locate<1>(i, 0, 0, 0);
            T* from = locate<1>(i, 0, 0, 0);
            if (to == nullptr || from == nullptr) return;
            *to = *from;
            continue;
        }
        for (int32_t j = 0; j < m2; ++j) {
            T* to = target.template locate<2>(i, j, 0, 0);
            T* from = locate<2>(i, j, 0, 0);
            if (to == nullptr || from == nullptr) return;
            *to = *from;
        }
    }
}

// Every element that lies inside both shapes, the last index innermost; an
// absent size (0) lets only index 0 through.
template <class T>
void RtArray<T>::copyOverlapFour(RtArray& target) const {
    auto smaller = [](int32_t a, int32_t b) { return a < b ? a : b; };
    const int32_t m1 = smaller(d1, target.d1);
    const int32_t m2 = smaller(d2, target.d2);
    const int32_t m3 = smaller(d3, target.d3);
    const int32_t m4 = smaller(d4, target.d4);
    auto copy = [&](T* to, T* from) {
        if (to == nullptr || from == nullptr) return false;
        *to = *from;
        return true;
    };
    for (int32_t i = 0; i < m1; ++i) {
        if (m2 == 0) {
            if (!copy(target.template locate<1>(i, 0, 0, 0), locate<1>(i, 0, 0, 0))) return;
            continue;
        }
        for (int32_t j = 0; j < m2; ++j) {
            if (m3 == 0) {
                if (!copy(target.template locate<2>(i, j, 0, 0), locate<2>(i, j, 0, 0))) return;
                continue;
            }
            for (int32_t k = 0; k < m3; ++k) {
                if (m4 == 0) {
                    if (!copy(target.template locate<3>(i, j, k, 0), locate<3>(i, j, k, 0))) return;
                    continue;
                }
                for (int32_t l = 0; l < m4; ++l) {
                    if (!copy(target.template locate<4>(i, j, k, l), locate<4>(i, j, k, l))) return;
                }
            }
        }
    }
}

template <class T>
void RtArray<T>::redim(int32_t s1, int32_t s2, int32_t s3, int32_t s4)
    requires ResizableElement<T>
{
    if (s1 < 1) {
        clearShape();
        return;
    }
    RtArray fresh;
    fresh.dim(s1, s2, s3, s4);
    if (fresh.data == nullptr) return;  // no storage, and the end returned
    if constexpr (isNumber) {
        copyOverlapFour(fresh);
    } else {
        copyOverlapTwo(fresh);
    }
    takeOver(fresh);  // `fresh` now holds the old buffer and releases it
}

template <class T>
void RtArray<T>::push(const T& element)
    requires PushableElement<T>
{
    if (d2 != 0) return containers::arrayPushFault();
    // An element of this very array is copied before a resize can move it.
    T held{};
    const T* source = &element;
    if (holds(source)) {
        held = element;
        source = &held;
    }
    if (static_cast<int64_t>(capacity) > static_cast<int64_t>(d1) + 1) {
        ++total;
        ++d1;
    } else {
        if (d1 == INT32_MAX) return containers::arrayStorageFault();
        const int32_t grown = d1 + 1;
        redim(grown, 0, 0, 0);
        if (d1 != grown) return;  // no storage, and the end returned
    }
    T* slot = locate<1>(d1 - 1, 0, 0, 0);
    if (slot != nullptr) *slot = *source;
}

template <class T>
void RtArray<T>::remove(int32_t i)
    requires RecordElement<T>
{
    if (i < 0) i += d1;
    if (i < 0 || i >= d1 || data == nullptr) {
        reportBounds(i, 0, 0, 0);
        return containers::arrayIndexFault();
    }
    if (d2 == 0) {
        std::memmove(static_cast<void*>(data + i), data + i + 1,
                     static_cast<size_t>(d1 - 1 - i) * sizeof(T));
        --d1;
        --total;
        return;
    }
    for (int32_t r = i; r < d1 - 1; ++r) moveRow(r, r + 1, &RtArray::copyElement);
    --d1;
    // The old total less one row; sizes below 1 count as 1, as in dim.
    int64_t count = d1;
    for (int32_t size : {d2, d3, d4}) count *= size > 1 ? size : 1;
    total = static_cast<int32_t>(count);
}

template <class T>
void RtArray<T>::moveRow(int32_t dst, int32_t src, RowCopy copy)
    requires RecordElement<T>
{
    if (copy == nullptr) copy = &RtArray::copyElement;
    if (d2 == 0) {
        T* from = locate<2>(src, 0, 0, 0);
        if (from == nullptr) return;
        T* to = locate<2>(dst, 0, 0, 0);
        if (to == nullptr) return;
        copy(*to, *from);
        return;
    }
    const int32_t width = d2;
    for (int32_t j = 0; j < width; ++j) {
        T* from = locate<2>(src, j, 0, 0);
        if (from == nullptr) return;
        T* to = locate<2>(dst, j, 0, 0);
        if (to == nullptr) return;
        copy(*to, *from);
    }
}
