// The JPEG coding against the reference codec's own tools, and its refusals of hostile files.
#include "pictures/JPEGImage.h"
#include "pictures/PictureLimits.h"
#include "platform/Exceptions.h"
#include "tests/PicturesTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include <jpeglib.h>

using namespace pictures_test;

namespace {

// Decodes with djpeg; the bytes' file and the result's are made in `folder`.
RgbImage Djpeg(const TemporaryFolder& folder, const std::string& options, const Bytes& jpeg) {
    const std::string source = folder.File("djpeg-in.jpg");
    const std::string target = folder.File("djpeg-out.pnm");
    WriteBytes(source, jpeg);
    std::vector<std::string> arguments;
    std::istringstream words(options);
    for (std::string word; words >> word;)
        arguments.push_back(word);
    arguments.insert(arguments.end(), {"-pnm", "-outfile", target, source});
    testkit::RunCodecTool("djpeg", arguments);
    return ReadPnm(target);
}

const TBitmap& Decoded(TJPEGImage& picture, const TemporaryFolder& folder, const Bytes& jpeg) {
    WriteBytes(folder.File("picture.jpg"), jpeg);
    picture.LoadFromFile(folder.File("picture.jpg"));
    return picture.Bitmap();
}

// --- Encoding -------------------------------------------------------------------------------

struct EncodeCase {
    int width;
    int height;
    TPixelFormat format;
    bool progressive;
};

class EncodeTest : public testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeTest, WritesTheBytesOfCjpegWithFloatDctQuality90) {
    const EncodeCase& c = GetParam();
    TemporaryFolder folder;
    const RgbImage image = c.format == TPixelFormat::pf8bit ? TestPaletteImage(c.width, c.height, 7)
                                                            : TestImage(c.width, c.height, 3, 7);
    TBitmap bitmap;
    FillBitmap(bitmap, image, c.format);
    TJPEGImage thumbnail;
    thumbnail.ProgressiveEncoding = c.progressive;
    thumbnail.Assign(&bitmap);
    thumbnail.SaveToFile(folder.File("thumbnail.jpg"));

    const Bytes expected = Cjpeg(image, std::string("-dct float -quality 90 ") +
                                            (c.progressive ? "-progressive" : "-baseline"));
    EXPECT_TRUE(ReadBytes(folder.File("thumbnail.jpg")) == expected);
    EXPECT_EQ(thumbnail.Data()->Width(), c.width);
    EXPECT_EQ(thumbnail.Data()->Height(), c.height);
}

INSTANTIATE_TEST_SUITE_P(SizesFormatsAndModes, EncodeTest,
                         testing::Values(EncodeCase{1, 1, TPixelFormat::pfDevice, false},
                                         EncodeCase{200, 1, TPixelFormat::pfDevice, false},
                                         EncodeCase{200, 150, TPixelFormat::pfDevice, false},
                                         EncodeCase{200, 150, TPixelFormat::pfDevice, true},
                                         EncodeCase{37, 23, TPixelFormat::pf24bit, false},
                                         EncodeCase{37, 23, TPixelFormat::pf24bit, true},
                                         EncodeCase{19, 45, TPixelFormat::pf8bit, false},
                                         EncodeCase{19, 45, TPixelFormat::pf8bit, true}),
                         [](const testing::TestParamInfo<EncodeCase>& info) {
                             const EncodeCase& c = info.param;
                             return std::to_string(c.width) + "x" + std::to_string(c.height) +
                                    pictures_test::FormatName(c.format) +
                                    (c.progressive ? "Progressive" : "Baseline");
                         });

TEST(EncodeTest, GreySourceBecomesA236LevelBitmapAndAThreeComponentThumbnail) {
    TemporaryFolder folder;
    const RgbImage grey = TestImage(40, 30, 1, 3);
    TJPEGImage source;
    const TBitmap& decoded = Decoded(source, folder, Cjpeg(grey, "-quality 85"));
    ASSERT_EQ(decoded.PixelFormat(), TPixelFormat::pf8bit);
    ASSERT_EQ(decoded.Palette().size(), 236u);
    for (const TPaletteEntry& entry : decoded.Palette())
        EXPECT_TRUE(entry[0] == entry[1] && entry[1] == entry[2]);

    TJPEGImage thumbnail;
    thumbnail.Assign(&decoded);
    thumbnail.SaveToFile(folder.File("thumbnail.jpg"));
    const Bytes saved = ReadBytes(folder.File("thumbnail.jpg"));
    // Three components, each with its own id: YCbCr.
    const auto segments = HeaderSegments(saved);
    const auto frame = std::find_if(segments.begin(), segments.end(),
                                    [](const Segment& s) { return s.marker == 0xC0; });
    ASSERT_NE(frame, segments.end());
    EXPECT_EQ(frame->payload[5], 3);
    EXPECT_TRUE(saved == Cjpeg(RgbOf(decoded), "-dct float -quality 90 -baseline"));
    const RgbImage back = Djpeg(folder, "-dct float", saved);
    ASSERT_EQ(back.channels, 3);
    for (std::size_t i = 0; i < back.pixels.size(); i += 3)
        ASSERT_TRUE(back.pixels[i] == back.pixels[i + 1] && back.pixels[i] == back.pixels[i + 2])
            << "pixel " << i / 3 << " is not grey";
}

TEST(EncodeTest, ExifSourceGivesAPlainJfifThumbnail) {
    TemporaryFolder folder;
    Bytes camera = Cjpeg(TestImage(64, 48, 3, 5), "-quality 80");
    // A camera file: Exif in place of the JFIF segment, and a comment.
    const auto app0 = HeaderSegments(camera).front();
    ASSERT_EQ(app0.marker, 0xE0);
    const Bytes exif = {0xFF, 0xE1, 0x00, 0x16, 'E', 'x', 'i', 'f', 0,   0,  'I',
                        'I',  0x2A, 0,    8,    0,   0,   0,   0,   0,   0,  0,
                        0,    0,    0xFF, 0xFE, 0,   6,   'c', 'a', 'm', 'e'};
    camera.erase(camera.begin() + 2, camera.begin() + 6 + std::ptrdiff_t(app0.payload.size()));
    camera.insert(camera.begin() + 2, exif.begin(), exif.end());

    TJPEGImage source;
    const TBitmap& decoded = Decoded(source, folder, camera);
    TJPEGImage thumbnail;
    thumbnail.Assign(&decoded);
    thumbnail.SaveToFile(folder.File("thumbnail.jpg"));
    const Bytes saved = ReadBytes(folder.File("thumbnail.jpg"));
    const Bytes jfif101 = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F',
                           0,    1,    1,    0,    0,    1,    0,   1,   0,   0};
    ASSERT_GE(saved.size(), jfif101.size());
    EXPECT_TRUE(std::equal(jfif101.begin(), jfif101.end(), saved.begin()));
    for (const Segment& segment : HeaderSegments(saved))
        EXPECT_TRUE(segment.marker != 0xE1 && segment.marker != 0xFE) << int(segment.marker);
}

// --- Decoding -------------------------------------------------------------------------------

struct DecodeCase {
    const char* name;
    int channels;
    const char* cjpegOptions;
};

class DecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, GivesThePixelsOfDjpegWithFloatDct) {
    const DecodeCase& c = GetParam();
    TemporaryFolder folder;
    const Bytes jpeg = Cjpeg(TestImage(45, 31, c.channels, 11), c.cjpegOptions);
    TJPEGImage picture;
    const TBitmap& decoded = Decoded(picture, folder, jpeg);
    // Grey output is quantised to 236 levels, as djpeg -colors 236 does (one pass, dithered).
    const RgbImage expected =
        Djpeg(folder, c.channels == 1 ? "-dct float -colors 236" : "-dct float", jpeg);
    const RgbImage actual = RgbOf(decoded);
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    EXPECT_EQ(decoded.PixelFormat(),
              c.channels == 1 ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
    for (std::size_t i = 0; i < actual.pixels.size(); ++i)
        ASSERT_EQ(actual.pixels[i],
                  expected.pixels[i / 3 * expected.channels + (i % 3) % expected.channels])
            << "byte " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DecodeTest,
    testing::Values(DecodeCase{"Baseline420", 3, "-quality 75"},
                    DecodeCase{"Progressive420", 3, "-quality 75 -progressive"},
                    DecodeCase{"Sampled444", 3, "-quality 95 -sample 1x1"},
                    DecodeCase{"Sampled422", 3, "-quality 60 -sample 2x1 -progressive"},
                    DecodeCase{"Rgb", 3, "-rgb -quality 80"}, DecodeCase{"Grey", 1, "-quality 70"},
                    DecodeCase{"GreyProgressive", 1, "-quality 70 -progressive"}),
    testkit::RowName());

struct TruncationCase {
    const char* name;
    const char* cjpegOptions;
};

class TruncatedFileTest : public testing::TestWithParam<TruncationCase> {};

TEST_P(TruncatedFileTest, DecodesWithoutAnError) {
    TemporaryFolder folder;
    Bytes jpeg = Cjpeg(TestImage(80, 60, 3, 2), GetParam().cjpegOptions);
    const std::size_t firstScan = ScanOffsets(jpeg).front();
    jpeg.resize(firstScan + (jpeg.size() - firstScan) / 2);
    TJPEGImage picture;
    const TBitmap& decoded = Decoded(picture, folder, jpeg);
    EXPECT_EQ(decoded.Width(), 80);
    EXPECT_EQ(decoded.Height(), 60);
}

INSTANTIATE_TEST_SUITE_P(Kinds, TruncatedFileTest,
                         testing::Values(TruncationCase{"Baseline", "-quality 90"},
                                         TruncationCase{"Progressive", "-quality 90 -progressive"}),
                         testkit::RowName());

TEST(DecodeTest, OneRowPictureDecodesLikeAnyOther) {
    TemporaryFolder folder;
    const Bytes jpeg = Cjpeg(TestImage(300, 1, 3, 4), "-quality 90");
    TJPEGImage picture;
    const TBitmap& decoded = Decoded(picture, folder, jpeg);
    EXPECT_TRUE(RgbOf(decoded).pixels == Djpeg(folder, "-dct float", jpeg).pixels);
}

// A four-component Adobe CMYK file, as only libjpeg itself writes one (cjpeg reads no CMYK).
// The fixture's input is valid, so libjpeg's default error handling never triggers.
Bytes CmykJpeg(int width, int height) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    const RgbImage ink = TestImage(width * 4, height, 1, 6);
    for (int y = 0; y < height; ++y) {
        JSAMPROW row = const_cast<std::uint8_t*>(&ink.pixels[std::size_t(y) * width * 4]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

TEST(DecodeTest, CmykFilesDecodeToTheRgbOfDjpeg) {
    TemporaryFolder folder;
    const Bytes jpeg = CmykJpeg(21, 13);
    TJPEGImage picture;
    const TBitmap& decoded = Decoded(picture, folder, jpeg);
    EXPECT_EQ(decoded.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_TRUE(RgbOf(decoded).pixels == Djpeg(folder, "-dct float", jpeg).pixels);
}

// --- Hostile files --------------------------------------------------------------------------

struct ClaimedSize {
    const char* name;
    const char* options;
    int channels;
    int size;
};

class ClaimedSizeTest : public testing::TestWithParam<ClaimedSize> {};

// A file of a few hundred bytes may claim 8192 x 8192 pixels at most, whatever it holds.
TEST_P(ClaimedSizeTest, FailsWithOutOfMemoryBeforeAllocating) {
    const ClaimedSize& c = GetParam();
    TemporaryFolder folder;
    const Bytes jpeg =
        WithClaimedSize(Cjpeg(TestImage(16, 16, c.channels, 1), c.options), c.size, c.size);
    TJPEGImage picture;
    WriteBytes(folder.File("huge.jpg"), jpeg);
    picture.LoadFromFile(folder.File("huge.jpg"));
    EXPECT_EQ(picture.Width(), c.size);
    ExpectThrows<EOutOfMemory>([&] { picture.Bitmap(); }, "Out of memory");
    // The failure is reported once; afterwards the picture is empty.
    EXPECT_TRUE(picture.Bitmap().Empty());
    EXPECT_EQ(picture.Width(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    HostileFiles, ClaimedSizeTest,
    testing::Values(ClaimedSize{"Baseline", "-quality 90", 3, 60000},
                    ClaimedSize{"Progressive", "-quality 90 -progressive", 3, 60000},
                    ClaimedSize{"GreyProgressive", "-quality 90 -progressive", 1, 30000},
                    ClaimedSize{"JustPastTheSmallFilesLimit", "-quality 90", 1, 8193}),
    testkit::RowName());

TEST(HostileFileTest, AClaimedSizeIsPaidForByTheFilesLength) {
    EXPECT_EQ(MaxDecodePixelsFor(0), 8192u * 8192u);
    EXPECT_EQ(MaxDecodePixelsFor(1 << 20), 8192u * 8192u) << "no file below 1 MiB passes it";
    EXPECT_EQ(MaxDecodePixelsFor(1'600'000), 102'400'000u) << "100 megapixels in 1.6 MB";
    EXPECT_EQ(MaxDecodePixelsFor(std::uint64_t{1} << 40), std::uint64_t{1} << 28);
}

TEST(HostileFileTest, ScansOverALargePictureAreRefusedSooner) {
    TemporaryFolder folder;
    const Bytes progressive =
        WithClaimedSize(Cjpeg(TestImage(16, 16, 1, 1), "-quality 90 -progressive"), 8192, 8192);
    const int ownScans = int(ScanOffsets(progressive).size());
    TJPEGImage picture;
    ExpectThrows<EJPEG>(
        [&] { Decoded(picture, folder, WithRepeatedFirstScan(progressive, 33 - ownScans)); },
        "JPEG error: more than 32 scans");
}

TEST(HostileFileTest, DataThatFailedToDecodeFailsAgainWithoutDecodingAndDrawsAsNothing) {
    TemporaryFolder folder;
    WriteBytes(folder.File("huge.jpg"),
               WithClaimedSize(Cjpeg(TestImage(16, 16, 3, 1)), 9000, 9000));
    TJPEGImage loaded;
    loaded.LoadFromFile(folder.File("huge.jpg"));
    TJPEGImage rendering;
    rendering.Assign(&loaded); // shares the data, as the rendering's copy does
    const Exception* first = nullptr;
    const Exception* again = nullptr;
    try {
        rendering.Bitmap();
    } catch (const EOutOfMemory& e) {
        first = &e;
    }
    try {
        TJPEGImage secondRendering;
        secondRendering.Assign(&loaded);
        secondRendering.Bitmap();
    } catch (const EOutOfMemory& e) {
        again = &e;
    }
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(again, first) << "the remembered failure, not a second decode";
    // The view holding the loaded picture draws nothing and reports nothing more.
    EXPECT_TRUE(loaded.DrawingBitmap().Empty());
}

TEST(HostileFileTest, MoreThanAThousandScansAreRefused) {
    TemporaryFolder folder;
    const Bytes progressive = Cjpeg(TestImage(8, 8, 1, 1), "-quality 90 -progressive");
    const int ownScans = int(ScanOffsets(progressive).size());
    {
        TJPEGImage picture;
        const TBitmap& decoded =
            Decoded(picture, folder, WithRepeatedFirstScan(progressive, 1000 - ownScans));
        EXPECT_EQ(decoded.Width(), 8);
    }
    TJPEGImage picture;
    ExpectThrows<EJPEG>(
        [&] { Decoded(picture, folder, WithRepeatedFirstScan(progressive, 1001 - ownScans)); },
        "JPEG error: more than 1000 scans");
}

} // namespace
