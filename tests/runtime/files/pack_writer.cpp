// Test-only pack writer (see pack_writer.h).
#include "pack_writer.h"

#include <lzo/lzo1x.h>
#include <stdexcept>
#include <sys/stat.h>

#include "file_bytes.h"

namespace testpack {

std::string le32(uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
    return bytes;
}

std::string modeOneStream(const std::string& bytes) {
    if (lzo_init() != LZO_E_OK) throw std::runtime_error("lzo_init failed");
    std::vector<unsigned char> work(LZO1X_1_MEM_COMPRESS);
    std::string out(bytes.size() + bytes.size() / 16 + 64 + 3, '\0');
    lzo_uint length = out.size();
    lzo1x_1_compress(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                     reinterpret_cast<unsigned char*>(out.data()), &length, work.data());
    out.resize(length);
    return le32(static_cast<uint32_t>(bytes.size())) + out;
}

Entry entry(const std::string& name, const std::string& content) { return {name, modeOneStream(content)}; }

std::string directoryEntry(const std::string& name, int32_t offset, int32_t packedSize) {
    return std::string(1, static_cast<char>(name.size())) + name + le32(static_cast<uint32_t>(offset)) +
           le32(static_cast<uint32_t>(packedSize));
}

std::string trailer(int32_t directoryPosition) { return "sbX" + le32(static_cast<uint32_t>(directoryPosition)); }

std::string buildPack(const std::vector<Entry>& entries, size_t prefixSize, Offsets offsets, Placement placement) {
    size_t directorySize = 1;
    size_t dataSize = 0;
    for (const auto& e : entries) {
        directorySize += 1 + e.name.size() + 8;
        dataSize += e.packed.size();
    }
    const int64_t total = static_cast<int64_t>(prefixSize + directorySize + dataSize + 7);
    const bool directoryFirst = placement == Placement::DirectoryThenData;
    // Positions in the whole archive (prefix included).
    int64_t dataAt = static_cast<int64_t>(prefixSize + (directoryFirst ? directorySize : 0));
    const int64_t directoryAt = static_cast<int64_t>(prefixSize + (directoryFirst ? 0 : dataSize));
    auto stored = [&](int64_t position) {
        return static_cast<int32_t>(offsets == Offsets::FromEnd ? position - total : position);
    };
    std::string data, directory;
    for (const auto& e : entries) {
        directory += directoryEntry(e.name, stored(dataAt), static_cast<int32_t>(e.packed.size()));
        data += e.packed;
        dataAt += static_cast<int64_t>(e.packed.size());
    }
    directory += '\0';
    std::string body = directoryFirst ? directory + data : data + directory;
    return body + trailer(stored(directoryAt));
}

size_t writePackedExecutable(const std::string& path, const std::string& pack, const std::string& source) {
    std::string program = testsupport::readFileBytes(source);
    if (program.empty()) throw std::runtime_error("cannot read " + source);
    testsupport::writeFileBytes(path, program + pack);
    chmod(path.c_str(), 0755);
    return program.size();
}

}  // namespace testpack

#include "runtime/files/read_stream.h"

namespace testpack {

std::string readNamed(const char* name) {
    ReadStream stream;
    if (!readStreamOpen(stream, name)) return "<unreadable>";
    std::string bytes(static_cast<size_t>(stream.size), '\0');
    bool ok = bytes.empty() || readStreamRead(stream, reinterpret_cast<uint8_t*>(bytes.data()), static_cast<int32_t>(bytes.size()));
    readStreamClose(stream);
    return ok ? bytes : "<unreadable>";
}

}  // namespace testpack
