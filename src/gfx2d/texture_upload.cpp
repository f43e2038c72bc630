// Texture upload: the image goes up padded to the texture's size in one
// call, so the padding is defined (transparent black) on every driver. An
// image that fills its texture goes up as it stands; any other is first
// copied once into a padded buffer, and a TextureImage is that buffer already.
#include "gfx2d/texture_upload.h"

#include <algorithm>

#include "gfx2d/gl_extensions.h"
#include "gfx2d/texture_image.h"

namespace {

constexpr int32_t kSmallestTextureSide = 16;

}  // namespace

GLuint uploadTexturePixels(const uint32_t* pixels, int32_t textureWidth, int32_t textureHeight, bool nearest,
                           bool mipmapped) {
    GLuint name = 0;
    glGenTextures(1, &name);
    if (name == 0) return 0;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    GLint filter = nearest ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    if (mipmapped) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, nearest ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_LINEAR);
        if (!glext::glGenerateMipmapEXT) glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    while (glGetError() != GL_NO_ERROR) {
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, textureWidth, textureHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &name);
        return 0;
    }
    if (mipmapped && glext::glGenerateMipmapEXT) glext::glGenerateMipmapEXT(GL_TEXTURE_2D);
    return name;
}

int32_t textureSideFor(int32_t n) {
    int32_t side = kSmallestTextureSide;
    while (side < n && side < (1 << 30)) side <<= 1;
    return side;
}

int32_t maxTextureSide() {
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side > 0 ? side : 0;
}

ImageLimits textureImageLimits() {
    ImageLimits limits;
    limits.maxSide = std::min(limits.maxSide, maxTextureSide());
    return limits;
}

bool createTextureFromImage(const DecodedImage& image, int32_t x, int32_t y, int32_t width, int32_t height,
                            GLuint* texture, GLuint* secondTexture, bool normalMap, bool nearest) {
    if (texture) *texture = 0;
    if (secondTexture) *secondTexture = 0;
    if (!texture || image.empty()) return false;
    if (x == 0 && y == 0 && width == 0 && height == 0) {
        width = image.width;
        height = image.height;
    }
    int64_t left = std::max(0, x), top = std::max(0, y);
    int64_t right = std::min<int64_t>(image.width, int64_t{x} + width);
    int64_t bottom = std::min<int64_t>(image.height, int64_t{y} + height);
    if (right <= left || bottom <= top) return false;
    const int32_t w = static_cast<int32_t>(right - left), h = static_cast<int32_t>(bottom - top);
    const int32_t limit = maxTextureSide();
    const int32_t tw = textureSideFor(w), th = textureSideFor(h);
    if (tw > limit || th > limit) return false;

    std::vector<uint32_t> padded;
    const uint32_t* pixels = image.pixels.data();
    const bool fillsTexture = top == 0 && w == image.width && w == tw && h == th;
    if (normalMap || !fillsTexture) {
        padded.assign(static_cast<size_t>(tw) * th, 0);
        for (int32_t row = 0; row < h; ++row) {
            const uint32_t* from = &image.pixels[static_cast<size_t>(top + row) * image.width + left];
            std::copy_n(from, w, &padded[static_cast<size_t>(row) * tw]);
        }
        if (normalMap) convertToNormalMap(PixelView{padded.data(), w, h, static_cast<size_t>(tw)});
        pixels = padded.data();
    }
    *texture = uploadTexturePixels(pixels, tw, th, nearest, false);
    if (*texture == 0) return false;
    if (secondTexture) *secondTexture = uploadTexturePixels(pixels, tw, th, nearest, true);
    return true;
}

bool createTextureFromTextureImage(TextureImage& image, GLuint* texture, bool normalMap, bool nearest) {
    if (texture) *texture = 0;
    if (!texture || image.empty()) return false;
    const int32_t limit = maxTextureSide();
    if (image.textureWidth() > limit || image.textureHeight() > limit) return false;
    if (normalMap) convertToNormalMap(image.view());
    *texture = uploadTexturePixels(image.texturePixels(), image.textureWidth(), image.textureHeight(), nearest, false);
    return *texture != 0;
}

GLuint makeMipmappedCopy(GLuint texture, int32_t textureWidth, int32_t textureHeight) {
    std::vector<uint32_t> pixels;
    if (!readTexturePixels(texture, textureWidth, textureHeight, textureWidth, textureHeight, pixels)) return 0;
    return uploadTexturePixels(pixels.data(), textureWidth, textureHeight, false, true);
}

bool readTexturePixels(GLuint texture, int32_t textureWidth, int32_t textureHeight, int32_t width, int32_t height,
                       std::vector<uint32_t>& pixels) {
    pixels.clear();
    if (texture == 0 || width <= 0 || height <= 0 || width > textureWidth || height > textureHeight) return false;
    std::vector<uint32_t> whole(static_cast<size_t>(textureWidth) * textureHeight);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, whole.data());
    pixels.resize(static_cast<size_t>(width) * height);
    for (int32_t row = 0; row < height; ++row) {
        std::copy_n(&whole[static_cast<size_t>(row) * textureWidth], width, &pixels[static_cast<size_t>(row) * width]);
    }
    return true;
}

void setBoundTextureFilter(bool linear) {
    GLint filter = linear ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
}
