// Image files through the runtime's file layer. Depends on the pack resolver,
// read streams, memory blocks and whole-file saves of runtime/files, and on
// the codecs.
#include "gfx2d/image_files.h"

#include <cstring>
#include <strings.h>

#include "gfx2d/image_codecs.h"
#include "runtime/files/file_paths.h"
#include "runtime/files/file_replacement.h"
#include "runtime/files/mem_blocks.h"
#include "runtime/files/pack_archive.h"
#include "runtime/files/read_stream.h"

namespace {

constexpr int64_t kMaxImageFileBytes = int64_t{512} << 20;
constexpr int kJpegSaveQuality = 80;

using Decoder = bool (*)(const uint8_t*, size_t, const ImageLimits&, DecodeTarget&);

// The file's bytes live only while it is decoded.
bool loadWith(Decoder decode, DecodeTarget& image, const char* file, const ImageLimits& limits) {
    image.discard();
    std::vector<uint8_t> bytes;
    if (!readImageFileBytes(file, bytes)) return false;
    return decode(bytes.data(), bytes.size(), limits, image);
}

bool endsWith(const char* text, const char* suffix) {
    size_t n = std::strlen(text), m = std::strlen(suffix);
    return n >= m && strcasecmp(text + n - m, suffix) == 0;
}

}  // namespace

ImageFormat sniffImageFormat(const uint8_t* data, size_t size) {
    static const uint8_t png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (!data) return ImageFormat::Unknown;
    if (size >= 8 && std::memcmp(data, png, 8) == 0) return ImageFormat::Png;
    // The start-of-image marker alone: stray bytes may come before the next.
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8) return ImageFormat::Jpeg;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') return ImageFormat::Bmp;
    return ImageFormat::Unknown;
}

bool readImageFileBytes(const char* file, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (!file || !*file) return false;
    // A block name is read as it is: resolving it would release the block
    // that an earlier resolve handed out.
    char resolved[files::kPathBufferSize];
    const char* name = file;
    if (!files::isMemBlockName(file)) {
        if (!resolvePackedFile(filePackArchive(), file, resolved, 1)) return false;
        name = resolved;
    }
    ReadStream stream;
    if (!readStreamOpen(stream, name)) return false;
    bool ok = stream.size >= 0 && stream.size <= kMaxImageFileBytes;
    if (ok) {
        bytes.resize(static_cast<size_t>(stream.size));
        ok = bytes.empty() || readStreamRead(stream, bytes.data(), static_cast<int32_t>(bytes.size()));
        // A block read reports success for fewer bytes: the position tells.
        ok = ok && stream.position == stream.size;
    }
    readStreamClose(stream);
    if (!ok) bytes.clear();
    return ok;
}

bool loadBmpImage(DecodeTarget& image, const char* file, uint32_t transparentColour, const ImageLimits& limits) {
    if (!loadWith(decodeBmp, image, file, limits)) return false;
    applyTransparentColour(image.view(), transparentColour);
    return true;
}

bool loadPngImage(DecodeTarget& image, const char* file, uint32_t transparentColour, const ImageLimits& limits) {
    if (!loadWith(decodePng, image, file, limits)) return false;
    applyTransparentColour(image.view(), transparentColour);
    return true;
}

bool loadJpegImage(DecodeTarget& image, const char* file, const ImageLimits& limits) {
    return loadWith(decodeJpeg, image, file, limits);
}

bool loadImageFile(DecodeTarget& image, const char* file, uint32_t transparentColour, const ImageLimits& limits) {
    image.discard();
    std::vector<uint8_t> bytes;
    if (!readImageFileBytes(file, bytes)) return false;
    bool ok = false;
    switch (sniffImageFormat(bytes.data(), bytes.size())) {
    case ImageFormat::Png: ok = decodePng(bytes.data(), bytes.size(), limits, image); break;
    case ImageFormat::Bmp: ok = decodeBmp(bytes.data(), bytes.size(), limits, image); break;
    case ImageFormat::Jpeg: return decodeJpeg(bytes.data(), bytes.size(), limits, image);
    case ImageFormat::Unknown: return false;
    }
    if (ok) applyTransparentColour(image.view(), transparentColour);
    return ok;
}

SaveFormat saveFormatOfName(const char* file) {
    if (endsWith(file, ".jpg") || endsWith(file, ".jpeg")) return SaveFormat::Jpeg;
    if (endsWith(file, ".bmp")) return SaveFormat::Bmp;
    return SaveFormat::Png;
}

bool saveImageFile(const DecodedImage& image, const char* file) {
    if (!file || !*file || files::isMemBlockName(file) || image.empty()) return false;
    std::vector<uint8_t> bytes;
    bool encoded = false;
    switch (saveFormatOfName(file)) {
    case SaveFormat::Png: encoded = encodePng(image, bytes); break;
    case SaveFormat::Jpeg: encoded = encodeJpeg(image, kJpegSaveQuality, bytes); break;
    case SaveFormat::Bmp: encoded = encodeBmp(image, bytes); break;
    }
    return encoded && files::replaceWholeFile(file, bytes.data(), bytes.size(), "SaveSpriteToFile");
}
