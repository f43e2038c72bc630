// Where the platform layer's diagnostic lines go: a sink that the layer
// above installs (the runtime's error log, when the engine start-up begins
// it). Without a sink a line is dropped, as the error log drops a line it
// cannot write. Safe from any thread.
#pragma once

namespace platform {

using LogSink = void (*)(const char* text);

// The sink for every later line; null drops them.
void setLogSink(LogSink sink);
// Hands the text to the sink as it is (callers end their lines with "\n").
void logText(const char* text);

}  // namespace platform
