// Threads: the stand-in for thread creation, joining and thread ids, over
// pthreads.
#pragma once
#include <cstdint>

namespace platform {

struct NativeThread;  // one started thread, until it is joined or detached

using ThreadFunction = uint32_t (*)(void* argument);

// Starts function(argument) on a new thread with the default stack size.
// Null when no thread can be started.
NativeThread* startThread(ThreadFunction function, void* argument);
// Waits without a time limit; stores the function's result when exitCode is
// not null and ends the record. False (the record stays) when the wait fails.
bool joinThread(NativeThread* thread, uint32_t* exitCode);
// The thread runs on by itself; the record ends with it.
void detachThread(NativeThread* thread);

// The calling thread's id as the kernel numbers threads; never 0.
uint32_t currentThreadId();
// Gives up the rest of the time slice.
void yieldThread();

}  // namespace platform
