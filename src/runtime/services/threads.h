// Threads and the runtime's mutex, with errno-style results: 0 success,
// 1 the caller does not hold the mutex, 12 no memory, 22 a null argument, a
// thread handle that names no thread or a failed wait, 36 the calling thread
// already holds the mutex. The numbers are fixed here, whatever the
// platform's errno values are.
//
// The mutex is not recursive: a second lock by the thread that holds it is
// refused with 36 and the mutex stays held once.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>

inline constexpr uint32_t kThreadOk = 0;
inline constexpr uint32_t kThreadNotOwner = 1;
inline constexpr uint32_t kThreadNoMemory = 12;
inline constexpr uint32_t kThreadInvalid = 22;
inline constexpr uint32_t kThreadDeadlock = 36;

struct RtMutex {
    std::mutex lock;
    std::atomic<uint32_t> owner{0};  // thread id of the holder, 0 when free
};

// Users hold an RtMutex* and pass its address.
uint32_t mutexInit(RtMutex** mutex);
// Waits while another thread holds it.
uint32_t mutexLock(RtMutex** mutex);
uint32_t mutexUnlock(RtMutex** mutex);
// Frees the mutex (it must not be held) and sets the pointer to null.
uint32_t mutexDestroy(RtMutex** mutex);

// A thread handle; kThreadFailed when no thread could be started.
using RtThreadHandle = uintptr_t;
inline constexpr RtThreadHandle kThreadFailed = ~RtThreadHandle{0};
using RtThreadFunction = uint32_t (*)(void* argument);

// Starts function(argument) on a new thread. With keepHandle the handle is
// returned for threadJoin; without it the thread runs on by itself and the
// result is 0. kThreadFailed, with errno set to 12, when the thread could not
// be started.
RtThreadHandle threadCreate(RtThreadFunction function, void* argument, uint32_t keepHandle);
// Waits for the thread; stores its function's result when exitCode is not
// null and ends the handle. 22 (the handle stays) when the wait fails, and
// 22 for a handle that names no thread: joined before, or never given out.
uint32_t threadJoin(RtThreadHandle handle, uint32_t* exitCode);
void threadYield();
void threadSleep(uint32_t ms);
