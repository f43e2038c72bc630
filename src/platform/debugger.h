// Debugger presence and output, the channel that the runtime's "TX" lines
// and breakpoint lines travel on.
//
// The real port counts a debugger as attached while the process is traced
// (TracerPid in /proc/self/status is not 0) and writes each text to standard
// error in one write, where a debugger that runs the program shows it. Tests
// put a RecordingDebugger in place to decide presence and see the texts.
#pragma once
#include <string>
#include <vector>

namespace platform {

class DebuggerPort {
public:
    virtual ~DebuggerPort() = default;
    virtual bool attached() = 0;
    // Sends the text as it stands: no line end is added.
    virtual void output(const char* text) = 0;
};

// The port in use: the real one unless another was set.
DebuggerPort& debuggerPort();
// nullptr puts the real port back.
void setDebuggerPort(DebuggerPort* port);

bool isDebuggerPresent();
// A null text sends nothing.
void outputDebugText(const char* text);

// A scripted port: attached as told; keeps every text it was sent, in order.
class RecordingDebugger : public DebuggerPort {
public:
    explicit RecordingDebugger(bool attached = true) : attached_(attached) {}
    bool attached() override { return attached_; }
    void output(const char* text) override { texts_.emplace_back(text); }

    void setAttached(bool attached) { attached_ = attached; }
    const std::vector<std::string>& texts() const { return texts_; }
    // Every text sent, joined.
    std::string joined() const;
    void clear() { texts_.clear(); }

private:
    bool attached_;
    std::vector<std::string> texts_;
};

// Puts a port in place for its lifetime, then the one before it.
class ScopedDebuggerPort {
public:
    explicit ScopedDebuggerPort(DebuggerPort& port);
    ~ScopedDebuggerPort();
    ScopedDebuggerPort(const ScopedDebuggerPort&) = delete;
    ScopedDebuggerPort& operator=(const ScopedDebuggerPort&) = delete;

private:
    DebuggerPort* previous_;
};

// Reads the tracer's process id from status text as /proc/self/status has it;
// 0 when the line is missing or malformed.
long tracerPidFromStatus(const char* statusText);

}  // namespace platform
