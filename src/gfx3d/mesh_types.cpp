// Mesh records: copy, clear and release. No GL here: the GPU objects go
// through meshGpuRelease.
#include "gfx3d/mesh_types.h"

#include <cstring>
#include <utility>

MeshGpuRelease meshGpuRelease;

namespace {

// The target gets its own storage for exactly the source's vertices.
void copyVertices(RtVector<MeshVertex>& target, const RtVector<MeshVertex>& source) {
    target.count = 0;
    target.step = 1;
    target.minimum = 1;
    if (!target.reserve(source.count) || source.count <= 0 || source.data == nullptr) return;
    std::memcpy(target.data, source.data, static_cast<size_t>(source.count) * sizeof(MeshVertex));
    target.count = source.count;
}

}  // namespace

MeshFrame& MeshFrame::operator=(const MeshFrame& source) {
    if (this == &source) return *this;
    copyVertices(nodes, source.nodes);
    copyVertices(triangles, source.triangles);
    radius = source.radius;
    std::memcpy(centre, source.centre, sizeof centre);
    return *this;
}

void MeshFrame::release() {
    triangles.clear(true);
    nodes.clear(true);
}

MeshObject::~MeshObject() { MeshObject::clear(true); }

MeshObject& MeshObject::operator=(const MeshObject& source) {
    if (this == &source) return *this;
    frames.copyFrom(source.frames);
    baseTriangles.copyFrom(source.baseTriangles);
    palette.copyFrom(source.palette);
    normalsValid = source.normalsValid;
    tangentsValid = source.tangentsValid;
    return *this;
}

MeshObject& MeshObject::operator=(MeshObject&& source) noexcept {
    if (this != &source) swapContents(source);
    return *this;
}

void MeshObject::swapContents(MeshObject& other) noexcept {
    frames.swap(other.frames);
    baseTriangles.swap(other.baseTriangles);
    palette.swap(other.palette);
    std::swap(normalsValid, other.normalsValid);
    std::swap(tangentsValid, other.tangentsValid);
}

void MeshObject::clear(bool freeMemory) {
    palette.clear(freeMemory);
    baseTriangles.clear(freeMemory);
    for (int32_t f = 0; f < frames.count; ++f) {
        frames.data[f].nodes.clear(freeMemory);
        frames.data[f].triangles.clear(freeMemory);
    }
    frames.clear(freeMemory);
    normalsValid = 0;
    tangentsValid = 0;
}

MeshObjectX::~MeshObjectX() { MeshObjectX::clear(true); }

MeshObjectX& MeshObjectX::operator=(const MeshObjectX& source) {
    if (this == &source) return *this;
    MeshObject::operator=(source);
    hasColours = source.hasColours;
    bufferNames[0] = source.bufferNames[0];
    bufferNames[1] = source.bufferNames[1];
    textureName = source.textureName;
    shadeScale = source.shadeScale;
    edges.copyFrom(source.edges);
    litFaces.copyFrom(source.litFaces);
    textureA = source.textureA;
    textureB = source.textureB;
    return *this;
}

MeshObjectX& MeshObjectX::operator=(MeshObjectX&& source) noexcept {
    if (this != &source) swapContents(source);
    return *this;
}

void MeshObjectX::swapContents(MeshObjectX& other) noexcept {
    MeshObject::swapContents(other);
    std::swap(hasColours, other.hasColours);
    std::swap(bufferNames, other.bufferNames);
    std::swap(textureName, other.textureName);
    std::swap(shadeScale, other.shadeScale);
    edges.swap(other.edges);
    litFaces.swap(other.litFaces);
    std::swap(textureA, other.textureA);
    std::swap(textureB, other.textureB);
}

void MeshObjectX::dropStaticBuffer() {
    if (bufferNames[0] != 0 && meshGpuRelease.deleteBuffer != nullptr) meshGpuRelease.deleteBuffer(bufferNames[0]);
    bufferNames[0] = 0;
}

void MeshObjectX::clear(bool freeMemory) {
    MeshObject::clear(freeMemory);
    edges.clear(freeMemory);
    litFaces.clear(freeMemory);
    edges.step = edges.minimum = 64;
    litFaces.step = litFaces.minimum = 64;
    for (uint32_t& name : bufferNames) {
        if (name != 0 && meshGpuRelease.deleteBuffer != nullptr) meshGpuRelease.deleteBuffer(name);
        name = 0;
    }
    if (textureName != 0 && meshGpuRelease.deleteTexture != nullptr) meshGpuRelease.deleteTexture(textureName);
    textureName = 0;
}
