// Reading the text form of .ddd models and turning it into a mesh.
#include "gfx3d/ddd_text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "gfx3d/mesh_model.h"

namespace {

constexpr int32_t kCommentLimit = 512;  // characters a "#" skips at most

// The mesh of a text model holds, in every frame, a node per face and per
// corner: faces x frames, which a short text can make huge. A real model's
// frames give a position (six bytes at least) for every few nodes, so it
// stays well below this many nodes per byte of its text; a model that
// claims more is refused before anything is built.
constexpr int64_t kNodesPerTextByte = 8;

bool isSeparator(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// A number used as a count or an index: truncated toward zero, NaN as 0,
// values beyond 32 bits held at the ends of the range.
int32_t truncateToInt(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(value);
}

void skipComment(DddTextSource& source) {
    for (int32_t n = 0; n < kCommentLimit; ++n) {
        int c = source.next();
        if (c < 0 || c == '\n') return;
    }
}

// Reads one token into the cleared buffer; its length.
int32_t readToken(char (&token)[1024], DddTextSource& source) {
    std::memset(token, 0, sizeof token);
    int32_t length = 0;
    for (;;) {
        int c = source.next();
        if (c < 0) break;
        if (c == '#') {
            skipComment(source);
            if (length > 0) break;
            continue;
        }
        if (isSeparator(c)) {
            if (length > 0) break;
            continue;
        }
        if (length < static_cast<int32_t>(sizeof token) - 1) token[length++] = static_cast<char>(c);
    }
    return length;
}

int32_t readCount(DddTextModel& model, DddTextSource& source) {
    return truncateToInt(readDddTextNumber(model.token, source));
}

bool parse(DddTextModel& model, DddTextSource& source) {
    readToken(model.token, source);
    if (std::strcmp(model.token, "DDDA") != 0) return false;
    const float version = readDddTextNumber(model.token, source);
    if (version > 1.1f) return false;
    const bool withNormals = version == 1.1f;

    const int32_t pairCount = readCount(model, source);
    for (int32_t i = 0; i < pairCount && !source.exhausted(); ++i) {
        DddTexCoord pair{};
        pair.u = readDddTextNumber(model.token, source);
        pair.v = readDddTextNumber(model.token, source);
        model.texCoords.push_back(pair);
    }

    const int32_t faceCount = readCount(model, source);
    for (int32_t i = 0; i < faceCount && !source.exhausted(); ++i) {
        DddTextFace face;
        face.red = readCount(model, source);
        face.green = readCount(model, source);
        face.blue = readCount(model, source);
        const int32_t corners = readCount(model, source);
        for (int32_t k = 0; k < corners && !source.exhausted(); ++k) {
            face.vertexIndices.push_back(readCount(model, source));
            face.texCoordIndices.push_back(readCount(model, source));
        }
        model.faces.push_back(std::move(face));
    }

    const int32_t frameCount = readCount(model, source);
    for (int32_t f = 0; f < frameCount && !source.exhausted(); ++f) {
        std::vector<DddTextVertex>& vertices = model.frameVertices.emplace_back();
        const int32_t vertexCount = readCount(model, source);
        for (int32_t k = 0; k < vertexCount && !source.exhausted(); ++k) {
            DddTextVertex v{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
            v.x = readDddTextNumber(model.token, source);
            v.y = readDddTextNumber(model.token, source);
            v.z = readDddTextNumber(model.token, source);
            if (withNormals) {
                v.nx = readDddTextNumber(model.token, source);
                v.ny = readDddTextNumber(model.token, source);
                v.nz = readDddTextNumber(model.token, source);
            }
            vertices.push_back(v);
        }
    }
    return true;
}

// Every corner's vertex must exist in every frame, and its texture pair when
// the model has any.
bool indicesInRange(const DddTextModel& model) {
    size_t fewestVertices = SIZE_MAX;
    for (const auto& vertices : model.frameVertices) fewestVertices = std::min(fewestVertices, vertices.size());
    for (const DddTextFace& face : model.faces) {
        for (size_t k = 0; k < face.vertexIndices.size(); ++k) {
            const int32_t vertex = face.vertexIndices[k];
            if (vertex < 0 || (!model.frameVertices.empty() && static_cast<size_t>(vertex) >= fewestVertices)) {
                return false;
            }
            const int32_t pair = face.texCoordIndices[k];
            if (!model.texCoords.empty() && (pair < 0 || static_cast<size_t>(pair) >= model.texCoords.size())) {
                return false;
            }
        }
    }
    return true;
}

// The nodes the model's mesh would hold: within what its text can hold?
bool withinTextBound(const DddTextModel& model, int64_t textBytes) {
    int64_t nodesPerFrame = 0;
    for (const DddTextFace& face : model.faces) nodesPerFrame += 1 + static_cast<int64_t>(face.vertexIndices.size());
    const int64_t frames = static_cast<int64_t>(model.frameVertices.size());
    const int64_t allowed = kNodesPerTextByte * std::max<int64_t>(textBytes, 0);
    return frames == 0 || nodesPerFrame <= allowed / frames;
}

}  // namespace

bool DddTextSource::refill() {
    if (ended_) return false;
    const int64_t left = stream_.size - stream_.position;
    const int32_t ask = static_cast<int32_t>(std::min<int64_t>(left, sizeof buffer_));
    const int64_t before = stream_.position;
    if (ask <= 0 || !readStreamRead(stream_, buffer_, ask)) {
        ended_ = true;
        return false;
    }
    // A memory block may deliver fewer bytes than asked.
    have_ = static_cast<int32_t>(std::min<int64_t>(stream_.position - before, ask));
    at_ = 0;
    if (have_ <= 0) ended_ = true;
    return have_ > 0;
}

int DddTextSource::next() {
    if (at_ >= have_ && !refill()) return -1;
    return buffer_[at_++];
}

bool DddTextSource::exhausted() { return at_ >= have_ && !refill(); }

float readDddTextNumber(char (&token)[1024], DddTextSource& source) {
    if (readToken(token, source) == 0) return 0.0f;
    return static_cast<float>(std::atof(token));
}

bool readDddTextModel(DddTextModel& model, const char* name) {
    ReadStream stream;
    if (!readStreamOpen(stream, name)) return false;
    DddTextSource source(stream);
    bool ok = false;
    try {
        ok = parse(model, source) && indicesInRange(model) && withinTextBound(model, stream.size);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    readStreamClose(stream);
    return ok;
}

bool buildMeshFromDddText(const DddTextModel& model, MeshObject& mesh) {
    mesh.clear(true);
    mesh.normalsValid = 1;  // the file's normals are used as they are
    int64_t nodesPerFrame = 0;
    for (const DddTextFace& face : model.faces) nodesPerFrame += 1 + static_cast<int64_t>(face.vertexIndices.size());
    const int32_t frameCount = static_cast<int32_t>(std::min<size_t>(model.frameVertices.size(), INT32_MAX - 1));
    if (nodesPerFrame > INT32_MAX - 1) return false;
    if (frameCount > 0 && !mesh.frames.reserve(frameCount)) return false;
    for (int32_t f = 0; f < frameCount; ++f) {
        const std::vector<DddTextVertex>& vertices = model.frameVertices[static_cast<size_t>(f)];
        MeshFrame& frame = mesh.frames.data[mesh.frames.count];
        frame.nodes.count = 0;
        if (nodesPerFrame > 0 && !frame.nodes.reserve(static_cast<int32_t>(nodesPerFrame))) {
            mesh.clear(true);
            return false;
        }
        mesh.frames.count++;
        for (const DddTextFace& face : model.faces) {
            frame.nodes.data[frame.nodes.count++] = makeBreakNode(kRunFan);
            const uint32_t colour = (static_cast<uint32_t>(face.red) & 0xFF) |
                                    (static_cast<uint32_t>(face.green) & 0xFF) << 8 |
                                    (static_cast<uint32_t>(face.blue) & 0xFF) << 16;
            for (size_t k = 0; k < face.vertexIndices.size(); ++k) {
                const DddTextVertex& v = vertices[static_cast<size_t>(face.vertexIndices[k])];
                MeshVertex node{};
                node.x = v.x;
                node.y = v.y;
                node.z = v.z;
                node.nx = v.nx;
                node.ny = v.ny;
                node.nz = v.nz;
                if (!model.texCoords.empty()) {
                    const DddTexCoord& pair = model.texCoords[static_cast<size_t>(face.texCoordIndices[k])];
                    node.u = pair.u;
                    node.v = -pair.v;
                }
                setVertexColour(node, colour);
                frame.nodes.data[frame.nodes.count++] = node;
            }
        }
    }
    mesh.buildPalette();
    return true;
}
