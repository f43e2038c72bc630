// The image formats, each in a file of its own: decoders from bytes in
// memory into a DecodeTarget (a DecodedImage, or the buffer of a texture),
// and encoders into bytes in memory. A decoder checks every size and offset
// against the data and the limits before it reads or allocates, and answers
// false for anything it cannot decode whole; the target is then empty. The
// transparent colour is not applied here (see image_files.h).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx2d/decoded_image.h"

// BMP: 1-, 4- and 8-bit palettes, run-length compressed 4- and 8-bit
// palettes, 16-bit (5-5-5 or bit fields), 24-bit and 32-bit (plain or bit
// fields); headers of 12, 40, 52, 56, 108 and 124 bytes; rows bottom-up or
// top-down. The result has no alpha.
bool decodeBmp(const uint8_t* data, size_t size, const ImageLimits& limits, DecodeTarget& image);
// PNG: every colour type and depth, expanded to 8-bit RGBA; alpha from an
// alpha channel or a transparency chunk sets hasAlpha.
bool decodePng(const uint8_t* data, size_t size, const ImageLimits& limits, DecodeTarget& image);
// JPEG: greyscale and colour (YCbCr, RGB) baseline and progressive. A file
// whose data libjpeg finds damaged or cut short fails, though libjpeg itself
// would only warn and fill the rest in grey.
bool decodeJpeg(const uint8_t* data, size_t size, const ImageLimits& limits, DecodeTarget& image);

// A 24-bit bottom-up BMP; pixels with alpha 0 are written in the transparent
// colour, so that loading the file again makes them transparent.
bool encodeBmp(const DecodedImage& image, std::vector<uint8_t>& out);
// An 8-bit RGBA PNG.
bool encodePng(const DecodedImage& image, std::vector<uint8_t>& out);
// A baseline colour JPEG of the given quality (1 to 100); alpha is dropped.
bool encodeJpeg(const DecodedImage& image, int quality, std::vector<uint8_t>& out);

// The format by the first bytes of a file: the PNG signature, "BM", or a
// JPEG's start-of-image marker (0xFF 0xD8).
enum class ImageFormat { Unknown, Bmp, Png, Jpeg };
ImageFormat sniffImageFormat(const uint8_t* data, size_t size);
