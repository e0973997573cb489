// Fixtures for the picture tests: a temporary folder, PPM/PGM files, the reference codec's tools
// and a walk over the markers of a JPEG stream.
#pragma once

#include "pictures/Bitmap.h"
#include "tests/TestKit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pictures_test {

using testkit::Bytes;
using testkit::ExpectThrows;
using testkit::ReadBytes;
using testkit::TemporaryFolder;
using testkit::WriteBytes;

// Runs a shell command and fails the test when it does not exit with 0.
void RunTool(const std::string& command);

// Red, green, blue per pixel, rows top down.
struct RgbImage {
    int width = 0;
    int height = 0;
    int channels = 3; // 1 for grey
    Bytes pixels;
};

// Gradients with noise, so that every DCT coefficient and the dithering get work.
RgbImage TestImage(int width, int height, int channels, unsigned seed);
void WritePnm(const std::string& path, const RgbImage& image);
RgbImage ReadPnm(const std::string& path);

// A bitmap of the given format holding the image's pixels (8 bits: a palette of the image's
// colours, which TestPaletteImage keeps to at most 256).
RgbImage TestPaletteImage(int width, int height, unsigned seed);
void FillBitmap(TBitmap& bitmap, const RgbImage& image, TPixelFormat format);
// The bitmap's pixels as red, green, blue, whatever its format.
RgbImage RgbOf(const TBitmap& bitmap);

struct Segment {
    std::uint8_t marker;
    std::size_t offset; // of the 0xFF that starts the marker
    Bytes payload;      // without the length field
};
// The marker segments from SOI up to and including the first SOS.
std::vector<Segment> HeaderSegments(const Bytes& jpeg);
// Offsets of every SOS marker in the stream.
std::vector<std::size_t> ScanOffsets(const Bytes& jpeg);

} // namespace pictures_test
