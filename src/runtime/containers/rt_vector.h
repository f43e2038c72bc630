// RtVector<T>: the runtime's growable vector, five fields: data, count,
// capacity, growth step and minimum capacity. Owners usually make theirs
// with step 128 and minimum 512 (the defaults); a growth gives the minimum
// for any need up to it, else step * (need / step + 1).
//
// Two kinds of storage, chosen by the element type:
// - plain (elements that are copied as bytes): capacity * size bytes, not
//   initialised;
// - counted (elements with constructors or destructors): a leading count,
//   then every element of the capacity constructed at once, in index order,
//   so that appends only assign; on release every one of them is destroyed,
//   from the last to the first, whatever `count` says. The count word is
//   padded to the element's alignment.
//
// Storage failure is reported by result only: the vector is left empty with
// no storage and nothing is recorded or printed.
//
// Departure: a growth moves the elements into the new storage (the element's
// move assignment) instead of copying them; the contents are the same, and
// an element that owns outside resources (the GPU names of a mesh) hands
// them to its successor instead of deleting them when the old storage goes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <new>
#include <type_traits>
#include <utility>

#include "runtime/containers/container_storage.h"

template <class T>
class RtVector {
    static constexpr bool plain = std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>;
    // Bytes in front of counted storage: the count word, padded for T.
    static constexpr size_t counterBytes = alignof(T) > sizeof(int32_t) ? alignof(T) : sizeof(int32_t);
    static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);

public:
    T* data = nullptr;
    int32_t count = 0;       // elements in use, 0 to capacity
    int32_t capacity = 0;    // elements the storage holds
    int32_t step = 128;      // growth step, at least 1
    int32_t minimum = 512;   // smallest capacity a growth makes

    constexpr RtVector() noexcept = default;
    constexpr RtVector(int32_t growthStep, int32_t minimumCapacity) noexcept
        : step(growthStep), minimum(minimumCapacity) {}
    RtVector(const RtVector& source) : step(source.step), minimum(source.minimum) { copyFrom(source); }
    RtVector(RtVector&& source) noexcept : step(source.step), minimum(source.minimum) { swap(source); }
    RtVector& operator=(const RtVector& source) {
        copyFrom(source);
        return *this;
    }
    // Exchanges contents; the source releases what this vector held.
    RtVector& operator=(RtVector&& source) noexcept {
        swap(source);
        return *this;
    }
    ~RtVector() { releaseAll(data); }

    T& operator[](int32_t i) { return data[i]; }
    const T& operator[](int32_t i) const { return data[i]; }

    // Room for at least n elements. True when the capacity already exceeds n
    // (nothing changes) or the growth worked; false after a failed allocation,
    // which leaves the vector empty without storage.
    bool reserve(int32_t n) {
        Storage old;
        bool grown = grow(n, old);
        releaseStorage(old);
        return grown;
    }

    // Adds a copy of the value at the end, growing when full; after a failed
    // growth the value is dropped. The value may be an element of this vector.
    void append(const T& value) {
        const T* source = &value;
        Storage old;
        if (capacity <= count) {
            if (count == INT32_MAX) return;
            ptrdiff_t index = indexOf(source);
            int32_t moved = count;
            if (!grow(count + 1, old)) return;
            if (index >= 0 && index < moved) source = data + index;  // it moved with the rest
        }
        ++count;
        data[count - 1] = *source;
        releaseStorage(old);  // an element beyond count was read from here
    }

    // count 0; with freeStorage every element is destroyed and the storage freed.
    void clear(bool freeStorage) {
        if (freeStorage && data != nullptr) {
            releaseAll(data);
            data = nullptr;
            capacity = 0;
        }
        count = 0;
    }

    // Makes this vector an independent copy of the source with storage of its
    // own (512, or the next step above the source's capacity, with the usual
    // step and minimum), then the source's step and minimum. The old storage
    // goes after the copy is complete, so copying a vector onto itself works.
    // False when storage cannot be had: the vector is then empty, without
    // storage, with the source's step and minimum.
    bool copyFrom(const RtVector& source) {
        RtVector copy;
        bool copied = source.capacity < 0 || copy.reserve(source.capacity);
        if (copied && source.data != nullptr) {
            int32_t n = source.count < copy.capacity ? source.count : copy.capacity;
            if (n > 0) copyElements(copy.data, source.data, n);
            copy.count = n < 0 ? 0 : n;
        }
        copy.step = source.step;
        copy.minimum = source.minimum;
        swap(copy);
        return copied;
    }

    // Exchanges all five fields.
    void swap(RtVector& other) noexcept {
        std::swap(data, other.data);
        std::swap(count, other.count);
        std::swap(capacity, other.capacity);
        std::swap(step, other.step);
        std::swap(minimum, other.minimum);
    }

private:
    // Storage that has been replaced but not yet released.
    struct Storage {
        T* elements = nullptr;
    };

    static void copyElements(T* to, const T* from, int32_t n) {
        if constexpr (plain) {
            std::memcpy(static_cast<void*>(to), from, static_cast<size_t>(n) * sizeof(T));
        } else {
            for (int32_t i = 0; i < n; ++i) to[i] = from[i];
        }
    }

    static int32_t& allocationCount(T* elements) {
        return *reinterpret_cast<int32_t*>(reinterpret_cast<unsigned char*>(elements) - counterBytes);
    }

    // New storage for n elements (constructed when counted), or null.
    static T* allocate(int32_t n) {
        if constexpr (plain) {
            return static_cast<T*>(containers::obtainStorage(static_cast<size_t>(n) * sizeof(T)));
        } else {
            void* raw = containers::obtainStorage(counterBytes + static_cast<size_t>(n) * sizeof(T));
            if (raw == nullptr) return nullptr;
            T* elements = reinterpret_cast<T*>(static_cast<unsigned char*>(raw) + counterBytes);
            int32_t made = 0;
            try {
                for (; made < n; ++made) new (elements + made) T();
            } catch (...) {
                while (made > 0) elements[--made].~T();
                containers::releaseStorage(raw);
                throw;
            }
            allocationCount(elements) = n;
            return elements;
        }
    }

    static void releaseAll(T* elements) {
        if (elements == nullptr) return;
        if constexpr (plain) {
            containers::releaseStorage(elements);
        } else {
            for (int32_t i = allocationCount(elements) - 1; i >= 0; --i) elements[i].~T();
            containers::releaseStorage(reinterpret_cast<unsigned char*>(elements) - counterBytes);
        }
    }

    static void releaseStorage(Storage& old) {
        releaseAll(old.elements);
        old.elements = nullptr;
    }

    ptrdiff_t indexOf(const T* p) const {
        if (data == nullptr || std::less<const T*>{}(p, data) || !std::less<const T*>{}(p, data + capacity)) {
            return -1;
        }
        return p - data;
    }

    // reserve without releasing the replaced storage, which `old` receives.
    bool grow(int32_t n, Storage& old) {
        if (capacity > n) return true;
        const int64_t growth = step > 1 ? step : 1;
        const int64_t wanted = n <= minimum ? minimum : growth * (n / growth + 1);
        if (wanted < 1) return true;  // no storage wanted, and there is none
        const int32_t oldCapacity = capacity;
        T* fresh = wanted > INT32_MAX ? nullptr : allocate(static_cast<int32_t>(wanted));
        if (fresh == nullptr) {
            releaseAll(data);
            data = nullptr;
            capacity = 0;
            count = 0;
            return false;
        }
        capacity = static_cast<int32_t>(wanted);
        if (data != nullptr) {
            const int32_t kept = count < oldCapacity ? count : oldCapacity;
            if constexpr (plain) {
                if (kept > 0) std::memcpy(static_cast<void*>(fresh), data, static_cast<size_t>(kept) * sizeof(T));
            } else {
                try {
                    for (int32_t i = 0; i < kept; ++i) fresh[i] = std::move(data[i]);
                } catch (...) {
                    releaseAll(fresh);
                    capacity = oldCapacity;
                    throw;
                }
            }
        }
        old.elements = data;
        data = fresh;
        return true;
    }
};
