// The rendering of a thumbnail from the full-size view's picture into the thumbnail view's graphic.
#include "pictures/Bitmap.h"
#include "pictures/JPEGImage.h"
#include "pictures/Picture.h"
#include "platform/Exceptions.h"
#include "thumbnail/Rendering.h"

#include "tests/TestKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using testkit::Bytes;
using testkit::ExpectThrows;
using testkit::ReadBytes;
using testkit::RgbImage;
using testkit::TemporaryFolder;
using testkit::WriteBytes;
using testkit::WriteJpeg;

// Colour stripes: red rises from left to right, green from top to bottom, blue stays.
RgbImage Stripes(int width, int height) {
    RgbImage image{width, height, 3, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.pixels.insert(
                image.pixels.end(),
                {std::uint8_t((x * 255) / std::max(1, width - 1)), std::uint8_t(y % 256), 128});
    return image;
}

// Grey levels from black on the left to white on the right.
RgbImage GreyRamp(int width, int height) {
    RgbImage image{width, height, 1, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.pixels.push_back(std::uint8_t((x * 255) / std::max(1, width - 1)));
    return image;
}

// The same JPEG without its quantisation tables: the header still parses, decoding fails.
std::string WithoutQuantisationTables(const TemporaryFolder& folder, const std::string& jpeg) {
    const Bytes bytes = ReadBytes(jpeg);
    Bytes stripped(bytes.begin(), bytes.begin() + 2);
    for (const testkit::Segment& segment : testkit::HeaderSegments(bytes)) {
        const auto start = bytes.begin() + std::ptrdiff_t(segment.offset);
        if (segment.marker == 0xDA)
            stripped.insert(stripped.end(), start, bytes.end());
        else if (segment.marker != 0xDB)
            stripped.insert(stripped.end(), start,
                            start + 4 + std::ptrdiff_t(segment.payload.size()));
    }
    const std::string path = folder.File("no-tables.jpg");
    WriteBytes(path, stripped);
    return path;
}

std::vector<std::uint8_t> Pixels(const TBitmap& bitmap) {
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < bitmap.Height(); ++y)
        pixels.insert(pixels.end(), bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.RowBytes());
    return pixels;
}

// Both views as the window holds them: the thumbnail view with a loaded JPEG picture.
class RenderingTest : public testing::Test {
protected:
    void SetUp() override {
        thumbnailView.LoadFromFile(
            WriteJpeg(folder.File("previous.jpg"), Stripes(30, 20), "-quality 90 -progressive"));
        previousData = Thumbnail().Data();
    }
    TJPEGImage& Thumbnail() { return dynamic_cast<TJPEGImage&>(*thumbnailView.Graphic()); }
    void Render(const std::string& widthText) {
        RenderThumbnail(fullSizeView, *thumbnailView.Graphic(), widthText);
    }
    void ExpectThumbnailUntouched() {
        EXPECT_EQ(Thumbnail().Data(), previousData);
        EXPECT_FALSE(Thumbnail().HasBitmap());
        EXPECT_EQ(Thumbnail().Width(), 30);
        EXPECT_EQ(Thumbnail().Height(), 20);
    }

    TemporaryFolder folder;
    TPicture fullSizeView;
    TPicture thumbnailView;
    std::shared_ptr<const TJPEGData> previousData;
};

struct FailureCase {
    const char* name;
    // Prepares the full-size view; gives the width text.
    std::function<std::string(const TemporaryFolder&, TPicture&)> prepare;
    const char* message;
};

std::ostream& operator<<(std::ostream& out, const FailureCase& c) {
    return out << c.name;
}

class RenderingFailureTest : public RenderingTest,
                             public testing::WithParamInterface<FailureCase> {};

TEST_P(RenderingFailureTest, ReportsTheFailureAndLeavesTheThumbnailAsItWas) {
    const std::string widthText = GetParam().prepare(folder, fullSizeView);
    ExpectThrows<Exception>([&] { Render(widthText); }, GetParam().message);
    ExpectThumbnailUntouched();
}

INSTANTIATE_TEST_SUITE_P(
    Causes, RenderingFailureTest,
    testing::Values(
        FailureCase{"NoGraphic", [](const TemporaryFolder&, TPicture&) { return "200"; },
                    "Cannot assign a nil to a TJPEGImage"},
        FailureCase{"EmptyFile",
                    [](const TemporaryFolder& folder, TPicture& view) {
                        WriteBytes(folder.File("empty.jpg"), {});
                        view.LoadFromFile(folder.File("empty.jpg"));
                        return "200";
                    },
                    "JPEG error #42"},
        FailureCase{"WidthNoInteger",
                    [](const TemporaryFolder& folder, TPicture& view) {
                        view.LoadFromFile(WriteJpeg(folder.File("source.jpg"), Stripes(40, 30)));
                        return "abc";
                    },
                    "'abc' is not a valid integer value"},
        FailureCase{"WidthWithTrailingSpace",
                    [](const TemporaryFolder& folder, TPicture& view) {
                        view.LoadFromFile(WriteJpeg(folder.File("source.jpg"), Stripes(40, 30)));
                        return "200 ";
                    },
                    "'200 ' is not a valid integer value"},
        FailureCase{"DecodingFailedWhenDrawn",
                    [](const TemporaryFolder& folder, TPicture& view) {
                        view.LoadFromFile(WithoutQuantisationTables(
                            folder, WriteJpeg(folder.File("source.jpg"), Stripes(40, 30))));
                        ExpectThrows<EJPEG>([&] { view.Graphic()->DrawingBitmap(); },
                                            "JPEG error #52");
                        EXPECT_EQ(view.Width(), 0);
                        return "200";
                    },
                    "Invalid floating point operation"},
        FailureCase{"HeightBeyond32Bits",
                    [](const TemporaryFolder& folder, TPicture& view) {
                        view.LoadFromFile(WriteJpeg(folder.File("source.jpg"), Stripes(1, 300)));
                        return "2147483647";
                    },
                    "Invalid floating point operation"},
        FailureCase{"BitmapOfWidthZero",
                    [](const TemporaryFolder&, TPicture& view) {
                        auto bitmap = std::make_unique<TBitmap>();
                        bitmap->SetSize(0, 5);
                        view.SetGraphic(std::move(bitmap));
                        return "200";
                    },
                    "Floating point division by zero"}),
    testkit::RowName());

struct SizeCase {
    const char* name;
    int sourceWidth;
    int sourceHeight;
    const char* widthText;
    int width;
    int height;
};

std::ostream& operator<<(std::ostream& out, const SizeCase& c) {
    return out << c.sourceWidth << " x " << c.sourceHeight << " at '" << c.widthText << "'";
}

class RenderingSizeTest : public RenderingTest, public testing::WithParamInterface<SizeCase> {};

TEST_P(RenderingSizeTest, GivesTheThumbnailItsSizeAndNoCompressedData) {
    const SizeCase& c = GetParam();
    fullSizeView.LoadFromFile(
        WriteJpeg(folder.File("source.jpg"), Stripes(c.sourceWidth, c.sourceHeight)));
    Render(c.widthText);
    EXPECT_EQ(thumbnailView.Width(), c.width);
    EXPECT_EQ(thumbnailView.Height(), c.height);
    EXPECT_TRUE(Thumbnail().Data()->Bytes().empty());
    EXPECT_NE(Thumbnail().Data(), previousData);
    ASSERT_TRUE(Thumbnail().HasBitmap());
    if (c.width > 0 && c.height > 0) {
        EXPECT_EQ(Thumbnail().Bitmap().PixelFormat(), TPixelFormat::pfDevice);
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, RenderingSizeTest,
                         testing::Values(SizeCase{"Landscape", 400, 300, "200", 200, 150},
                                         SizeCase{"DollarWidth", 400, 300, "$C8", 200, 150},
                                         SizeCase{"TruncatedHeight", 1000, 700, "200", 200, 139},
                                         SizeCase{"OneRowHigh", 1000, 7, "200", 200, 1},
                                         SizeCase{"ZeroRowsHigh", 2000, 10, "200", 200, 0},
                                         SizeCase{"ZeroWidth", 400, 300, "0", 0, 0},
                                         SizeCase{"NegativeWidth", 400, 300, "-5", 0, 0},
                                         SizeCase{"Enlarged", 40, 30, "80", 80, 60}),
                         testkit::RowName());

TEST_F(RenderingTest, RendersAgainToTheSamePixelsInTheSameObjectWithItsSettings) {
    ASSERT_TRUE(Thumbnail().ProgressiveEncoding);
    const TGraphic* graphic = thumbnailView.Graphic();
    int changes = 0;
    thumbnailView.SetOnChange([&] { ++changes; });
    fullSizeView.LoadFromFile(WriteJpeg(folder.File("source.jpg"), Stripes(640, 480)));
    const auto sourceData = dynamic_cast<TJPEGImage&>(*fullSizeView.Graphic()).Data();

    Render("200");
    const std::vector<std::uint8_t> first = Pixels(Thumbnail().Bitmap());
    Render("200");

    EXPECT_EQ(thumbnailView.Graphic(), graphic);
    EXPECT_TRUE(Thumbnail().ProgressiveEncoding);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(Pixels(Thumbnail().Bitmap()), first);
    EXPECT_EQ(first.size(), std::size_t(200) * 150 * 4);
    // The full-size view keeps its own data and is not decoded by the rendering.
    const auto& source = dynamic_cast<TJPEGImage&>(*fullSizeView.Graphic());
    EXPECT_EQ(source.Data(), sourceData);
    EXPECT_FALSE(source.HasBitmap());
}

TEST_F(RenderingTest, TakesABitmapInTheFullSizeViewAsItsSource) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(4, 2);
    const std::uint8_t rows[2][16] = {
        {0, 0, 0, 255, 40, 40, 40, 255, 80, 80, 80, 255, 0, 0, 0, 255},
        {0, 0, 0, 255, 40, 40, 40, 255, 0, 0, 0, 255, 0, 0, 0, 255}};
    for (int y = 0; y < 2; ++y)
        std::copy_n(rows[y], 16, bitmap->ScanLine(y));
    fullSizeView.SetGraphic(std::move(bitmap));

    Render("2");
    EXPECT_EQ(Pixels(Thumbnail().Bitmap()),
              (std::vector<std::uint8_t>{20, 20, 20, 255, 20, 20, 20, 255}));

    // Pixels written in place after a rendering are what the next rendering of them shows.
    auto& source = dynamic_cast<TBitmap&>(*fullSizeView.Graphic());
    std::fill_n(source.ScanLine(0), 16, std::uint8_t{200});
    Render("2");
    EXPECT_EQ(Pixels(Thumbnail().Bitmap()),
              (std::vector<std::uint8_t>{110, 110, 110, 255, 100, 100, 100, 255}));
}

TEST_F(RenderingTest, AGreySourceGivesGreyPixels) {
    fullSizeView.LoadFromFile(WriteJpeg(folder.File("grey.jpg"), GreyRamp(300, 40)));
    Render("100");
    const TBitmap& thumbnail = Thumbnail().Bitmap();
    ASSERT_EQ(thumbnail.Width(), 100);
    ASSERT_EQ(thumbnail.Height(), 13);
    for (int y = 0; y < thumbnail.Height(); ++y)
        for (int x = 0; x < thumbnail.Width(); ++x) {
            const std::uint8_t* pixel = thumbnail.ScanLine(y) + x * 4;
            ASSERT_EQ(pixel[0], pixel[1]);
            ASSERT_EQ(pixel[1], pixel[2]);
        }
    // The ramp runs from black on the left to white on the right.
    EXPECT_LT(thumbnail.ScanLine(6)[0], 10);
    EXPECT_GT(thumbnail.ScanLine(6)[99 * 4], 245);
}

} // namespace
