// The 2-D drawing queue and the GL state each flush puts in place. Depends on
// the capability and colour caches and the extension pointers.
#include "gfx2d/quad_batch.h"

#include <cstddef>

#include "gfx2d/gl_extensions.h"
#include "gfx2d/gl_state_cache.h"
#include "gfx2d/sprite_slot.h"
#include "gfx2d/texture_upload.h"

namespace {

void blendFunctions(GLenum colourSource, GLenum colourTarget, GLenum alphaSource, GLenum alphaTarget) {
    if (glext::glBlendFuncSeparate) glext::glBlendFuncSeparate(colourSource, colourTarget, alphaSource, alphaTarget);
    else glBlendFunc(colourSource, colourTarget);
}

void applyBlend(BlendMode mode) {
    switch (mode) {
    case BlendMode::Off:
        glcache::disableCapability(GL_BLEND);
        glcache::enableCapability(GL_ALPHA_TEST);
        break;
    case BlendMode::Normal:
        glcache::enableCapability(GL_BLEND);
        glcache::enableCapability(GL_ALPHA_TEST);
        blendFunctions(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case BlendMode::Additive:
        glcache::enableCapability(GL_BLEND);
        glcache::enableCapability(GL_ALPHA_TEST);
        blendFunctions(GL_SRC_ALPHA, GL_ONE, GL_ZERO, GL_ONE);
        break;
    case BlendMode::Replace:
        glcache::disableCapability(GL_BLEND);
        glcache::disableCapability(GL_ALPHA_TEST);
        break;
    }
    // Pixels of alpha 0 (the transparent colour) are never drawn.
    glAlphaFunc(GL_GREATER, 0.0f);
}

}  // namespace

BatchVertex* QuadBatch::append(const BatchState& state, int32_t count) {
    if (!(state == state_) || static_cast<int32_t>(vertices_.size()) + count > kMaxVertices) {
        flush();
        state_ = state;
    }
    size_t first = vertices_.size();
    vertices_.resize(first + static_cast<size_t>(count));
    return &vertices_[first];
}

void QuadBatch::appendQuad(const BatchState& state, const float (&x)[4], const float (&y)[4], const float (&u)[4],
                           const float (&v)[4], uint32_t rgba) {
    static constexpr int corner[6] = {0, 1, 2, 0, 2, 3};
    BatchVertex* out = append(state, 6);
    for (int i = 0; i < 6; ++i) {
        int c = corner[i];
        out[i] = {x[c], y[c], u[c], v[c], rgba};
    }
}

void QuadBatch::applyState() {
    applyBlend(state_.blend);
    // 2-D drawing uses the first texture unit only.
    if (glext::glActiveTextureARB) glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    if (glext::glClientActiveTextureARB) glext::glClientActiveTextureARB(GL_TEXTURE0_ARB);
    SpriteSlot* slot = state_.slot;
    if (slot && slot->texture) {
        glcache::enableCapability(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, slot->texture);
        int8_t wanted = state_.linear ? 1 : 0;
        if (slot->appliedFilter != wanted) {
            setBoundTextureFilter(state_.linear);
            slot->appliedFilter = wanted;
        }
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    } else {
        glcache::disableCapability(GL_TEXTURE_2D);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    // Arrays come from client memory: no buffer object may stay bound, and
    // no other array the 3-D code enabled may be read.
    if (glext::glBindBufferARB) glext::glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    glDisableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
}

void QuadBatch::flush() {
    if (vertices_.empty()) return;
    applyState();
    const GLsizei stride = sizeof(BatchVertex);
    const BatchVertex* first = vertices_.data();
    glVertexPointer(2, GL_FLOAT, stride, &first->x);
    glTexCoordPointer(2, GL_FLOAT, stride, &first->u);
    glColorPointer(4, GL_UNSIGNED_BYTE, stride, &first->rgba);
    glDrawArrays(state_.primitive, 0, static_cast<GLsizei>(vertices_.size()));
    glDisableClientState(GL_COLOR_ARRAY);
    glcache::forgetColour();
    ++drawCalls_;
    vertices_.clear();
}
