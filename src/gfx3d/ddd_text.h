// The text form of a .ddd model: blank-separated numbers after the word
// "DDDA", read with atof. Faces (one colour each, corners as pairs of a
// vertex index and a texture-coordinate index) are given once, vertex
// positions (and from version 1.1 normals) once per animation frame:
//
//   DDDA version
//   T  then T pairs: u v
//   C  then C faces: red green blue K, then K pairs: vertex texcoord
//   F  then F frames: V, then V vertices: x y z [nx ny nz when version 1.1]
//
// Blank, tab, line feed and carriage return separate numbers; "#" ends a
// number and skips the rest of its line (at most 512 characters). Numbers
// missing at the end of the data read as 0.
//
// Departures, for damaged files: reading stops at the end of the data, so
// no face, corner, pair, frame or vertex is begun once the data has ended
// (a count promising more than the file holds costs nothing); a model whose
// faces name a vertex missing from some frame, or a texture pair missing
// from a non-empty list, is rejected instead of read out of bounds; the
// vertices of files before version 1.1 get the normal (0, 0, 1), and models
// without texture coordinates get u = v = 0; tokens longer than 1,023
// characters keep their first 1,023; a model whose mesh would hold more
// than 8 nodes (a face or a corner in one frame) per byte of its text is
// refused, so a short hostile text cannot claim gigabytes of faces x frames.
#pragma once
#include <cstdint>
#include <vector>

#include "gfx3d/mesh_types.h"
#include "runtime/files/read_stream.h"

struct DddTextFace {
    int32_t red = 0, green = 0, blue = 0;  // only the low byte of each counts
    std::vector<int32_t> vertexIndices;    // one per corner
    std::vector<int32_t> texCoordIndices;  // one per corner
};

struct DddTextVertex {
    float x, y, z, nx, ny, nz;
};

struct DddTexCoord {
    float u, v;
};

struct DddTextModel {
    char token[1024] = {};  // the current token, NUL-terminated
    std::vector<DddTextFace> faces;
    std::vector<DddTexCoord> texCoords;
    std::vector<std::vector<DddTextVertex>> frameVertices;
};

// Characters from a read stream, a buffer at a time.
class DddTextSource {
public:
    explicit DddTextSource(ReadStream& stream) : stream_(stream) {}
    // The next character (0 to 255), or -1 at the end of the data.
    int next();
    // True once no character is left.
    bool exhausted();

private:
    bool refill();
    ReadStream& stream_;
    uint8_t buffer_[4096];
    int32_t have_ = 0;
    int32_t at_ = 0;
    bool ended_ = false;
};

// Reads the next token into `token` (cleared to zeros first) and returns its
// atof; 0 when the data ends before a token starts.
float readDddTextNumber(char (&token)[1024], DddTextSource& source);

// Parses the whole file (a disk file or a "mem://" block) into the model.
// False when it cannot be opened, the first word is not "DDDA", the version
// is above 1.1, an index lies outside its list, or the mesh would hold more
// nodes than its text can (above).
bool readDddTextModel(DddTextModel& model, const char* name);

// The mesh (cleared first, normalsValid 1): per frame one fan per face, a
// break node then the corners; then the palette. The caller expands the
// fans and sets the bounds. False (mesh emptied) when storage ran out.
bool buildMeshFromDddText(const DddTextModel& model, MeshObject& mesh);
