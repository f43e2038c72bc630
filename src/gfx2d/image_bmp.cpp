// The BMP reader and writer, our own: the format is simple enough that a
// careful reader is shorter than a dependency. Every header field is checked
// against the file's size before any pixel is read, and every run of a
// run-length file is cut at its row and the image before it is written.
// Pixels a run-length file skips (by a move, or by ending a row or the image
// early) take the first palette entry.
#include <algorithm>

#include "gfx2d/image_codecs.h"
#include "gfx2d/sprite_slot.h"

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRunLength8 = 1;
constexpr uint32_t kCompressionRunLength4 = 2;
constexpr uint32_t kCompressionBitFields = 3;

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// One colour channel of a bit-field pixel, scaled to 0..255.
struct BitField {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t maximum = 0;  // the field's largest value

    explicit BitField(uint32_t m = 0) : mask(m) {
        if (mask == 0) return;
        while (((mask >> shift) & 1) == 0) ++shift;
        maximum = mask >> shift;
    }
    uint32_t extract(uint32_t pixel) const {
        if (maximum == 0) return 0;
        return static_cast<uint32_t>((static_cast<uint64_t>((pixel & mask) >> shift) * 255 + maximum / 2) / maximum);
    }
};

struct BmpLayout {
    int64_t width = 0, height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    uint32_t compression = 0;
    size_t paletteOffset = 0;
    uint32_t paletteEntries = 0;
    int paletteEntrySize = 4;
    BitField red, green, blue;
    uint64_t pixelOffset = 0;
    uint64_t rowStride = 0;
};

bool readLayout(const uint8_t* data, size_t size, BmpLayout& layout) {
    if (size < kFileHeaderSize + 12 || data[0] != 'B' || data[1] != 'M') return false;
    layout.pixelOffset = u32(data + 10);
    const uint8_t* info = data + kFileHeaderSize;
    uint32_t infoSize = u32(info);
    if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124)
        return false;
    if (kFileHeaderSize + infoSize > size) return false;
    int32_t height32 = 0;
    if (infoSize == 12) {
        layout.width = u16(info + 4);
        height32 = static_cast<int16_t>(u16(info + 6));
        layout.bitsPerPixel = u16(info + 10);
        layout.paletteEntrySize = 3;
    } else {
        layout.width = static_cast<int32_t>(u32(info + 4));
        height32 = static_cast<int32_t>(u32(info + 8));
        layout.bitsPerPixel = u16(info + 14);
        layout.compression = u32(info + 16);
        layout.paletteEntries = u32(info + 32);
    }
    layout.topDown = height32 < 0;
    layout.height = height32 < 0 ? -static_cast<int64_t>(height32) : height32;
    size_t afterHeader = kFileHeaderSize + infoSize;

    int bpp = layout.bitsPerPixel;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    if (layout.compression == kCompressionBitFields) {
        if (bpp != 16 && bpp != 32) return false;
        // A 40-byte header is followed by the three masks; longer ones hold them.
        const uint8_t* masks = info + 40;
        if (infoSize == 40) {
            if (afterHeader + 12 > size) return false;
            afterHeader += 12;
        }
        layout.red = BitField(u32(masks));
        layout.green = BitField(u32(masks + 4));
        layout.blue = BitField(u32(masks + 8));
    } else if (layout.compression == kCompressionRunLength8 || layout.compression == kCompressionRunLength4) {
        if (bpp != (layout.compression == kCompressionRunLength8 ? 8 : 4)) return false;
    } else if (layout.compression != kCompressionNone) {
        return false;  // embedded JPEG and PNG
    } else if (bpp == 16) {
        layout.red = BitField(0x7C00);
        layout.green = BitField(0x03E0);
        layout.blue = BitField(0x001F);
    } else if (bpp == 32) {
        layout.red = BitField(0x00FF0000);
        layout.green = BitField(0x0000FF00);
        layout.blue = BitField(0x000000FF);
    }

    if (bpp <= 8) {
        uint32_t most = 1u << bpp;
        if (layout.paletteEntries == 0) layout.paletteEntries = most;
        if (layout.paletteEntries > most) return false;
        layout.paletteOffset = afterHeader;
        uint64_t paletteEnd = afterHeader + uint64_t{layout.paletteEntries} * layout.paletteEntrySize;
        if (paletteEnd > size) return false;
    }
    layout.rowStride = (static_cast<uint64_t>(layout.width) * bpp + 31) / 32 * 4;
    return true;
}

// The palette index of pixel x in a row of 1, 4 or 8 bits per pixel.
uint32_t paletteIndex(const uint8_t* row, int64_t x, int bpp) {
    if (bpp == 8) return row[x];
    if (bpp == 4) return (row[x / 2] >> ((x % 2 == 0) ? 4 : 0)) & 0x0F;
    return (row[x / 8] >> (7 - x % 8)) & 0x01;
}

// The colours of a palette image, and the image's row of a row of the file.
struct PaletteOutput {
    const BmpLayout& layout;
    const uint32_t* palette;
    PixelView pixels;

    uint32_t* row(int64_t fileRow) const {
        return pixels.row(static_cast<int32_t>(layout.topDown ? fileRow : layout.height - 1 - fileRow));
    }
    // False for an index past the palette.
    bool put(uint32_t* row, int64_t x, uint32_t index) const {
        if (index >= layout.paletteEntries) return false;
        row[x] = palette[index];
        return true;
    }
};

// Run-length data, from `p` to `end`: pairs of a count and an index (a run
// of that index; two alternating indices at 4 bits), or 0 and an escape:
// 0 ends the row, 1 the image, 2 moves right and on to later rows by the
// next two bytes, 3 and more are that many literal indices, padded to an
// even byte count (the pad may be missing at the very end).
// Image tools code each row out to its padded width, so a run, a literal or a
// move may pass the row's end, and rows may follow the image's last: what
// lies outside the image is dropped, as other readers do. False for an index
// past the palette inside the image, or data that ends before the image
// (without the end mark, the data is whole once every row has ended).
bool decodeRunLength(const uint8_t* p, const uint8_t* end, const PaletteOutput& out) {
    const int64_t width = out.layout.width, height = out.layout.height;
    const bool fourBits = out.layout.bitsPerPixel == 4;
    for (int64_t line = 0; line < height; ++line) std::fill_n(out.row(line), width, out.palette[0]);
    int64_t x = 0, line = 0;  // file rows count from the first in the file; both stop at the edge
    // A run or literal of `count` pixels, the i-th of index indexAt(i): those
    // inside the image are put, and x moves past all of them.
    const auto putInside = [&](uint32_t count, auto indexAt) {
        if (line < height) {
            uint32_t* row = out.row(line);
            for (int64_t i = 0, shown = std::min<int64_t>(count, width - x); i < shown; ++i) {
                if (!out.put(row, x + i, indexAt(i))) return false;
            }
        }
        x = std::min<int64_t>(x + count, width);
        return true;
    };
    while (end - p >= 2) {
        const uint32_t count = p[0], value = p[1];
        p += 2;
        if (count > 0) {
            const auto runIndex = [&](int64_t i) { return !fourBits ? value : i % 2 == 0 ? value >> 4 : value & 0x0F; };
            if (!putInside(count, runIndex)) return false;
        } else if (value == 0) {
            x = 0;
            line = std::min(line + 1, height);
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            if (end - p < 2) return false;
            x = std::min<int64_t>(x + p[0], width);
            line = std::min<int64_t>(line + p[1], height);
            p += 2;
        } else {
            const size_t bytes = fourBits ? (value + 1) / 2 : value;
            if (static_cast<size_t>(end - p) < bytes) return false;
            const auto literalIndex = [&](int64_t i) { return fourBits ? paletteIndex(p, i, 4) : uint32_t{p[i]}; };
            if (!putInside(value, literalIndex)) return false;
            p += std::min<size_t>(bytes + bytes % 2, static_cast<size_t>(end - p));
        }
    }
    return line >= height;
}

// Uncompressed rows of `rowStride` bytes from `rows`.
bool decodeRows(const uint8_t* rows, const BmpLayout& layout, const uint32_t* palette, const PixelView& pixels) {
    const int bpp = layout.bitsPerPixel;
    const PaletteOutput paletteOut{layout, palette, pixels};
    for (int64_t fileRow = 0; fileRow < layout.height; ++fileRow) {
        const uint8_t* row = rows + static_cast<uint64_t>(fileRow) * layout.rowStride;
        uint32_t* out = paletteOut.row(fileRow);
        for (int64_t x = 0; x < layout.width; ++x) {
            if (bpp <= 8) {
                if (!paletteOut.put(out, x, paletteIndex(row, x, bpp))) return false;
            } else if (bpp == 24) {
                const uint8_t* p = row + x * 3;
                out[x] = 0xFF000000u | p[2] | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[0]) << 16;
            } else {
                uint32_t raw = bpp == 16 ? u16(row + x * 2) : u32(row + x * 4);
                out[x] = 0xFF000000u | layout.red.extract(raw) | layout.green.extract(raw) << 8 |
                         layout.blue.extract(raw) << 16;
            }
        }
    }
    return true;
}

}  // namespace

bool decodeBmp(const uint8_t* data, size_t size, const ImageLimits& limits, DecodeTarget& image) {
    image.discard();
    BmpLayout layout;
    if (!data || !readLayout(data, size, layout)) return false;
    if (!limits.accepts(layout.width, layout.height)) return false;
    const bool runLength = layout.compression == kCompressionRunLength8 || layout.compression == kCompressionRunLength4;
    if (layout.pixelOffset > size) return false;
    if (!runLength && layout.rowStride * static_cast<uint64_t>(layout.height) > size - layout.pixelOffset)
        return false;  // cut off

    uint32_t palette[256] = {};
    for (uint32_t i = 0; i < layout.paletteEntries && layout.bitsPerPixel <= 8; ++i) {
        const uint8_t* entry = data + layout.paletteOffset + static_cast<size_t>(i) * layout.paletteEntrySize;
        palette[i] = 0xFF000000u | static_cast<uint32_t>(entry[2]) | static_cast<uint32_t>(entry[1]) << 8 |
                     static_cast<uint32_t>(entry[0]) << 16;
    }

    const PixelView pixels =
        image.allocate(static_cast<int32_t>(layout.width), static_cast<int32_t>(layout.height), 0);
    const uint8_t* rows = data + layout.pixelOffset;
    const bool ok = !pixels.empty() &&
                    (runLength ? decodeRunLength(rows, data + size, PaletteOutput{layout, palette, pixels})
                               : decodeRows(rows, layout, palette, pixels));
    if (!ok) image.discard();
    return ok;
}

bool encodeBmp(const DecodedImage& image, std::vector<uint8_t>& out) {
    out.clear();
    if (image.empty() || image.pixels.size() != static_cast<size_t>(image.width) * image.height) return false;
    const uint64_t stride = (static_cast<uint64_t>(image.width) * 3 + 3) / 4 * 4;
    const uint64_t pixelBytes = stride * static_cast<uint64_t>(image.height);
    const uint64_t fileSize = kFileHeaderSize + 40 + pixelBytes;
    if (fileSize > 0xFFFFFFFFu) return false;
    out.assign(static_cast<size_t>(fileSize), 0);
    uint8_t* p = out.data();
    auto put16 = [](uint8_t* at, uint32_t v) {
        at[0] = static_cast<uint8_t>(v);
        at[1] = static_cast<uint8_t>(v >> 8);
    };
    auto put32 = [](uint8_t* at, uint32_t v) {
        for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
    };
    p[0] = 'B';
    p[1] = 'M';
    put32(p + 2, static_cast<uint32_t>(fileSize));
    put32(p + 10, kFileHeaderSize + 40);
    put32(p + 14, 40);
    put32(p + 18, static_cast<uint32_t>(image.width));
    put32(p + 22, static_cast<uint32_t>(image.height));
    put16(p + 26, 1);
    put16(p + 28, 24);
    put32(p + 34, static_cast<uint32_t>(pixelBytes));
    put32(p + 38, 2835);  // 72 dots per inch
    put32(p + 42, 2835);
    uint8_t* pixels = p + kFileHeaderSize + 40;
    for (int32_t y = 0; y < image.height; ++y) {
        uint8_t* row = pixels + static_cast<uint64_t>(image.height - 1 - y) * stride;
        for (int32_t x = 0; x < image.width; ++x) {
            uint32_t c = image.at(x, y);
            if ((c >> 24) == 0) c = kTransparentColour;
            row[x * 3 + 0] = static_cast<uint8_t>(c >> 16);
            row[x * 3 + 1] = static_cast<uint8_t>(c >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(c);
        }
    }
    return true;
}
