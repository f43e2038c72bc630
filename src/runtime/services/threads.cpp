// The runtime's mutex and threads over the platform threads.
#include "runtime/services/threads.h"

#include <cerrno>
#include <new>

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

RtThreadHandle threadCreate(RtThreadFunction function, void* argument, uint32_t keepHandle) {
    platform::NativeThread* thread = platform::startThread(function, argument);
    if (!thread) {
        errno = static_cast<int>(kThreadNoMemory);
        return kThreadFailed;
    }
    if (!keepHandle) {
        platform::detachThread(thread);
        return 0;
    }
    return reinterpret_cast<RtThreadHandle>(thread);
}

uint32_t threadJoin(RtThreadHandle handle, uint32_t* exitCode) {
    if (handle == 0 || handle == kThreadFailed) return kThreadInvalid;
    auto* thread = reinterpret_cast<platform::NativeThread*>(handle);
    return platform::joinThread(thread, exitCode) ? kThreadOk : kThreadInvalid;
}

void threadYield() { platform::yieldThread(); }

void threadSleep(uint32_t ms) { platform::clockPort().sleepMillis(ms); }
