// Shared by the planner suites: refusing the containers' storage, and
// running a fatal path in a child with a private temporary folder (the
// orderly end writes the error log there).
#pragma once
#include <cstddef>
#include <functional>
#include <string>

#include "child_process.h"

namespace plannertest {

// Every allocation through the containers' allocator fails while it lives.
class ScopedRefuseStorage {
public:
    ScopedRefuseStorage();
    ~ScopedRefuseStorage();
    ScopedRefuseStorage(const ScopedRefuseStorage&) = delete;
    ScopedRefuseStorage& operator=(const ScopedRefuseStorage&) = delete;
};

struct FatalRun {
    testsupport::ChildResult child;
    std::string errorLog;  // ErrorLog.txt of the child's temporary folder
};
FatalRun runFatal(const std::function<void()>& body);

}  // namespace plannertest
