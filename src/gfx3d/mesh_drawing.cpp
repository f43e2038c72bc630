// Drawing object slots and their mesh parts: the choice of the two animation
// frames and the blend, the frustum test, the blending of the frames into
// the part's draw array with the lighting effects (bump mapping, cel shading
// with outlines, stencil shadow volumes), the vertex buffers, and the shade
// texture of cel shading. Depends on the 2-D context (texture binding), the
// mesh operations of the mesh files and the GL caches.
//
// Departures, each to keep the picture or the memory sound:
// - a draw reads no vertex beyond the shortest of the frames it blends and
//   the draw array (frames of unequal size draw their common prefix);
// - the frame position of an animated draw is worked out in 64 bits, so any
//   two frame numbers give frames of the mesh; an infinite or NaN blend
//   counts as 0;
// - texture numbers of a multi-part slot outside its texture list bind no
//   texture instead of reading past the list;
// - GL_COLOR_MATERIAL goes through the capability cache like the rest, so the
//   cache never disagrees with GL;
// - the outline pass puts lighting back on when a light is on;
// - with the BGRA flag the shade texels are written in BGRA order, so the
//   upload in that format keeps red and blue where they belong; an empty
//   palette shades grey instead of reading a colour that is not there;
// - the frustum test's radius grows by the matrix's largest stretch, not its
//   largest column: the two agree for turns and scales, and a sheared part
//   is no longer culled while it still reaches into view.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx2d/gl_extensions.h"
#include "gfx2d/gl_state_cache.h"
#include "gfx2d/opengl_rainbows.h"
#include "gfx3d/mesh_drawing.h"
#include "gfx3d/rainbows3d.h"
#include "gfx3d/render_state.h"

namespace {

constexpr GLsizei kStride = sizeof(MeshVertex);  // 92 bytes
constexpr size_t kNormalOffset = offsetof(MeshVertex, nx);
constexpr size_t kTexCoordOffset = offsetof(MeshVertex, u);
constexpr size_t kBumpOffset = offsetof(MeshVertex, carried);
constexpr size_t kShadeOffset = offsetof(MeshVertex, bitangent);
constexpr size_t kColourOffset = offsetof(MeshVertex, red);
static_assert(kNormalOffset == 12 && kTexCoordOffset == 24 && kBumpOffset == 32 && kShadeOffset == 56 &&
              kColourOffset == 76);

bool hasBuffers() { return glext::glBindBufferARB && glext::glGenBuffersARB && glext::glBufferDataARB; }
bool hasMultitexture() { return glext::glActiveTextureARB && glext::glClientActiveTextureARB; }

int32_t clampFrame(int64_t frame, int32_t count) {
    if (frame < 0) return 0;
    return frame > count - 1 ? count - 1 : static_cast<int32_t>(frame);
}

// Into `bufferName` (made when 0): the vertices, when `fill`; bound in any case.
void bindVertexBuffer(uint32_t& bufferName, const MeshVertex* vertices, int32_t count, bool fill, GLenum usage) {
    if (bufferName == 0) {
        GLuint name = 0;
        glext::glGenBuffersARB(1, &name);
        bufferName = name;
        fill = true;
    }
    glext::glBindBufferARB(GL_ARRAY_BUFFER_ARB, bufferName);
    if (fill) {
        glext::glBufferDataARB(GL_ARRAY_BUFFER_ARB, static_cast<GLsizeiptrARB>(count) * kStride, vertices, usage);
    }
}

// Where one vertex attribute starts: `offset` bytes past `base`. With a bound
// buffer `base` is null and the result is the offset itself, formed as an
// integer: adding an offset to a null pointer is undefined.
const void* attributeAt(const unsigned char* base, size_t offset) {
    return reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(base) + offset);
}

void unitTexCoords(GLenum unit, const unsigned char* base, size_t offset) {
    if (glext::glClientActiveTextureARB) glext::glClientActiveTextureARB(unit);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, kStride, attributeAt(base, offset));
}

float meanColumnLength(const float (&m)[16]) {
    float sum = 0.0f;
    for (int c = 0; c < 3; ++c) {
        sum += std::sqrt(m[c * 4] * m[c * 4] + m[c * 4 + 1] * m[c * 4 + 1] + m[c * 4 + 2] * m[c * 4 + 2]);
    }
    return sum / 3.0f;
}

}  // namespace

FramePick pickFrames(int32_t a, int32_t b, float t, uint8_t animated, int32_t frameCount) {
    int64_t first = a, second = b;
    if (animated) {
        if (t > 1.0f || t < 0.0f) t = std::fabs(std::fmod(t, 1.0f));
        if (std::isnan(t)) t = 0.0f;  // an infinite or NaN blend
        // In 64 bits: b - a and i + 1 may leave the 32-bit range.
        const double p = static_cast<double>(int64_t{b} - a) * t + a;
        const int64_t i = static_cast<int64_t>(p);
        if (a < b) {
            first = i + 1, second = i, t = static_cast<float>(1.0 - (p - static_cast<double>(i)));
        } else if (a > b) {
            first = i, second = i + 1, t = static_cast<float>(p - static_cast<double>(i));
        } else {
            first = b, second = a, t = 0.0f;
        }
    }
    return {clampFrame(first, frameCount), clampFrame(second, frameCount), t};
}

uint32_t shadeTextureHeight(int32_t paletteCount) {
    uint32_t h = 1;
    while (h < static_cast<uint32_t>(paletteCount) && h < 32768u) h <<= 1;
    if (paletteCount > 16384) h = static_cast<uint32_t>(paletteCount);
    return h;
}

uint32_t shadeTextureWidth(int32_t tableLength) {
    const int64_t wanted = 4 * static_cast<int64_t>(tableLength);
    uint32_t w = 64;
    while (w < wanted && w < 512u) w <<= 1;
    return w;
}

void fillShadeTexels(const RtVector<uint32_t>& palette, const RtVector<uint8_t>& table, uint32_t width,
                     uint32_t height, bool bgra, uint8_t* texels) {
    const int64_t length = table.count;
    for (uint32_t y = 0; y < height; ++y) {
        uint32_t c = 0xFFFFFFFFu;  // no palette: the grey ramp
        if (palette.count > 0) c = static_cast<int32_t>(y) < palette.count ? palette.data[y] : palette.data[0];
        const int32_t signedColour = static_cast<int32_t>(c);
        const bool grey = signedColour >= -4 && signedColour <= -1;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t s = length > 0 ? table.data[static_cast<int64_t>(x) * length / width] : 255u;
            uint8_t* texel = texels + (static_cast<size_t>(y) * width + x) * 4;
            uint32_t r = s, g = s, b = s;
            if (!grey) {
                r = (c & 0xFF) * s / 255;
                g = ((c >> 8) & 0xFF) * s / 255;
                b = ((c >> 16) & 0xFF) * s / 255;
            }
            texel[0] = static_cast<uint8_t>(bgra ? b : r);
            texel[1] = static_cast<uint8_t>(g);
            texel[2] = static_cast<uint8_t>(bgra ? r : b);
            texel[3] = 255;
        }
    }
}

void Rainbows3D::uploadTexture(MeshObjectX* part, uint8_t bgra) {
    if (!part || part->textureName != 0 || !glReady()) return;
    const uint32_t height = shadeTextureHeight(part->palette.count);
    part->shadeScale = 1.0f / static_cast<float>(height);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    GLuint name = 0;
    glGenTextures(1, &name);
    part->textureName = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (shadeTable.count == 0) {
        static const uint8_t kDefaultRamp[16] = {100, 160, 160, 160, 160, 160, 160, 207,
                                                 255, 255, 255, 255, 255, 255, 255, 255};
        for (uint8_t b : kDefaultRamp) shadeTable.append(b);
    }
    const uint32_t width = shadeTextureWidth(shadeTable.count);
    std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 4);
    fillShadeTexels(part->palette, shadeTable, width, height, bgra != 0, texels.data());
    glTexImage2D(GL_TEXTURE_2D, 0, bgra ? GL_RGBA8 : GL_RGBA, static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, bgra ? GL_BGRA : GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
}

void Rainbows3D::drawObject(int32_t number, int32_t frame, int32_t nextFrame, float blend, uint8_t animated) {
    Object3DSlot* s = slot(number);
    if (!s || !glReady()) return;
    if (!s->multiPart) {
        if (s->parts.count >= 1) drawMesh(&s->parts.data[0], frame, nextFrame, blend, animated, nullptr);
        return;
    }
    for (int32_t p = 0; p < s->parts.count; ++p) {
        MeshObjectX& part = s->parts.data[p];
        const uint32_t* names = s->textureNames.count > 0 ? s->textureNames.data : nullptr;
        if (!names) {
            gfx2d->bindSpriteTextures(-1, -1, 0, nullptr);
        } else {
            auto listed = [&](int32_t t) { return t >= 0 && t < s->textureNames.count ? t : -1; };
            gfx2d->bindSpriteTextures(listed(part.textureA), listed(part.textureB), 0, names);
        }
        drawMesh(&part, frame, nextFrame, blend, animated, names);
    }
}

void Rainbows3D::drawMesh(MeshObjectX* part, int32_t a, int32_t b, float t, uint8_t animated,
                          const uint32_t* names) {
    if (!part || part->frames.count == 0 || part->frames.data[0].nodes.count == 0 || !glReady()) return;
    const FramePick pick = pickFrames(a, b, t, animated, part->frames.count);
    const int32_t F = pick.first, S = pick.second;
    t = pick.blend;

    updateObjectMatrix();
    const float (&objectMatrix)[16] = currentTransform().matrix;
    {
        const MeshFrame& frame = part->frames.data[S];
        float c[3];
        render3d::transformPoint(objectMatrix, frame.centre, c);
        const float r = frame.radius * (render3d::upperIsIdentity(objectMatrix) ? 1.0f : render3d::largestStretch(objectMatrix));
        const bool shadowVolumes = effectLightOn == 1 && lightEffect == 3;
        for (const float(&plane)[4] : frustum) {
            if (plane[0] * c[0] + plane[1] * c[1] + plane[2] * c[2] + plane[3] < -r && !shadowVolumes) return;
        }
    }

    glcache::setColour(1.0f, 1.0f, 1.0f, gfx2d->alpha);
    glcache::enableCapability(GL_COLOR_MATERIAL);
    const bool effect = effectLightOn == 1;
    if (effect) {
        if (lightEffect == 2) {
            part->computeNormals(true, false, false);
            uploadTexture(part, gfx2d->bgraTextures);
        } else if (lightEffect == 1) {
            part->computeNormals(true, lightingMode == 2, true);
        } else if (lightEffect == 3) {
            part->computeNormals(true, false, false);
            part->buildEdgeNeighbours();
        }
    }
    if (part->baseTriangles.count == 0) part->buildFaces();

    RtVector<MeshVertex>& base = part->baseTriangles;
    const RtVector<MeshVertex>& second = part->frames.data[S].triangles;
    const RtVector<MeshVertex>& first = part->frames.data[F].triangles;
    int32_t n = base.count < second.count ? base.count : second.count;
    if (first.count < n) n = first.count;
    const bool direct = !effect && t == 0.0f && textureOffset[0] == 0.0f && textureOffset[1] == 0.0f;
    if (n <= 0) {
        glcache::disableCapability(GL_COLOR_MATERIAL);
        return;
    }

    const MeshVertex* source = second.data;
    float lightInObject[3] = {0.0f, 0.0f, 0.0f};
    if (!direct) {
        if (effect) {
            float inverse[16];
            render3d::invertMatrix(objectMatrix, inverse);
            render3d::transformPoint(inverse, effectLight, lightInObject);
        }
        blendIntoBase(*part, F, S, t, n, lightInObject);
        if (effect && lightEffect == 3) {
            glPushMatrix();
            multObjectMatrix();
            part->findSilhouette(second, lightInObject);
            gfx2d->bindSpriteTextures(-1, -1, 0, nullptr);
            part->drawShadowVolume(base, lightInObject, true);
            glPopMatrix();
            glcache::disableCapability(GL_COLOR_MATERIAL);
            return;
        }
        source = base.data;
    }

    // Array base: byte offsets into a bound buffer, or the client memory itself.
    const unsigned char* arrays = reinterpret_cast<const unsigned char*>(source);
    const bool buffers = hasBuffers();
    if (buffers) {
        if (direct && S == 0) bindVertexBuffer(part->bufferNames[0], source, n, false, GL_STATIC_DRAW_ARB);
        else bindVertexBuffer(part->bufferNames[1], source, n, true, GL_STREAM_DRAW_ARB);
        arrays = nullptr;
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, kStride, arrays);

    const bool multitexture = hasMultitexture();
    const int32_t firstSprite = gfx2d->texturePair[0], secondSprite = gfx2d->texturePair[1];
    auto textureOf = [&](int32_t sprite) { return gfx2d->spriteTexture(sprite, gfx2d->secondTexture, names); };
    bool colourArray = false;
    const int32_t mode = (effect && multitexture) ? lightEffect : 0;
    if (mode == 1) {
        glext::glActiveTextureARB(GL_TEXTURE1_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        unitTexCoords(GL_TEXTURE1_ARB, arrays, kTexCoordOffset);
        glext::glActiveTextureARB(GL_TEXTURE0_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_DOT3_RGB);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_PRIMARY_COLOR);
        glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_TEXTURE);
        glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
        unitTexCoords(GL_TEXTURE0_ARB, arrays, kTexCoordOffset);
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(3, GL_FLOAT, kStride, attributeAt(arrays, kBumpOffset));
        colourArray = true;
    } else if (mode == 2) {
        glext::glActiveTextureARB(GL_TEXTURE1_ARB);
        glBindTexture(GL_TEXTURE_2D, part->textureName);
        glEnable(GL_TEXTURE_2D);
        unitTexCoords(GL_TEXTURE1_ARB, arrays, kShadeOffset);
        glext::glActiveTextureARB(GL_TEXTURE0_ARB);
        if (firstSprite >= 0) {
            glcache::enableCapability(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, textureOf(firstSprite));
            unitTexCoords(GL_TEXTURE0_ARB, arrays, kTexCoordOffset);
        }
    } else {
        if (firstSprite >= 0) {
            if (secondSprite >= 0 && multitexture) {
                glext::glActiveTextureARB(GL_TEXTURE1_ARB);
                glBindTexture(GL_TEXTURE_2D, textureOf(secondSprite));
                unitTexCoords(GL_TEXTURE1_ARB, arrays, kTexCoordOffset);
                glext::glActiveTextureARB(GL_TEXTURE0_ARB);
            }
            glBindTexture(GL_TEXTURE_2D, textureOf(firstSprite));
            unitTexCoords(GL_TEXTURE0_ARB, arrays, kTexCoordOffset);
        }
        if (part->hasColours == 1) {
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(4, GL_FLOAT, kStride, attributeAt(arrays, kColourOffset));
            colourArray = true;
        }
    }

    glPushMatrix();
    multObjectMatrix();
    if (lightMask != 0 || sphereMapping != 0) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, kStride, attributeAt(arrays, kNormalOffset));
    }
    if (sphereMapping == 1) {
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glcache::enableCapability(GL_TEXTURE_GEN_S);
        glcache::enableCapability(GL_TEXTURE_GEN_T);
    }
    glDrawArrays(GL_TRIANGLES, 0, n);

    if (sphereMapping == 1) {
        glcache::disableCapability(GL_TEXTURE_GEN_S);
        glcache::disableCapability(GL_TEXTURE_GEN_T);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    if (glext::glClientActiveTextureARB) {
        glext::glClientActiveTextureARB(GL_TEXTURE1_ARB);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glext::glClientActiveTextureARB(GL_TEXTURE0_ARB);
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    if (colourArray) glcache::forgetColour();
    if (buffers) glext::glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);

    if (effect && lightEffect == 2 && cullMode != 0) drawOutline(*part, S, n, names);

    if (multitexture) {
        glext::glActiveTextureARB(GL_TEXTURE1_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glPopMatrix();
    glcache::disableCapability(GL_COLOR_MATERIAL);
    glcache::setColour(1.0f, 1.0f, 1.0f, gfx2d->alpha);
}

void Rainbows3D::blendIntoBase(MeshObjectX& part, int32_t F, int32_t S, float t, int32_t n,
                               const float (&light)[3]) {
    MeshVertex* out = part.baseTriangles.data;
    const MeshVertex* from = part.frames.data[F].triangles.data;
    const MeshVertex* to = part.frames.data[S].triangles.data;
    const bool effect = effectLightOn == 1 && glext::glMultiTexCoord2fARB != nullptr;
    for (int32_t k = 0; k < n; ++k) {
        MeshVertex& v = out[k];
        v = to[k];
        if (t != 0.0f) {
            v.x = from[k].x + (to[k].x - from[k].x) * t;
            v.y = from[k].y + (to[k].y - from[k].y) * t;
            v.z = from[k].z + (to[k].z - from[k].z) * t;
            v.nx = from[k].nx + (to[k].nx - from[k].nx) * t;
            v.ny = from[k].ny + (to[k].ny - from[k].ny) * t;
            v.nz = from[k].nz + (to[k].nz - from[k].nz) * t;
        }
        v.u = to[k].u + textureOffset[0];
        v.v = to[k].v + textureOffset[1];
        if (!effect) continue;
        float L[3] = {light[0] - v.x, light[1] - v.y, light[2] - v.z};
        const float squared = L[0] * L[0] + L[1] * L[1] + L[2] * L[2];
        if (squared > 1e-7f) {
            const float length = std::sqrt(squared);
            L[0] /= length, L[1] /= length, L[2] /= length;
        }
        const float towardsLight = v.nx * L[0] + v.ny * L[1] + v.nz * L[2];
        if (lightEffect == 1) {
            const MeshVertex& frame = t != 0.0f ? from[k] : to[k];
            const float* T = frame.tangent;
            const float* B = frame.bitangent;
            v.carried[0] = (T[0] * L[0] + T[1] * L[1] + T[2] * L[2]) * 0.5f + 0.5f;
            v.carried[1] = (B[0] * L[0] + B[1] * L[1] + B[2] * L[2]) * 0.5f + 0.5f;
            v.carried[2] = towardsLight * 0.5f + 0.5f;
        } else if (lightEffect == 2) {
            v.bitangent[1] = (static_cast<float>(v.paletteIndex) + 0.5f) * part.shadeScale;
            v.bitangent[0] = towardsLight < 0.05f ? 0.05f : (towardsLight > 0.95f ? 0.95f : towardsLight);
        }
    }
}

void Rainbows3D::drawOutline(MeshObjectX& part, int32_t S, int32_t n, const uint32_t* names) {
    const float (&objectMatrix)[16] = currentTransform().matrix;
    const MeshFrame& frame = part.frames.data[S];
    float inverse[16], eye[3];
    render3d::invertMatrix(objectMatrix, inverse);
    render3d::transformPoint(inverse, cameraEye, eye);
    const float d[3] = {eye[0] - frame.centre[0], eye[1] - frame.centre[1], eye[2] - frame.centre[2]};
    const float squared = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
    float w = viewTangent * (squared <= 1e-7f ? 0.0f : std::sqrt(squared)) * 0.003f;
    if (!render3d::upperIsIdentity(objectMatrix)) {
        const float m = meanColumnLength(objectMatrix);
        for (int32_t level = 0; level <= transformIndex; ++level) w /= m * m;
    }
    if (w > frame.radius * 0.5f) return;
    if (w < 1e-7f) w = 1e-7f;

    const int8_t culling = cullMode;
    setCulling(-culling);
    MeshVertex* v = part.baseTriangles.data;
    for (int32_t k = 0; k < n; ++k) {
        v[k].x += v[k].nx * w;
        v[k].y += v[k].ny * w;
        v[k].z += v[k].nz * w;
    }
    const unsigned char* arrays = reinterpret_cast<const unsigned char*>(v);
    if (hasBuffers()) {
        bindVertexBuffer(part.bufferNames[1], v, n, true, GL_STREAM_DRAW_ARB);
        arrays = nullptr;
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, kStride, arrays);
    if (glext::glActiveTextureARB) {
        glext::glActiveTextureARB(GL_TEXTURE1_ARB);
        glDisable(GL_TEXTURE_2D);
        glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    glcache::disableCapability(GL_TEXTURE_2D);
    glcache::disableCapability(GL_LIGHTING);
    glcache::enableCapability(GL_COLOR_MATERIAL);
    glcache::setColour(0.0f, 0.0f, 0.0f, 1.0f);
    glDepthFunc(GL_LEQUAL);
    glDrawArrays(GL_TRIANGLES, 0, n);
    glDepthFunc(GL_LESS);
    glDisableClientState(GL_VERTEX_ARRAY);
    if (lightMask != 0) glcache::enableCapability(GL_LIGHTING);
    gfx2d->bindSpriteTextures(gfx2d->texturePair[0], gfx2d->texturePair[1], gfx2d->secondTexture, names);
    setCulling(culling);
    if (glext::glBindBufferARB) glext::glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}
