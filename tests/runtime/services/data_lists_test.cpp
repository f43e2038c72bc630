// Data lists: reading items in order, conversions, and the out-of-data end.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "runtime/engine/orderly_end.h"
#include "runtime/services/data_lists.h"
#include "runtime/services/runtime_error.h"
#include "service_test_helpers.h"

using servicestest::LogFolder;

namespace {
const DataItem kItems[] = {
    {2.9, nullptr}, {-2.9, nullptr}, {0.0, "12abc"}, {5.0, nullptr}, {0.0, "abc"},
    {0.5, nullptr}, {std::nan(""), nullptr}, {3e10, nullptr}, {0.0, " -7.25e1x"},
};
}  // namespace

TEST(DataLists, IntegersTruncateTowardZeroAndTextsReadAsAtoi) {
    clearErrorCode();  // the code of the process, which earlier cases may have set
    DataList list{kItems, 9, 5};
    RestoreData(&list);
    EXPECT_EQ(currentDataList, &list);
    EXPECT_EQ(list.readIndex, 0);
    int32_t v = 99;
    ReadDataInt(&v);
    EXPECT_EQ(v, 2);
    ReadDataInt(&v);
    EXPECT_EQ(v, -2);
    ReadDataInt(&v);
    EXPECT_EQ(v, 12);
    ReadDataInt(&v);
    ReadDataInt(&v);
    EXPECT_EQ(v, 0);  // "abc"
    ReadDataInt(&v);
    EXPECT_EQ(v, 0);  // 0.5
    ReadDataInt(&v);
    EXPECT_EQ(v, INT_MIN);  // NaN has one defined result
    ReadDataInt(&v);
    EXPECT_EQ(v, INT_MIN);  // so does a number beyond the range
    ReadDataInt(&v);
    EXPECT_EQ(v, -7);
    EXPECT_EQ(list.readIndex, 9);
    EXPECT_EQ(RtErrorCode, 0);
}

TEST(DataLists, FloatsAndStrings) {
    DataList list{kItems, 9, 0};
    RestoreData(&list);
    double d = 0;
    ReadDataFloat(&d);
    EXPECT_EQ(d, 2.9);
    list.readIndex = 2;
    ReadDataFloat(&d);
    EXPECT_EQ(d, 12.0);
    list.readIndex = 8;
    ReadDataFloat(&d);
    EXPECT_EQ(d, -72.5);

    RestoreData(&list);
    RtString s;
    list.readIndex = 3;
    ReadDataString(&s);
    EXPECT_STREQ(s.data, "5");
    ReadDataString(&s);
    EXPECT_STREQ(s.data, "abc");
    ReadDataString(&s);
    EXPECT_STREQ(s.data, "0.5");
    EXPECT_EQ(list.readIndex, 6);
}

TEST(DataLists, RestoreRewinds) {
    DataList list{kItems, 2, 0};
    RestoreData(&list);
    int32_t v = 0;
    ReadDataInt(&v);
    ReadDataInt(&v);
    RestoreData(&list);
    ReadDataInt(&v);
    EXPECT_EQ(v, 2);
}

TEST(DataLists, ReadingAnEmptyListEndsWithCode20) {
    LogFolder folder;
    auto child = testsupport::runInChild([] {
        DataList list{kItems, 0, 0};
        RestoreData(&list);
        int32_t v = 0;
        ReadDataInt(&v);
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(child.exitStatus, 20);
    EXPECT_EQ(child.out, "exit");
    EXPECT_EQ(folder.log(), "0020 out of data\nShut down VNT\n");
}

namespace {
void readTwoFromAListOfOne() {
    DataList list{kItems, 1, 0};
    RestoreData(&list);
    double d;
    ReadDataFloat(&d);
    ReadDataFloat(&d);
}

void readWithoutAList() {
    RestoreData(nullptr);
    RtString s;
    ReadDataString(&s);
}
}  // namespace

TEST(DataListsDeathTest, ReadingPastTheEndOrWithoutAListIsFatal) {
    LogFolder folder;
    EXPECT_EXIT(readTwoFromAListOfOne(), testing::ExitedWithCode(20), "");
    EXPECT_EXIT(readWithoutAList(), testing::ExitedWithCode(20), "");
}

namespace {
int32_t targetDuringShutdown = 0;
double readPastTheEndWhileEnding() {
    // The program is already ending: the read records 20, returns, and
    // leaves the target alone.
    DataList list{kItems, 0, 0};
    RestoreData(&list);
    targetDuringShutdown = 77;
    ReadDataInt(&targetDuringShutdown);
    std::printf("target %d code %d;", targetDuringShutdown, RtErrorCode);
    return 0.0;
}
}  // namespace

TEST(DataLists, FailedReadLeavesTheTargetUnchanged) {
    LogFolder folder;
    auto child = testsupport::runInChild([] {
        const NamedRoutine table[] = {{readPastTheEndWhileEnding, "VNT_ON_QUIT"}, {nullptr, nullptr}};
        namedRoutineTable = table;
        setRuntimeError(0);
        terminateProgram();
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(child.out, "target 77 code 20;exit");
    EXPECT_EQ(child.exitStatus, 0);  // the status was fixed when the end began
}
