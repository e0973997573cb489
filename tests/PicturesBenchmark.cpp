// Prints how long the JPEG coding takes for a camera-sized picture: loading and decoding a
// 4000 x 3000 file, and encoding a thumbnail-sized and a full-sized bitmap.
#include "pictures/JPEGImage.h"
#include "pictures/Picture.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace {

double Milliseconds(const std::chrono::steady_clock::time_point& since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}

void Fill(TBitmap& bitmap, int width, int height) {
    std::mt19937 random(1);
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                row[x * 4 + c] = std::uint8_t((x * (c + 1) + y * (3 - c)) / 16 + random() % 24);
    }
}

} // namespace

int main() {
    const std::string folder =
        (std::filesystem::temp_directory_path() / "pictures-benchmark").string();
    std::filesystem::create_directories(folder);
    const std::string file = folder + "/large.jpg";
    for (bool progressive : {false, true}) {
        TBitmap large;
        Fill(large, 4000, 3000);
        TJPEGImage encoder;
        encoder.ProgressiveEncoding = progressive;
        encoder.Assign(&large);
        auto start = std::chrono::steady_clock::now();
        encoder.SaveToFile(file);
        const double encodeLarge = Milliseconds(start);

        TPicture picture;
        start = std::chrono::steady_clock::now();
        picture.LoadFromFile(file);
        const double load = Milliseconds(start);
        start = std::chrono::steady_clock::now();
        picture.Graphic()->DrawingBitmap();
        const double decode = Milliseconds(start);
        // A second picture sharing the data, as a rendering's source copy does.
        TJPEGImage copy;
        copy.Assign(picture.Graphic());
        start = std::chrono::steady_clock::now();
        copy.Bitmap();
        const double shared = Milliseconds(start);

        TBitmap small;
        Fill(small, 200, 150);
        TJPEGImage thumbnail;
        thumbnail.ProgressiveEncoding = progressive;
        thumbnail.Assign(&small);
        start = std::chrono::steady_clock::now();
        thumbnail.SaveToFile(folder + "/small.jpg");
        const double encodeSmall = Milliseconds(start);

        std::printf("%s 4000x3000 (%ju bytes): encode+save %.1f ms, load %.1f ms, decode %.1f ms, "
                    "shared decode %.3f ms; 200x150 encode+save %.2f ms\n",
                    progressive ? "progressive" : "baseline   ",
                    std::uintmax_t(std::filesystem::file_size(file)), encodeLarge, load, decode,
                    shared, encodeSmall);
    }
    std::filesystem::remove_all(folder);
}
