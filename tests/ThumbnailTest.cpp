// The thumbnail's size arithmetic and the halftone stretch.
#include "pictures/Bitmap.h"
#include "platform/Exceptions.h"
#include "tests/PicturesTestSupport.h"
#include "tests/TestKit.h"
#include "thumbnail/StretchBitmap.h"
#include "thumbnail/ThumbnailSize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <ostream>
#include <random>
#include <vector>

namespace {

using testkit::ExpectThrows;

// --- Height ---------------------------------------------------------------------------------

struct HeightCase {
    int pictureWidth;
    int pictureHeight;
    float storedRatio;
    int thumbnailHeight; // at width 200
};

std::ostream& operator<<(std::ostream& out, const HeightCase& c) {
    return out << c.pictureWidth << " x " << c.pictureHeight;
}

class ThumbnailHeightTest : public testing::TestWithParam<HeightCase> {};

TEST_P(ThumbnailHeightTest, TruncatesTheExactProductOfTheSingleRatio) {
    const HeightCase& c = GetParam();
    const float ratio = AspectRatio(c.pictureHeight, c.pictureWidth);
    EXPECT_EQ(ratio, c.storedRatio);
    EXPECT_EQ(ThumbnailHeight(200, ratio), c.thumbnailHeight);
}

INSTANTIATE_TEST_SUITE_P(Sources, ThumbnailHeightTest,
                         testing::Values(HeightCase{1600, 1200, 0.75f, 150},
                                         HeightCase{1920, 1080, 0.5625f, 112},
                                         HeightCase{1000, 700, 0.699999988079071f, 139},
                                         HeightCase{3000, 2000, 0.666666686534882f, 133},
                                         HeightCase{1200, 1600, 1.33333337306976f, 266},
                                         HeightCase{2000, 3000, 1.5f, 300},
                                         HeightCase{2000, 10, 0.00499999988824129f, 0},
                                         HeightCase{1000, 7, 0.007f, 1},
                                         HeightCase{1, 1, 1.0f, 200}),
                         [](const testing::TestParamInfo<HeightCase>& info) {
                             return std::to_string(info.param.pictureWidth) + "x" +
                                    std::to_string(info.param.pictureHeight);
                         });

TEST(ThumbnailHeight, ZeroByZeroIsAnInvalidOperationAndOverZeroADivisionByZero) {
    ExpectThrows<EInvalidOp>([] { AspectRatio(0, 0); }, "Invalid floating point operation");
    ExpectThrows<EZeroDivide>([] { AspectRatio(5, 0); }, "Floating point division by zero");
    EXPECT_EQ(AspectRatio(0, 7), 0.0f);
}

TEST(ThumbnailHeight, AHeightBeyondThe32BitRangeIsAnInvalidOperation) {
    const int largest = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(ThumbnailHeight(largest, 1.0f), largest);
    // 2^30 x 2 is 2^31, one past the largest height.
    ExpectThrows<EInvalidOp>([] { ThumbnailHeight(1 << 30, 2.0f); },
                             "Invalid floating point operation");
    EXPECT_EQ(ThumbnailHeight(largest, AspectRatio(1, 2)), largest / 2);
    ExpectThrows<EInvalidOp>([&] { ThumbnailHeight(largest, AspectRatio(65535, 1)); },
                             "Invalid floating point operation");
}

TEST(ThumbnailWidth, ReadsTheFieldAndCountsNegativeWidthsAsZero) {
    EXPECT_EQ(ThumbnailWidth("200"), 200);
    EXPECT_EQ(ThumbnailWidth("$C8"), 200);
    EXPECT_EQ(ThumbnailWidth("-5"), 0);
    EXPECT_EQ(ThumbnailWidth("$FFFFFFFF"), 0);
    ExpectThrows<EConvertError>([] { ThumbnailWidth("200 "); },
                                "'200 ' is not a valid integer value");
}

// --- Stretch --------------------------------------------------------------------------------

using Colour = std::array<int, 3>; // red, green, blue

struct Raster {
    int width;
    int height;
    std::vector<Colour> pixels; // row by row, top row first
    Colour At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

Raster RandomRaster(int width, int height, std::mt19937& random) {
    std::uniform_int_distribution<int> level(0, 255);
    Raster raster{width, height, {}};
    for (int i = 0; i < width * height; ++i)
        raster.pixels.push_back({level(random), level(random), level(random)});
    return raster;
}

// A bitmap of the raster's colours in `format`. An 8-bit bitmap gets one palette entry for each
// pixel, so that it holds every colour of the raster exactly.
std::unique_ptr<TBitmap> MakeBitmap(const Raster& raster, TPixelFormat format) {
    auto made = std::make_unique<TBitmap>();
    TBitmap& bitmap = *made;
    bitmap.SetSize(raster.width, raster.height);
    bitmap.SetPixelFormat(format);
    if (format == TPixelFormat::pf8bit) {
        std::vector<TPaletteEntry> palette;
        for (const Colour& c : raster.pixels)
            palette.push_back({std::uint8_t(c[0]), std::uint8_t(c[1]), std::uint8_t(c[2])});
        bitmap.SetPalette(palette);
    }
    const int bytes = TBitmap::BytesPerPixel(format);
    for (int y = 0; y < raster.height; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < raster.width; ++x) {
            const Colour c = raster.At(x, y);
            if (format == TPixelFormat::pf8bit) {
                row[x] = std::uint8_t(y * raster.width + x);
                continue;
            }
            row[x * bytes + 0] = std::uint8_t(c[2]);
            row[x * bytes + 1] = std::uint8_t(c[1]);
            row[x * bytes + 2] = std::uint8_t(c[0]);
            if (bytes == 4)
                row[x * bytes + 3] = 255;
        }
    }
    return made;
}

// Reads a device-format bitmap, checking the fourth byte of every pixel.
Raster ReadDevice(const TBitmap& bitmap) {
    EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pfDevice);
    Raster raster{bitmap.Width(), bitmap.Height(), {}};
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            raster.pixels.push_back({row[x * 4 + 2], row[x * 4 + 1], row[x * 4 + 0]});
            EXPECT_EQ(row[x * 4 + 3], 255) << "at " << x << ", " << y;
        }
    }
    return raster;
}

Raster Stretch(const Raster& source, TPixelFormat format, int width, int height) {
    TBitmap target;
    target.SetSize(width, height);
    StretchBitmap(target, *MakeBitmap(source, format));
    return ReadDevice(target);
}

// The exact area average, by rationals: target pixel (x, y) spans [x * w / W, (x + 1) * w / W)
// times [y * h / H, (y + 1) * h / H) of the source. Lengths are kept in units of 1/W and 1/H of
// a source pixel so they stay integers; the result is rounded to nearest, halves up.
Raster ExactAreaAverage(const Raster& source, int width, int height) {
    auto overlap = [](std::int64_t targetIndex, std::int64_t sourceIndex, std::int64_t targetSize,
                      std::int64_t sourceSize) {
        const std::int64_t begin = std::max(targetIndex * sourceSize, sourceIndex * targetSize);
        const std::int64_t end =
            std::min((targetIndex + 1) * sourceSize, (sourceIndex + 1) * targetSize);
        return std::max<std::int64_t>(0, end - begin);
    };
    Raster result{width, height, {}};
    const std::int64_t area = std::int64_t{source.width} * source.height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::array<std::int64_t, 3> sum{};
            for (int sy = 0; sy < source.height; ++sy)
                for (int sx = 0; sx < source.width; ++sx) {
                    const std::int64_t weight =
                        overlap(x, sx, width, source.width) * overlap(y, sy, height, source.height);
                    for (int c = 0; c < 3; ++c)
                        sum[c] += weight * source.At(sx, sy)[c];
                }
            Colour colour;
            for (int c = 0; c < 3; ++c)
                colour[c] = int((2 * sum[c] + area) / (2 * area));
            result.pixels.push_back(colour);
        }
    }
    return result;
}

void ExpectEqualRasters(const Raster& actual, const Raster& expected) {
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            ASSERT_EQ(actual.At(x, y), expected.At(x, y)) << "at " << x << ", " << y;
}

TEST(StretchBitmap, ShrinkingAveragesByCoveredAreaByHand) {
    // Three pixels into two: each target pixel takes one whole pixel and half of the middle one,
    // (2a + b) / 3 and (b + 2c) / 3.
    const Raster row{3, 1, {{10, 0, 255}, {20, 255, 0}, {30, 0, 0}}};
    ExpectEqualRasters(Stretch(row, TPixelFormat::pf24bit, 2, 1),
                       Raster{2, 1, {{13, 85, 170}, {27, 85, 0}}});

    // 5 x 5 into 2 x 2: the top-left target pixel covers 2.5 x 2.5 source pixels, weighing the
    // 2 x 2 corner 4, the half-covered edges 2 and the quarter-covered centre 1, out of 25.
    Raster square{5, 5, std::vector<Colour>(25, Colour{0, 0, 0})};
    square.pixels[2 * 5 + 2] = {250, 0, 0}; // centre: a quarter in each target pixel
    square.pixels[0 * 5 + 2] = {0, 100, 0}; // top edge: half in each of the top two
    square.pixels[4 * 5 + 4] = {0, 0, 200}; // bottom-right corner: all in one
    ExpectEqualRasters(Stretch(square, TPixelFormat::pfDevice, 2, 2),
                       Raster{2, 2, {{10, 8, 0}, {10, 8, 0}, {10, 0, 0}, {10, 0, 32}}});
}

// Rounding to 8 bits between the passes would turn both answers round: rows (or columns) of 2/3,
// 2/3 and 0 would round to 1, 1, 0 and give 1 instead of 4/9; rows of 1/3, 1/3 and 1 would round
// to 0, 0, 1 and give 0 instead of 5/9.
TEST(StretchBitmap, RoundsOnceAtTheEnd) {
    // Red levels row by row; green and blue stay 0.
    auto red = [](std::vector<int> levels) {
        Raster raster{3, 3, {}};
        for (int level : levels)
            raster.pixels.push_back({level, 0, 0});
        return raster;
    };
    ExpectEqualRasters(Stretch(red({1, 1, 0, 1, 1, 0, 0, 0, 0}), TPixelFormat::pf24bit, 1, 1),
                       Raster{1, 1, {{0, 0, 0}}});
    ExpectEqualRasters(Stretch(red({1, 0, 0, 1, 0, 0, 1, 1, 1}), TPixelFormat::pf24bit, 1, 1),
                       Raster{1, 1, {{1, 0, 0}}});
}

struct ShrinkCase {
    int sourceWidth, sourceHeight, width, height;
    TPixelFormat format;
};

std::ostream& operator<<(std::ostream& out, const ShrinkCase& c) {
    return out << c.sourceWidth << " x " << c.sourceHeight << " to " << c.width << " x " << c.height
               << " from format " << int(c.format);
}

class StretchShrinkTest : public testing::TestWithParam<ShrinkCase> {};

TEST_P(StretchShrinkTest, EqualsTheExactRationalAreaAverage) {
    const ShrinkCase& c = GetParam();
    std::mt19937 random(std::uint32_t(c.sourceWidth * 131 + c.sourceHeight * 7 + c.width));
    for (int round = 0; round < 5; ++round) {
        const Raster source = RandomRaster(c.sourceWidth, c.sourceHeight, random);
        ExpectEqualRasters(Stretch(source, c.format, c.width, c.height),
                           ExactAreaAverage(source, c.width, c.height));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, StretchShrinkTest,
    testing::Values(ShrinkCase{3, 1, 2, 1, TPixelFormat::pfDevice},
                    ShrinkCase{5, 5, 2, 2, TPixelFormat::pf24bit},
                    ShrinkCase{7, 5, 3, 2, TPixelFormat::pfDevice},
                    ShrinkCase{13, 11, 4, 5, TPixelFormat::pf24bit},
                    ShrinkCase{16, 9, 16, 9, TPixelFormat::pfDevice}, // same size: a copy
                    ShrinkCase{10, 15, 10, 4, TPixelFormat::pf8bit},  // one axis kept
                    ShrinkCase{12, 12, 5, 7, TPixelFormat::pf8bit},
                    ShrinkCase{1200, 3, 7, 1, TPixelFormat::pf24bit},
                    ShrinkCase{1300, 2, 600, 1, TPixelFormat::pfDevice}, // more than one band
                    ShrinkCase{9, 13, 1, 1, TPixelFormat::pf24bit}),
    [](const testing::TestParamInfo<ShrinkCase>& info) {
        const ShrinkCase& c = info.param;
        return std::to_string(c.sourceWidth) + "x" + std::to_string(c.sourceHeight) + "To" +
               std::to_string(c.width) + "x" + std::to_string(c.height) +
               pictures_test::FormatName(c.format);
    });

TEST(StretchBitmap, EnlargingInterpolatesBetweenPixelCentres) {
    // Target centres fall at source positions 0 (clamped), 0.25, 0.75 and 1 (clamped).
    const Raster pair{2, 1, {{0, 255, 100}, {255, 0, 200}}};
    ExpectEqualRasters(
        Stretch(pair, TPixelFormat::pf24bit, 4, 1),
        Raster{4, 1, {{0, 255, 100}, {64, 191, 125}, {191, 64, 175}, {255, 0, 200}}});

    // A flat colour stays flat at any size, and one pixel fills the whole target.
    const Raster flat{3, 2, std::vector<Colour>(6, Colour{12, 34, 56})};
    ExpectEqualRasters(Stretch(flat, TPixelFormat::pfDevice, 10, 7),
                       Raster{10, 7, std::vector<Colour>(70, Colour{12, 34, 56})});
    const Raster dot{1, 1, {{200, 100, 50}}};
    ExpectEqualRasters(Stretch(dot, TPixelFormat::pf8bit, 5, 3),
                       Raster{5, 3, std::vector<Colour>(15, Colour{200, 100, 50})});
}

TEST(StretchBitmap, EnlargingAWideTargetFollowsTheRampEverywhere) {
    const Raster ramp{2, 1, {{0, 255, 0}, {255, 0, 0}}};
    const int width = 1030; // several bands of columns
    const Raster wide = Stretch(ramp, TPixelFormat::pf24bit, width, 1);
    for (int x = 0; x < width; ++x) {
        const double position = std::clamp((x + 0.5) * 2 / width - 0.5, 0.0, 1.0);
        ASSERT_NEAR(wide.At(x, 0)[0], 255 * position, 0.5 + 1e-9) << "at " << x;
        ASSERT_NEAR(wide.At(x, 0)[1], 255 * (1 - position), 0.5 + 1e-9) << "at " << x;
    }
}

TEST(StretchBitmap, ScalesEachAxisOnItsOwn) {
    // Four columns averaged into two, one row enlarged to three.
    const Raster row{4, 1, {{0, 0, 0}, {100, 0, 0}, {200, 0, 0}, {255, 0, 0}}};
    ExpectEqualRasters(
        Stretch(row, TPixelFormat::pf24bit, 2, 3),
        Raster{2, 3,
               std::vector<Colour>{
                   {50, 0, 0}, {228, 0, 0}, {50, 0, 0}, {228, 0, 0}, {50, 0, 0}, {228, 0, 0}}});
}

TEST(StretchBitmap, ReadsAGreySourceThroughItsPalette) {
    // The grey levels a one-component JPEG decodes to: 236 evenly spaced entries.
    std::vector<TPaletteEntry> palette;
    for (int i = 0; i < 236; ++i) {
        const auto level = std::uint8_t((i * 255 + 117) / 235);
        palette.push_back({level, level, level});
    }
    TBitmap grey;
    grey.SetSize(4, 2);
    grey.SetPixelFormat(TPixelFormat::pf8bit);
    grey.SetPalette(palette);
    const std::uint8_t indices[2][4] = {{0, 235, 0, 235}, {235, 235, 0, 0}};
    for (int y = 0; y < 2; ++y)
        std::copy_n(indices[y], 4, grey.ScanLine(y));

    TBitmap target;
    target.SetSize(2, 1);
    StretchBitmap(target, grey);
    // Left: three white of four, 191.25; right: one of four, 63.75.
    ExpectEqualRasters(ReadDevice(target), Raster{2, 1, {{191, 191, 191}, {64, 64, 64}}});
}

TEST(StretchBitmap, AnEmptySourceOrTargetDrawsNothing) {
    TBitmap target;
    target.SetSize(2, 2);
    for (int y = 0; y < 2; ++y)
        std::fill_n(target.ScanLine(y), target.RowBytes(), std::uint8_t{77});
    StretchBitmap(target, TBitmap());
    TBitmap wide;
    wide.SetSize(3, 0);
    StretchBitmap(target, wide);
    for (int y = 0; y < 2; ++y)
        for (std::size_t i = 0; i < target.RowBytes(); ++i)
            ASSERT_EQ(target.ScanLine(y)[i], 77);

    TBitmap empty;
    empty.SetSize(200, 0);
    StretchBitmap(empty, *MakeBitmap(Raster{1, 1, {{1, 2, 3}}}, TPixelFormat::pfDevice));
    EXPECT_EQ(empty.Width(), 200);
    EXPECT_EQ(empty.Height(), 0);
}

} // namespace
