// Image files in and out. Names resolve through the runtime's file context
// (runtime/files/pack_archive.h), so a file missing on disk is read from the
// pack appended to the executable, and "mem://" blocks read like files.
// Formats are told apart by their first bytes when reading and by the name's
// extension when writing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx2d/decoded_image.h"

// The whole file into `bytes`; false when it cannot be found or read, or
// holds more than 512 MiB.
bool readImageFileBytes(const char* file, std::vector<uint8_t>& bytes);

// One format each, the transparent colour (0x00BBGGRR) applied to BMP and
// PNG; the image is a DecodedImage, or any other place a decoder can write.
bool loadBmpImage(DecodeTarget& image, const char* file, uint32_t transparentColour, const ImageLimits& limits = {});
bool loadPngImage(DecodeTarget& image, const char* file, uint32_t transparentColour, const ImageLimits& limits = {});
bool loadJpegImage(DecodeTarget& image, const char* file, const ImageLimits& limits = {});
// Whichever of the three the file is.
bool loadImageFile(DecodeTarget& image, const char* file, uint32_t transparentColour, const ImageLimits& limits = {});

enum class SaveFormat { Png, Jpeg, Bmp };
// ".jpg" and ".jpeg" are JPEG, ".bmp" BMP (any case); every other name PNG.
SaveFormat saveFormatOfName(const char* file);
// Writes the image in the format of its name (JPEG at quality 80). The file
// is encoded whole, then saved whole (runtime/files/file_replacement.h): a
// save that fails leaves the old file as it was and says why in the error
// log; one that succeeds leaves exactly the new bytes. "mem://" names and
// empty images are refused.
bool saveImageFile(const DecodedImage& image, const char* file);
