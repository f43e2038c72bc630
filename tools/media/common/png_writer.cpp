// PNG encoding through libpng's write callbacks into memory.
#include "png_writer.h"

#include <png.h>

#include <csetjmp>

#include "media_error.h"
#include "text_source.h"

namespace media {
namespace {

void appendToString(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), length);
}

void flushNothing(png_structp) {}

// libpng reports errors by longjmp; the jump lands in encode(), which turns
// it into an exception once libpng's structures are released.
void onPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void onPngWarning(png_structp, png_const_charp) {}

bool encode(int width, int height, const std::vector<uint8_t>& rgba, std::string& out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onPngError, onPngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, appendToString, flushNothing);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        rows[static_cast<size_t>(y)] = const_cast<png_bytep>(rgba.data()) + static_cast<size_t>(y) * width * 4;
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::string encodePngRgba(int width, int height, const std::vector<uint8_t>& rgba) {
    if (width <= 0 || height <= 0 || rgba.size() != static_cast<size_t>(width) * height * 4)
        throw MediaError("PNG: pixel buffer does not match " + std::to_string(width) + " x " +
                         std::to_string(height));
    std::string out;
    if (!encode(width, height, rgba, out)) throw MediaError("PNG: libpng failed to encode the image");
    return out;
}

void writePngRgba(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) {
    writeWholeFile(path, encodePngRgba(width, height, rgba));
}

}  // namespace media
