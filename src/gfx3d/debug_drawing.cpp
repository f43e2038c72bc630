// Immediate-mode helper drawings of the 3-D scene (a point, a line, axes, a
// wire sphere, a wire box) and the query of the last hit triangle. Each
// drawing puts back the state it changes: lighting by the light mask, the
// current colour to white at the 2-D context's opacity.
#include <initializer_list>

#include "gfx2d/gl_extensions.h"
#include "gfx2d/gl_state_cache.h"
#include "gfx2d/opengl_rainbows.h"
#include "gfx3d/debug_drawing.h"
#include "gfx3d/rainbows3d.h"
#include "gfx3d/render_state.h"
#include "gfx3d/vec3.h"

namespace {

void setPackedColour(int32_t colour) {
    float rgba[4];
    render3d::unpackColour(colour, 1.0f, rgba);
    glcache::setColour(rgba[0], rgba[1], rgba[2], rgba[3]);
}

// The lighting switch around a debug drawing.
class LightingOff {
public:
    explicit LightingOff(uint8_t mask) : mask_(mask) {
        if (mask_) glcache::disableCapability(GL_LIGHTING);
    }
    void restore() const {
        if (mask_) glcache::enableCapability(GL_LIGHTING);
    }

private:
    uint8_t mask_;
};

// A smooth point (GL_POINTS) or line (GL_LINES) `size` pixels across in the
// packed colour, unlit and untextured. Afterwards the size is 1 again and the
// current colour white at the 2-D context's opacity.
void drawSmoothPrimitive(Rainbows3D& r, GLenum mode, std::initializer_list<const float*> vertices, int32_t colour,
                         float size) {
    if (!r.glReady()) return;
    const bool points = mode == GL_POINTS;
    const GLenum smoothing = points ? GL_POINT_SMOOTH : GL_LINE_SMOOTH;
    glPushMatrix();
    glcache::enableCapability(GL_COLOR_MATERIAL);
    setPackedColour(colour);
    glcache::enableCapability(smoothing);
    LightingOff lighting(r.lightMask);
    r.gfx2d->bindSpriteTextures(-1, -1, 0, nullptr);
    if (points) glPointSize(size);
    else glLineWidth(size);
    glBegin(mode);
    for (const float* v : vertices) glVertex3fv(v);
    glEnd();
    if (points) glPointSize(1.0f);
    else glLineWidth(1.0f);
    glcache::disableCapability(smoothing);
    glcache::setColour(1.0f, 1.0f, 1.0f, r.gfx2d->alpha);
    glcache::disableCapability(GL_COLOR_MATERIAL);
    lighting.restore();
    glPopMatrix();
}

// The frame of a wire sphere or box: `drawLines` draws in the packed colour,
// unlit, untextured and unblended, with lines `width` pixels wide. Blending
// stays off afterwards; the line width is 1 again and the current colour
// white at the 2-D context's opacity.
template <class DrawLines>
void drawWireShape(Rainbows3D& r, int32_t colour, int16_t width, DrawLines&& drawLines) {
    if (!r.glReady()) return;
    LightingOff lighting(r.lightMask);
    r.gfx2d->bindSpriteTextures(-1, -1, 0, nullptr);
    glcache::disableCapability(GL_BLEND);
    glcache::enableCapability(GL_COLOR_MATERIAL);
    glLineWidth(width);
    glPushMatrix();
    setPackedColour(colour);
    drawLines();
    glLineWidth(1.0f);
    glcache::disableCapability(GL_COLOR_MATERIAL);
    glPopMatrix();
    lighting.restore();
    glcache::setColour(1.0f, 1.0f, 1.0f, r.gfx2d->alpha);
}

}  // namespace

void drawWireSphereTriangle(const float (&centre)[3], float radius, const float (&a)[3], const float (&b)[3],
                            const float (&c)[3], int32_t depth) {
    if (depth != 0) {
        float ab[3], bc[3], ca[3];
        for (int k = 0; k < 3; ++k) {
            ab[k] = a[k] + b[k];
            bc[k] = b[k] + c[k];
            ca[k] = c[k] + a[k];
        }
        normaliseXyz(ab);
        normaliseXyz(bc);
        normaliseXyz(ca);
        drawWireSphereTriangle(centre, radius, a, ab, ca, depth - 1);
        drawWireSphereTriangle(centre, radius, b, bc, ab, depth - 1);
        drawWireSphereTriangle(centre, radius, c, ca, bc, depth - 1);
        drawWireSphereTriangle(centre, radius, ab, bc, ca, depth - 1);
        return;
    }
    glBegin(GL_LINE_LOOP);
    for (const float* p : {a, b, c}) {
        glVertex3f(centre[0] + radius * p[0], centre[1] + radius * p[1], centre[2] + radius * p[2]);
    }
    glEnd();
}

void Rainbows3D::drawPoint(const float (&position)[3], int32_t colour, float size) {
    drawSmoothPrimitive(*this, GL_POINTS, {position}, colour, size);
}

void Rainbows3D::drawLine(const float (&from)[3], const float (&to)[3], int32_t colour, float width) {
    drawSmoothPrimitive(*this, GL_LINES, {from, to}, colour, width);
}

void Rainbows3D::drawAxes(float x, float y, float z) {
    if (!glReady()) return;
    static const float kArrows[3][8][3] = {
        {{0, 0, 0}, {1, 0, 0}, {0.75f, 0.25f, 0}, {0.75f, -0.25f, 0}, {1, 0, 0}, {0.75f, 0, 0.25f},
         {0.75f, 0, -0.25f}, {1, 0, 0}},
        {{0, 0, 0}, {0, 1, 0}, {0, 0.75f, 0.25f}, {0, 0.75f, -0.25f}, {0, 1, 0}, {0.25f, 0.75f, 0},
         {-0.25f, 0.75f, 0}, {0, 1, 0}},
        {{0, 0, 0}, {0, 0, 1}, {0.25f, 0, 0.75f}, {-0.25f, 0, 0.75f}, {0, 0, 1}, {0, 0.25f, 0.75f},
         {0, -0.25f, 0.75f}, {0, 0, 1}},
    };
    const bool textured = gfx2d->texturePair[0] >= 0;
    glPushMatrix();
    glLoadMatrixf(viewMatrix);
    glcache::enableCapability(GL_LINE_SMOOTH);
    if (textured) glcache::disableCapability(GL_TEXTURE_2D);
    LightingOff lighting(lightMask);
    glTranslatef(x, y, z);
    glScalef(20.0f, 20.0f, 20.0f);
    // Positions only: no buffer object and no other array may be read.
    if (glext::glBindBufferARB) glext::glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    for (int axis = 0; axis < 3; ++axis) {
        glcache::setColour(axis == 0 ? 1.0f : 0.0f, axis == 1 ? 1.0f : 0.0f, axis == 2 ? 1.0f : 0.0f, 1.0f);
        glVertexPointer(3, GL_FLOAT, 0, kArrows[axis]);
        glDrawArrays(GL_LINE_STRIP, 0, 8);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    lighting.restore();
    glcache::disableCapability(GL_LINE_SMOOTH);
    glcache::disableCapability(GL_COLOR_MATERIAL);
    if (textured) glcache::enableCapability(GL_TEXTURE_2D);
    glcache::setColour(1.0f, 1.0f, 1.0f, gfx2d->alpha);
    glPopMatrix();
}

void Rainbows3D::drawDebugSphere(const float (&c)[3], float radius, int32_t colour, int16_t width) {
    static constexpr float X = 0.525731f, Z = 0.850651f;
    static const float kVertices[12][3] = {{-X, 0, Z}, {X, 0, Z},  {-X, 0, -Z}, {X, 0, -Z}, {0, Z, X},  {0, Z, -X},
                                           {0, -Z, X}, {0, -Z, -X}, {Z, X, 0},   {-Z, X, 0}, {Z, -X, 0}, {-Z, -X, 0}};
    static const int kFaces[20][3] = {{0, 4, 1},  {0, 9, 4},  {9, 5, 4},  {4, 5, 8},  {4, 8, 1},
                                      {8, 10, 1}, {8, 3, 10}, {5, 3, 8},  {5, 2, 3},  {2, 7, 3},
                                      {7, 10, 3}, {7, 6, 10}, {7, 11, 6}, {11, 0, 6}, {0, 1, 6},
                                      {6, 1, 10}, {9, 0, 11}, {9, 11, 2}, {9, 2, 5},  {7, 2, 11}};
    drawWireShape(*this, colour, width, [&] {
        for (const int(&face)[3] : kFaces) {
            drawWireSphereTriangle(c, radius, kVertices[face[0]], kVertices[face[1]], kVertices[face[2]], 1);
        }
    });
}

void Rainbows3D::drawDebugBox(const float (&c)[3], const float (&a)[3], const float (&b)[3], const float (&d)[3],
                              int32_t colour, int16_t width) {
    // Corner k = c + sa*a + sb*b + sd*d with the signs from bits 0, 1, 2 of k.
    float corner[8][3];
    for (int k = 0; k < 8; ++k) {
        const float sa = (k & 1) ? 1.0f : -1.0f, sb = (k & 2) ? 1.0f : -1.0f, sd = (k & 4) ? 1.0f : -1.0f;
        for (int i = 0; i < 3; ++i) corner[k][i] = c[i] + sa * a[i] + sb * b[i] + sd * d[i];
    }
    drawWireShape(*this, colour, width, [&] {
        glBegin(GL_LINES);
        for (int k = 0; k < 8; ++k) {
            for (int bit = 1; bit < 8; bit <<= 1) {
                if (k & bit) continue;  // each edge once, from its corner with the bit clear
                glVertex3fv(corner[k]);
                glVertex3fv(corner[k | bit]);
            }
        }
        glEnd();
    });
}

int32_t Rainbows3D::getHitTriangle() const { return lastHitVertex / 3; }
