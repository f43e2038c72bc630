// Memory for a whole file's bytes, taken straight from the system in pages,
// so that a save short of memory (a limit on the address space, say) fails
// with ENOMEM like a full disk instead of ending the program: an allocation
// through the language's own allocator ends it with an exception nobody can
// sensibly catch deep in a save, and under a memory checker aborts it.
// Depends on POSIX mmap and Linux's mremap.
#pragma once
#include <cstddef>

namespace files {

class MappedBytes {
public:
    MappedBytes() = default;
    ~MappedBytes();
    MappedBytes(const MappedBytes&) = delete;
    MappedBytes& operator=(const MappedBytes&) = delete;

    // `count` bytes in all (new ones are zero); false, with ENOMEM in errno
    // and the bytes as they were, when the system gives no more.
    bool resize(size_t count);
    // The bytes after those held; false as resize.
    bool append(const void* bytes, size_t count);
    // Gives every byte back.
    void clear();

    char* data() { return static_cast<char*>(base_); }
    size_t size() const { return size_; }

private:
    void* base_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;  // whole pages mapped
};

}  // namespace files
