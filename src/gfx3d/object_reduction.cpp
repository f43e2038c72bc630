// Object reduction: every part of a slot is cut down to a stub, one frame
// made from the start of its first frame, and the memory of the other
// frames and of the part's derived lists is given back. The slot stays in
// use with its parts, textures and GL resources. Records that the stub
// needs beyond what frame 0 held are zero.
#include <cstring>

#include "gfx3d/rainbows3d.h"

namespace {

// Sets the list's count, growing it by its own rule; new records are zero.
bool setCountZeroFilled(RtVector<MeshVertex>& list, int32_t count) {
    if (list.capacity < count && !list.reserve(count)) return false;
    if (list.count < count) {
        std::memset(static_cast<void*>(list.data + list.count), 0,
                    static_cast<size_t>(count - list.count) * sizeof(MeshVertex));
    }
    list.count = count;
    return true;
}

void reducePart(MeshObjectX& part) {
    part.palette.clear(true);
    part.edges.clear(true);
    if (part.frames.count > 0) {
        MeshFrame stub = part.frames.data[0];
        setCountZeroFilled(stub.nodes, 3);
        setCountZeroFilled(stub.triangles, 1);
        for (int32_t f = 0; f < part.frames.count; ++f) part.frames.data[f].release();
        part.frames.clear(true);
        part.frames.step = part.frames.minimum = 1;
        part.frames.append(stub);
        stub.release();
    }
    part.litFaces.clear(true);
    part.baseTriangles.clear(true);
    setCountZeroFilled(part.baseTriangles, 3);
}

}  // namespace

void Rainbows3D::reduceObject(int32_t number) {
    Object3DSlot* s = slot(number);
    if (s == nullptr) return;
    for (int32_t p = 0; p < s->parts.count; ++p) reducePart(s->parts.data[p]);
}
