// The binary .ddd model file: one animated mesh with its colour palette, one
// set of texture coordinates (pair k belongs to node k of every frame) and
// any number of frames of nodes. Little-endian throughout:
//
//   i32 magic 0x00C6B317, f64 version, i32 F frames, i32 P palette entries,
//   i32 T texture pairs, P x u32 palette, T x (f32 u, f32 v), then F frames.
//   Version 2.0 frame: i32 N, N x (f32 x, y, z, u8 normal, u8 palette index).
//   Versions 1.02 to below 2.0: i32 N, f32 offset[3], f32 scale[3],
//   N x (u8 qx, qy, qz, u8 normal, u8 palette index); a position is
//   (q - offset) * scale and the stored v has the opposite sign.
//
// Reading takes a disk file or a "mem://" block; a file that does not begin
// with the magic goes to the text reader (ddd_text.h). Writing always makes
// version 2.0. Failures are logged to the error log ("Wrong .ddd version:
// ...", "# read error", "# malloc error", then the name, its control
// characters escaped) and give 0.
//
// Departures, for damaged or hostile files: a header cut short, counts that
// are negative or that promise more bytes than the data holds, a NaN version, a normal index above
// 161 and a palette index without a palette entry are read errors (the file
// is rejected instead of read past its end or its tables); a node without a
// texture pair gets u = v = 0; a file whose bytes cannot all be written is
// removed and gives 0; a mesh whose palette does not hold its nodes (a
// reduced object's, or one of more than 256 colours, whose indices wrap) is
// written with a palette made from the nodes' colours, so every file written
// reads back in the colours it was drawn with; when the nodes need more than
// the 256 entries a one-byte index reaches, nothing is written, "# too many
// colours" and the name go to the error log, and the result is 0.
#pragma once
#include <cstdint>

#include "gfx3d/mesh_types.h"

constexpr int32_t kDddMagic = 0x00C6B317;

// 1 when the mesh was read (binary or text), else 0 with the mesh empty.
// The frames' triangle lists stay empty: the caller runs buildFaces and
// computeFrameBounds.
int32_t loadDddFile(MeshObject& mesh, const char* name);

// Writes the mesh as version 2.0; 1 when written. 0 for a mesh without
// frames, a "mem://" name or nodes of more than 256 palette entries (what
// bears the name is not touched), a folder of the name (left as it is), or
// a file that cannot be made or fully written: the model is saved whole
// (runtime/files/file_replacement.h), so a save that fails leaves the old
// file as it was and says why in the error log.
int32_t saveDddFile(const MeshObject& mesh, const char* name);
