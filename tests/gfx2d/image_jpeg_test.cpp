// The JPEG reader and writer: colour and greyscale files, the quality the
// writer uses, stray bytes between segments, which load, and damaged files,
// which fail instead of ending the process.
#include <gtest/gtest.h>

#include <cstdio>  // jpeglib.h needs FILE
#include <jpeglib.h>
#include <jerror.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <set>

#include "gfx2d/image_codecs.h"
#include "image_fixtures.h"

namespace {

using imagetest::rgba;

bool decode(const std::string& bytes, DecodedImage& image, const ImageLimits& limits = {}) {
    return decodeJpeg(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), limits, image);
}

int channelDistance(uint32_t a, uint32_t b) {
    int most = 0;
    for (int shift = 0; shift < 24; shift += 8)
        most = std::max(most, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return most;
}

std::string encoded(const DecodedImage& image, int quality = 80) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(encodeJpeg(image, quality, bytes));
    return imagetest::asString(bytes);
}

TEST(JpegCodec, FlatColoursSurviveTheRoundTrip) {
    DecodedImage source = imagetest::solid(16, 16, rgba(200, 40, 90, 17));
    DecodedImage back;
    ASSERT_TRUE(decode(encoded(source), back));
    EXPECT_EQ(back.hasAlpha, 0);
    EXPECT_EQ(back.width, 16);
    EXPECT_EQ(back.height, 16);
    for (uint32_t p : back.pixels) {
        EXPECT_EQ(p >> 24, 255u);
        EXPECT_LE(channelDistance(p, source.pixels[0]), 3);
    }
}

TEST(JpegCodec, TheWriterUsesQualityEighty) {
    // At quality 80 the first luminance quantiser (16 in the standard table)
    // is scaled by 40 %: 6.
    std::string bytes = encoded(imagetest::gradient(8, 8));
    size_t dqt = bytes.find("\xFF\xDB");
    ASSERT_NE(dqt, std::string::npos);
    EXPECT_EQ(static_cast<uint8_t>(bytes[dqt + 4]), 0u);  // 8-bit table 0
    EXPECT_EQ(static_cast<uint8_t>(bytes[dqt + 5]), 6u);
}

TEST(JpegCodec, GreyscaleFilesComeOutGrey) {
    std::vector<uint8_t> grey(8 * 8, 0);
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = i < 32 ? 30 : 220;
    DecodedImage image;
    ASSERT_TRUE(decode(imagetest::greyJpegBytes(8, 8, grey), image));
    EXPECT_EQ(image.width, 8);
    EXPECT_EQ(image.height, 8);
    uint32_t top = image.at(3, 0), bottom = image.at(3, 7);
    EXPECT_LE(channelDistance(top, rgba(30, 30, 30)), 4);
    EXPECT_LE(channelDistance(bottom, rgba(220, 220, 220)), 4);
    EXPECT_EQ(top & 0xFF, (top >> 8) & 0xFF);
    EXPECT_EQ(top & 0xFF, (top >> 16) & 0xFF);
}

TEST(JpegCodec, CutOffAndDamagedFilesFail) {
    std::string good = encoded(imagetest::gradient(40, 30));
    DecodedImage image = imagetest::solid(1, 1, 1);
    for (size_t n : {size_t{0}, size_t{2}, size_t{20}, good.size() / 2, good.size() - 2}) {
        EXPECT_FALSE(decode(good.substr(0, n), image)) << n;
        EXPECT_TRUE(image.pixels.empty()) << n;
    }
    std::string garbage = "\xFF\xD8\xFF" + std::string(200, '\x42');
    EXPECT_FALSE(decode(garbage, image));
    EXPECT_FALSE(decode(good, image, ImageLimits{39, 1 << 20}));
    EXPECT_TRUE(decode(good, image, ImageLimits{40, 1200}));
}

TEST(JpegCodec, DamagedDataBeforeAnEndMarkerFails) {
    // libjpeg fills what it could not decode in grey and only warns: a file
    // cut short but closed with an end-of-image marker, or with a damaged
    // entropy-coded segment, is no image.
    DecodedImage source = imagetest::gradient(64, 64);
    std::vector<uint8_t> grey(64 * 64);
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i * 13 % 251);
    for (bool progressive : {false, true}) {
        const std::string good = progressive ? imagetest::greyJpegBytes(64, 64, grey, true) : encoded(source, 90);
        DecodedImage image;
        ASSERT_TRUE(decode(good, image)) << progressive;
        std::string cut = good.substr(0, good.size() / 2) + "\xFF\xD9";
        EXPECT_FALSE(decode(cut, image)) << "cut short, progressive " << progressive;
        EXPECT_TRUE(image.pixels.empty());
    }
    std::string good = encoded(source, 90);
    std::string damaged = good;
    const size_t scan = good.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    damaged.insert(scan + 40, "\xFF\xD0");  // a restart marker where none belongs
    DecodedImage image;
    EXPECT_FALSE(decode(damaged, image)) << "a marker inside the scan";
}

TEST(JpegCodec, RandomDamageNeverEndsTheProcess) {
    std::string good = encoded(imagetest::gradient(24, 24));
    uint32_t state = 4242;
    auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    for (int round = 0; round < 300; ++round) {
        std::string b = good;
        for (int i = 0; i < 4; ++i) b[2 + next() % (b.size() - 2)] = static_cast<char>(next() >> 24);
        DecodedImage image;
        if (decode(b, image)) { EXPECT_EQ(image.pixels.size(), static_cast<size_t>(image.width) * image.height); }
    }
}

// --- stray bytes and damage in every way of coding ---

struct Coding {
    const char* name;
    imagetest::JpegSpec spec;
};

// The ways of coding that files in the world use, on one picture with
// smooth parts and edges, so that every block has codes.
std::vector<Coding> codings() {
    const int32_t w = 61, h = 47;
    auto picture = [&](int components) {
        std::vector<uint8_t> samples;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                for (int c = 0; c < components; ++c)
                    samples.push_back(static_cast<uint8_t>(x * (5 + 3 * c) + y * 4 + (x * y) % (11 + c) * 9));
        return samples;
    };
    auto spec = [&](int components) {
        imagetest::JpegSpec s;
        s.width = w;
        s.height = h;
        s.components = components;
        s.samples = picture(components);
        s.quality = 85;
        return s;
    };
    std::vector<Coding> all(7, Coding{"", spec(3)});
    all[0].name = "baseline";
    all[1].name = "progressive";
    all[1].spec.progressive = true;
    all[2].name = "restart markers";
    all[2].spec.restartRows = 1;
    all[3] = {"greyscale", spec(1)};
    all[4].name = "4:4:4";
    all[4].spec.fullChroma = true;
    all[5].name = "arithmetic, restart markers";
    all[5].spec.arithmetic = true;
    all[5].spec.restartRows = 1;
    all[6].name = "arithmetic, progressive";
    all[6].spec.arithmetic = true;
    all[6].spec.progressive = true;
    return all;
}

uint8_t byteAt(const std::string& bytes, size_t at) { return static_cast<uint8_t>(bytes[at]); }

struct Marker {
    size_t at;
    uint8_t code;
    bool afterScanData;  // entropy-coded data runs up to it
};

// Every marker after the start of the image.
std::vector<Marker> markersOf(const std::string& jpeg) {
    std::vector<Marker> markers;
    bool inScan = false;
    for (size_t p = 2; p + 1 < jpeg.size();) {
        const uint8_t code = byteAt(jpeg, p + 1);
        if (inScan && (byteAt(jpeg, p) != 0xFF || code == 0)) {
            ++p;  // entropy-coded data (0xFF 0x00 is a data byte of 0xFF)
            continue;
        }
        markers.push_back({p, code, inScan});
        if (code == 0xD9) break;
        if (code >= 0xD0 && code <= 0xD7) {
            p += 2;  // a restart marker: the scan goes on
            continue;
        }
        if (p + 3 >= jpeg.size()) break;
        inScan = code == 0xDA;
        p += 2 + (byteAt(jpeg, p + 2) << 8 | byteAt(jpeg, p + 3));
    }
    return markers;
}

// `count` bytes of no meaning, none of them 0xFF (which would be fill before a marker).
std::string strayBytes(size_t count, uint32_t seed) {
    std::string bytes;
    for (size_t i = 0; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const auto b = static_cast<uint8_t>(seed >> 24);
        bytes.push_back(static_cast<char>(b == 0xFF ? 0x5A : b));
    }
    return bytes;
}

TEST(JpegStrayBytes, BeforeAnyMarkerThePictureLoadsAsTheCleanFile) {
    int cases = 0;
    for (const Coding& coding : codings()) {
        const std::string clean = imagetest::jpegBytes(coding.spec);
        DecodedImage expected;
        ASSERT_TRUE(decode(clean, expected)) << coding.name;
        for (const Marker& marker : markersOf(clean)) {
            // After arithmetic-coded data stray bytes are read as code: below.
            if (coding.spec.arithmetic && marker.afterScanData) continue;
            for (size_t count : {1, 4, 16}) {
                std::string file = clean;
                file.insert(marker.at, strayBytes(count, static_cast<uint32_t>(marker.at)));
                DecodedImage image;
                ASSERT_TRUE(decode(file, image)) << coding.name << ", " << count << " bytes before marker 0x"
                                                 << std::hex << int{marker.code} << " at " << std::dec << marker.at;
                ASSERT_EQ(image.pixels, expected.pixels) << coding.name << ", marker at " << marker.at;
                ++cases;
            }
        }
    }
    EXPECT_GT(cases, 250);
}

// What libjpeg itself makes of a file: its warnings (-1 for a fatal error)
// and the picture it decodes, as the loader's pixels.
struct LibjpegResult {
    std::set<int> warnings;
    std::vector<uint32_t> pixels;
};
LibjpegResult libjpegDecode(const std::string& file) {
    struct Collector {
        jpeg_error_mgr standard;
        std::jmp_buf jump;
        std::set<int> codes;
    } errors;
    LibjpegResult result;
    jpeg_decompress_struct info{};
    info.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<Collector*>(c->err)->jump, 1); };
    errors.standard.emit_message = [](j_common_ptr c, int level) {
        if (level < 0) reinterpret_cast<Collector*>(c->err)->codes.insert(c->err->msg_code);
    };
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        result.warnings = errors.codes;
        result.warnings.insert(-1);
        return result;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(file.data()), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    std::vector<JSAMPLE> row(static_cast<size_t>(info.output_width) * 3);
    for (JSAMPROW rowPointer = row.data(); info.output_scanline < info.output_height;) {
        jpeg_read_scanlines(&info, &rowPointer, 1);
        for (size_t x = 0; x < info.output_width; ++x)
            result.pixels.push_back(rgba(row[x * 3], row[x * 3 + 1], row[x * 3 + 2]));
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    result.warnings = errors.codes;
    return result;
}

TEST(JpegStrayBytes, AfterArithmeticCodedDataThePictureLoadsAsLibjpegDecodesIt) {
    // The arithmetic decoder reads on to the marker, so stray bytes there
    // become the tail of the code: the picture is libjpeg's, as every
    // program over it shows the file.
    int cases = 0;
    for (const Coding& coding : codings()) {
        if (!coding.spec.arithmetic) continue;
        const std::string clean = imagetest::jpegBytes(coding.spec);
        for (const Marker& marker : markersOf(clean)) {
            if (!marker.afterScanData) continue;
            for (size_t count : {1, 4, 16}) {
                std::string file = clean;
                file.insert(marker.at, strayBytes(count, static_cast<uint32_t>(marker.at)));
                const LibjpegResult reference = libjpegDecode(file);
                if (reference.warnings != std::set<int>{JWRN_EXTRANEOUS_DATA}) continue;
                DecodedImage image;
                ASSERT_TRUE(decode(file, image)) << coding.name << ", " << count << " bytes, marker at " << marker.at;
                ASSERT_EQ(image.pixels, reference.pixels) << coding.name << ", marker at " << marker.at;
                ++cases;
            }
        }
    }
    EXPECT_GT(cases, 8);
}

TEST(JpegDamage, CutShortOrWithoutARestartMarkerFails) {
    for (const Coding& coding : codings()) {
        const std::string clean = imagetest::jpegBytes(coding.spec);
        DecodedImage image;
        for (size_t keep : {clean.size() / 3, clean.size() - 3})
            EXPECT_FALSE(decode(clean.substr(0, keep), image)) << coding.name << ", cut at " << keep;
        if (!coding.spec.arithmetic) {
            // Closed with an end-of-image marker (arithmetic codes read the
            // missing rest as zeros, which libjpeg does not count as damage).
            std::string cut = clean.substr(0, clean.size() * 2 / 3);
            if (byteAt(cut, cut.size() - 1) == 0xFF) cut.pop_back();
            EXPECT_FALSE(decode(cut + "\xFF\xD9", image)) << coding.name << ", cut short";
        }
        if (coding.spec.restartRows == 0) continue;
        for (const Marker& marker : markersOf(clean)) {
            if (marker.code != 0xD1) continue;
            std::string lost = clean;
            lost.erase(marker.at, 2);
            EXPECT_FALSE(decode(lost, image)) << coding.name << ", restart marker lost";
        }
    }
}

TEST(JpegDamage, ACorruptEntropyByteThatLibjpegFindsFails) {
    // Whatever libjpeg reports as a bad code, a segment ending early or a
    // lost restart marker is a failed load.
    const std::set<int> damage = {JWRN_HIT_MARKER, JWRN_HUFF_BAD_CODE, JWRN_ARITH_BAD_CODE, JWRN_MUST_RESYNC,
                                  JWRN_JPEG_EOF, -1};
    int found = 0;
    for (const Coding& coding : codings()) {
        const std::string clean = imagetest::jpegBytes(coding.spec);
        for (const Marker& marker : markersOf(clean)) {
            if (marker.code != 0xDA) continue;
            const size_t data = marker.at + 2 + (byteAt(clean, marker.at + 2) << 8 | byteAt(clean, marker.at + 3));
            for (size_t at = data; at < data + 120 && at + 2 < clean.size(); at += 3) {
                if (byteAt(clean, at) == 0xFF || byteAt(clean, at - 1) == 0xFF) continue;
                std::string file = clean;
                file[at] = static_cast<char>(byteAt(clean, at) ^ 0x5A);
                const std::set<int> warnings = libjpegDecode(file).warnings;
                const bool reported =
                    std::any_of(warnings.begin(), warnings.end(), [&](int w) { return damage.count(w); });
                if (!reported) continue;
                DecodedImage image;
                EXPECT_FALSE(decode(file, image)) << coding.name << ", byte " << at;
                ++found;
            }
        }
    }
    EXPECT_GT(found, 50);
}

TEST(JpegWarnings, OddHeaderFieldsLoadAndABrokenProgressionFails) {
    const Coding baseline = codings()[0];
    const std::string clean = imagetest::jpegBytes(baseline.spec);
    DecodedImage expected;
    ASSERT_TRUE(decode(clean, expected));
    auto expectLoadsAsClean = [&](const std::string& file, int warning, const char* what) {
        EXPECT_EQ(std::set<int>{warning}, libjpegDecode(file).warnings) << what;
        DecodedImage image;
        ASSERT_TRUE(decode(file, image)) << what;
        EXPECT_EQ(image.pixels, expected.pixels) << what;
    };
    std::string file = clean;
    ASSERT_EQ(file.substr(6, 5), std::string("JFIF\0", 5));
    file[11] = 2;  // JFIF version 2.01
    expectLoadsAsClean(file, JWRN_JFIF_MAJOR, "an unknown JFIF version");
    file = clean;
    const size_t scan = file.find("\xFF\xDA");
    ASSERT_EQ(byteAt(file, scan + 4), 3);  // three components: Se follows their six bytes and Ss
    file[scan + 12] = 62;
    expectLoadsAsClean(file, JWRN_NOT_SEQUENTIAL, "a sequential scan that says it ends at 62");
    imagetest::JpegSpec adobe = baseline.spec;
    adobe.adobeMarker = true;
    file = imagetest::jpegBytes(adobe);
    const size_t app14 = file.find("\xFF\xEE");
    ASSERT_EQ(file.substr(app14 + 4, 5), "Adobe");
    ASSERT_EQ(byteAt(file, app14 + 15), 1);  // YCbCr
    file[app14 + 15] = 7;
    expectLoadsAsClean(file, JWRN_ADOBE_XFORM, "an unknown Adobe transform");

    // A progressive file without its first scan (the DC coefficients):
    // the later scans refine what was never there.
    const std::string progressive = imagetest::jpegBytes(codings()[1].spec);
    const std::vector<Marker> markers = markersOf(progressive);
    const auto first = std::find_if(markers.begin(), markers.end(), [](const Marker& m) { return m.code == 0xDA; });
    ASSERT_NE(first + 1, markers.end());
    std::string broken = progressive;
    broken.erase(first->at, (first + 1)->at - first->at);
    ASSERT_EQ(1u, libjpegDecode(broken).warnings.count(JWRN_BOGUS_PROGRESSION));
    DecodedImage image;
    EXPECT_FALSE(decode(broken, image));
}

TEST(JpegCodec, EmptyImagesAreNotWritten) {
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(encodeJpeg(DecodedImage{}, 80, bytes));
    EXPECT_TRUE(bytes.empty());
}

}  // namespace
