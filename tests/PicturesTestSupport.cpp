#include "tests/PicturesTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>

namespace pictures_test {

void RunTool(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

RgbImage TestImage(int width, int height, int channels, unsigned seed) {
    std::mt19937 random(seed);
    RgbImage image{width, height, channels, Bytes(std::size_t(width) * height * channels)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) {
                const int gradient = (x * 255 / std::max(width - 1, 1) * (c + 1) +
                                      y * 255 / std::max(height - 1, 1) * (3 - c)) /
                                     4;
                const int noise = int(random() % 61) - 30;
                image.pixels[(std::size_t(y) * width + x) * channels + c] =
                    std::uint8_t(std::clamp(gradient + noise, 0, 255));
            }
    return image;
}

RgbImage TestPaletteImage(int width, int height, unsigned seed) {
    RgbImage image = TestImage(width, height, 3, seed);
    // Six levels per channel: 216 colours.
    for (std::uint8_t& value : image.pixels)
        value = std::uint8_t(value / 51 * 51);
    return image;
}

void WritePnm(const std::string& path, const RgbImage& image) {
    std::ostringstream header;
    header << (image.channels == 3 ? "P6\n" : "P5\n") << image.width << ' ' << image.height
           << "\n255\n";
    const std::string text = header.str();
    Bytes bytes(text.begin(), text.end());
    bytes.insert(bytes.end(), image.pixels.begin(), image.pixels.end());
    WriteBytes(path, bytes);
}

RgbImage ReadPnm(const std::string& path) {
    const Bytes bytes = ReadBytes(path);
    std::size_t at = 0;
    auto field = [&] {
        while (at < bytes.size() && std::isspace(bytes[at]))
            ++at;
        std::string word;
        while (at < bytes.size() && !std::isspace(bytes[at]))
            word += char(bytes[at++]);
        return word;
    };
    RgbImage image;
    const std::string magic = field();
    image.channels = magic == "P6" ? 3 : 1;
    image.width = std::stoi(field());
    image.height = std::stoi(field());
    field(); // maximum value, 255
    ++at;    // the one whitespace byte before the pixels
    image.pixels.assign(bytes.begin() + std::ptrdiff_t(at), bytes.end());
    EXPECT_EQ(image.pixels.size(), std::size_t(image.width) * image.height * image.channels);
    return image;
}

void FillBitmap(TBitmap& bitmap, const RgbImage& image, TPixelFormat format) {
    std::map<std::uint32_t, std::uint8_t> indexOf;
    std::vector<TPaletteEntry> palette;
    if (format == TPixelFormat::pf8bit) {
        for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
            const std::uint32_t colour =
                image.pixels[i] << 16 | image.pixels[i + 1] << 8 | image.pixels[i + 2];
            if (indexOf.emplace(colour, std::uint8_t(palette.size())).second)
                palette.push_back({image.pixels[i], image.pixels[i + 1], image.pixels[i + 2]});
        }
        ASSERT_LE(palette.size(), 256u);
        bitmap.SetPalette(palette);
    }
    bitmap.SetPixelFormat(format);
    bitmap.SetSize(image.width, image.height);
    const int stride = TBitmap::BytesPerPixel(format);
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* rgb = &image.pixels[(std::size_t(y) * image.width + x) * 3];
            std::uint8_t* pixel = row + std::size_t(x) * stride;
            if (format == TPixelFormat::pf8bit) {
                pixel[0] = indexOf[rgb[0] << 16 | rgb[1] << 8 | rgb[2]];
                continue;
            }
            pixel[0] = rgb[2];
            pixel[1] = rgb[1];
            pixel[2] = rgb[0];
        }
    }
}

RgbImage RgbOf(const TBitmap& bitmap) {
    RgbImage image{bitmap.Width(), bitmap.Height(), 3, {}};
    const int stride = TBitmap::BytesPerPixel(bitmap.PixelFormat());
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            const std::uint8_t* pixel = row + std::size_t(x) * stride;
            if (bitmap.PixelFormat() == TPixelFormat::pf8bit) {
                const TPaletteEntry entry = bitmap.Palette().at(pixel[0]);
                image.pixels.insert(image.pixels.end(), entry.begin(), entry.end());
            } else {
                image.pixels.insert(image.pixels.end(), {pixel[2], pixel[1], pixel[0]});
            }
        }
    }
    return image;
}

std::vector<Segment> HeaderSegments(const Bytes& jpeg) {
    std::vector<Segment> segments;
    std::size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
        const std::uint8_t marker = jpeg[at + 1];
        const std::size_t length = std::size_t(jpeg[at + 2]) << 8 | jpeg[at + 3];
        if (at + 2 + length > jpeg.size())
            break;
        segments.push_back({marker, at,
                            Bytes(jpeg.begin() + std::ptrdiff_t(at + 4),
                                  jpeg.begin() + std::ptrdiff_t(at + 2 + length))});
        if (marker == 0xDA)
            break;
        at += 2 + length;
    }
    return segments;
}

std::vector<std::size_t> ScanOffsets(const Bytes& jpeg) {
    std::vector<std::size_t> offsets;
    for (std::size_t at = 0; at + 1 < jpeg.size(); ++at)
        if (jpeg[at] == 0xFF && jpeg[at + 1] == 0xDA)
            offsets.push_back(at);
    return offsets;
}

} // namespace pictures_test
