// The binary .ddd reader and writer.
#include "gfx3d/ddd_binary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "gfx3d/ddd_normals.h"
#include "gfx3d/ddd_text.h"
#include "gfx3d/mesh_model.h"
#include "runtime/files/case_blind_path.h"
#include "runtime/files/error_log.h"
#include "runtime/files/file_replacement.h"
#include "runtime/files/log_text.h"
#include "runtime/files/mem_blocks.h"
#include "runtime/files/read_stream.h"

namespace {

constexpr double kOldestVersion = 1.02;
constexpr double kNewestVersion = 2.0;
constexpr int64_t kNodeBytes = 14;       // version 2.0
constexpr int64_t kOldNodeBytes = 5;     // older versions
constexpr int64_t kOldFrameHead = 28;    // N, offset, scale

// Little-endian values from a read stream, a buffer at a time. Every read
// says whether its bytes were there; `left` counts what the data still holds.
class ByteSource {
public:
    explicit ByteSource(ReadStream& stream) : stream_(stream) {}

    int64_t left() const { return (stream_.size - stream_.position) + (have_ - at_); }

    bool bytes(uint8_t* out, int64_t count) {
        while (count > 0) {
            if (at_ >= have_ && !refill()) return false;
            const int64_t n = std::min<int64_t>(count, have_ - at_);
            std::memcpy(out, buffer_ + at_, static_cast<size_t>(n));
            at_ += static_cast<int32_t>(n);
            out += n;
            count -= n;
        }
        return true;
    }
    bool u8(uint8_t& value) { return bytes(&value, 1); }
    bool u32(uint32_t& value) {
        uint8_t b[4];
        if (!bytes(b, 4)) return false;
        value = b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
        return true;
    }
    bool i32(int32_t& value) {
        uint32_t bits = 0;
        if (!u32(bits)) return false;
        value = static_cast<int32_t>(bits);
        return true;
    }
    bool f32(float& value) {
        uint32_t bits = 0;
        if (!u32(bits)) return false;
        std::memcpy(&value, &bits, 4);
        return true;
    }
    bool f64(double& value) {
        uint32_t low = 0, high = 0;
        if (!u32(low) || !u32(high)) return false;
        const uint64_t bits = static_cast<uint64_t>(high) << 32 | low;
        std::memcpy(&value, &bits, 8);
        return true;
    }

private:
    bool refill() {
        const int64_t ask = std::min<int64_t>(stream_.size - stream_.position, sizeof buffer_);
        const int64_t before = stream_.position;
        if (ask <= 0 || !readStreamRead(stream_, buffer_, static_cast<int32_t>(ask))) return false;
        have_ = static_cast<int32_t>(std::min<int64_t>(stream_.position - before, ask));
        at_ = 0;
        return have_ > 0;
    }

    ReadStream& stream_;
    uint8_t buffer_[65536];
    int32_t have_ = 0;
    int32_t at_ = 0;
};

enum class Outcome { Read, ReadError, MallocError };

struct Header {
    double version = 0.0;
    int32_t frames = 0, paletteSize = 0, pairs = 0;
};

// The node fields every version shares: normal, palette entry, texture pair.
bool finishNode(MeshVertex& node, uint8_t normal, uint8_t paletteIndex, const MeshObject& mesh,
                const std::vector<float>& u, const std::vector<float>& v, int32_t k, bool oldVersion) {
    if (normal >= kDddNormalCount || paletteIndex >= mesh.palette.count) return false;
    node.nx = kDddNormals[normal][0];
    node.ny = kDddNormals[normal][1];
    node.nz = kDddNormals[normal][2];
    node.paletteIndex = paletteIndex;
    setVertexColour(node, mesh.palette.data[paletteIndex]);
    if (static_cast<size_t>(k) < u.size()) {
        node.u = u[static_cast<size_t>(k)];
        node.v = oldVersion ? -v[static_cast<size_t>(k)] : v[static_cast<size_t>(k)];
    }
    if (oldVersion) {
        std::memcpy(node.tangent, kDddNormals[0], sizeof node.tangent);
        std::memcpy(node.bitangent, kDddNormals[0], sizeof node.bitangent);
    }
    return true;
}

Outcome readFrames(ByteSource& in, const Header& h, MeshObject& mesh, const std::vector<float>& u,
                   const std::vector<float>& v) {
    const bool oldVersion = h.version != kNewestVersion;
    const int64_t frameHead = oldVersion ? kOldFrameHead : 4;
    const int64_t nodeBytes = oldVersion ? kOldNodeBytes : kNodeBytes;
    if (h.frames > in.left() / frameHead) return Outcome::ReadError;
    if (h.frames > 0 && !mesh.frames.reserve(h.frames)) return Outcome::MallocError;
    for (int32_t f = 0; f < h.frames; ++f) {
        int32_t n = 0;
        float offset[3] = {0, 0, 0}, scale[3] = {0, 0, 0};
        if (!in.i32(n)) return Outcome::ReadError;
        if (oldVersion) {
            for (float& value : offset) in.f32(value);
            for (float& value : scale) in.f32(value);
        }
        if (n < 0 || n > in.left() / nodeBytes) return Outcome::ReadError;
        MeshFrame& frame = mesh.frames.data[f];
        if (n > 0 && !frame.nodes.reserve(n)) return Outcome::MallocError;
        mesh.frames.count = f + 1;
        for (int32_t k = 0; k < n; ++k) {
            MeshVertex node{};
            uint8_t normal = 0, paletteIndex = 0;
            if (oldVersion) {
                uint8_t q[3];
                in.bytes(q, 3);
                node.x = (static_cast<float>(q[0]) - offset[0]) * scale[0];
                node.y = (static_cast<float>(q[1]) - offset[1]) * scale[1];
                node.z = (static_cast<float>(q[2]) - offset[2]) * scale[2];
            } else {
                in.f32(node.x);
                in.f32(node.y);
                in.f32(node.z);
            }
            in.u8(normal);
            if (!in.u8(paletteIndex)) return Outcome::ReadError;
            if (!finishNode(node, normal, paletteIndex, mesh, u, v, k, oldVersion)) return Outcome::ReadError;
            frame.nodes.data[frame.nodes.count++] = node;
        }
    }
    return Outcome::Read;
}

Outcome readBinary(ByteSource& in, MeshObject& mesh) {
    Header h;
    in.f64(h.version);
    const bool countsRead = in.i32(h.frames) && in.i32(h.paletteSize) && in.i32(h.pairs);
    if (!(h.version >= kOldestVersion && h.version <= kNewestVersion)) {
        char line[128];
        std::snprintf(line, sizeof line, "Wrong .ddd version: %.2f. Can use 1.02-%.2f\n", h.version, kNewestVersion);
        appendToErrorLog(line);
        return Outcome::ReadError;
    }
    if (!countsRead || h.frames < 0 || h.paletteSize < 0 || h.pairs < 0) return Outcome::ReadError;
    if (h.paletteSize > in.left() / 4 || h.pairs > (in.left() - 4 * int64_t{h.paletteSize}) / 8) {
        return Outcome::ReadError;
    }
    if (h.paletteSize > 0 && !mesh.palette.reserve(h.paletteSize)) return Outcome::MallocError;
    for (int32_t i = 0; i < h.paletteSize; ++i) {
        uint32_t colour = 0;
        in.u32(colour);
        mesh.palette.data[mesh.palette.count++] = colour;
    }
    std::vector<float> u, v;
    try {
        u.resize(static_cast<size_t>(h.pairs));
        v.resize(static_cast<size_t>(h.pairs));
    } catch (const std::bad_alloc&) {
        return Outcome::MallocError;
    }
    for (int32_t k = 0; k < h.pairs; ++k) {
        in.f32(u[static_cast<size_t>(k)]);
        in.f32(v[static_cast<size_t>(k)]);
    }
    return readFrames(in, h, mesh, u, v);
}

// Two lines in the error log: what went wrong, then the file's name (its
// control characters escaped, so that it cannot forge a line).
void logFailure(const char* what, const char* name) {
    appendToErrorLog(what);
    const std::string line = files::escapeForLog(name) + "\n";
    appendToErrorLog(line.c_str());
}
void logFailure(Outcome outcome, const char* name) {
    logFailure(outcome == Outcome::MallocError ? "# malloc error\n" : "# read error\n", name);
}

void putU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}
void putF32(std::vector<uint8_t>& out, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    putU32(out, bits);
}
void putF64(std::vector<uint8_t>& out, double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, 8);
    putU32(out, static_cast<uint32_t>(bits));
    putU32(out, static_cast<uint32_t>(bits >> 32));
}

// The palette a file gets and each node's index into it: the mesh's own
// while every node's colour stands at its index there (a loaded or freshly
// built mesh), else the palette of the nodes (a reduced object has none, and
// the indices of a mesh of more than 256 colours wrap). A file index is one
// byte, so the nodes' palette fits only with at most 256 entries.
class FilePalette {
public:
    explicit FilePalette(const MeshObject& mesh) {
        if (!holdsItsNodes(mesh)) rebuilt_.emplace(mesh);
        colours_ = rebuilt_ ? std::span<const uint32_t>(rebuilt_->colours())
                            : std::span<const uint32_t>(mesh.palette.data, static_cast<size_t>(mesh.palette.count));
    }
    bool fits() const { return !rebuilt_ || colours_.size() <= kPaletteIndexCount; }
    std::span<const uint32_t> colours() const { return colours_; }
    uint8_t indexOf(const MeshVertex& node) const {
        return rebuilt_ ? static_cast<uint8_t>(rebuilt_->indexOf(node.colour)) : node.paletteIndex;
    }

private:
    static bool holdsItsNodes(const MeshObject& mesh) {
        for (int32_t f = 0; f < mesh.frames.count; ++f) {
            const RtVector<MeshVertex>& nodes = mesh.frames.data[f].nodes;
            for (int32_t k = 0; k < nodes.count; ++k) {
                const MeshVertex& node = nodes.data[k];
                if (node.paletteIndex >= mesh.palette.count || mesh.palette.data[node.paletteIndex] != node.colour) {
                    return false;
                }
            }
        }
        return true;
    }
    std::optional<NodePalette> rebuilt_;  // empty while the mesh's own palette holds its nodes
    std::span<const uint32_t> colours_;
};

}  // namespace

int32_t loadDddFile(MeshObject& mesh, const char* name) {
    mesh.clear(true);
    if (name == nullptr || *name == '\0') return 0;
    ReadStream stream;
    if (!readStreamOpen(stream, name)) return 0;
    Outcome outcome = Outcome::ReadError;
    {
        ByteSource in(stream);
        int32_t magic = 0;
        in.i32(magic);
        if (magic != kDddMagic) {
            readStreamClose(stream);
            DddTextModel model;
            if (readDddTextModel(model, name)) {
                if (buildMeshFromDddText(model, mesh)) return 1;
                outcome = Outcome::MallocError;
            }
            logFailure(outcome, name);
            mesh.clear(true);
            return 0;
        }
        outcome = readBinary(in, mesh);
    }
    readStreamClose(stream);
    if (outcome != Outcome::Read) {
        logFailure(outcome, name);
        mesh.clear(true);
        return 0;
    }
    mesh.normalsValid = 1;
    return 1;
}

int32_t saveDddFile(const MeshObject& mesh, const char* name) {
    if (mesh.frames.count < 1 || name == nullptr || files::isMemBlockName(name)) return 0;
    char path[files::kPathBufferSize];
    if (!files::resolveDiskPath(name, path)) return 0;

    const MeshFrame& first = mesh.frames.data[0];
    const FilePalette palette(mesh);
    if (!palette.fits()) {
        logFailure("# too many colours\n", name);
        return 0;
    }
    const int32_t pairs = std::max(first.nodes.count, 0);
    std::vector<uint8_t> out;
    putU32(out, static_cast<uint32_t>(kDddMagic));
    putF64(out, kNewestVersion);
    putU32(out, static_cast<uint32_t>(mesh.frames.count));
    putU32(out, static_cast<uint32_t>(palette.colours().size()));
    putU32(out, static_cast<uint32_t>(pairs));
    for (uint32_t colour : palette.colours()) putU32(out, colour);
    for (int32_t k = 0; k < pairs; ++k) {
        putF32(out, first.nodes.data[k].u);
        putF32(out, first.nodes.data[k].v);
    }
    for (int32_t f = 0; f < mesh.frames.count; ++f) {
        const RtVector<MeshVertex>& nodes = mesh.frames.data[f].nodes;
        const int32_t n = std::max(nodes.count, 0);
        putU32(out, static_cast<uint32_t>(n));
        for (int32_t k = 0; k < n; ++k) {
            const MeshVertex& node = nodes.data[k];
            putF32(out, node.x);
            putF32(out, node.y);
            putF32(out, node.z);
            out.push_back(quantiseDddNormal(node.nx, node.ny, node.nz));
            out.push_back(palette.indexOf(node));
        }
    }

    return files::replaceWholeFile(path, out.data(), out.size(), "SaveObject") ? 1 : 0;
}
