// Shared pieces of the runtime-services tests: a debugger that writes to the
// (captured) standard error of a child process, a private error-log folder,
// and a callback table that records which named routines ran.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "child_process.h"
#include "file_bytes.h"
#include "platform/debugger.h"
#include "runtime/services/callbacks.h"
#include "temp_dir.h"

namespace servicestest {

// Attached, and writes every text to standard error, so a child's debugger
// lines come back in ChildResult::err.
class StderrDebugger : public platform::DebuggerPort {
public:
    bool attached() override { return true; }
    void output(const char* text) override {
        std::fputs(text, stderr);
        std::fflush(stderr);
    }
};

// A private temporary folder for the error log, for the test's lifetime.
class LogFolder {
public:
    LogFolder() : tmp_("TMPDIR", dir_.path().c_str()) {}
    std::string log() const { return testsupport::readFileBytes(dir_.file("ErrorLog.txt")); }
    const testsupport::TempDir& dir() const { return dir_; }

private:
    testsupport::TempDir dir_;
    testsupport::ScopedEnv tmp_;
};

// Names of the routines that ran, in order.
inline std::vector<std::string>& calls() {
    static std::vector<std::string> list;
    return list;
}

template <const char* Name>
double recordCall() {
    calls().push_back(Name);
    return 0.0;
}

// Puts a table in place for its lifetime.
class ScopedRoutineTable {
public:
    explicit ScopedRoutineTable(const NamedRoutine* table) : previous_(namedRoutineTable) {
        namedRoutineTable = table;
    }
    ~ScopedRoutineTable() { namedRoutineTable = previous_; }

private:
    const NamedRoutine* previous_;
};

}  // namespace servicestest
