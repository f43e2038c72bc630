// Shared by the container suites: record types shaped like the game's,
// refusing storage, and running a fatal path in a child with its own
// temporary folder (the orderly end writes the error log there).
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "child_process.h"
#include "runtime/containers/container_storage.h"

namespace containertest {

struct Gem {
    int32_t x, y;
};
struct FlyingGem {
    int32_t x, y;
};
struct Blood {
    int32_t a, b, c, d;
    double speed;
    int32_t life;
};
struct Fish {
    double f[10];
};

// Refuses every allocation of at least `bytes` while it lives.
class ScopedStorageRefusal {
public:
    explicit ScopedStorageRefusal(size_t bytes);
    ~ScopedStorageRefusal();
    ScopedStorageRefusal(const ScopedStorageRefusal&) = delete;
    ScopedStorageRefusal& operator=(const ScopedStorageRefusal&) = delete;
    // Allocations refused so far.
    static int refused();
};

// runInChild with TMPDIR and HOME set to a fresh private folder.
testsupport::ChildResult runFatal(const std::function<void()>& body);

}  // namespace containertest
