// JPEG through libjpeg (the 6b interface), from and to bytes in memory.
// Departure: the library's standard error manager ends the process on a
// damaged file; ours jumps back instead, so a bad file is a failed load.
// Where the library only warns of damaged or missing data (and fills what
// it could not decode in grey), the load fails too, at that warning, so a
// few damaged bytes that claim a huge picture are not decoded to its end
// first; stray bytes between segments, which many cameras and editors leave,
// do not count as damage: such a file loads as libjpeg decodes it.
#include <cstdio>  // jpeglib.h needs FILE
#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>
#include <cstdlib>

#include "gfx2d/image_codecs.h"

namespace {

struct JumpingErrors {
    jpeg_error_mgr standard;  // first member: libjpeg hands back a pointer to it
    std::jmp_buf jump;
};

void errorToJump(j_common_ptr info) {
    auto* errors = reinterpret_cast<JumpingErrors*>(info->err);
    std::longjmp(errors->jump, 1);
}
void silentMessage(j_common_ptr) {}
void ignoreMessage(j_common_ptr, int) {}

// Whether a warning leaves the picture as libjpeg, and every program over it,
// shows it. Damage fails the load: a bad Huffman or arithmetic code, a
// segment or file that ends early (the rest is guessed), a restart marker
// lost (an interval guessed), a progression that leaves coefficients missing
// or refines them twice, more rows read than the image has, and any warning
// not named here.
bool leavesPictureWhole(int code) {
    switch (code) {
    case JWRN_EXTRANEOUS_DATA:  // bytes before a marker, skipped (after arithmetic data, read as the code's tail)
    case JWRN_JFIF_MAJOR:       // a JFIF version of the future: the frame is read as ever
    case JWRN_ADOBE_XFORM:      // an unknown Adobe colour transform: taken as YCbCr
    case JWRN_NOT_SEQUENTIAL:   // scan fields that sequential decoding does not use
        return true;
    default:
        return false;
    }
}

// Warnings come at level -1, traces at 0 and up. A warning of damage ends
// the decoding there, as an error does.
void refuseDamage(j_common_ptr info, int level) {
    if (level < 0 && !leavesPictureWhole(info->err->msg_code)) errorToJump(info);
}

JumpingErrors* installErrors(JumpingErrors& errors, void (*onMessage)(j_common_ptr, int)) {
    jpeg_std_error(&errors.standard);
    errors.standard.error_exit = errorToJump;
    errors.standard.output_message = silentMessage;
    errors.standard.emit_message = onMessage;
    return &errors;
}

struct JpegReadJob {
    ImageLimits limits;
    DecodeTarget* image = nullptr;
    std::vector<uint8_t> row;
};

bool runRead(jpeg_decompress_struct* info, JumpingErrors* errors, const uint8_t* data, size_t size, JpegReadJob* job) {
    if (setjmp(errors->jump)) return false;
    jpeg_create_decompress(info);
    jpeg_mem_src(info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK) return false;
    if (!job->limits.accepts(info->image_width, info->image_height)) return false;
    info->out_color_space = JCS_RGB;
    jpeg_start_decompress(info);
    if (info->output_components != 3) return false;
    const size_t width = info->output_width;
    const PixelView pixels =
        job->image->allocate(static_cast<int32_t>(width), static_cast<int32_t>(info->output_height), 0);
    if (pixels.empty()) return false;
    job->row.resize(width * 3);
    while (info->output_scanline < info->output_height) {
        const int32_t y = static_cast<int32_t>(info->output_scanline);
        JSAMPROW rowPointer = job->row.data();
        if (jpeg_read_scanlines(info, &rowPointer, 1) != 1) return false;
        uint32_t* out = pixels.row(y);
        for (size_t x = 0; x < width; ++x) {
            const uint8_t* p = &job->row[x * 3];
            out[x] = 0xFF000000u | p[0] | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16;
        }
    }
    jpeg_finish_decompress(info);
    return true;
}

struct JpegWriteJob {
    const DecodedImage* image = nullptr;
    int quality = 80;
    unsigned char* buffer = nullptr;  // made by libjpeg with malloc
    unsigned long size = 0;
    std::vector<uint8_t> row;
};

bool runWrite(jpeg_compress_struct* info, JumpingErrors* errors, JpegWriteJob* job) {
    if (setjmp(errors->jump)) return false;
    const DecodedImage& image = *job->image;
    jpeg_create_compress(info);
    jpeg_mem_dest(info, &job->buffer, &job->size);
    info->image_width = static_cast<JDIMENSION>(image.width);
    info->image_height = static_cast<JDIMENSION>(image.height);
    info->input_components = 3;
    info->in_color_space = JCS_RGB;
    jpeg_set_defaults(info);
    jpeg_set_quality(info, job->quality, TRUE);
    jpeg_start_compress(info, TRUE);
    job->row.resize(static_cast<size_t>(image.width) * 3);
    while (info->next_scanline < info->image_height) {
        int32_t y = static_cast<int32_t>(info->next_scanline);
        for (int32_t x = 0; x < image.width; ++x) {
            uint32_t c = image.at(x, y);
            job->row[x * 3 + 0] = static_cast<uint8_t>(c);
            job->row[x * 3 + 1] = static_cast<uint8_t>(c >> 8);
            job->row[x * 3 + 2] = static_cast<uint8_t>(c >> 16);
        }
        JSAMPROW rowPointer = job->row.data();
        jpeg_write_scanlines(info, &rowPointer, 1);
    }
    jpeg_finish_compress(info);
    return true;
}

}  // namespace

bool decodeJpeg(const uint8_t* data, size_t size, const ImageLimits& limits, DecodeTarget& image) {
    image.discard();
    if (!data || size < 4) return false;
    jpeg_decompress_struct info{};
    JumpingErrors errors;
    info.err = &installErrors(errors, refuseDamage)->standard;
    JpegReadJob job;
    job.limits = limits;
    job.image = &image;
    bool ok = runRead(&info, &errors, data, size, &job);
    jpeg_destroy_decompress(&info);
    if (!ok) image.discard();
    return ok;
}

bool encodeJpeg(const DecodedImage& image, int quality, std::vector<uint8_t>& out) {
    out.clear();
    if (image.empty() || image.pixels.size() != static_cast<size_t>(image.width) * image.height) return false;
    jpeg_compress_struct info{};
    JumpingErrors errors;
    info.err = &installErrors(errors, ignoreMessage)->standard;
    JpegWriteJob job;
    job.image = &image;
    job.quality = quality < 1 ? 1 : quality > 100 ? 100 : quality;
    bool ok = runWrite(&info, &errors, &job);
    jpeg_destroy_compress(&info);
    if (ok && job.buffer) out.assign(job.buffer, job.buffer + job.size);
    std::free(job.buffer);
    return ok && !out.empty();
}
