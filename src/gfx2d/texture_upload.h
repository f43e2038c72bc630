// Texture upload and read-back. Textures hold an image top row first in
// their top left corner; their sides are powers of two from 16, the rest is
// transparent black. Wrap mode repeat. Needs a current GL context.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx2d/decoded_image.h"
#include "gfx2d/gl_headers.h"

class TextureImage;

// The smallest power of two from 16 that holds n pixels.
int32_t textureSideFor(int32_t n);
// The largest texture side the driver takes (GL_MAX_TEXTURE_SIZE).
int32_t maxTextureSide();
// The limits of any image that is to become a texture.
ImageLimits textureImageLimits();

// Uploads the rectangle (x, y, width, height) of the image (0, 0, 0, 0 = the
// whole image; a rectangle reaching outside the image is cut to it) as an
// RGBA texture, linear or nearest filtered, and writes its name to
// *texture. With `secondTexture` a mipmapped copy is made too. With
// `normalMap` the rectangle is turned into a normal map first. False, with
// nothing made, when the rectangle is empty or larger than the driver takes.
bool createTextureFromImage(const DecodedImage& image, int32_t x, int32_t y, int32_t width, int32_t height,
                            GLuint* texture, GLuint* secondTexture, bool normalMap, bool nearest);

// The same for the whole of an image laid out as its texture (the normal
// map made in place), with no copy on our side.
bool createTextureFromTextureImage(TextureImage& image, GLuint* texture, bool normalMap, bool nearest);

// A new texture of textureWidth x textureHeight from `pixels` (RGBA, rows
// from the top, as many as the texture holds), wrap repeat, nearest or linear
// filtered, mipmapped if asked; its name, or 0 when the driver refuses it.
GLuint uploadTexturePixels(const uint32_t* pixels, int32_t textureWidth, int32_t textureHeight, bool nearest,
                           bool mipmapped);

// A mipmapped copy of the top left width x height pixels of a texture.
GLuint makeMipmappedCopy(GLuint texture, int32_t textureWidth, int32_t textureHeight);

// The top left width x height pixels of a texture of the given size.
bool readTexturePixels(GLuint texture, int32_t textureWidth, int32_t textureHeight, int32_t width, int32_t height,
                       std::vector<uint32_t>& pixels);

// Sets the filters of the bound 2-D texture: nearest, or linear.
void setBoundTextureFilter(bool linear);
