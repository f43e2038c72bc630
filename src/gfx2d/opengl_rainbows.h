// OpenGLRainbows, the one 2-D graphics context: it owns the main window and
// its OpenGL context, the viewport and screen orientation, the 2-D GL state,
// the showing of frames at a paced rate, the sprite table with the fonts,
// the offscreen screens and the 2-D drawing queue. Each family of methods
// lives in a file of its own (sprite_table.cpp, sprite_drawing.cpp,
// fonts.cpp, offscreen_screens.cpp, screen_grab.cpp, texture_swap.cpp,
// renderer3d_support.cpp).
// Depends on the window service (platform/gl_window.h) and the clock port.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "gfx2d/frame_pacer.h"
#include "gfx2d/polygon_batch.h"
#include "gfx2d/quad_batch.h"
#include "gfx2d/sprite_slot.h"
#include "gfx2d/screen_orientation.h"
#include "runtime/strings/rt_string.h"

namespace platform {
struct GLWindow;
}
class Rainbows3D;
struct DecodedImage;
class TextureImage;

// One offscreen screen: a framebuffer object drawing into a sprite's texture.
struct OffscreenScreen {
    int32_t sprite = -1;  // -1 = not made
    GLuint framebuffer = 0;
    GLuint depthStencil = 0;  // renderbuffer, so 3-D scenes can draw here too
};

class OpenGLRainbows {
public:
    OpenGLRainbows();
    virtual ~OpenGLRainbows();  // frees every texture and screen, closes the window and its context
    OpenGLRainbows(const OpenGLRainbows&) = delete;
    OpenGLRainbows& operator=(const OpenGLRainbows&) = delete;

    // --- Window and frame (opengl_rainbows.cpp) ---
    // Opens the window (the title "Vantric" until the program names it) with its
    // GL context, fetches the extension entry points and sets the 2-D state.
    // False when the window or the context cannot be made; failureReason() says why.
    bool createRenderWindow(int32_t width, int32_t height, int32_t fullScreen, int32_t multisampling,
                            int32_t framesPerSecond);
    const char* failureReason() const;
    void setTitle(const RtString& title);
    // Clears colour (0x00BBGGRR, opaque), depth and stencil of the current target.
    void clear(uint32_t colour);
    // Shows the frame: draws what is queued, waits for the frame's end at
    // the frame limit, then swaps.
    void flip();
    void setFrameLimit(int32_t framesPerSecond, int32_t verticalSync);
    // The drawing area in pixels of the current target, x to the right and y
    // down; 2-D coordinates start at its top left corner. Each target keeps
    // its own: selecting an offscreen screen gives its whole area, returning
    // to the window gives back the window's.
    void setViewport(int32_t x, int32_t y, int32_t width, int32_t height);
    void copyViewport(int32_t (&out)[4]) const;
    void setOrientation(int32_t orientation);  // 0 to 3, others count as 0
    // A rectangle of the picture in window coordinates under the current orientation.
    void rotateRectByOrientation(int32_t x, int32_t y, int32_t width, int32_t height, int32_t& outX, int32_t& outY,
                                 int32_t& outWidth, int32_t& outHeight) const;
    // Fixed-function 2-D state with the projection of the current viewport;
    // blending returns to Normal (the opacity stays).
    void reset2DGLState();
    // After a flip: fixed pipeline, texture mode 0, the window as target, 2-D state.
    void restore2DRenderState();
    // Size 0 keeps the current one; then full screen or a centred window (a
    // window also where the display has no full-screen mode of that size).
    void setDisplayMode(int32_t width, int32_t height, int32_t fullScreen);
    void setWindowedMode();
    void leaveFullscreen();
    // Follows a change of the window's size made by the system.
    void windowResized();
    // Draws what the 2-D queue holds. Anything that draws with GL outside
    // this class (the 3-D renderer, tests) calls it first.
    void flushBatch() { batch.flush(); }

    // --- Sprite table (sprite_table.cpp) ---
    // An image file into the sprite as one picture, the transparent colour
    // applied; frames of frameWidth x frameHeight when frameWidth > 0 (a
    // height of 0 or less means the image's). False (slot left empty) when the
    // file is missing, cannot be decoded or is too large for the driver.
    bool loadSprite(const RtString& file, int32_t sprite, int32_t frameWidth = 0, int32_t frameHeight = 0,
                    bool normalMap = false);
    // An image into the sprite (replacing what it held); false leaves it empty.
    bool setSpriteImage(int32_t sprite, const DecodedImage& image, bool normalMap = false);
    void setFrameSize(int32_t sprite, int32_t frameWidth, int32_t frameHeight);
    // Frees the sprite's textures (and the offscreen screen drawing into it).
    void freeSprite(int32_t sprite);
    // The first slot below the fonts that holds no image; -1 when none.
    int32_t findFreeSprite() const;
    // The slot, or null for a number outside the table.
    SpriteSlot* slot(int32_t sprite) { return isSpriteNumber(sprite) ? &sprites[sprite] : nullptr; }
    // Background set 0.
    bool loadBackground(const RtString& file);
    void drawBackground();

    // --- Drawing (sprite_drawing.cpp) ---
    void drawSprite(int32_t sprite, float x, float y);
    void drawAnimFrame(int32_t sprite, int32_t frame, float x, float y);
    // Turned by `angle` degrees (clockwise on the screen) about the frame's
    // centre and scaled by `zoom`; the centre stays where the unturned frame's
    // centre would be with its top left at (x, y).
    void drawAnimFrameRotatedScaled(int32_t sprite, int32_t frame, float x, float y, float angle, float zoom);
    // Stretched by the two factors about the sprite's centre.
    void drawSpriteScaled(int32_t sprite, float x, float y, float zoomX, float zoomY);
    // Untextured, with the current opacity. The transparent colour on an
    // offscreen screen makes the pixels transparent instead.
    void fillRect(float x, float y, float width, float height, uint32_t colour);
    void drawLine(float x1, float y1, float x2, float y2, uint32_t colour);
    // 0: blending off at full opacity; below 0: normal blending at opacity
    // |a|; above 0: additive at opacity a; opacities above 1 count as 1.
    void setAlphaMode(double a);
    void setSmoothing(bool on);
    void beginPolygon(int32_t sprite, int32_t mode);
    void addPolygonVertex(float x, float y, float u, float v, uint32_t colour);  // (u, v) in sprite pixels
    void newPolygonStrip();
    void endPolygon();

    // --- Fonts (fonts.cpp) ---
    // Font n (0 to 31) from an image of 16 x 16 character cells, code c in
    // column c % 16 of row c / 16. False when the file fails: the font then
    // prints with the built-in font.
    bool loadFontFile(const RtString& file, int32_t font);
    // The text in the current font, top left at (x, y); each character
    // advances by the cell width plus the kerning.
    void printText(const RtString& text, float x, float y, float kerning);
    // The font's slot, or the built-in font for an empty one or a bad number.
    SpriteSlot& fontSlot(int32_t font);

    // --- Offscreen screens (offscreen_screens.cpp) ---
    // Screen n draws into the sprite's texture of width x height (transparent
    // at first). False for a bad screen or sprite number or size, or a driver
    // without framebuffer objects.
    bool createScreen(int32_t screen, int32_t sprite, int32_t width, int32_t height);
    // Later drawing goes to screen n; negative = the window. A screen never made is ignored.
    void selectScreen(int32_t screen);
    // Size of the current target: the screen's sprite, else the window.
    void currentTargetSize(int32_t& width, int32_t& height) const;

    // --- Pixels in and out (screen_grab.cpp) ---
    bool grabScreenToSprite(int32_t sprite, int32_t x, int32_t y, int32_t width, int32_t height);
    // The sprite's pixels, rows from the top, 0xAABBGGRR; false when empty.
    bool spritePixels(int32_t sprite, DecodedImage& image);
    bool saveSprite(const RtString& file, int32_t sprite);

    // --- Texture swap (texture_swap.cpp) ---
    // 1: every sprite's pixels to a temporary file, textures freed; 0: back
    // from those files, which are then deleted. Not 0 when every sprite made
    // the trip.
    uint8_t moveTexturesToTempFiles(uint8_t toFiles);

    // --- For the 3-D renderer (renderer3d_support.cpp) ---
    void bindSpriteTextures(int32_t sprite0, int32_t sprite1, int32_t useSecond, const GLuint* names);
    // The GL texture that stands for a sprite in 3-D drawing: names[sprite]
    // when a name list is given, else the sprite's texture, or with useSecond
    // its mipmapped copy (made on first use); 0 for a negative number or a
    // sprite without an image.
    GLuint spriteTexture(int32_t sprite, int32_t useSecond, const GLuint* names);
    void applyTextureFilter();
    void drawBillboard(int32_t sprite, float x, float y, float z, float scale);
    // `kerning` as in printText; `centred` not 0 centres the text on the point.
    void printTextOver3D(int32_t font, const RtString& text, float x, float y, float z, float kerning,
                         int32_t centred);

    platform::GLWindow* window = nullptr;
    int32_t screenWidth = 0, screenHeight = 0;  // the window's drawing area in pixels
    int32_t windowHeight = 0;                   // the same height, read by the 3-D scene start
    int32_t viewportX = 0, viewportY = 0, viewportWidth = 0, viewportHeight = 0;  // of the current target
    int32_t orientation = 0;
    int32_t fullScreen = 0;
    float alpha = 1.0f;              // opacity applied to what is drawn
    BlendMode blendMode = BlendMode::Normal;
    uint8_t depthClearPending = 0;   // set by each 3-D scene start
    uint8_t bgraTextures = 0;        // the driver takes BGRA source pixels
    uint8_t smoothing = 1;           // linear texture filtering
    int32_t currentScreen = -1;      // offscreen screen being drawn to, -1 = the window
    int32_t currentFont = 0;
    int32_t texturePair[2] = {-1, -1};
    int32_t secondTexture = 0;
    Rainbows3D* renderer3D = nullptr;  // set by the 3-D renderer's constructor
    std::unique_ptr<SpriteSlot[]> sprites;  // kSpriteCount
    OffscreenScreen screens[kScreenCount];
    FramePacer pacer;
    QuadBatch batch;

private:
    void applyViewport();
    void releaseGraphics();
    bool prepareBuiltInFont();
    // Uploads the image into a slot that holds nothing; false leaves it so.
    bool uploadToSlot(SpriteSlot& s, const DecodedImage& image, bool normalMap);
    bool uploadToSlot(SpriteSlot& s, TextureImage& image, bool normalMap);
    // The slot's sizes and filter once a texture of the image is in it.
    void describeUpload(SpriteSlot& s, int32_t width, int32_t height, uint8_t hasAlpha) const;
    // The batch state of textured drawing from the slot.
    BatchState texturedState(SpriteSlot* slot) const;
    // One frame (or the whole image for frame -1) of the slot as a quad.
    void drawFrameQuad(SpriteSlot& slot, int32_t frame, float x, float y, float scaleX, float scaleY, float angle);
    void releaseScreen(int32_t screen);
    // A framebuffer for the screen on the sprite's texture; false (sprite
    // freed) when the driver cannot draw into it.
    bool attachFramebuffer(int32_t screen, int32_t sprite);
    char failure_[256] = "";
    WindowRect windowViewport_ = {0, 0, 0, 0};  // the window's viewport while a screen is selected
    SpriteSlot builtInFont_;
    SpriteSlot background_;
    PolygonBuilder polygon_;
    struct SwappedSprite {
        SpriteSlot* slot;
        SpriteSlot layout;  // the slot as it was, textures 0
        RtString file;
    };
    std::vector<SwappedSprite> swapped_;  // sprites whose pixels wait in temporary files
};

// The host screen size: the desktop's size when the window was made, or the
// last size the host reported.
extern int32_t hostScreenWidth;
extern int32_t hostScreenHeight;
