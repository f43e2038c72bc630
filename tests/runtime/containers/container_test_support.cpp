#include "container_test_support.h"

#include "temp_dir.h"

namespace containertest {

namespace {
size_t refuseFrom = 0;
int refusedCount = 0;

bool refuseLarge(size_t bytes) {
    if (bytes < refuseFrom) return false;
    ++refusedCount;
    return true;
}
}  // namespace

ScopedStorageRefusal::ScopedStorageRefusal(size_t bytes) {
    refuseFrom = bytes;
    refusedCount = 0;
    containers::setStorageRefusal(&refuseLarge);
}

ScopedStorageRefusal::~ScopedStorageRefusal() { containers::setStorageRefusal(nullptr); }

int ScopedStorageRefusal::refused() { return refusedCount; }

testsupport::ChildResult runFatal(const std::function<void()>& body) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv tmp("TMPDIR", dir.path().c_str());
    testsupport::ScopedEnv home("HOME", dir.path().c_str());
    return testsupport::runInChild(body);
}

}  // namespace containertest
