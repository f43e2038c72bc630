// Test images written by the tests' own means.
#include "image_fixtures.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#include <stdexcept>

namespace imagetest {

DecodedImage solid(int32_t width, int32_t height, uint32_t pixel) {
    DecodedImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * height, pixel);
    return image;
}

DecodedImage gradient(int32_t width, int32_t height) {
    DecodedImage image = solid(width, height, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            image.at(x, y) = rgba((10 * x) & 0xFF, (10 * y) & 0xFF, (7 * (x + y)) & 0xFF);
    return image;
}

namespace {

void put(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::string bmpBytes(const BmpSpec& spec) {
    const int bpp = spec.bitsPerPixel;
    const bool core = spec.headerSize == 12;
    const size_t stride = (static_cast<size_t>(spec.width) * bpp + 31) / 32 * 4;
    const size_t masks = spec.bitFields && spec.headerSize == 40 ? 12 : 0;
    const size_t paletteBytes = spec.palette.size() * (core ? 3 : 4);
    const size_t pixelOffset = 14 + spec.headerSize + masks + paletteBytes;
    const bool runLength = !spec.runLength.empty();
    const size_t pixelBytes = runLength ? spec.runLength.size() : stride * spec.height;
    std::string out = "BM";
    put(out, static_cast<uint32_t>(pixelOffset + pixelBytes), 4);
    put(out, 0, 4);
    put(out, static_cast<uint32_t>(pixelOffset), 4);
    put(out, static_cast<uint32_t>(spec.headerSize), 4);
    const int32_t height = spec.topDown ? -spec.height : spec.height;
    if (core) {
        put(out, static_cast<uint32_t>(spec.width), 2);
        put(out, static_cast<uint32_t>(height), 2);
        put(out, 1, 2);
        put(out, static_cast<uint32_t>(bpp), 2);
    } else {
        put(out, static_cast<uint32_t>(spec.width), 4);
        put(out, static_cast<uint32_t>(height), 4);
        put(out, 1, 2);
        put(out, static_cast<uint32_t>(bpp), 2);
        put(out, runLength ? (bpp == 4 ? 2 : 1) : spec.bitFields ? 3 : 0, 4);
        put(out, static_cast<uint32_t>(pixelBytes), 4);
        put(out, 2835, 4);
        put(out, 2835, 4);
        put(out, static_cast<uint32_t>(spec.palette.size()), 4);
        put(out, 0, 4);
        uint32_t red = bpp == 16 ? 0xF800 : 0x00FF0000, green = bpp == 16 ? 0x07E0 : 0x0000FF00,
                 blue = bpp == 16 ? 0x001F : 0x000000FF;
        if (spec.headerSize > 40) {
            put(out, spec.bitFields ? red : 0, 4);
            put(out, spec.bitFields ? green : 0, 4);
            put(out, spec.bitFields ? blue : 0, 4);
            out.resize(14 + spec.headerSize, '\0');
        } else if (spec.bitFields) {
            put(out, red, 4);
            put(out, green, 4);
            put(out, blue, 4);
        }
    }
    for (uint32_t entry : spec.palette) put(out, entry, core ? 3 : 4);
    if (runLength) return out + spec.runLength;
    for (int32_t row = 0; row < spec.height; ++row) {
        int32_t y = spec.topDown ? row : spec.height - 1 - row;
        std::string line(stride, '\0');
        for (int32_t x = 0; x < spec.width; ++x) {
            uint32_t p = spec.pixels[static_cast<size_t>(y) * spec.width + x];
            uint32_t r = p & 0xFF, g = (p >> 8) & 0xFF, b = (p >> 16) & 0xFF;
            switch (bpp) {
            case 1: line[x / 8] = static_cast<char>(line[x / 8] | (p & 1) << (7 - x % 8)); break;
            case 4: line[x / 2] = static_cast<char>(line[x / 2] | (p & 15) << (x % 2 == 0 ? 4 : 0)); break;
            case 8: line[x] = static_cast<char>(p); break;
            case 16: {
                uint32_t v = spec.bitFields ? (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3) : (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
                line[x * 2] = static_cast<char>(v);
                line[x * 2 + 1] = static_cast<char>(v >> 8);
                break;
            }
            case 24:
                line[x * 3] = static_cast<char>(b);
                line[x * 3 + 1] = static_cast<char>(g);
                line[x * 3 + 2] = static_cast<char>(r);
                break;
            case 32:
                line[x * 4] = static_cast<char>(b);
                line[x * 4 + 1] = static_cast<char>(g);
                line[x * 4 + 2] = static_cast<char>(r);
                line[x * 4 + 3] = static_cast<char>(p >> 24);
                break;
            }
        }
        out += line;
    }
    return out;
}

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t n) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), n);
}
void noFlush(png_structp) {}

int channelsOf(int colourType) {
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGBA: return 4;
    default: return 1;  // palette
    }
}

}  // namespace

std::string pngBytes(const PngSpec& spec) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const int channels = channelsOf(spec.colourType);
    const size_t rowBytes = (static_cast<size_t>(spec.width) * channels * spec.bitDepth + 7) / 8;
    std::vector<std::vector<png_byte>> rows(spec.height, std::vector<png_byte>(rowBytes, 0));
    for (int32_t y = 0; y < spec.height; ++y) {
        for (int32_t i = 0; i < spec.width * channels; ++i) {
            uint32_t v = spec.samples[static_cast<size_t>(y) * spec.width * channels + i];
            if (spec.bitDepth == 16) {
                rows[y][i * 2] = static_cast<png_byte>(v >> 8);
                rows[y][i * 2 + 1] = static_cast<png_byte>(v);
            } else if (spec.bitDepth == 8) {
                rows[y][i] = static_cast<png_byte>(v);
            } else {
                int perByte = 8 / spec.bitDepth;
                int shift = 8 - spec.bitDepth * (i % perByte + 1);
                rows[y][i / perByte] = static_cast<png_byte>(rows[y][i / perByte] | v << shift);
            }
        }
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng refused the test image");
    }
    png_set_write_fn(png, &out, appendBytes, noFlush);
    png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colourType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (uint32_t c : spec.palette)
        palette.push_back({static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8), static_cast<png_byte>(c)});
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!spec.paletteAlpha.empty())
        png_set_tRNS(png, info, spec.paletteAlpha.data(), static_cast<int>(spec.paletteAlpha.size()), nullptr);
    png_text texts[3] = {};
    const int compressions[3] = {PNG_TEXT_COMPRESSION_NONE, PNG_TEXT_COMPRESSION_zTXt, PNG_ITXT_COMPRESSION_NONE};
    for (int i = 0; i < 3; ++i) {
        texts[i].compression = compressions[i];
        texts[i].key = const_cast<char*>("Comment");
        texts[i].text = const_cast<char*>("Made by the tests, a line of words long enough to compress.");
    }
    if (spec.withText) png_set_text(png, info, texts, 3);
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (auto& row : rows) pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    if (spec.withText) png_set_text(png, info, texts, 1);
    png_write_end(png, spec.withText ? info : nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::string jpegBytes(const JpegSpec& spec) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(spec.width);
    info.image_height = static_cast<JDIMENSION>(spec.height);
    info.input_components = spec.components;
    info.in_color_space = spec.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, spec.quality, TRUE);
    if (spec.fullChroma) {
        for (int i = 0; i < info.num_components; ++i) info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
    }
    info.arith_code = spec.arithmetic ? TRUE : FALSE;
    info.restart_in_rows = spec.restartRows;
    if (spec.progressive) jpeg_simple_progression(&info);
    if (spec.adobeMarker) {
        info.write_JFIF_header = FALSE;
        info.write_Adobe_marker = TRUE;
    }
    jpeg_start_compress(&info, TRUE);
    const size_t rowBytes = static_cast<size_t>(spec.width) * spec.components;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(&spec.samples[info.next_scanline * rowBytes]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string out(reinterpret_cast<char*>(buffer), size);
    free(buffer);
    return out;
}

std::string greyJpegBytes(int32_t width, int32_t height, const std::vector<uint8_t>& grey, bool progressive) {
    JpegSpec spec;
    spec.width = width;
    spec.height = height;
    spec.components = 1;
    spec.samples = grey;
    spec.progressive = progressive;
    return jpegBytes(spec);
}

std::string asString(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }
std::vector<uint8_t> asBytes(const std::string& bytes) { return std::vector<uint8_t>(bytes.begin(), bytes.end()); }

void patchPngChunk(std::string& png, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) png[offset + i] = static_cast<char>(value >> (24 - 8 * i));
    // Find the chunk that holds the offset: walk from the signature.
    size_t chunk = 8;
    while (chunk + 12 <= png.size()) {
        uint32_t length = 0;
        for (int i = 0; i < 4; ++i) length = length << 8 | static_cast<uint8_t>(png[chunk + i]);
        size_t end = chunk + 8 + length;
        if (offset >= chunk + 8 && offset < end) {
            uLong crc = crc32(0, reinterpret_cast<const Bytef*>(&png[chunk + 4]), static_cast<uInt>(length + 4));
            for (int i = 0; i < 4; ++i) png[end + i] = static_cast<char>(crc >> (24 - 8 * i));
            return;
        }
        chunk = end + 4;
    }
}

}  // namespace imagetest
