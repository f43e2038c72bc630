// The runtime's mutex from two threads, and thread start and join.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include "runtime/services/threads.h"

TEST(RtMutex, SecondLockByTheHolderIs36AndOneUnlockFreesIt) {
    RtMutex* m = nullptr;
    ASSERT_EQ(mutexInit(&m), 0u);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(mutexLock(&m), 0u);
    EXPECT_EQ(mutexLock(&m), 36u);
    EXPECT_EQ(mutexUnlock(&m), 0u);
    uint32_t other = 99;
    std::thread([&] {
        other = mutexLock(&m);
        mutexUnlock(&m);
    }).join();
    EXPECT_EQ(other, 0u);
    EXPECT_EQ(mutexUnlock(&m), 1u);  // free now
    EXPECT_EQ(mutexDestroy(&m), 0u);
    EXPECT_EQ(m, nullptr);
}

TEST(RtMutex, UnlockByAnotherThreadIs1AndTheHolderKeepsIt) {
    RtMutex* m = nullptr;
    mutexInit(&m);
    ASSERT_EQ(mutexLock(&m), 0u);
    std::atomic<uint32_t> unlockResult{99};
    std::atomic<bool> locked{false};
    std::thread other([&] {
        unlockResult = mutexUnlock(&m);
        mutexLock(&m);  // waits for the holder
        locked = true;
        mutexUnlock(&m);
    });
    while (unlockResult == 99u) std::this_thread::yield();
    EXPECT_EQ(unlockResult, 1u);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(locked);  // still held by this thread
    EXPECT_EQ(mutexUnlock(&m), 0u);
    other.join();
    EXPECT_TRUE(locked);
    mutexDestroy(&m);
}

TEST(RtMutex, GuardsACounterAcrossThreads) {
    RtMutex* m = nullptr;
    mutexInit(&m);
    int counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            ASSERT_EQ(mutexLock(&m), 0u);
            ++counter;
            ASSERT_EQ(mutexUnlock(&m), 0u);
        }
    };
    std::thread a(work), b(work), c(work);
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(counter, 60000);
    mutexDestroy(&m);
}

TEST(RtMutex, NullArgumentsGive22) {
    EXPECT_EQ(mutexInit(nullptr), 22u);
    EXPECT_EQ(mutexLock(nullptr), 22u);
    EXPECT_EQ(mutexUnlock(nullptr), 22u);
    EXPECT_EQ(mutexDestroy(nullptr), 22u);
    RtMutex* none = nullptr;
    EXPECT_EQ(mutexLock(&none), 22u);
    EXPECT_EQ(mutexUnlock(&none), 22u);
    EXPECT_EQ(mutexDestroy(&none), 22u);
    RtMutex* m = nullptr;
    mutexInit(&m);
    mutexDestroy(&m);
    EXPECT_EQ(mutexLock(&m), 22u);  // a destroyed mutex is a null one
}

namespace {
std::atomic<int> ranWith{0};
uint32_t note(void* argument) {
    ranWith = *static_cast<int*>(argument);
    return 42;
}
}  // namespace

TEST(Threads, KeptHandleJoinsWithTheResult) {
    int value = 7;
    RtThreadHandle handle = threadCreate(note, &value, 1);
    ASSERT_NE(handle, 0u);
    ASSERT_NE(handle, kThreadFailed);
    uint32_t code = 0;
    EXPECT_EQ(threadJoin(handle, &code), 0u);
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(ranWith, 7);
    handle = threadCreate(note, &value, 1);
    EXPECT_EQ(threadJoin(handle, nullptr), 0u);
}

TEST(Threads, WithoutHandleGives0AndRunsOn) {
    static int value = 9;
    ranWith = 0;
    EXPECT_EQ(threadCreate(note, &value, 0), 0u);
    for (int i = 0; i < 1000 && ranWith != 9; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(ranWith, 9);
}

TEST(Threads, BadArgumentsFail) {
    EXPECT_EQ(threadCreate(nullptr, nullptr, 1), kThreadFailed);
    EXPECT_EQ(errno, 12);
    EXPECT_EQ(threadJoin(0, nullptr), 22u);
    EXPECT_EQ(threadJoin(kThreadFailed, nullptr), 22u);
    // A handle joined before, or never given out, names no thread any more.
    static int value = 3;
    RtThreadHandle joined = threadCreate(note, &value, 1);
    ASSERT_EQ(threadJoin(joined, nullptr), 0u);
    EXPECT_EQ(threadJoin(joined, nullptr), 22u);
    EXPECT_EQ(threadJoin(joined + 8, nullptr), 22u);
    threadYield();
    threadSleep(1);
}
