// The containers' allocator: operator new in its non-throwing form.
#include "runtime/containers/container_storage.h"

#include <new>

namespace containers {

namespace {
StorageRefusal refusal = nullptr;
}

void* obtainStorage(size_t bytes) noexcept {
    if (refusal != nullptr && refusal(bytes)) return nullptr;
    return ::operator new(bytes, std::nothrow);
}

void releaseStorage(void* storage) noexcept { ::operator delete(storage); }

void setStorageRefusal(StorageRefusal refuse) noexcept { refusal = refuse; }

}  // namespace containers
