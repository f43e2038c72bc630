// The one error type of the media generators: a message that already names
// the source file and line it comes from ("art/crab.txt:12: unknown colour
// 'Q'"). The generators are build tools: a bad source stops the build with
// that message and exit status 1, never with a crash or a half-written file.
#pragma once
#include <stdexcept>
#include <string>

namespace media {

class MediaError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "file:line: message"
[[noreturn]] void failAt(const std::string& file, int line, const std::string& message);

}  // namespace media
