#include "planner_test_support.h"

#include "file_bytes.h"
#include "runtime/containers/container_storage.h"
#include "temp_dir.h"

namespace plannertest {

ScopedRefuseStorage::ScopedRefuseStorage() {
    containers::setStorageRefusal([](size_t) { return true; });
}

ScopedRefuseStorage::~ScopedRefuseStorage() { containers::setStorageRefusal(nullptr); }

FatalRun runFatal(const std::function<void()>& body) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv tmp("TMPDIR", dir.path().c_str());
    testsupport::ScopedEnv home("HOME", dir.path().c_str());
    FatalRun run;
    run.child = testsupport::runInChild(body);
    run.errorLog = testsupport::readFileBytes(dir.file("ErrorLog.txt"));
    return run;
}

}  // namespace plannertest
