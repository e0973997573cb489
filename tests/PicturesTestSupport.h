// Fixtures for the tests of bitmaps: bitmaps filled from test images and read back.
#pragma once

#include "pictures/Bitmap.h"
#include "tests/TestKit.h"

#include <gtest/gtest.h>

#include <string>

namespace pictures_test {

using testkit::Bytes;
using testkit::Cjpeg;
using testkit::ExpectThrows;
using testkit::HeaderSegments;
using testkit::ReadBytes;
using testkit::ReadPnm;
using testkit::RgbImage;
using testkit::ScanOffsets;
using testkit::Segment;
using testkit::TemporaryFolder;
using testkit::TestImage;
using testkit::WithClaimedSize;
using testkit::WriteBytes;
using testkit::WriteJpeg;
using testkit::WritePnm;

// The format's name for the names of test rows: "Device", "24bit", "8bit".
std::string FormatName(TPixelFormat format);

// A test image of at most 216 colours, so that an 8-bit bitmap's palette holds them all.
RgbImage TestPaletteImage(int width, int height, unsigned seed);
// A bitmap of the given format holding the image's pixels (8 bits: a palette of the image's
// colours).
void FillBitmap(TBitmap& bitmap, const RgbImage& image, TPixelFormat format);
// The bitmap's pixels as red, green, blue, whatever its format.
RgbImage RgbOf(const TBitmap& bitmap);

// A hostile file made from a small real one (see also WithClaimedSize): a multi-scan stream whose
// first scan comes `copies` more times.
Bytes WithRepeatedFirstScan(const Bytes& jpeg, int copies);

} // namespace pictures_test
