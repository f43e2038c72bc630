#include "tiny_images.h"

#include "file_bytes.h"

namespace worldtest {

void writeBmp(const std::string& path, int32_t width, int32_t height,
              const std::function<uint32_t(int32_t x, int32_t y)>& colourAt) {
    const int32_t rowBytes = (width * 3 + 3) & ~3;
    const int32_t imageBytes = rowBytes * height;
    std::string out;
    auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    out += "BM";
    put(14 + 40 + imageBytes, 4);
    put(0, 4);
    put(14 + 40, 4);
    put(40, 4);
    put(static_cast<uint32_t>(width), 4);
    put(static_cast<uint32_t>(height), 4);  // bottom-up
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(static_cast<uint32_t>(imageBytes), 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (int32_t y = height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t c = colourAt(x, y);
            out.push_back(static_cast<char>((c >> 16) & 0xFF));  // blue
            out.push_back(static_cast<char>((c >> 8) & 0xFF));   // green
            out.push_back(static_cast<char>(c & 0xFF));          // red
        }
        for (int32_t pad = width * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    testsupport::writeFileBytes(path, out);
}

}  // namespace worldtest
