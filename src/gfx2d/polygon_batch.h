// PolygonBuilder: the vertices of one polygon batch between BeginPolygon and
// EndPolygon. Mode 0 takes the vertices four at a time as quads given in
// order around them; any other mode as triangle strips, a new strip after
// each NewPolygonStrip. The vertices are turned into triangles when the
// batch ends, with the filter and blend mode in force then.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx2d/quad_batch.h"

class PolygonBuilder {
public:
    static constexpr int32_t kMaxVertices = 1 << 20;  // vertices beyond are dropped

    void begin(int32_t sprite, int32_t mode);
    // (u, v) already in texture coordinates; colour 0x00BBGGRR.
    void add(float x, float y, float u, float v, uint32_t colour);
    void newStrip();
    // Appends the triangles to the batch, every vertex with the given alpha
    // (0 to 255), and forgets the polygon.
    void end(QuadBatch& batch, const BatchState& state, uint32_t alpha);
    // Forgets the polygon without drawing it.
    void cancel();

    bool open() const { return open_; }
    int32_t sprite() const { return sprite_; }
    int32_t vertexCount() const { return static_cast<int32_t>(vertices_.size()); }

private:
    void emitStrip(QuadBatch& batch, const BatchState& state, size_t first, size_t last);
    bool open_ = false;
    int32_t sprite_ = -1;
    int32_t mode_ = 0;
    std::vector<BatchVertex> vertices_;
    std::vector<size_t> stripStarts_;
};
