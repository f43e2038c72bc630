// Shared pieces of the channel, line-file, INI and file-system suites: a
// private folder that is the working directory and the temporary folder
// (the error log goes there), registered memory blocks, and a packed
// executable installed as the engine's file context.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "file_bytes.h"
#include "pack_writer.h"
#include "runtime/files/mem_blocks.h"
#include "runtime/files/pack_archive.h"
#include "runtime/services/runtime_error.h"
#include "temp_dir.h"

namespace filetest {

// Bytes written out as text, for building expected file contents.
inline std::string bytes(std::initializer_list<int> values) {
    std::string b;
    for (int v : values) b.push_back(static_cast<char>(v));
    return b;
}

// A registered copy of some bytes with its MemBlockName; released on destruction.
class Block {
public:
    explicit Block(std::string content) : content_(std::move(content)) {
        key_ = files::registerMemBlock(reinterpret_cast<const uint8_t*>(content_.data()),
                                       static_cast<uint32_t>(content_.size()));
        char text[32];
        files::formatMemBlockName(text, static_cast<uint32_t>(content_.size()), key_);
        name_ = text;
    }
    ~Block() { files::unregisterMemBlock(key_); }
    const std::string& name() const { return name_; }
    const std::string& content() const { return content_; }

private:
    std::string content_;
    uint32_t key_ = 0;
    std::string name_;
};

// The working directory and $TMPDIR/$HOME are folders of the test's own.
class FilesTest : public ::testing::Test {
protected:
    FilesTest()
        : tmp_(made(dir_.file("tmp"))),
          tmpEnv_("TMPDIR", tmp_.c_str()),
          homeEnv_("HOME", tmp_.c_str()),
          cwd_(made(dir_.file("work"))) {
        clearErrorCode();
    }
    ~FilesTest() override { releasePackArchives(); }

    static std::string made(const std::string& path) {
        mkdir(path.c_str(), 0755);
        return path;
    }
    // A path inside the working directory.
    std::string work(const std::string& name) const { return dir_.file("work/" + name); }
    void put(const std::string& name, const std::string& content) const {
        testsupport::writeFileBytes(work(name), content);
    }
    std::string read(const std::string& name) const { return testsupport::readFileBytes(work(name)); }

    // The engine's file context on a copy of /bin/true carrying these entries.
    void installPack(const std::vector<testpack::Entry>& entries) {
        std::string exe = dir_.file("game");
        size_t programSize = testsupport::readFileBytes("/bin/true").size();
        testpack::writePackedExecutable(exe, testpack::buildPack(entries, programSize));
        openPackArchives(RtString(exe.c_str()), RtString(exe.c_str()));
    }

    testsupport::TempDir dir_;
    std::string tmp_;
    testsupport::ScopedEnv tmpEnv_;
    testsupport::ScopedEnv homeEnv_;
    testsupport::ScopedCwd cwd_;
};

}  // namespace filetest
