// The runtime's mutex and threads over the platform threads.
//
// Departure: the handles given out are listed, so a join of a handle that
// was joined before (or never given out) fails with 22, as a wait on a
// closed handle does, instead of following a thread record that is gone.
#include "runtime/services/threads.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <vector>

#include "platform/clock.h"
#include "platform/threads.h"

uint32_t mutexInit(RtMutex** mutex) {
    if (!mutex) return kThreadInvalid;
    RtMutex* made = new (std::nothrow) RtMutex;
    if (!made) return kThreadNoMemory;
    *mutex = made;
    return kThreadOk;
}

uint32_t mutexLock(RtMutex** mutex) {
    if (!mutex || !*mutex) return kThreadInvalid;
    RtMutex& m = **mutex;
    const uint32_t self = platform::currentThreadId();
    // Only this thread can have made the owner its own id, so the check needs
    // no lock; it comes first because the lock itself is not recursive.
    if (m.owner.load(std::memory_order_relaxed) == self) return kThreadDeadlock;
    m.lock.lock();
    m.owner.store(self, std::memory_order_relaxed);
    return kThreadOk;
}

uint32_t mutexUnlock(RtMutex** mutex) {
    if (!mutex || !*mutex) return kThreadInvalid;
    RtMutex& m = **mutex;
    const uint32_t owner = m.owner.load(std::memory_order_relaxed);
    if (owner == 0 || owner != platform::currentThreadId()) return kThreadNotOwner;
    m.owner.store(0, std::memory_order_relaxed);
    m.lock.unlock();
    return kThreadOk;
}

uint32_t mutexDestroy(RtMutex** mutex) {
    if (!mutex || !*mutex) return kThreadInvalid;
    delete *mutex;
    *mutex = nullptr;
    return kThreadOk;
}

namespace {

// The threads whose handles were given out and not yet joined. Room for one
// more is made before a thread starts, so listing it cannot fail afterwards.
std::mutex keptLock;
std::vector<platform::NativeThread*> keptThreads;

// Takes the thread off the list; false when the handle is not on it.
bool takeKept(platform::NativeThread* thread) {
    std::lock_guard<std::mutex> guard(keptLock);
    auto at = std::find(keptThreads.begin(), keptThreads.end(), thread);
    if (at == keptThreads.end()) return false;
    *at = keptThreads.back();
    keptThreads.pop_back();
    return true;
}

}  // namespace

RtThreadHandle threadCreate(RtThreadFunction function, void* argument, uint32_t keepHandle) {
    std::unique_lock<std::mutex> guard(keptLock, std::defer_lock);
    if (keepHandle) {
        guard.lock();
        try {
            keptThreads.reserve(keptThreads.size() + 1);
        } catch (const std::bad_alloc&) {
            errno = static_cast<int>(kThreadNoMemory);
            return kThreadFailed;
        }
    }
    platform::NativeThread* thread = platform::startThread(function, argument);
    if (!thread) {
        errno = static_cast<int>(kThreadNoMemory);
        return kThreadFailed;
    }
    if (!keepHandle) {
        platform::detachThread(thread);
        return 0;
    }
    keptThreads.push_back(thread);  // within the room reserved above
    return reinterpret_cast<RtThreadHandle>(thread);
}

uint32_t threadJoin(RtThreadHandle handle, uint32_t* exitCode) {
    if (handle == 0 || handle == kThreadFailed) return kThreadInvalid;
    auto* thread = reinterpret_cast<platform::NativeThread*>(handle);
    if (!takeKept(thread)) return kThreadInvalid;
    if (platform::joinThread(thread, exitCode)) return kThreadOk;
    // The wait failed and the handle stays open: it goes back on the list,
    // into the slot it has just left.
    std::lock_guard<std::mutex> guard(keptLock);
    keptThreads.push_back(thread);
    return kThreadInvalid;
}

void threadYield() { platform::yieldThread(); }

void threadSleep(uint32_t ms) { platform::clockPort().sleepMillis(ms); }
