// The platform layer's log sink: one pointer, read and written atomically
// because the audio output may log from another thread than the start-up.
#include "platform/log_sink.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<LogSink> sink{nullptr};
}  // namespace

void setLogSink(LogSink newSink) { sink.store(newSink); }

void logText(const char* text) {
    if (LogSink current = sink.load()) current(text);
}

}  // namespace platform
