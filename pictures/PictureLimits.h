// What one picture may cost, in one place. Folders come from anywhere (downloads, old archives,
// shared drives), and a JPEG header of a few hundred bytes can claim 65500 x 65500 pixels or a
// thousand scans; libjpeg then spends seconds and gigabytes filling in what the file does not
// hold. So every file is measured against these figures from its size and its header before
// anything is read or decoded, and libjpeg's own memory manager holds the rest.
//
// The figures, for two cores and a few GB: every file below 1 MB is thumbnailed or refused within
// about 2 s and 1.5 GB, and every real photograph (100 megapixels included) still decodes.
//   - Decoding costs about 10 to 20 ns and up to 9 bytes per pixel (output, progressive
//     coefficients, the copies of the rendering), whatever the file holds: data that ends early is
//     filled in.
//   - 2^26 pixels (67 megapixels, 8192 x 8192; a solid-colour 8000 x 8000 file is about 1 MB)
//     cost at most about 1.4 s and 0.6 GB in a batch (a progressive 4:4:4 header with no data,
//     the dearest kind), so any file may claim them.
//   - Beyond that the file must pay for its pixels: 64 pixels (one 8 x 8 block) per byte, that
//     is 0.125 bits per pixel, a fraction of what the smoothest real photograph takes. A 100
//     megapixel file then needs 1.6 MB, and no file below 1 MiB passes 2^26.
//   - 2^28 pixels (268 megapixels) at most, whatever the length: about 0.8 GB of output alone.
#pragma once

#include <algorithm>
#include <cstdint>

// The largest file a picture reads; it is refused from its size before a byte is read. No picture
// within MaxDecodePixels takes more than one byte per pixel in a real JPEG file.
inline constexpr std::uint64_t MaxPictureFileBytes = std::uint64_t{1} << 28;

// The most bytes one bitmap's pixels may take (the largest decode's 24-bit output fits).
inline constexpr std::uint64_t MaxBitmapBytes = std::uint64_t{1} << 30;

inline constexpr std::uint64_t FreeDecodePixels = std::uint64_t{1} << 26;
inline constexpr std::uint64_t DecodePixelsPerFileByte = 64;
inline constexpr std::uint64_t MaxDecodePixels = std::uint64_t{1} << 28;

// The most pixels (width x height of the header) that a JPEG stream of `fileBytes` bytes may
// claim before it is decoded.
constexpr std::uint64_t MaxDecodePixelsFor(std::uint64_t fileBytes) {
    return std::clamp(fileBytes * DecodePixelsPerFileByte, FreeDecodePixels, MaxDecodePixels);
}

// libjpeg's own limit (max_memory_to_use) on its working memory, which is mostly the whole
// coefficient buffer of a multi-scan file: 2 bytes per sample, so 2^28 pixels in 4:2:0 fit and
// 2^26 pixels in four full components (0.54 GB) too.
inline constexpr long MaxJpegWorkingMemory = 1L << 30;

// Each scan of a multi-scan file walks every block of the components it names, even a scan that
// holds no data (about 5 ns a block), and a file can repeat scans for ever in a few bytes each.
// So the blocks that all scans together walk are counted as each scan begins: 2^25 at most
// (about 0.5 s in a batch, whose decoding ahead may walk them twice), which is 32 scans over a
// grey 8192 x 8192 picture, 10 over one in full colour, and just what libjpeg's own progression
// (10 scans, about four walks over every block) takes for 2^28 pixels in 4:2:0, or for 150
// megapixels in 4:4:4. Never more than 1000 scans, however small the picture.
inline constexpr std::uint64_t MaxScanBlockVisits = std::uint64_t{1} << 25;
inline constexpr int MaxJpegScans = 1000;

// The largest side a JPEG stream can hold (libjpeg's JPEG_MAX_DIMENSION): a thumbnail beyond it
// is refused before it is drawn.
inline constexpr int MaxJpegSide = 65500;
