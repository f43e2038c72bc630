// QuadBatch: the 2-D drawing queue. Consecutive quads, triangles or lines
// that share one texture, filter, blend mode and primitive are collected in
// one vertex array and drawn with one call; any change of that state, and
// anything else that touches GL (a flip, a change of target or viewport, a
// read of pixels, the 3-D renderer), flushes it first, so the picture is the
// same as drawing each quad at once.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx2d/gl_headers.h"

struct SpriteSlot;

// How what is drawn meets what is there. On offscreen screens the alpha of
// the target follows "over" in Normal mode and stays in Additive mode, so
// opaque surfaces stay opaque.
enum class BlendMode : uint8_t {
    Off,       // replaced, except where the source alpha is 0
    Normal,    // source over target, by source alpha
    Additive,  // source times its alpha added to the target
    Replace,   // replaced, alpha 0 included (cuts transparent holes)
};

struct BatchVertex {
    float x, y;      // 2-D pixels of the target
    float u, v;      // texture coordinates 0..1
    uint32_t rgba;   // 0xAABBGGRR
};

struct BatchState {
    SpriteSlot* slot = nullptr;  // texture source; null = untextured
    bool linear = true;          // texture filter
    BlendMode blend = BlendMode::Normal;
    GLenum primitive = GL_TRIANGLES;  // GL_TRIANGLES or GL_LINES

    bool operator==(const BatchState&) const = default;
};

class QuadBatch {
public:
    // Room for `count` vertices drawn with `state`; the batch is flushed
    // first when its state differs or it is full. Every returned vertex must
    // be written.
    BatchVertex* append(const BatchState& state, int32_t count);
    // One quad as two triangles from its four corners in order around it.
    void appendQuad(const BatchState& state, const float (&x)[4], const float (&y)[4], const float (&u)[4],
                    const float (&v)[4], uint32_t rgba);
    // Draws what is queued.
    void flush();
    // Forgets what is queued without drawing it (the context is going away).
    void discard() { vertices_.clear(); }
    bool empty() const { return vertices_.empty(); }
    // Draw calls made since the start (for tests and the benchmark).
    uint64_t drawCalls() const { return drawCalls_; }

private:
    static constexpr int32_t kMaxVertices = 6 * 8192;
    void applyState();
    BatchState state_;
    std::vector<BatchVertex> vertices_;
    uint64_t drawCalls_ = 0;
};
