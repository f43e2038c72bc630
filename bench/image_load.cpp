// Image-load benchmark: a sprite sheet of 16384 x 4096 pixels (the widest
// side the limits take) and a few small sprites, each loaded from a PNG file
// into a sprite, once through LoadSpriteFile and once through the copying
// path kept here as the upload path used to run it: decode, fill the colours
// behind transparent pixels from a full copy of the image, copy the image
// out as a rectangle, copy that into a zeroed buffer of the texture's size,
// upload. Both must give the sprite the same pixels (the tests hold them to
// that); this program measures what they cost.
// Every measurement runs in a fresh copy of this program, so neither path
// inherits the other's memory: the peak is the growth of the resident set's
// high-water mark over the resident set just before the loads (the mark is
// reset first where the system allows). The large sheet loads once per copy,
// three copies a path, alternating; small sprites load in batches, and the
// best batch of each copy counts. Prints peak memory and time of each path,
// their ratios, and whether the targets held: for the large sheet a peak of
// at most twice the decoded image (ours and the driver's copy) and 16 MiB
// besides, and at most 0.8 of the copying path's time; the small sprites no
// slower.
#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gfx2d/decoded_image.h"
#include "gfx2d/gfx2d_commands.h"
#include "gfx2d/image_codecs.h"
#include "gfx2d/image_files.h"
#include "gfx2d/opengl_rainbows.h"
#include "gfx2d/texture_upload.h"
#include "runtime/engine/engine_state.h"
#include "runtime/files/temp_folder.h"
#include "runtime/services/runtime_error.h"
#include "support/bench_program.h"

namespace {

constexpr int kSprite = 100;
constexpr int kLargeWidth = 16384, kLargeHeight = 4096;
constexpr int kLargeRounds = 3;
constexpr double kPeakAllowanceMiB = 16;  // beyond the two copies of the decoded sheet
constexpr int kCell = 64;  // the sheet's frames

constexpr int kSmallRounds = 3, kSmallBatches = 5;

struct SmallCase {
    const char* name;
    int width, height, repeats;  // loads per batch
};
constexpr SmallCase kSmallCases[] = {{"small_48x48", 48, 48, 200}, {"small_100x80", 100, 80, 100},
                                     {"small_256x192", 256, 192, 40}};

// A sheet of kCell frames, each a shaded disc on the transparent colour, so
// that about a third of the pixels become transparent and get filled.
DecodedImage makeSheet(int width, int height) {
    DecodedImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height);
    const int cell = std::min({kCell, width, height});
    const int radius = cell * 2 / 5;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int cx = x % cell - cell / 2, cy = y % cell - cell / 2;
            const int frame = (y / cell) * (width / cell) + x / cell;
            uint32_t pixel = 0xFF000000u | kTransparentColour;
            if (cx * cx + cy * cy <= radius * radius) {
                const uint32_t r = (frame * 37 + cx * 3) & 0xFF, g = (frame * 11 + cy * 3) & 0xFF,
                               b = (128 + cx + cy) & 0xFF;
                pixel = 0xFF000000u | r | g << 8 | b << 16;
            }
            image.pixels[static_cast<size_t>(y) * width + x] = pixel;
        }
    }
    return image;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// --- the copying path, as it was ---

// The fill judged from a full copy of the image.
void fillFromCopy(DecodedImage& image) {
    const std::vector<uint32_t> source = image.pixels;
    const int32_t w = image.width, h = image.height;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            uint32_t& target = image.at(x, y);
            if ((target & 0xFF000000u) != 0) continue;
            uint32_t red = 0, green = 0, blue = 0, count = 0;
            for (int32_t ny = y - 1; ny <= y + 1; ++ny) {
                for (int32_t nx = x - 1; nx <= x + 1; ++nx) {
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                    uint32_t n = source[static_cast<size_t>(ny) * w + nx];
                    if ((n & 0xFF000000u) == 0) continue;
                    red += n & 0xFF;
                    green += (n >> 8) & 0xFF;
                    blue += (n >> 16) & 0xFF;
                    ++count;
                }
            }
            if (count == 0) continue;
            target = (red / count) | (green / count) << 8 | (blue / count) << 16;
        }
    }
}

bool loadByCopying(OpenGLRainbows& g, const char* file) {
    DecodedImage image;
    if (!loadImageFile(image, file, kTransparentColour, textureImageLimits())) return false;
    fillFromCopy(image);
    g.freeSprite(kSprite);
    const int32_t w = image.width, h = image.height, tw = textureSideFor(w), th = textureSideFor(h);
    DecodedImage region;
    region.width = w;
    region.height = h;
    region.pixels.resize(static_cast<size_t>(w) * h);
    for (int32_t row = 0; row < h; ++row) {
        const uint32_t* from = &image.pixels[static_cast<size_t>(row) * image.width];
        std::copy(from, from + w, &region.pixels[static_cast<size_t>(row) * w]);
    }
    std::vector<uint32_t> padded(static_cast<size_t>(tw) * th, 0);
    for (int32_t row = 0; row < h; ++row) {
        std::copy_n(&region.pixels[static_cast<size_t>(row) * w], w, &padded[static_cast<size_t>(row) * tw]);
    }
    SpriteSlot& s = *g.slot(kSprite);
    s.texture = uploadTexturePixels(padded.data(), tw, th, g.smoothing == 0, false);
    if (s.texture == 0) return false;
    s.width = w;
    s.height = h;
    s.textureWidth = tw;
    s.textureHeight = th;
    s.appliedFilter = g.smoothing ? 1 : 0;
    s.hasAlpha = image.hasAlpha;
    return true;
}

bool loadDirect(OpenGLRainbows& g, const char* file) {
    LoadSpriteFile(RtString(file), kSprite);
    return RtErrorCode == 0 && g.slot(kSprite)->holdsImage();
}

// --- measuring, in a child ---

// A size line of /proc/self/status in KiB ("VmRSS:", "VmHWM:").
long statusKiB(const char* key) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long value = -1;
    const size_t n = std::strlen(key);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, key, n) == 0) {
            value = std::strtol(line + n, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return value;
}

// Sets the high-water mark back to the resident set (Linux 4.0 on).
void resetHighWaterMark() {
    if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

// Loads `file` `batches` times `repeats` times through the path and prints
// "result <peak growth KiB> <microseconds per load in the best batch>".
int runChild(const std::string& path, const char* file, int repeats, int batches, const char* warmUpFile) {
    if (!bench::startHeadlessEngine("ImageLoad_Bench", 0)) return 1;
    OpenGLRainbows& g = *engine.graphics2D;
    auto load = path == "copying" ? loadByCopying : loadDirect;
    // Code paths and the driver's first texture made before measuring.
    if (!load(g, warmUpFile)) return 2;
    g.freeSprite(kSprite);
    glFinish();
    resetHighWaterMark();
    const long before = statusKiB("VmRSS:");
    double best = 0;
    for (int batch = 0; batch < batches; ++batch) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < repeats; ++i) {
            if (!load(g, file)) return 3;
        }
        glFinish();
        const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
        if (batch == 0 || spent.count() < best) best = spent.count();
    }
    const long peak = statusKiB("VmHWM:");
    std::printf("result %ld %.1f\n", peak - before, best / repeats);
    bench::endProgram();
}

// --- the comparison, in the parent ---

struct Measure {
    double peakMiB = 0, micros = 0;
};

bool runInChild(const std::string& self, const char* path, const std::string& file, int repeats, int batches,
                const std::string& warmUp, Measure& out) {
    const std::string command = "'" + self + "' --child " + path + " '" + file + "' " + std::to_string(repeats) +
                                " " + std::to_string(batches) + " '" + warmUp + "'";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return false;
    char line[256];
    bool found = false;
    while (std::fgets(line, sizeof line, pipe)) {
        long kib = 0;
        double micros = 0;
        if (std::sscanf(line, "result %ld %lf", &kib, &micros) == 2) {
            out = {kib / 1024.0, micros};
            found = true;
        }
    }
    return pclose(pipe) == 0 && found;
}

std::string selfPath() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

bool makeFile(const std::string& path, int width, int height) {
    std::vector<uint8_t> png;
    return encodePng(makeSheet(width, height), png) && writeFile(path, png);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 7 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]), argv[6]);

    const std::string self = selfPath();
    const std::string folder = std::string(temporaryFolder().c_str()) + "vantric_image_load_" +
                               std::to_string(static_cast<long>(getpid())) + "_";
    const std::string large = folder + "sheet.png", warmUp = folder + "warm.png";
    bool ok = makeFile(large, kLargeWidth, kLargeHeight) && makeFile(warmUp, 32, 32);
    for (const SmallCase& c : kSmallCases) ok = ok && makeFile(folder + c.name + ".png", c.width, c.height);
    if (!ok || self.empty()) {
        std::fprintf(stderr, "cannot write the test images under %s\n", folder.c_str());
        return 1;
    }

    Measure copying{1e30, 1e30}, direct{1e30, 1e30};
    double copyingPeak = 0, directPeak = 0;
    std::printf("%dx%d PNG sprite sheet through LoadSpriteFile (direct) and the copying path\n", kLargeWidth,
                kLargeHeight);
    std::printf("%6s  %18s  %18s\n", "round", "copying", "direct");
    for (int round = 1; round <= kLargeRounds && ok; ++round) {
        Measure a, b;
        ok = runInChild(self, "copying", large, 1, 1, warmUp, a) && runInChild(self, "direct", large, 1, 1, warmUp, b);
        if (!ok) break;
        std::printf("%6d  %7.1f MiB %7.1f ms  %7.1f MiB %7.1f ms\n", round, a.peakMiB, a.micros / 1000.0,
                    b.peakMiB, b.micros / 1000.0);
        copying.micros = std::min(copying.micros, a.micros);
        direct.micros = std::min(direct.micros, b.micros);
        copyingPeak = std::max(copyingPeak, a.peakMiB);
        directPeak = std::max(directPeak, b.peakMiB);
    }
    const double imageMiB = kLargeWidth * double{kLargeHeight} * 4 / (1024.0 * 1024.0);
    bool held = ok;
    if (ok) {
        const double timeRatio = direct.micros / copying.micros;
        const double peakTarget = 2 * imageMiB + kPeakAllowanceMiB;
        std::printf("peak growth: copying %.1f MiB, direct %.1f MiB = %.2f x the decoded image of %.0f MiB "
                    "(target at most %.0f MiB), ratio direct / copying %.3f\n",
                    copyingPeak, directPeak, directPeak / imageMiB, imageMiB, peakTarget, directPeak / copyingPeak);
        std::printf("time (best of %d): copying %.1f ms, direct %.1f ms, ratio direct / copying %.3f (target at "
                    "most 0.800)\n",
                    kLargeRounds, copying.micros / 1000.0, direct.micros / 1000.0, timeRatio);
        held = directPeak <= peakTarget && timeRatio <= 0.8;
        std::printf("%14s  %14s  %14s  %s\n", "small sprites", "copying", "direct",
                    "ratio direct / copying (target at most 1.000)");
    }
    for (const SmallCase& c : kSmallCases) {
        if (!ok) break;
        const std::string file = folder + c.name + ".png";
        double best[2] = {1e30, 1e30};
        for (int round = 0; round < kSmallRounds && ok; ++round) {
            Measure a, b;
            ok = runInChild(self, "copying", file, c.repeats, kSmallBatches, warmUp, a) &&
                 runInChild(self, "direct", file, c.repeats, kSmallBatches, warmUp, b);
            best[0] = std::min(best[0], a.micros);
            best[1] = std::min(best[1], b.micros);
        }
        if (!ok) break;
        std::printf("%14s  %11.1f us  %11.1f us  %.3f\n", c.name, best[0], best[1], best[1] / best[0]);
        held = held && best[1] <= best[0];
    }
    if (ok) std::printf("targets %s\n", held ? "held" : "missed");
    std::remove(large.c_str());
    std::remove(warmUp.c_str());
    for (const SmallCase& c : kSmallCases) std::remove((folder + c.name + ".png").c_str());
    if (!ok) std::fprintf(stderr, "a measuring run failed\n");
    return ok ? 0 : 1;
}
