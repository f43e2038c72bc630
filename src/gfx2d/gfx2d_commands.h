// The 2-D graphics commands that programs call: sprites and animation frames,
// rectangles, lines, text, polygons, offscreen screens, image files in and
// out, and the screen settings. Colours are 0x00BBGGRR; pixel arrays hold
// 0xAABBGGRR. Sprites are numbered 0 to 65,535 (the last 32 hold the fonts),
// screens 0 to 255. Without a 2-D context every command does nothing.
// Depends on the engine's 2-D context (engine.graphics2D, OpenGLRainbows).
#pragma once
#include "runtime/containers/rt_array.h"
#include "runtime/strings/rt_string.h"

// Drawing (coordinates in pixels of the current target, y down; (x, y) is
// the top left corner). Pixels of the transparent colour 0x8000FF in a loaded
// image are never drawn. Empty sprites, bad numbers and frames outside the
// sheet draw nothing.
void DrawSprite(int sprite, double x, double y);
// Frames run left to right, then top to bottom, of the frame size loaded.
void DrawAnimFrame(int sprite, int frame, double x, double y);
// Turned by `angle` degrees (clockwise) and scaled about the frame's centre.
void DrawAnimFrameRotatedScaled(int sprite, int frame, double x, double y, double angle, double zoom);
// Stretched about the sprite's centre.
void DrawSpriteScaled(int sprite, double x, double y, double zoomX, double zoomY);
// The transparent colour on an offscreen screen makes the pixels transparent.
void FillRect(double x, double y, double width, double height, int colour);  // colour 0x00BBGGRR
void DrawLine(double x1, double y1, double x2, double y2, int colour);
// In the current font (SetFont); each character advances by the font's cell
// width plus the kerning.
void PrintText(const RtString& text, double x, double y, double kerning);
// The font PrintText uses, 0 to 31; other numbers are ignored.
void SetFont(int font);
// 0: blending off at full opacity; below 0: alpha blending at opacity |a|;
// above 0: additive at opacity a (opacities above 1 count as 1). Each frame
// end returns to alpha blending at the opacity last set.
void SetAlphaMode(double a);
// Linear (not 0) or nearest-pixel texture filtering for what is drawn next.
void SetSmoothing(int flag);

// Polygon batches from one sprite (-1 = untextured): (u, v) in pixels of the
// sprite, the vertex colour tints. Mode 0: quads of four vertices in order
// around; any other mode: triangle strips, a new one after NewPolygonStrip.
// EndPolygon draws with the filtering and alpha mode in force then.
void BeginPolygon(int sprite, int mode);
void AddPolygonVertex(double x, double y, double u, double v, int colour);
void NewPolygonStrip();
void EndPolygon();

// Offscreen screens 0 to 255. A new screen is transparent; a bad screen or
// sprite number or size records error 7.
void CreateScreen(int screen, int sprite, int width, int height);
// Negative: the window. A screen never made is ignored.
void SelectScreen(int screen);
// The current target's size: the selected screen's sprite, else the window.
void GetScreenSize(double& width, double& height);
void GetScreenSizeInt(int& width, int& height);
// The host screen size (the desktop's, or the last the host reported).
void GetHostScreenSize(int& width, int& height);

// Images in and out. A load that fails (missing file, undecodable, larger
// than the driver takes) records error 3 and leaves the slot empty; a sprite
// number outside 0 to 65,535, or a font outside 0 to 31, records error 7 in
// every command here that takes one.
// The first slot below the fonts that holds no image; -1 when none.
int FindFreeSprite();
void LoadSpriteFile(const RtString& file, int sprite);
void LoadAnimFile(const RtString& file, int sprite, int frameWidth, int frameHeight);
void LoadSpriteAsNormalMap(const RtString& file, int sprite);
// Background set 0, which DrawBackground stretches over the viewport.
void LoadBackgroundImage(const RtString& file);
void DrawBackground();
// A failed font file leaves the font printing with the built-in font.
void LoadFontFile(const RtString& file, int font);
// A rectangle of the current target (window pixels from its top left, or
// the screen's); parts outside the target come out transparent black.
void GrabScreenToSprite(int sprite, int x, int y, int width, int height);
// width x height elements, rows from the top; empty for an empty sprite or
// a bad number.
void SpriteToPixels(int sprite, RtArray<int>& pixels);
// The first width x height elements, rows from the top, alpha as given.
// False, the slot as it was, for a bad number, a size of 0 or less or past
// the image limits (decoded_image.h), or fewer elements than the size
// needs; false, the slot empty, when the upload fails.
bool PixelsToSprite(const RtArray<int>& pixels, int sprite, int width, int height);
// PNG, or JPEG (".jpg", ".jpeg", quality 80) or BMP (".bmp") by the name;
// an empty sprite or a file that cannot be written records error 3.
void SaveSpriteToFile(const RtString& file, int sprite);

// Screen settings.
void SetFrameLimit(int framesPerSecond, int vsync);
void SetViewport(int x, int y, int width, int height);
void SetOrientation(int orientation);
