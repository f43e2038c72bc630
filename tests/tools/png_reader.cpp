// PNG reading through libpng's simplified interface.
#include "png_reader.h"

#include <png.h>

#include <cstdio>
#include <cstring>

namespace mediatest {

int RgbaImage::frameOpaquePixels(int f, int fw, int fh) const {
    int columns = width / fw;
    int x0 = (f % columns) * fw, y0 = (f / columns) * fh;
    int count = 0;
    for (int y = y0; y < y0 + fh && y < height; ++y)
        for (int x = x0; x < x0 + fw && x < width; ++x)
            if (alpha(x, y) != 0) ++count;
    return count;
}

bool RgbaImage::frameEmpty(int f, int fw, int fh) const { return frameOpaquePixels(f, fw, fh) == 0; }

bool readPng(const std::string& path, RgbaImage& image, std::string& error) {
    // The header as written: signature, then IHDR with depth and colour type.
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = path + ": missing";
        return false;
    }
    unsigned char head[29] = {};
    size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    if (got != sizeof head || png_sig_cmp(head, 0, 8) != 0 || std::memcmp(head + 12, "IHDR", 4) != 0) {
        error = path + ": not a PNG file";
        return false;
    }
    image.bitDepth = head[24];
    image.colorType = head[25];

    png_image pi;
    std::memset(&pi, 0, sizeof pi);
    pi.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&pi, path.c_str())) {
        error = path + ": " + pi.message;
        return false;
    }
    pi.format = PNG_FORMAT_RGBA;
    image.width = static_cast<int>(pi.width);
    image.height = static_cast<int>(pi.height);
    image.pixels.assign(PNG_IMAGE_SIZE(pi), 0);
    if (!png_image_finish_read(&pi, nullptr, image.pixels.data(), 0, nullptr)) {
        error = path + ": " + pi.message;
        png_image_free(&pi);
        return false;
    }
    return true;
}

}  // namespace mediatest
