// Times StretchBitmap on photo-sized sources, and a whole rendering of a 24-megapixel JPEG, and
// prints the figures. Not a test: run it by hand, e.g. build/stretch_benchmark.
#include "pictures/Bitmap.h"
#include "pictures/JPEGImage.h"
#include "pictures/Picture.h"
#include "thumbnail/Rendering.h"
#include "thumbnail/StretchBitmap.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
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

// Median and best of `runs` timings of `run`, in milliseconds; `prepare` runs untimed before each.
std::pair<double, double> Time(int runs, const std::function<void()>& prepare,
                               const std::function<void()>& run) {
    std::vector<double> milliseconds;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        milliseconds.push_back(took.count());
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    return {milliseconds[milliseconds.size() / 2], milliseconds[0]};
}

void Measure(int sourceWidth, int sourceHeight, TPixelFormat format, int width, int height) {
    TBitmap source;
    Fill(source, sourceWidth, sourceHeight, format);
    TBitmap target;
    const auto [median, best] = Time(
        7, [&] { target.SetSize(0, 0), target.SetSize(width, height); },
        [&] { StretchBitmap(target, source); });
    const double megapixels = double(sourceWidth) * sourceHeight / 1e6;
    std::printf("%5d x %-5d %-6s -> %5d x %-5d  median %8.2f ms  best %8.2f ms  %7.1f Mpx/s\n",
                sourceWidth, sourceHeight, Name(format), width, height, median, best,
                megapixels / (median / 1000));
}

// A whole rendering: decoding a 6000 x 4000 JPEG (a smooth picture encoded here) and stretching it
// to 200 pixels wide.
void MeasureRendering() {
    TBitmap photo;
    photo.SetSize(6000, 4000);
    for (int y = 0; y < photo.Height(); ++y) {
        std::uint8_t* row = photo.ScanLine(y);
        for (int x = 0; x < photo.Width(); ++x) {
            row[x * 4 + 0] = std::uint8_t(x / 24);
            row[x * 4 + 1] = std::uint8_t(y / 16);
            row[x * 4 + 2] = std::uint8_t((x + y) / 40);
        }
    }
    const std::string path =
        (std::filesystem::temp_directory_path() / "corvantis-benchmark-24mp.jpg").string();
    TJPEGImage encoder;
    encoder.Assign(&photo);
    encoder.SaveToFile(path);
    TPicture fullSizeView;
    TPicture thumbnailView;
    thumbnailView.SetGraphic(std::make_unique<TJPEGImage>());
    // A fresh load before each run, so that every rendering decodes.
    const auto [median, best] = Time(
        3, [&] { fullSizeView.LoadFromFile(path); },
        [&] { RenderThumbnail(fullSizeView, *thumbnailView.Graphic(), "200"); });
    std::filesystem::remove(path);
    std::printf(
        "RenderThumbnail of a 6000 x 4000 JPEG at width 200: median %.1f ms, best %.1f ms\n",
        median, best);
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
    MeasureRendering();
    return 0;
}
