// The window procedure without a window: typed text, control keys, focus and
// the close request.
#include <gtest/gtest.h>

#include "input/input_state.h"
#include "platform/event_pump.h"
#include "platform/key_codes.h"
#include "runtime/engine/display_settings.h"
#include "runtime/engine/engine_state.h"
#include "runtime/services/callbacks.h"
#include "runtime/services/pause_flags.h"
#include "shell/window_messages.h"
#include "temp_dir.h"

namespace {

class WindowMessages : public ::testing::Test {
protected:
    void SetUp() override { engine.input = &input; }
    void TearDown() override {
        engine.input = nullptr;
        displaySettings.debug = 0;
        SetPauseAllowed(1);
        setPaused(0);
    }
    std::string drain() {
        std::string s;
        while (uint8_t c = input.typedChars.pop()) s += static_cast<char>(c);
        return s;
    }
    InputState input;
};

platform::Event event(platform::EventKind kind, uint8_t scanCode = 0) {
    platform::Event e;
    e.kind = kind;
    e.scanCode = scanCode;
    return e;
}

TEST_F(WindowMessages, TypedTextBecomesLatinOneCharacters) {
    EXPECT_EQ(queueTypedText("Az9"), 3);
    EXPECT_EQ(queueTypedText("\xC3\xBC\xC2\xA3"), 2);          // u umlaut, pound sign
    EXPECT_EQ(queueTypedText("\xF0\x9F\x90\x9F"), 1);          // a fish: no Latin-1 code
    EXPECT_EQ(drain(), "Az9\xFC\xA3?");
}

TEST_F(WindowMessages, MalformedTextIsSkippedWithoutReadingPastIt) {
    EXPECT_EQ(queueTypedText("a\xFF" "b"), 2);
    EXPECT_EQ(queueTypedText("\xC3"), 0);      // cut off after its first byte
    EXPECT_EQ(queueTypedText("\xE2\x82"), 0);  // cut off after two of three
    EXPECT_EQ(queueTypedText("\x80x"), 1);     // a stray continuation byte
    EXPECT_EQ(queueTypedText(nullptr), 0);
    EXPECT_EQ(queueTypedText(""), 0);
    EXPECT_EQ(drain(), "abx");
}

TEST_F(WindowMessages, TheQueueStopsAtSixteenFromOneText) {
    EXPECT_EQ(queueTypedText("0123456789abcdefghij"), 16);
    EXPECT_EQ(drain(), "0123456789abcdef");
}

TEST_F(WindowMessages, ControlKeysTypeTheirCodes) {
    handleWindowEvent(event(platform::EventKind::KeyDown, keys::Escape));
    handleWindowEvent(event(platform::EventKind::KeyDown, keys::NumpadEnter));
    handleWindowEvent(event(platform::EventKind::KeyDown, keys::A));  // typed through text, not here
    handleWindowEvent(event(platform::EventKind::KeyUp, keys::Enter));
    EXPECT_EQ(drain(), "\x1B\r");
}

TEST_F(WindowMessages, FocusPausesAndResumesUnlessDebugging) {
    handleWindowEvent(event(platform::EventKind::FocusLost));
    EXPECT_EQ(pauseFlag, 1);
    handleWindowEvent(event(platform::EventKind::FocusGained));
    EXPECT_EQ(pauseFlag, 0);
    displaySettings.debug = 1;
    handleWindowEvent(event(platform::EventKind::FocusLost));
    EXPECT_EQ(pauseFlag, 0);
}

int messageHookCalls = 0;
double countMessage() {
    ++messageHookCalls;
    // The hook runs before the message's own handling: no character queued yet.
    EXPECT_EQ(engine.input->typedChars.size(), 0);
    return 0.0;
}

TEST_F(WindowMessages, EveryMessageRunsTheProgramsMessageHookFirst) {
    const NamedRoutine table[] = {{countMessage, "VNT_WIN32_MSG"}, {nullptr, nullptr}};
    const NamedRoutine* programTable = namedRoutineTable;
    namedRoutineTable = table;
    messageHookCalls = 0;
    handleWindowEvent(event(platform::EventKind::KeyDown, keys::Enter));
    namedRoutineTable = programTable;
    EXPECT_EQ(messageHookCalls, 1);
    EXPECT_EQ(drain(), "\r");
}

TEST_F(WindowMessages, WithoutObjectsEventsAreHarmless) {
    engine.input = nullptr;
    handleWindowEvent(event(platform::EventKind::Resized));
    handleWindowEvent(event(platform::EventKind::KeyDown, keys::Enter));
    EXPECT_EQ(queueTypedText("abc"), 0);
    EXPECT_EQ(pumpWindowMessages(), 0);  // no event queue without a window
}

TEST(WindowMessagesDeath, CloseRequestEndsTheProgramInOrder) {
    testsupport::TempDir folder;
    testsupport::ScopedEnv tmp("TMPDIR", folder.path().c_str());
    EXPECT_EXIT(handleWindowEvent(event(platform::EventKind::CloseRequested)), ::testing::ExitedWithCode(0),
                "");
}

}  // namespace
