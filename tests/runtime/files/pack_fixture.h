// The fixture of the pack resolver tests: a private folder with a work
// directory (the current directory during the test) and a temporary folder
// ($TMPDIR), a PackArchive context of its own, and ways to give it an archive.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <sys/stat.h>

#include "file_bytes.h"
#include "pack_writer.h"
#include "runtime/files/pack_archive.h"
#include "temp_dir.h"

namespace testpack {

inline std::string randomBytes(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::string b(n, '\0');
    for (auto& c : b) c = static_cast<char>(rng());
    return b;
}

// A copy of /bin/true with a pack appended, or a bare archive file, behind a
// context of the test's own.
class PackTest : public ::testing::Test {
protected:
    PackTest()
        : tmpdir_((make(dir_.file("tmp")), dir_.file("tmp")).c_str()),
          env_("TMPDIR", tmpdir_.c_str()),
          cwd_((make(dir_.file("work")), dir_.file("work"))) {}

    static void make(const std::string& path) { mkdir(path.c_str(), 0755); }

    // Writes a copy of /bin/true with the pack appended and points `context` at it.
    void useExecutable(const std::vector<testpack::Entry>& entries,
                       testpack::Offsets offsets = testpack::Offsets::FromEnd,
                       testpack::Placement placement = testpack::Placement::DataThenDirectory) {
        size_t programSize = testsupport::readFileBytes("/bin/true").size();
        std::string pack = testpack::buildPack(entries, programSize, offsets, placement);
        testpack::writePackedExecutable(exe(), pack);
        setPath(exe());
    }
    // An archive file that is exactly `bytes`.
    void useArchive(const std::string& bytes) {
        testsupport::writeFileBytes(dir_.file("archive.bin"), bytes);
        setPath(dir_.file("archive.bin"));
    }
    void setPath(const std::string& path) {
        std::strcpy(context_.path, path.c_str());
        context_.enabled = 1;
    }
    std::string exe() const { return dir_.file("game"); }

    int32_t resolve(const char* name, uint8_t toMemory = 1) { return resolvePackedFile(&context_, name, out_, toMemory); }

    ~PackTest() override { clearPackArchive(context_); }

    testsupport::TempDir dir_;
    std::string tmpdir_;
    testsupport::ScopedEnv env_;
    testsupport::ScopedCwd cwd_;
    PackArchive context_;
    char out_[files::kPathBufferSize] = {};
};

}  // namespace testpack
