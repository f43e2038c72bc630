// Whole-file bytes in pages of their own (mapped_bytes.h).
#include "runtime/files/mapped_bytes.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace files {

MappedBytes::~MappedBytes() { clear(); }

bool MappedBytes::resize(size_t count) {
    if (count > capacity_) {
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        // Growing by half again at least, so that appending piece by piece
        // moves each byte a few times at most.
        size_t wanted = count > capacity_ + capacity_ / 2 ? count : capacity_ + capacity_ / 2;
        if (wanted > SIZE_MAX - page) {
            errno = ENOMEM;
            return false;
        }
        wanted = (wanted + page - 1) / page * page;
        void* grown = base_ ? mremap(base_, capacity_, wanted, MREMAP_MAYMOVE)
                            : mmap(nullptr, wanted, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (grown == MAP_FAILED) {
            errno = ENOMEM;
            return false;
        }
        base_ = grown;
        capacity_ = wanted;
    }
    if (count < size_) std::memset(data() + count, 0, size_ - count);  // so that growing again gives zeros
    size_ = count;
    return true;
}

bool MappedBytes::append(const void* bytes, size_t count) {
    const size_t at = size_;
    if (count > SIZE_MAX - at) {
        errno = ENOMEM;
        return false;
    }
    if (!resize(at + count)) return false;
    if (count > 0) std::memcpy(data() + at, bytes, count);
    return true;
}

void MappedBytes::clear() {
    if (base_) munmap(base_, capacity_);
    base_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

}  // namespace files
