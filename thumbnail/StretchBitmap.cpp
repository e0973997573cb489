#include "thumbnail/StretchBitmap.h"

#include "platform/Exceptions.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <numeric>
#include <vector>

namespace {

// How one axis maps source pixels onto target pixels: target pixel i takes the source pixels
// first[i], first[i] + 1, ... with the weights weights[start[i]] .. weights[start[i + 1] - 1],
// which add up to `denominator` for every i. All weights are exact integers.
struct AxisWeights {
    std::vector<int> first;
    std::vector<std::size_t> start;
    std::vector<std::uint32_t> weights;
    std::uint64_t denominator = 1;

    int Taps(int i) const { return static_cast<int>(start[i + 1] - start[i]); }
    const std::uint32_t* WeightsOf(int i) const { return weights.data() + start[i]; }
    // One past the last source pixel that target pixel i reads.
    int End(int i) const { return first[i] + Taps(i); }
};

// Divides every weight and the denominator by their greatest common divisor, which keeps the
// products of the two axes small.
void Reduce(AxisWeights& axis) {
    std::uint64_t divisor = axis.denominator;
    for (std::uint32_t weight : axis.weights)
        divisor = std::gcd(divisor, std::uint64_t{weight});
    if (divisor <= 1)
        return;
    for (std::uint32_t& weight : axis.weights)
        weight = static_cast<std::uint32_t>(weight / divisor);
    axis.denominator /= divisor;
}

// Area weights for targetSize <= sourceSize. Lengths are counted in 1/targetSize of a source
// pixel: target pixel i spans [i * sourceSize, (i + 1) * sourceSize) and source pixel j spans
// [j * targetSize, (j + 1) * targetSize), so every overlap is a whole number.
AxisWeights AreaWeights(int targetSize, int sourceSize) {
    const std::int64_t t = targetSize;
    const std::int64_t s = sourceSize;
    AxisWeights axis;
    axis.first.reserve(targetSize);
    axis.start.reserve(targetSize + 1);
    axis.start.push_back(0);
    for (std::int64_t i = 0; i < t; ++i) {
        const std::int64_t begin = i * s;
        const std::int64_t end = begin + s;
        const std::int64_t firstPixel = begin / t;
        axis.first.push_back(static_cast<int>(firstPixel));
        for (std::int64_t j = firstPixel; j * t < end; ++j) {
            const std::int64_t overlap = std::min((j + 1) * t, end) - std::max(j * t, begin);
            axis.weights.push_back(static_cast<std::uint32_t>(overlap));
        }
        axis.start.push_back(axis.weights.size());
    }
    axis.denominator = static_cast<std::uint64_t>(s);
    return axis;
}

// Linear weights for targetSize > sourceSize. The centre of target pixel i lies at source
// position ((2i + 1) * sourceSize - targetSize) / (2 * targetSize), counted from the centre of
// source pixel 0 and clamped to the centres of the first and the last source pixel.
AxisWeights LinearWeights(int targetSize, int sourceSize) {
    const std::int64_t t = targetSize;
    const std::int64_t s = sourceSize;
    const std::int64_t unit = 2 * t;
    AxisWeights axis;
    axis.first.reserve(targetSize);
    axis.start.reserve(targetSize + 1);
    axis.start.push_back(0);
    for (std::int64_t i = 0; i < t; ++i) {
        const std::int64_t position =
            std::clamp((2 * i + 1) * s - t, std::int64_t{0}, (s - 1) * unit);
        const std::int64_t fraction = position % unit;
        axis.first.push_back(static_cast<int>(position / unit));
        axis.weights.push_back(static_cast<std::uint32_t>(unit - fraction));
        if (fraction != 0)
            axis.weights.push_back(static_cast<std::uint32_t>(fraction));
        axis.start.push_back(axis.weights.size());
    }
    axis.denominator = static_cast<std::uint64_t>(unit);
    return axis;
}

AxisWeights Weights(int targetSize, int sourceSize) {
    AxisWeights axis = targetSize <= sourceSize ? AreaWeights(targetSize, sourceSize)
                                                : LinearWeights(targetSize, sourceSize);
    Reduce(axis);
    return axis;
}

// Target columns are drawn in bands of this many, so the working rows stay small whatever the
// target's width.
constexpr int BandColumns = 512;

// Hands out the source pixels of one row and a range of columns as B, G, R bytes, `Stride` bytes
// from one pixel to the next. Device and 24-bit rows are read in place; 8-bit rows are looked up
// in the palette.
template <int Stride> class SourceRows {
public:
    explicit SourceRows(const TBitmap& source) : source_(source) {}
    const std::uint8_t* Pixels(int row, int from, int /*to*/) const {
        return source_.ScanLine(row) + std::size_t(from) * Stride;
    }

private:
    const TBitmap& source_;
};

template <> class SourceRows<0> {
public:
    explicit SourceRows(const TBitmap& source) : source_(source), colours_(256 * 3) {
        const std::array<TPaletteEntry, 256> table = source.ColourTable();
        for (std::size_t index = 0; index < table.size(); ++index) {
            colours_[index * 3 + 0] = table[index][2];
            colours_[index * 3 + 1] = table[index][1];
            colours_[index * 3 + 2] = table[index][0];
        }
    }
    const std::uint8_t* Pixels(int row, int from, int to) {
        const std::uint8_t* indices = source_.ScanLine(row);
        row_.resize(std::size_t(to - from) * 3);
        for (int column = from; column < to; ++column)
            std::copy_n(&colours_[indices[column] * 3], 3, &row_[std::size_t(column - from) * 3]);
        return row_.data();
    }

private:
    const TBitmap& source_;
    std::vector<std::uint8_t> colours_;
    std::vector<std::uint8_t> row_;
};

// Draws the target with accumulators of type Acc, wide enough for 255 x both denominators.
// `SourceStride` is the bytes per source pixel, 0 for palette indices (read as 3 after lookup).
template <typename Acc, int SourceStride>
void Draw(TBitmap& target, const TBitmap& source, const AxisWeights& across,
          const AxisWeights& down) {
    constexpr int stride = SourceStride == 0 ? 3 : SourceStride;
    const int targetStride = TBitmap::BytesPerPixel(target.PixelFormat());
    const Acc denominator = Acc(across.denominator) * Acc(down.denominator);
    SourceRows<SourceStride> rows(source);
    std::vector<Acc> sums(std::size_t(BandColumns) * 3);
    for (int bandBegin = 0; bandBegin < target.Width(); bandBegin += BandColumns) {
        const int bandEnd = std::min(target.Width(), bandBegin + BandColumns);
        const int from = across.first[bandBegin];
        const int to = across.End(bandEnd - 1);
        for (int y = 0; y < target.Height(); ++y) {
            std::fill(sums.begin(), sums.end(), Acc{0});
            const std::uint32_t* rowWeights = down.WeightsOf(y);
            for (int tap = 0; tap < down.Taps(y); ++tap) {
                const std::uint8_t* pixels = rows.Pixels(down.first[y] + tap, from, to);
                const Acc rowWeight = rowWeights[tap];
                for (int x = bandBegin; x < bandEnd; ++x) {
                    const std::uint8_t* pixel =
                        pixels + std::size_t(across.first[x] - from) * stride;
                    const std::uint32_t* weights = across.WeightsOf(x);
                    std::uint64_t blue = 0, green = 0, red = 0;
                    for (int column = 0; column < across.Taps(x); ++column, pixel += stride) {
                        blue += std::uint64_t{weights[column]} * pixel[0];
                        green += std::uint64_t{weights[column]} * pixel[1];
                        red += std::uint64_t{weights[column]} * pixel[2];
                    }
                    Acc* sum = &sums[std::size_t(x - bandBegin) * 3];
                    sum[0] += rowWeight * Acc(blue);
                    sum[1] += rowWeight * Acc(green);
                    sum[2] += rowWeight * Acc(red);
                }
            }
            std::uint8_t* out = target.ScanLine(y) + std::size_t(bandBegin) * targetStride;
            for (int x = bandBegin; x < bandEnd; ++x, out += targetStride) {
                const Acc* sum = &sums[std::size_t(x - bandBegin) * 3];
                for (int channel = 0; channel < 3; ++channel)
                    out[channel] =
                        static_cast<std::uint8_t>((sum[channel] + denominator / 2) / denominator);
                if (targetStride == 4)
                    out[3] = 255;
            }
        }
    }
}

template <typename Acc>
void DrawFrom(TBitmap& target, const TBitmap& source, const AxisWeights& across,
              const AxisWeights& down) {
    switch (source.PixelFormat()) {
    case TPixelFormat::pfDevice:
        return Draw<Acc, 4>(target, source, across, down);
    case TPixelFormat::pf24bit:
        return Draw<Acc, 3>(target, source, across, down);
    case TPixelFormat::pf8bit:
        return Draw<Acc, 0>(target, source, across, down);
    }
}

} // namespace

void StretchBitmap(TBitmap& target, const TBitmap& source) {
    if (target.Empty() || source.Empty())
        return;
    try {
        if (target.PixelFormat() == TPixelFormat::pf8bit)
            target.SetPixelFormat(TPixelFormat::pfDevice);
        const AxisWeights across = Weights(target.Width(), source.Width());
        const AxisWeights down = Weights(target.Height(), source.Height());
        // A sum reaches 255 x both denominators, plus half of their product for the rounding.
        // 64 bits hold that for every thumbnail; a stretch between far apart aspect ratios of
        // very large bitmaps could need more.
        using Wide = unsigned __int128;
        if (Wide{256} * across.denominator * down.denominator <= Wide{UINT64_MAX})
            DrawFrom<std::uint64_t>(target, source, across, down);
        else
            DrawFrom<Wide>(target, source, across, down);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
}
