// The scripted device, for tests: controller state frame by frame from a
// script, fixed or queued replies to the other requests, and a record of
// every request received.
//
// Each "JoyUpdateKeys" request takes the next frame of the script; its reply
// is the frame's state in reply form ("Down=1000;b1=1", see reply_fields.h).
// Once the script is used up every frame holds nothing (""). A script text
// holds one line per run of frames, "<count> <state>", such as
//   40            (forty frames with nothing held)
//   20 Down=1000
//   1 b1=1
// where blank lines and lines starting with "#" are skipped.
//
// Any other request is answered by its verb: the request up to and including
// its first ":" (the whole request when it has none). A queued reply of the
// verb is used once, first in first out; then the verb's fixed reply; else "0".
#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "game/bridge/device_transport.h"

class ScriptedDevice : public DeviceTransport {
public:
    explicit ScriptedDevice(DeviceKind kind = DeviceKind::Desktop) : kind_(kind) {}

    RtString answer(const RtString& request) override;
    DeviceKind kind() const override { return kind_; }

    // Appends `count` frames of one state (count 0 or less appends nothing).
    void addFrames(int32_t count, const std::string& state);
    // Appends the runs of a script text; false (and nothing appended) when a
    // line does not start with a count.
    bool loadScript(const std::string& script);
    // Frames of the script not yet taken.
    int64_t framesLeft() const;
    // The "JoyUpdateKeys" requests answered so far.
    int64_t framesTaken() const { return framesTaken_; }

    void setReply(const std::string& verb, const std::string& reply);
    void queueReply(const std::string& verb, const std::string& reply);

    // Every request received, in order.
    const std::vector<std::string>& requests() const { return requests_; }
    // The requests other than "JoyUpdateKeys", in order.
    std::vector<std::string> requestsOtherThanUpdates() const;
    void clearRequests() { requests_.clear(); }

    // The verb of a request as this device sorts requests.
    static std::string verbOf(const std::string& request);

private:
    struct Run {
        int64_t frames;
        std::string state;
    };
    DeviceKind kind_;
    std::deque<Run> script_;
    int64_t framesTaken_ = 0;
    std::map<std::string, std::deque<std::string>> queued_;
    std::map<std::string, std::string> fixed_;
    std::vector<std::string> requests_;
};
