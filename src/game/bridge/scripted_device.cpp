// The scripted device: a queue of frame runs and reply tables by verb.
#include "game/bridge/scripted_device.h"

#include <cctype>
#include <sstream>

namespace {
const char kUpdate[] = "JoyUpdateKeys";

std::string trimmed(const std::string& text) {
    size_t first = 0, last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
    return text.substr(first, last - first);
}
}  // namespace

std::string ScriptedDevice::verbOf(const std::string& request) {
    const size_t colon = request.find(':');
    return colon == std::string::npos ? request : request.substr(0, colon + 1);
}

RtString ScriptedDevice::answer(const RtString& request) {
    const std::string text(request.data, request.length);
    requests_.push_back(text);
    if (text == kUpdate) {
        ++framesTaken_;
        if (script_.empty()) return RtString();
        Run& run = script_.front();
        RtString state(run.state.c_str());
        if (--run.frames == 0) script_.pop_front();
        return state;
    }
    const std::string verb = verbOf(text);
    auto queue = queued_.find(verb);
    if (queue != queued_.end() && !queue->second.empty()) {
        RtString reply(queue->second.front().c_str());
        queue->second.pop_front();
        return reply;
    }
    auto fixed = fixed_.find(verb);
    return RtString(fixed != fixed_.end() ? fixed->second.c_str() : "0");
}

void ScriptedDevice::addFrames(int32_t count, const std::string& state) {
    if (count > 0) script_.push_back(Run{count, state});
}

bool ScriptedDevice::loadScript(const std::string& script) {
    std::deque<Run> runs;
    std::istringstream lines(script);
    std::string line;
    while (std::getline(lines, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#') continue;
        size_t digits = 0;
        while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits]))) ++digits;
        if (digits == 0 || digits > 9) return false;  // no count, or one beyond any test's length
        const int64_t count = std::stoll(line.substr(0, digits));
        if (digits < line.size() && !std::isspace(static_cast<unsigned char>(line[digits]))) return false;
        if (count > 0) runs.push_back(Run{count, trimmed(line.substr(digits))});
    }
    script_.insert(script_.end(), runs.begin(), runs.end());
    return true;
}

int64_t ScriptedDevice::framesLeft() const {
    int64_t total = 0;
    for (const Run& run : script_) total += run.frames;
    return total;
}

void ScriptedDevice::setReply(const std::string& verb, const std::string& reply) { fixed_[verb] = reply; }

void ScriptedDevice::queueReply(const std::string& verb, const std::string& reply) {
    queued_[verb].push_back(reply);
}

std::vector<std::string> ScriptedDevice::requestsOtherThanUpdates() const {
    std::vector<std::string> others;
    for (const std::string& r : requests_) {
        if (r != kUpdate) others.push_back(r);
    }
    return others;
}
