#include "pictures/Bitmap.h"

#include "pictures/BmpCodec.h"
#include "pictures/FileContents.h"
#include "pictures/JPEGImage.h"
#include "platform/Exceptions.h"
#include "platform/Format.h"
#include "platform/Texts.h"

#include <algorithm>
#include <limits>
#include <new>

struct TBitmap::Raster {
    int width = 0;
    int height = 0;
    TPixelFormat format = TPixelFormat::pfDevice;
    std::vector<TPaletteEntry> palette;
    std::vector<std::uint8_t> pixels;
};

namespace {

std::uint64_t PixelBytes(int width, int height, TPixelFormat format) {
    return std::uint64_t(width) * std::uint64_t(height) *
           std::uint64_t(TBitmap::BytesPerPixel(format));
}

// Black pixels in the given format; the device format's fourth byte is 255.
std::vector<std::uint8_t> BlackPixels(int width, int height, TPixelFormat format) {
    const std::uint64_t size = PixelBytes(width, height, format);
    if (size > TBitmap::MaxPixelBytes)
        throw EOutOfResources();
    try {
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size), 0);
        if (format == TPixelFormat::pfDevice)
            for (std::size_t alpha = 3; alpha < pixels.size(); alpha += 4)
                pixels[alpha] = 255;
        return pixels;
    } catch (const std::bad_alloc&) {
        throw EOutOfResources();
    }
}

std::vector<TPaletteEntry> GreyRamp() {
    std::vector<TPaletteEntry> ramp(256);
    for (int level = 0; level < 256; ++level) {
        const auto grey = static_cast<std::uint8_t>(level);
        ramp[level] = {grey, grey, grey};
    }
    return ramp;
}

std::uint8_t NearestEntry(const std::vector<TPaletteEntry>& palette, std::uint8_t blue,
                          std::uint8_t green, std::uint8_t red) {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t index = 0; index < palette.size() && index < 256; ++index) {
        const int dr = palette[index][0] - red;
        const int dg = palette[index][1] - green;
        const int db = palette[index][2] - blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(index);
        }
    }
    return static_cast<std::uint8_t>(best);
}

// Rewrites the pixels of one raster in another format; 8-bit pixels read their colours from
// `colours`, and new 8-bit pixels take the nearest entry of `palette`.
void Convert(const std::vector<std::uint8_t>& from, TPixelFormat fromFormat,
             std::vector<std::uint8_t>& to, TPixelFormat toFormat,
             const std::array<TPaletteEntry, 256>& colours,
             const std::vector<TPaletteEntry>& palette, std::size_t pixelCount) {
    const int fromStride = TBitmap::BytesPerPixel(fromFormat);
    const int toStride = TBitmap::BytesPerPixel(toFormat);
    for (std::size_t pixel = 0; pixel < pixelCount; ++pixel) {
        const std::uint8_t* source = &from[pixel * fromStride];
        std::uint8_t* target = &to[pixel * toStride];
        std::uint8_t bgr[3];
        if (fromFormat == TPixelFormat::pf8bit) {
            const TPaletteEntry& entry = colours[source[0]];
            bgr[0] = entry[2];
            bgr[1] = entry[1];
            bgr[2] = entry[0];
        } else {
            std::copy_n(source, 3, bgr);
        }
        if (toFormat == TPixelFormat::pf8bit) {
            target[0] = NearestEntry(palette, bgr[0], bgr[1], bgr[2]);
        } else {
            std::copy_n(bgr, 3, target);
            if (toFormat == TPixelFormat::pfDevice)
                target[3] = 255;
        }
    }
}

} // namespace

TBitmap::TBitmap() : raster_(std::make_shared<Raster>()) {}

TBitmap::~TBitmap() = default;

int TBitmap::Width() const {
    return raster_->width;
}

int TBitmap::Height() const {
    return raster_->height;
}

bool TBitmap::Empty() const {
    return raster_->width == 0 || raster_->height == 0;
}

void TBitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == raster_->width && height == raster_->height)
        return;
    auto resized = std::make_shared<Raster>();
    resized->width = width;
    resized->height = height;
    resized->format = raster_->format;
    resized->palette = raster_->palette;
    resized->pixels = BlackPixels(width, height, resized->format);
    raster_ = std::move(resized);
}

TPixelFormat TBitmap::PixelFormat() const {
    return raster_->format;
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == raster_->format)
        return;
    auto converted = std::make_shared<Raster>();
    converted->width = raster_->width;
    converted->height = raster_->height;
    converted->format = format;
    converted->palette = raster_->palette;
    if (format == TPixelFormat::pf8bit && converted->palette.empty())
        converted->palette = GreyRamp();
    converted->pixels = BlackPixels(raster_->width, raster_->height, format);
    Convert(raster_->pixels, raster_->format, converted->pixels, format, ColourTable(),
            converted->palette, std::size_t(raster_->width) * std::size_t(raster_->height));
    raster_ = std::move(converted);
}

int TBitmap::BytesPerPixel(TPixelFormat format) {
    switch (format) {
    case TPixelFormat::pf8bit:
        return 1;
    case TPixelFormat::pf24bit:
        return 3;
    case TPixelFormat::pfDevice:
        break;
    }
    return 4;
}

std::size_t TBitmap::RowBytes() const {
    return std::size_t(raster_->width) * std::size_t(BytesPerPixel(raster_->format));
}

std::uint8_t* TBitmap::ScanLine(int row) {
    if (row < 0 || row >= raster_->height)
        throw EInvalidGraphic(Texts::ScanLineOutOfRange);
    if (raster_.use_count() > 1) {
        try {
            raster_ = std::make_shared<Raster>(*raster_);
        } catch (const std::bad_alloc&) {
            throw EOutOfResources();
        }
    }
    return raster_->pixels.data() + std::size_t(row) * RowBytes();
}

const std::uint8_t* TBitmap::ScanLine(int row) const {
    if (row < 0 || row >= raster_->height)
        throw EInvalidGraphic(Texts::ScanLineOutOfRange);
    return raster_->pixels.data() + std::size_t(row) * RowBytes();
}

const std::vector<TPaletteEntry>& TBitmap::Palette() const {
    return raster_->palette;
}

void TBitmap::SetPalette(std::vector<TPaletteEntry> palette) {
    auto changed = std::make_shared<Raster>();
    changed->width = raster_->width;
    changed->height = raster_->height;
    changed->format = raster_->format;
    changed->palette = std::move(palette);
    // Pixels are shared, not copied, when nobody else holds them.
    if (raster_.use_count() == 1)
        changed->pixels = std::move(raster_->pixels);
    else
        changed->pixels = raster_->pixels;
    raster_ = std::move(changed);
}

std::array<TPaletteEntry, 256> TBitmap::ColourTable() const {
    std::array<TPaletteEntry, 256> colours{};
    const std::vector<TPaletteEntry>& palette = raster_->palette;
    std::copy_n(palette.begin(), std::min(palette.size(), colours.size()), colours.begin());
    return colours;
}

void TBitmap::Assign(const TGraphic* source) {
    if (source == nullptr) {
        raster_ = std::make_shared<Raster>();
        return;
    }
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
        raster_ = bitmap->raster_;
        return;
    }
    if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(source)) {
        // Handing over the pixels may decode them first, which changes only the picture's cache
        // of its own pixels; every graphic is made non-const, so the cast is sound.
        raster_ = const_cast<TJPEGImage*>(jpeg)->Bitmap().raster_;
        return;
    }
    throw EConvertError::CannotAssign(source->ClassName(), ClassName());
}

void TBitmap::LoadFromFile(const std::string& path) {
    TBitmap loaded;
    DecodeBmp(ReadFileContents(path), loaded);
    raster_ = loaded.raster_;
}

void TBitmap::SaveToFile(const std::string& path) {
    if (Empty())
        throw EInvalidGraphic(Format(Texts::EmptyBitmapSave, Width(), Height()));
    WriteFileContents(path, EncodeBmp(*this));
}
