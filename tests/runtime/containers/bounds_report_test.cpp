// The bounds report: two lines, exact to the character, on standard error
// and (first) to an attached debugger.
#include <gtest/gtest.h>

#include <string>

#include "container_test_support.h"
#include "platform/debugger.h"
#include "runtime/containers/rt_array.h"
#include "runtime/services/runtime_error.h"

using containertest::Gem;
using containertest::runFatal;

namespace {

void expectReport(const testsupport::ChildResult& r, const std::string& lines) {
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(9, r.exitStatus);
    EXPECT_EQ(lines, r.err);
    EXPECT_EQ("exit", r.out);
}

// A debugger port that also writes what it gets to standard error, marked,
// so that the order of the two outputs shows in one stream.
class EchoingDebugger : public platform::DebuggerPort {
public:
    bool attached() override { return true; }
    void output(const char* text) override {
        std::fputs("<dbg>", stderr);
        std::fputs(text, stderr);
        std::fflush(stderr);
    }
};

}  // namespace

TEST(BoundsReport, TwoDimensionsWithNumbersRightAlignedInFour) {
    expectReport(runFatal([] {
                     RtArray<int> a;
                     a.dim(10, 5);
                     a.at(12, 3) = 0;
                 }),
                 "bounds: [  10][   5]\naccess: [  12][   3]\n");
}

TEST(BoundsReport, OneDimensionShowsOnlyTheFirstIndex) {
    expectReport(runFatal([] {
                     RtArray<double> a;
                     a.dim(5);
                     a.at(1, 9) = 0;
                 }),
                 "bounds: [   5]\naccess: [   1]\n");
}

TEST(BoundsReport, NeverDimensionedArrayShowsSizeZero) {
    expectReport(runFatal([] {
                     RtArray<RtString> a;
                     a.at(3) = "x";
                 }),
                 "bounds: [   0]\naccess: [   3]\n");
}

TEST(BoundsReport, NegativeFirstIndexIsShownAfterAddingTheSize) {
    expectReport(runFatal([] {
                     RtArray<int> a;
                     a.dim(5);
                     a.at(-6) = 0;
                 }),
                 "bounds: [   5]\naccess: [  -1]\n");
}

TEST(BoundsReport, LongNumbersWidenTheirEntries) {
    expectReport(runFatal([] {
                     RtArray<int> a;
                     a.dim(12345);
                     a.at(-99999) = 0;
                 }),
                 "bounds: [12345]\naccess: [-87654]\n");
}

TEST(BoundsReport, ThreeAndFourDimensionsShowTwoForAllButBytes) {
    expectReport(runFatal([] {
                     RtArray<int> a;
                     a.dim(2, 3, 4, 5);
                     a.at(1, 2, 3, 5) = 0;
                 }),
                 "bounds: [   2][   3]\naccess: [   1][   2]\n");
    expectReport(runFatal([] {
                     RtArray<Gem> a;
                     a.dim(2, 3, 4);
                     a.at(0, 0, 4).x = 0;
                 }),
                 "bounds: [   2][   3]\naccess: [   0][   0]\n");
}

TEST(BoundsReport, ByteArraysShowUpToFourDimensions) {
    expectReport(runFatal([] {
                     RtArray<unsigned char> a;
                     a.dim(2, 3, 4, 5);
                     a.at(1, 2, 3, 5) = 0;
                 }),
                 "bounds: [   2][   3][   4][   5]\naccess: [   1][   2][   3][   5]\n");
    expectReport(runFatal([] {
                     RtArray<unsigned char> a;
                     a.dim(2, 3, 4);
                     a.at(1, 3, 0) = 0;
                 }),
                 "bounds: [   2][   3][   4]\naccess: [   1][   3][   0]\n");
}

TEST(BoundsReport, ByteArrayStopsAtTheFirstAbsentDimension) {
    RtArray<unsigned char> a;
    a.dim(4, 0, 7);
    testing::internal::CaptureStderr();
    a.reportBounds(9, 0, 6, 0);
    EXPECT_EQ("bounds: [   4]\naccess: [   9]\n", testing::internal::GetCapturedStderr());
}

TEST(BoundsReport, TheReportItselfRecordsNothingAndReturns) {
    RtArray<int> a;
    a.dim(10, 5);
    clearErrorCode();
    testing::internal::CaptureStderr();
    a.reportBounds(12, 3, 0, 0);
    EXPECT_EQ("bounds: [  10][   5]\naccess: [  12][   3]\n", testing::internal::GetCapturedStderr());
    EXPECT_EQ(0, RtErrorCode);
}

TEST(BoundsReport, DebuggerGetsBothLinesBeforeStandardError) {
    EchoingDebugger debugger;
    platform::ScopedDebuggerPort scoped(debugger);
    RtArray<int> a;
    a.dim(10, 5);
    testing::internal::CaptureStderr();
    a.reportBounds(12, 3, 0, 0);
    EXPECT_EQ(
        "<dbg>TXbounds: [  10][   5]\n<dbg>TXaccess: [  12][   3]\n"
        "bounds: [  10][   5]\naccess: [  12][   3]\n",
        testing::internal::GetCapturedStderr());
}

TEST(BoundsReport, WithoutADebuggerNothingReachesIt) {
    platform::RecordingDebugger debugger(false);
    platform::ScopedDebuggerPort scoped(debugger);
    RtArray<int> a;
    testing::internal::CaptureStderr();
    a.reportBounds(1, 0, 0, 0);
    EXPECT_EQ("bounds: [   0]\naccess: [   1]\n", testing::internal::GetCapturedStderr());
    EXPECT_TRUE(debugger.texts().empty());
}
