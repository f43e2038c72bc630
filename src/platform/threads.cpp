// Threads over pthreads; ids from gettid.
#include "platform/threads.h"

#include <atomic>
#include <new>
#include <pthread.h>
#include <sched.h>
#include <unistd.h>

namespace platform {

struct NativeThread {
    pthread_t id{};
    ThreadFunction function = nullptr;
    void* argument = nullptr;
    uint32_t result = 0;
    // Two owners: the thread itself and whoever holds the record; the last
    // one to let go frees it, so a detached thread frees its own record.
    std::atomic<int> owners{2};
};

namespace {

void letGo(NativeThread* t) {
    if (t->owners.fetch_sub(1, std::memory_order_acq_rel) == 1) delete t;
}

void* runThread(void* record) {
    auto* t = static_cast<NativeThread*>(record);
    t->result = t->function(t->argument);
    letGo(t);
    return nullptr;
}

}  // namespace

NativeThread* startThread(ThreadFunction function, void* argument) {
    if (!function) return nullptr;
    auto* t = new (std::nothrow) NativeThread;
    if (!t) return nullptr;
    t->function = function;
    t->argument = argument;
    if (pthread_create(&t->id, nullptr, runThread, t) != 0) {
        delete t;
        return nullptr;
    }
    return t;
}

bool joinThread(NativeThread* thread, uint32_t* exitCode) {
    if (!thread || pthread_join(thread->id, nullptr) != 0) return false;
    if (exitCode) *exitCode = thread->result;
    letGo(thread);
    return true;
}

void detachThread(NativeThread* thread) {
    if (!thread) return;
    pthread_detach(thread->id);
    letGo(thread);
}

uint32_t currentThreadId() { return static_cast<uint32_t>(gettid()); }

void yieldThread() { sched_yield(); }

}  // namespace platform
