// Loading a model file or "mem://" block into an object slot (an object
// pack, or a single .ddd model as one part), and saving part 0 of a slot.
//
// Departures: saveObject gives the writer's result (0 when nothing was
// written) instead of 1 in every case; loading into the slot being built
// ends that building, so later vertices cannot land in the loaded model.
#include <cstring>

#include "gfx3d/ddd_binary.h"
#include "gfx3d/object_building.h"
#include "gfx3d/object_packs.h"
#include "gfx3d/rainbows3d.h"
#include "runtime/files/read_stream.h"

namespace {

constexpr char kPackSignature[4] = {';', 'D', 'D', 'W'};

// Everything out of the slot, and growth 1 for the next filling.
void emptySlot(Rainbows3D& renderer, Object3DSlot& s) {
    renderer.releaseSlot(s);
    s.parts.step = s.parts.minimum = 1;
    s.textureNames.step = s.textureNames.minimum = 1;
}

}  // namespace

uint32_t Rainbows3D::loadObject(const RtString& name, int32_t number) {
    Object3DSlot* s = slot(number);
    if (s == nullptr) return 0;
    if (buildSlot == number) buildSlot = -1;  // a load ends the building of its slot
    emptySlot(*this, *s);
    if (name.data == nullptr || name.length == 0) return 0;
    ReadStream stream;
    if (!readStreamOpen(stream, name.data)) return 0;
    uint8_t head[4] = {0, 0, 0, 0};
    const bool read = readStreamRead(stream, head, 4) && stream.position >= 4;
    readStreamClose(stream);
    if (read && std::memcmp(head, kPackSignature, 4) == 0) {
        return static_cast<uint32_t>(loadObjectPack(*this, name.data, *s, kPackTransparentColour));
    }
    if (!s->parts.reserve(1)) return 0;
    s->parts.count = 1;
    MeshObjectX& part = s->parts.data[0];
    if (loadDddFile(part, name.data) == 1 && part.frames.count > 0 && part.frames.data[0].nodes.count > 0) {
        s->used = 1;
        s->multiPart = 0;
        part.buildFaces();
        part.computeFrameBounds();
        return 1;
    }
    emptySlot(*this, *s);
    return 0;
}

int32_t Rainbows3D::saveObject(const RtString& file, int32_t number) {
    Object3DSlot* s = slot(number);
    if (s == nullptr || s->parts.count < 1 || file.data == nullptr) return 0;
    return saveDddFile(s->parts.data[0], file.data);
}
