#include "thumbnail/StretchBitmap.h"

#include "platform/Exceptions.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
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

// Hands out the bytes of one source row: device and 24-bit rows in place, `Stride` bytes a pixel;
// 8-bit rows looked up in the palette, four bytes a pixel.
template <int Stride> class SourceRows {
public:
    static constexpr int PixelBytes = Stride;
    explicit SourceRows(const TBitmap& source) : source_(source) {}
    const std::uint8_t* Row(int row) { return source_.ScanLine(row); }

private:
    const TBitmap& source_;
};

template <> class SourceRows<0> {
public:
    // Looked up as B, G, R and a fourth byte, so that a pixel is one 32-bit store.
    static constexpr int PixelBytes = 4;
    explicit SourceRows(const TBitmap& source) : source_(source) {
        const std::array<TPaletteEntry, 256> table = source.ColourTable();
        for (std::size_t index = 0; index < table.size(); ++index) {
            const std::uint8_t bgr0[4] = {table[index][2], table[index][1], table[index][0], 0};
            std::memcpy(&colours_[index], bgr0, 4);
        }
        for (auto& row : rows_)
            row.resize(std::size_t(source.Width()));
    }
    // The row stays valid until four more rows have been asked for.
    const std::uint8_t* Row(int row) {
        std::vector<std::uint32_t>& pixels = rows_[next_++ % rows_.size()];
        const std::uint8_t* indices = source_.ScanLine(row);
        for (std::size_t column = 0; column < pixels.size(); ++column)
            pixels[column] = colours_[indices[column]];
        return reinterpret_cast<const std::uint8_t*>(pixels.data());
    }

private:
    const TBitmap& source_;
    std::uint32_t colours_[256];
    std::array<std::vector<std::uint32_t>, 4> rows_;
    std::size_t next_ = 0;
};

// The passes over every source byte are kept to what the vector units do in a single sweep; the
// clones let a machine with AVX2 take sixteen or thirty-two bytes a step. The loader picks a clone
// before ThreadSanitizer's runtime is up, and the sanitizer's hooks in the picking code would then
// crash the program at start, so that build takes the plain code only.
#if defined(__SANITIZE_THREAD__)
#define AVX2_CLONES
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define AVX2_CLONES
#endif
#endif
#ifndef AVX2_CLONES
#define AVX2_CLONES [[gnu::target_clones("avx2", "default")]]
#endif

// sums[i] += weight x values[i].
template <typename Sum, typename Weight, typename Value>
#if !defined(__clang__) // clang does not clone function templates yet
AVX2_CLONES
#endif
void AddWeighted(Sum* __restrict sums, const Value* __restrict values, std::size_t count,
                 Weight weight) {
    for (std::size_t i = 0; i < count; ++i)
        sums[i] += Sum(weight) * Sum(values[i]);
}

// sums[i] += bytes[i].
AVX2_CLONES void AddBytes(std::uint16_t* __restrict sums, const std::uint8_t* __restrict bytes,
                          std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        sums[i] = static_cast<std::uint16_t>(sums[i] + bytes[i]);
}

// sums[i] += the bytes[i] of four rows; a quarter of the traffic to the sums that one row at a
// time makes.
AVX2_CLONES void AddBytesOfFour(std::uint16_t* __restrict sums,
                                const std::uint8_t* __restrict first,
                                const std::uint8_t* __restrict second,
                                const std::uint8_t* __restrict third,
                                const std::uint8_t* __restrict fourth, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        sums[i] = static_cast<std::uint16_t>(sums[i] + first[i] + second[i] + third[i] + fourth[i]);
}

// Most rows that a target row covers lie wholly inside it and share one weight; up to this many of
// them are added plainly in 16 bits (255 x 257 fits) and weighted once.
constexpr int PlainRunRows = 257;

// Draws the target in two passes per target row: first the weighted sums down the column of every
// source byte over the rows that the target row covers (`ColumnSum` holds 255 x the vertical
// denominator, and `RowWeight` every vertical weight), then the weighted sums of those across the
// columns that each target pixel covers, in `Acc`, which holds 255 x both denominators. The sums
// are exact integers, so the order of the passes does not change them.
template <typename ColumnSum, typename RowWeight, typename Acc, int SourceStride>
void Draw(TBitmap& target, const TBitmap& source, const AxisWeights& across,
          const AxisWeights& down) {
    SourceRows<SourceStride> rows(source);
    constexpr int stride = SourceRows<SourceStride>::PixelBytes;
    const int targetStride = TBitmap::BytesPerPixel(target.PixelFormat());
    const Acc denominator = Acc(across.denominator) * Acc(down.denominator);
    const std::size_t rowBytes = std::size_t(source.Width()) * stride;
    std::vector<ColumnSum> columns(rowBytes);
    std::vector<std::uint16_t> plain(rowBytes);
    for (int y = 0; y < target.Height(); ++y) {
        std::fill(columns.begin(), columns.end(), ColumnSum{0});
        const std::uint32_t* rowWeights = down.WeightsOf(y);
        for (int tap = 0, run; tap < down.Taps(y); tap += run) {
            run = 1;
            while (tap + run < down.Taps(y) && run < PlainRunRows &&
                   rowWeights[tap + run] == rowWeights[tap])
                ++run;
            const auto weight = static_cast<RowWeight>(rowWeights[tap]);
            if (run == 1) {
                AddWeighted(columns.data(), rows.Row(down.first[y] + tap), rowBytes, weight);
                continue;
            }
            std::fill(plain.begin(), plain.end(), std::uint16_t{0});
            int row = down.first[y] + tap;
            const int end = row + run;
            for (; row + 4 <= end; row += 4)
                AddBytesOfFour(plain.data(), rows.Row(row), rows.Row(row + 1), rows.Row(row + 2),
                               rows.Row(row + 3), rowBytes);
            for (; row < end; ++row)
                AddBytes(plain.data(), rows.Row(row), rowBytes);
            AddWeighted(columns.data(), plain.data(), rowBytes, weight);
        }
        std::uint8_t* out = target.ScanLine(y);
        for (int x = 0; x < target.Width(); ++x, out += targetStride) {
            const ColumnSum* column = &columns[std::size_t(across.first[x]) * stride];
            const std::uint32_t* weights = across.WeightsOf(x);
            Acc sum[3] = {0, 0, 0};
            for (int tap = 0; tap < across.Taps(x); ++tap, column += stride)
                for (int channel = 0; channel < 3; ++channel)
                    sum[channel] += Acc(weights[tap]) * Acc(column[channel]);
            for (int channel = 0; channel < 3; ++channel)
                out[channel] =
                    static_cast<std::uint8_t>((sum[channel] + denominator / 2) / denominator);
            if (targetStride == 4)
                out[3] = 255;
        }
    }
}

template <typename ColumnSum, typename RowWeight, typename Acc>
void DrawFrom(TBitmap& target, const TBitmap& source, const AxisWeights& across,
              const AxisWeights& down) {
    switch (source.PixelFormat()) {
    case TPixelFormat::pfDevice:
        return Draw<ColumnSum, RowWeight, Acc, 4>(target, source, across, down);
    case TPixelFormat::pf24bit:
        return Draw<ColumnSum, RowWeight, Acc, 3>(target, source, across, down);
    case TPixelFormat::pf8bit:
        return Draw<ColumnSum, RowWeight, Acc, 0>(target, source, across, down);
    }
}

// Chooses the narrowest sums that hold the column sums exactly: 32 bits with 16-bit row weights
// for every thumbnail of a photo, 64 bits otherwise.
template <typename Acc>
void DrawWithColumnSums(TBitmap& target, const TBitmap& source, const AxisWeights& across,
                        const AxisWeights& down) {
    const std::uint32_t heaviest = *std::max_element(down.weights.begin(), down.weights.end());
    if (heaviest <= UINT16_MAX && 255 * down.denominator <= UINT32_MAX)
        DrawFrom<std::uint32_t, std::uint16_t, Acc>(target, source, across, down);
    else
        DrawFrom<std::uint64_t, std::uint32_t, Acc>(target, source, across, down);
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
        const Wide bound = Wide{256} * across.denominator * down.denominator;
        if (bound <= Wide{UINT32_MAX})
            DrawWithColumnSums<std::uint32_t>(target, source, across, down);
        else if (bound <= Wide{UINT64_MAX})
            DrawWithColumnSums<std::uint64_t>(target, source, across, down);
        else
            DrawWithColumnSums<Wide>(target, source, across, down);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
}
