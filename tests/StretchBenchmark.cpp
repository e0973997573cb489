// Times StretchBitmap on photo-sized sources and prints the figures. Not a test: run it by hand,
// e.g. build/stretch_benchmark.
#include "Bitmap.h"
#include "StretchBitmap.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

namespace {

void Fill(TBitmap& bitmap, int width, int height, TPixelFormat format) {
    bitmap.SetPixelFormat(format);
    bitmap.SetSize(width, height);
    if (format == TPixelFormat::pf8bit) {
        std::vector<TPaletteEntry> grey;
        for (int i = 0; i < 236; ++i) {
            const auto level = std::uint8_t(i * 255 / 235);
            grey.push_back({level, level, level});
        }
        bitmap.SetPalette(grey);
    }
    std::mt19937 random(1);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (std::size_t i = 0; i < bitmap.RowBytes(); ++i)
            row[i] = std::uint8_t(format == TPixelFormat::pf8bit ? random() % 236 : random());
    }
}

const char* Name(TPixelFormat format) {
    switch (format) {
    case TPixelFormat::pfDevice:
        return "device";
    case TPixelFormat::pf24bit:
        return "24-bit";
    case TPixelFormat::pf8bit:
        return "8-bit";
    }
    return "?";
}

void Measure(int sourceWidth, int sourceHeight, TPixelFormat format, int width, int height) {
    TBitmap source;
    Fill(source, sourceWidth, sourceHeight, format);
    std::vector<double> milliseconds;
    for (int run = 0; run < 7; ++run) {
        TBitmap target;
        target.SetSize(width, height);
        const auto start = std::chrono::steady_clock::now();
        StretchBitmap(target, source);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        milliseconds.push_back(took.count());
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    const double median = milliseconds[milliseconds.size() / 2];
    const double megapixels = double(sourceWidth) * sourceHeight / 1e6;
    std::printf("%5d x %-5d %-6s -> %5d x %-5d  median %8.2f ms  best %8.2f ms  %7.1f Mpx/s\n",
                sourceWidth, sourceHeight, Name(format), width, height, median, milliseconds[0],
                megapixels / (median / 1000));
}

} // namespace

int main() {
    std::printf("StretchBitmap, median and best of 7 runs (Mpx/s counts source pixels)\n");
    Measure(6000, 4000, TPixelFormat::pf24bit, 200, 133);
    Measure(6000, 4000, TPixelFormat::pfDevice, 200, 133);
    Measure(6000, 4000, TPixelFormat::pf8bit, 200, 133);
    Measure(4000, 6000, TPixelFormat::pf24bit, 200, 300);
    Measure(6000, 4000, TPixelFormat::pf24bit, 1600, 1066);
    Measure(1600, 1200, TPixelFormat::pf24bit, 200, 150);
    Measure(300, 200, TPixelFormat::pf24bit, 1200, 800);
    return 0;
}
