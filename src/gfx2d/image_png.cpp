// PNG through libpng, from and to bytes in memory. libpng reports errors by
// longjmp: every object that lives across the jump is reached through the
// job record, never a local of the function that calls setjmp.
// The reader skips every ancillary chunk but the transparency chunk, unread:
// nothing here shows text, palettes suggested, metadata or colour profiles,
// and libpng would take a buffer of whatever size such a chunk's length
// field claims (its own cap for one chunk only warns), so a file of a few
// bytes could cost gigabytes before its end was found missing.
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "gfx2d/image_codecs.h"

namespace {

struct PngReadJob {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t position = 0;
    ImageLimits limits;
    DecodeTarget* image = nullptr;
    std::vector<png_bytep> rows;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* job = static_cast<PngReadJob*>(png_get_io_ptr(png));
    if (count > job->size - job->position) png_error(png, "cut off");
    std::memcpy(out, job->data + job->position, count);
    job->position += count;
}

void silentWarning(png_structp, png_const_charp) {}
void errorToJump(png_structp png, png_const_charp) { png_longjmp(png, 1); }

bool runRead(png_structp png, png_infop info, PngReadJob* job) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, job, readFromMemory);
    // A negative count: every ancillary chunk libpng knows, except tRNS,
    // and every unknown one.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_set_user_limits(png, static_cast<png_uint_32>(job->limits.maxSide),
                        static_cast<png_uint_32>(job->limits.maxSide));
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    if (!job->limits.accepts(width, height)) return false;
    bool alpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_packing(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    if (!alpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4) return false;
    const PixelView pixels =
        job->image->allocate(static_cast<int32_t>(width), static_cast<int32_t>(height), alpha ? 1 : 0);
    if (pixels.empty()) return false;
    job->rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        job->rows[y] = reinterpret_cast<png_bytep>(pixels.row(static_cast<int32_t>(y)));
    }
    png_read_image(png, job->rows.data());
    png_read_end(png, nullptr);
    return true;
}

struct PngWriteJob {
    const DecodedImage* image = nullptr;
    std::vector<uint8_t>* out = nullptr;
    std::vector<png_bytep> rows;
};

void writeToMemory(png_structp png, png_bytep bytes, png_size_t count) {
    auto* job = static_cast<PngWriteJob*>(png_get_io_ptr(png));
    job->out->insert(job->out->end(), bytes, bytes + count);
}
void flushNothing(png_structp) {}

bool runWrite(png_structp png, png_infop info, PngWriteJob* job) {
    if (setjmp(png_jmpbuf(png))) return false;
    const DecodedImage& image = *job->image;
    png_set_write_fn(png, job, writeToMemory, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    job->rows.resize(static_cast<size_t>(image.height));
    for (int32_t y = 0; y < image.height; ++y) {
        // libpng only reads the rows it is given to write.
        job->rows[y] = reinterpret_cast<png_bytep>(const_cast<uint32_t*>(&image.pixels[static_cast<size_t>(y) * image.width]));
    }
    png_write_image(png, job->rows.data());
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

bool decodePng(const uint8_t* data, size_t size, const ImageLimits& limits, DecodeTarget& image) {
    image.discard();
    if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, errorToJump, silentWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    PngReadJob job;
    job.data = data;
    job.size = size;
    job.limits = limits;
    job.image = &image;
    bool ok = info && runRead(png, info, &job);
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!ok) image.discard();
    return ok;
}

bool encodePng(const DecodedImage& image, std::vector<uint8_t>& out) {
    out.clear();
    if (image.empty() || image.pixels.size() != static_cast<size_t>(image.width) * image.height) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, errorToJump, silentWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    PngWriteJob job;
    job.image = &image;
    job.out = &out;
    bool ok = info && runWrite(png, info, &job);
    png_destroy_write_struct(&png, info ? &info : nullptr);
    if (!ok) out.clear();
    return ok;
}
