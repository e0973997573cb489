#include "tests/PicturesTestSupport.h"

#include <cstdint>
#include <map>
#include <vector>

namespace pictures_test {

std::string FormatName(TPixelFormat format) {
    switch (format) {
    case TPixelFormat::pfDevice:
        return "Device";
    case TPixelFormat::pf24bit:
        return "24bit";
    case TPixelFormat::pf8bit:
        return "8bit";
    }
    return "Format" + std::to_string(int(format));
}

RgbImage TestPaletteImage(int width, int height, unsigned seed) {
    RgbImage image = TestImage(width, height, 3, seed);
    // Six levels per channel: 216 colours.
    for (std::uint8_t& value : image.pixels)
        value = std::uint8_t(value / 51 * 51);
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

Bytes WithRepeatedFirstScan(const Bytes& jpeg, int copies) {
    const std::vector<std::size_t> scans = ScanOffsets(jpeg);
    std::size_t end = scans[0] + 2;
    while (!(jpeg[end] == 0xFF && jpeg[end + 1] != 0 && (jpeg[end + 1] & 0xF8) != 0xD0))
        ++end;
    Bytes repeated(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(end));
    for (int copy = 0; copy < copies; ++copy)
        repeated.insert(repeated.end(), jpeg.begin() + std::ptrdiff_t(scans[0]),
                        jpeg.begin() + std::ptrdiff_t(end));
    repeated.insert(repeated.end(), jpeg.begin() + std::ptrdiff_t(end), jpeg.end());
    return repeated;
}

} // namespace pictures_test
