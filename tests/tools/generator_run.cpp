// Starts a generator in a child process and collects its exit status and
// standard error.
#include "generator_run.h"

#include <unistd.h>

#include <cstdlib>

#include "child_process.h"

namespace mediatest {

RunResult runGenerator(const std::string& program, const std::vector<std::string>& args) {
    testsupport::ChildResult child = testsupport::runInChild([&] {
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    });
    RunResult r;
    r.exitStatus = child.exited ? child.exitStatus : -1;
    r.err = child.err;
    return r;
}

std::string pixelsProgram() { return MEDIA_PIXELS_EXE; }
std::string sfxProgram() { return MEDIA_SFX_EXE; }
std::string musicProgram() { return MEDIA_MUSIC_EXE; }

std::string mediaSource(const std::string& relative) {
    const char* root = std::getenv("VANTRIC_SOURCE_DIR");
    return std::string(root ? root : ".") + "/media/" + relative;
}

}  // namespace mediatest
