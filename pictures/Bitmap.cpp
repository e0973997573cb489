#include "pictures/Bitmap.h"

#include "pictures/BmpCodec.h"
#include "pictures/FileContents.h"
#include "pictures/JPEGImage.h"
#include "platform/Exceptions.h"
#include "platform/Format.h"
#include "platform/Texts.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <utility>

namespace {

// Pixel memory whose bytes start unset. Large blocks are kept for the next raster when they are
// let go: a camera picture's block would otherwise come fresh from the system every time, and the
// system zero-fills and faults in every one of its pages, which costs as much as a good part of
// decoding the picture. One spare block is kept, the largest given back, so a program working
// through photos of mixed sizes settles on one block of the largest.
class PixelBlocks {
public:
    // Never destroyed, so that a bitmap that outlives the other statics can still give its block
    // back; the spare stays reachable until the process ends.
    static PixelBlocks& Shared() {
        static PixelBlocks& blocks = *new PixelBlocks;
        return blocks;
    }

    // A block of at least `size` bytes and its capacity; throws std::bad_alloc.
    std::uint8_t* Take(std::size_t size, std::size_t& capacity) {
        if (size >= KeptFrom) {
            std::uint8_t* tooSmall = nullptr;
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                if (spare_ && spareCapacity_ >= size) {
                    capacity = spareCapacity_;
                    return std::exchange(spare_, nullptr);
                }
                tooSmall = std::exchange(spare_, nullptr);
            }
            // A spare too small for this picture would only add to the memory the new block
            // takes; the block made now is the spare for what comes next.
            delete[] tooSmall;
        }
        capacity = size;
        return new std::uint8_t[size];
    }

    void Give(std::uint8_t* block, std::size_t capacity) noexcept {
        if (capacity >= KeptFrom) {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (!spare_ || spareCapacity_ < capacity) {
                std::swap(block, spare_);
                std::swap(capacity, spareCapacity_);
            }
        }
        delete[] block;
    }

private:
    // Smaller blocks are left to the allocator, which keeps them well by itself.
    static constexpr std::size_t KeptFrom = std::size_t{4} << 20;

    std::mutex mutex_;
    std::uint8_t* spare_ = nullptr;
    std::size_t spareCapacity_ = 0;
};

// The pixel bytes of one raster. A copy is a full copy; the bytes of a new buffer are unset.
class PixelBuffer {
public:
    PixelBuffer() = default;
    explicit PixelBuffer(std::size_t size) : size_(size) {
        if (size > 0)
            data_ = PixelBlocks::Shared().Take(size, capacity_);
    }
    PixelBuffer(const PixelBuffer& other) : PixelBuffer(other.size_) {
        if (size_ > 0)
            std::memcpy(data_, other.data_, size_);
    }
    PixelBuffer(PixelBuffer&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
          capacity_(std::exchange(other.capacity_, 0)) {}
    PixelBuffer& operator=(PixelBuffer other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
        return *this;
    }
    ~PixelBuffer() {
        if (data_)
            PixelBlocks::Shared().Give(data_, capacity_);
    }

    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// A number that no other raster had; a copy takes a new one, as does a raster whose pixels may
// be written.
class RasterId {
public:
    RasterId() = default;
    RasterId(const RasterId&) {}
    RasterId& operator=(const RasterId&) {
        value_ = Next();
        return *this;
    }
    std::uint64_t Value() const { return value_; }
    void Renew() { value_ = Next(); }

private:
    static std::uint64_t Next() {
        static std::atomic<std::uint64_t> last{0};
        return ++last;
    }
    std::uint64_t value_ = Next();
};

} // namespace

struct TBitmap::Raster {
    RasterId id;
    int width = 0;
    int height = 0;
    TPixelFormat format = TPixelFormat::pfDevice;
    std::vector<TPaletteEntry> palette;
    PixelBuffer pixels;
};

namespace {

std::uint64_t PixelBytes(int width, int height, TPixelFormat format) {
    return std::uint64_t(width) * std::uint64_t(height) *
           std::uint64_t(TBitmap::BytesPerPixel(format));
}

// Pixels whose values are left unset, for a caller that writes every one of them.
PixelBuffer UnsetPixels(int width, int height, TPixelFormat format) {
    const std::uint64_t size = PixelBytes(width, height, format);
    if (size > TBitmap::MaxPixelBytes)
        throw EOutOfResources();
    try {
        return PixelBuffer(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        throw EOutOfResources();
    }
}

// Black pixels in the given format; the device format's fourth byte is 255.
PixelBuffer BlackPixels(int width, int height, TPixelFormat format) {
    PixelBuffer pixels = UnsetPixels(width, height, format);
    if (format == TPixelFormat::pfDevice) {
        const std::uint8_t black[4] = {0, 0, 0, 255};
        for (std::size_t pixel = 0; pixel < pixels.size(); pixel += 4)
            std::memcpy(pixels.data() + pixel, black, 4);
    } else if (pixels.size() > 0) {
        std::memset(pixels.data(), 0, pixels.size());
    }
    return pixels;
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
void Convert(const PixelBuffer& from, TPixelFormat fromFormat, PixelBuffer& to,
             TPixelFormat toFormat, const std::array<TPaletteEntry, 256>& colours,
             const std::vector<TPaletteEntry>& palette, std::size_t pixelCount) {
    const int fromStride = TBitmap::BytesPerPixel(fromFormat);
    const int toStride = TBitmap::BytesPerPixel(toFormat);
    for (std::size_t pixel = 0; pixel < pixelCount; ++pixel) {
        const std::uint8_t* source = from.data() + pixel * fromStride;
        std::uint8_t* target = to.data() + pixel * toStride;
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
    Resize(width, height, BlackPixels);
}

void TBitmap::SetSizeForOverwrite(int width, int height) {
    Resize(width, height, UnsetPixels);
}

template <typename MakePixels> void TBitmap::Resize(int width, int height, MakePixels makePixels) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == raster_->width && height == raster_->height)
        return;
    auto resized = std::make_shared<Raster>();
    resized->width = width;
    resized->height = height;
    resized->format = raster_->format;
    resized->palette = raster_->palette;
    resized->pixels = makePixels(width, height, resized->format);
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
    converted->pixels = UnsetPixels(raster_->width, raster_->height, format);
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
    // The caller may write through the row.
    raster_->id.Renew();
    return raster_->pixels.data() + std::size_t(row) * RowBytes();
}

std::uint64_t TBitmap::PixelsId() const {
    return raster_->id.Value();
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
