// The polygon batch: quads and triangle strips into triangles.
#include "gfx2d/polygon_batch.h"

void PolygonBuilder::begin(int32_t sprite, int32_t mode) {
    open_ = true;
    sprite_ = sprite;
    mode_ = mode;
    vertices_.clear();
    stripStarts_.clear();
    stripStarts_.push_back(0);
}

void PolygonBuilder::add(float x, float y, float u, float v, uint32_t colour) {
    if (!open_ || vertices_.size() >= static_cast<size_t>(kMaxVertices)) return;
    vertices_.push_back({x, y, u, v, colour & 0x00FFFFFFu});
}

void PolygonBuilder::newStrip() {
    if (!open_) return;
    if (stripStarts_.back() != vertices_.size()) stripStarts_.push_back(vertices_.size());
}

void PolygonBuilder::emitStrip(QuadBatch& batch, const BatchState& state, size_t first, size_t last) {
    if (last - first < 3) return;
    size_t triangles = last - first - 2;
    BatchVertex* out = batch.append(state, static_cast<int32_t>(triangles * 3));
    for (size_t i = first; i + 2 < last; ++i) {
        *out++ = vertices_[i];
        *out++ = vertices_[i + 1];
        *out++ = vertices_[i + 2];
    }
}

void PolygonBuilder::end(QuadBatch& batch, const BatchState& state, uint32_t alpha) {
    if (!open_) return;
    open_ = false;
    for (BatchVertex& vertex : vertices_) vertex.rgba = (vertex.rgba & 0x00FFFFFFu) | (alpha & 0xFF) << 24;
    if (mode_ == 0) {
        static constexpr int corner[6] = {0, 1, 2, 0, 2, 3};
        for (size_t q = 0; q + 4 <= vertices_.size(); q += 4) {
            BatchVertex* out = batch.append(state, 6);
            for (int i = 0; i < 6; ++i) out[i] = vertices_[q + corner[i]];
        }
    } else {
        for (size_t s = 0; s < stripStarts_.size(); ++s) {
            size_t last = s + 1 < stripStarts_.size() ? stripStarts_[s + 1] : vertices_.size();
            emitStrip(batch, state, stripStarts_[s], last);
        }
    }
    vertices_.clear();
    stripStarts_.clear();
}

void PolygonBuilder::cancel() {
    open_ = false;
    vertices_.clear();
    stripStarts_.clear();
}
