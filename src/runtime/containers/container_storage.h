// Raw storage for the runtime's arrays and vectors: one allocator that
// answers null instead of throwing, so that every container can test the
// result before it writes a byte, and a seam through which tests refuse
// allocations to reach the failure paths.
#pragma once
#include <cstddef>

namespace containers {

// Bytes from the general allocator, aligned for any element; null on failure.
void* obtainStorage(size_t bytes) noexcept;
// Gives back what obtainStorage returned; null is ignored.
void releaseStorage(void* storage) noexcept;

// Test seam: while set, every request is first put to `refuse`; true makes
// the allocation fail. Null restores the plain allocator.
using StorageRefusal = bool (*)(size_t bytes);
void setStorageRefusal(StorageRefusal refuse) noexcept;

}  // namespace containers
