// Running the media generators from the tests, as the build runs them.
#pragma once
#include <string>
#include <vector>

namespace mediatest {

struct RunResult {
    int exitStatus = -1;  // -1 when the program did not exit normally
    std::string err;      // what it wrote to standard error
};

// Runs the program with the arguments and waits for it.
RunResult runGenerator(const std::string& program, const std::vector<std::string>& args);

// The generators as the build made them, and the media sources.
std::string pixelsProgram();
std::string sfxProgram();
std::string musicProgram();
std::string mediaSource(const std::string& relative);  // under media/ of the source tree

}  // namespace mediatest
