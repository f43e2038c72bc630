// What the 2-D context and the frame end ask of the 3-D renderer: end a
// stencil shadow pass, return to the fixed pipeline, texture mode 0. The 3-D
// renderer fills these in when it is made and clears them when it is deleted;
// while one is null nothing is called, so the 2-D side runs without it.
#pragma once

struct Renderer3DLink {
    void (*endShadowPass)() = nullptr;     // setShadowPass(0)
    void (*useFixedPipeline)() = nullptr;  // useShader(-1)
    void (*resetTextureMode)() = nullptr;  // SetTextureMode(0)
};

extern Renderer3DLink renderer3DLink;

inline void endShadowPass3D() {
    if (renderer3DLink.endShadowPass) renderer3DLink.endShadowPass();
}
