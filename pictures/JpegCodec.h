// JPEG decoding and encoding over libjpeg, from and to memory. This is the one place that sees
// libjpeg's error handling: its fatal errors leave here as exceptions, its warnings are ignored.
#pragma once

#include "pictures/Bitmap.h"

#include <cstdint>
#include <span>
#include <vector>

struct JpegHeader {
    int width = 0;
    int height = 0;
    bool hasMultipleScans = false;
};

// Parses the header up to the first scan, an image being required. Throws EJPEG with libjpeg's
// code (42 for no bytes, 53 when the bytes do not start with the start-of-image marker).
JpegHeader ReadJpegHeader(std::span<const std::uint8_t> bytes);

struct JpegDecodeOptions {
    bool grayscale = false;     // grey output, whatever the file holds
    bool eightBit = false;      // 236 colours with a palette, even for colour output
    bool blockSmoothing = true; // libjpeg's smoothing of coarse progressive blocks
    int scaleDenominator = 1;   // 1, 2, 4 or 8
    bool fast = false;          // integer DCT, plain upsampling, ordered one-pass dithering
    bool operator==(const JpegDecodeOptions&) const = default;
};

// Decodes the whole stream into `bitmap`: 24 bits (B, G, R) for colour output; 8 bits with a
// palette of 236 entries (grey ones for grey output) when the options ask for 8 bits or the
// output is grey, which libjpeg chooses for every one-component file. Four-component (CMYK/YCCK)
// files come out as 24 bits, converted to RGB as inverted (Adobe) CMYK. Otherwise the float DCT,
// fancy upsampling and, when quantising, Floyd-Steinberg dithering apply. Damaged or truncated data
// decodes as far as libjpeg can fill it in. The header is measured against the limits of
// PictureLimits.h before any pixel is decoded. Throws EJPEG with libjpeg's code, or with
// Texts::TooManyScans when its scans go past MaxJpegScans or MaxScanBlockVisits; EOutOfMemory when
// the header claims more pixels than MaxDecodePixelsFor(the stream's length), when the decoded
// pixels would take more than MaxBitmapBytes, or libjpeg's working memory more than
// MaxJpegWorkingMemory. `bitmap` is unchanged on failure.
void DecodeJpeg(std::span<const std::uint8_t> bytes, const JpegDecodeOptions& options,
                TBitmap& bitmap);

struct JpegEncodeOptions {
    int quality = 90;         // 1 to 100, tables forced to baseline range
    bool grayscale = false;   // a one-component file instead of YCbCr
    bool progressive = false; // libjpeg's simple progression instead of baseline
};

// Encodes a bitmap of at least 1 x 1 pixels as a JFIF stream: libjpeg's defaults (JFIF 1.01, 2x2
// luminance sampling, standard tables) with the float DCT and the options above, nothing else.
// For the same RGB pixels the bytes equal those of `cjpeg -dct float -quality 90 -baseline`
// (or `-progressive`). Throws EJPEG, or EOutOfMemory when the stream cannot be held.
std::vector<std::uint8_t> EncodeJpeg(const TBitmap& bitmap, const JpegEncodeOptions& options);

// Throws EJPEG #41 (libjpeg's "maximum supported image dimension") when a picture of this size
// could not be encoded, a side being over MaxJpegSide; does nothing otherwise.
void RequireEncodableSize(int width, int height);
