// Layout and drawing of the contact sheet.
#include "contact_sheet.h"

#include <png.h>

#include <algorithm>
#include <cstring>

namespace mediatest {
namespace {

constexpr int kGap = 4;
constexpr int kLabelHeight = 12;
constexpr uint8_t kGround[4] = {0x2a, 0x74, 0xb0, 0xff};
constexpr uint8_t kFrameGround[4] = {0x1c, 0x4d, 0x86, 0xff};

struct Page {
    int width, height;
    std::vector<uint8_t> px;
    void fill(int x0, int y0, int w, int h, const uint8_t* c) {
        for (int y = std::max(0, y0); y < std::min(height, y0 + h); ++y)
            for (int x = std::max(0, x0); x < std::min(width, x0 + w); ++x) std::memcpy(&px[(y * width + x) * 4], c, 4);
    }
    void put(int x, int y, const uint8_t* c) {
        if (x >= 0 && y >= 0 && x < width && y < height && c[3]) std::memcpy(&px[(y * width + x) * 4], c, 4);
    }
};

}  // namespace

void ContactSheet::add(const std::string& label, const RgbaImage& sheet, int frameW, int frameH, int frames) {
    entries_.push_back({label, sheet, frameW, frameH, frames});
}

bool ContactSheet::write(const std::string& path, std::string& error) const {
    // First pass: the height each entry needs.
    int height = kGap;
    for (const Entry& e : entries_) {
        int cell = e.frameW * scale_ + kGap;
        int perRow = std::max(1, (width_ - kGap) / cell);
        int rows = (e.frames + perRow - 1) / perRow;
        height += kLabelHeight + rows * (e.frameH * scale_ + kGap) + kGap;
    }
    Page page{width_, height, std::vector<uint8_t>(static_cast<size_t>(width_) * height * 4)};
    page.fill(0, 0, width_, height, kGround);
    int y = kGap;
    for (const Entry& e : entries_) {
        // the label, from the font's 8 x 8 cells
        int cellW = font_.width / 16, cellH = font_.height / 16;
        for (size_t i = 0; i < e.label.size() && cellW > 0; ++i) {
            int code = static_cast<unsigned char>(e.label[i]);
            for (int gy = 0; gy < cellH; ++gy)
                for (int gx = 0; gx < cellW; ++gx)
                    page.put(kGap + static_cast<int>(i) * cellW + gx, y + gy,
                             font_.at((code % 16) * cellW + gx, (code / 16) * cellH + gy));
        }
        y += kLabelHeight;
        int cell = e.frameW * scale_ + kGap;
        int perRow = std::max(1, (width_ - kGap) / cell);
        int columns = std::max(1, e.sheet.width / e.frameW);
        for (int f = 0; f < e.frames; ++f) {
            int dx = kGap + (f % perRow) * cell, dy = y + (f / perRow) * (e.frameH * scale_ + kGap);
            page.fill(dx, dy, e.frameW * scale_, e.frameH * scale_, kFrameGround);
            int sx = (f % columns) * e.frameW, sy = (f / columns) * e.frameH;
            for (int py = 0; py < e.frameH * scale_; ++py)
                for (int px = 0; px < e.frameW * scale_; ++px) {
                    int ix = sx + px / scale_, iy = sy + py / scale_;
                    if (ix < e.sheet.width && iy < e.sheet.height) page.put(dx + px, dy + py, e.sheet.at(ix, iy));
                }
        }
        y += ((e.frames + perRow - 1) / perRow) * (e.frameH * scale_ + kGap) + kGap;
    }
    png_image out;
    std::memset(&out, 0, sizeof out);
    out.version = PNG_IMAGE_VERSION;
    out.width = static_cast<png_uint_32>(width_);
    out.height = static_cast<png_uint_32>(height);
    out.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&out, path.c_str(), 0, page.px.data(), 0, nullptr)) {
        error = path + ": " + out.message;
        return false;
    }
    return true;
}

}  // namespace mediatest
