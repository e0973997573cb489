#include "pictures/BmpCodec.h"

#include "platform/Exceptions.h"
#include "platform/Texts.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr std::size_t FileHeaderBytes = 14;
constexpr std::size_t InfoHeaderBytes = 40;

[[noreturn]] void Invalid() {
    throw EInvalidGraphic(Texts::InvalidBitmap);
}

std::uint32_t Read32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    if (at + 4 > bytes.size())
        Invalid();
    return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 |
           std::uint32_t(bytes[at + 2]) << 16 | std::uint32_t(bytes[at + 3]) << 24;
}

std::uint16_t Read16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    if (at + 2 > bytes.size())
        Invalid();
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

void Put32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

void Put16(std::vector<std::uint8_t>& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

// Rows of a bitmap file are padded to whole 32-bit words.
std::size_t FileRowBytes(std::size_t width, int bitsPerPixel) {
    return (width * std::size_t(bitsPerPixel) + 31) / 32 * 4;
}

} // namespace

void DecodeBmp(const std::vector<std::uint8_t>& bytes, TBitmap& bitmap) {
    if (bytes.size() < FileHeaderBytes + InfoHeaderBytes || bytes[0] != 'B' || bytes[1] != 'M')
        Invalid();
    const std::uint32_t pixelOffset = Read32(bytes, 10);
    const std::uint32_t infoBytes = Read32(bytes, 14);
    const auto width = static_cast<std::int32_t>(Read32(bytes, 18));
    const auto rawHeight = static_cast<std::int32_t>(Read32(bytes, 22));
    const int bitsPerPixel = Read16(bytes, 28);
    const std::uint32_t compression = Read32(bytes, 30);
    const std::uint32_t coloursUsed = Read32(bytes, 46);
    if (infoBytes < InfoHeaderBytes || Read16(bytes, 26) != 1 || compression != 0 || width <= 0 ||
        rawHeight == 0 || rawHeight == INT32_MIN ||
        (bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32))
        Invalid();
    const bool topDown = rawHeight < 0;
    const int height = std::abs(rawHeight);
    const std::size_t rowBytes = FileRowBytes(std::size_t(width), bitsPerPixel);
    if (pixelOffset > bytes.size() || (bytes.size() - pixelOffset) / rowBytes < std::size_t(height))
        Invalid();

    TBitmap decoded;
    if (bitsPerPixel == 8) {
        const std::uint32_t entries =
            coloursUsed == 0 ? 256 : std::min<std::uint32_t>(coloursUsed, 256);
        const std::size_t paletteAt = FileHeaderBytes + infoBytes;
        if (paletteAt + std::size_t(entries) * 4 > pixelOffset)
            Invalid();
        std::vector<TPaletteEntry> palette(entries);
        for (std::uint32_t index = 0; index < entries; ++index) {
            const std::uint8_t* quad = &bytes[paletteAt + index * 4];
            palette[index] = {quad[2], quad[1], quad[0]};
        }
        decoded.SetPalette(std::move(palette));
        decoded.SetPixelFormat(TPixelFormat::pf8bit);
    } else {
        decoded.SetPixelFormat(bitsPerPixel == 24 ? TPixelFormat::pf24bit : TPixelFormat::pfDevice);
    }
    // Every row is copied whole from the file below.
    decoded.SetSizeForOverwrite(width, height);
    for (int row = 0; row < height; ++row) {
        const int fileRow = topDown ? row : height - 1 - row;
        const std::uint8_t* source = &bytes[pixelOffset + std::size_t(fileRow) * rowBytes];
        std::uint8_t* target = decoded.ScanLine(row);
        std::copy_n(source, decoded.RowBytes(), target);
        if (bitsPerPixel == 32)
            for (std::size_t alpha = 3; alpha < decoded.RowBytes(); alpha += 4)
                target[alpha] = 255;
    }
    bitmap.Assign(&decoded);
}

std::vector<std::uint8_t> EncodeBmp(const TBitmap& bitmap) {
    const int bitsPerPixel = TBitmap::BytesPerPixel(bitmap.PixelFormat()) * 8;
    const std::size_t rowBytes = FileRowBytes(std::size_t(bitmap.Width()), bitsPerPixel);
    const std::size_t paletteEntries = bitsPerPixel == 8 ? 256 : 0;
    const std::size_t pixelOffset = FileHeaderBytes + InfoHeaderBytes + paletteEntries * 4;
    const std::size_t imageBytes = rowBytes * std::size_t(bitmap.Height());

    std::vector<std::uint8_t> bytes;
    bytes.reserve(pixelOffset + imageBytes);
    bytes.push_back('B');
    bytes.push_back('M');
    Put32(bytes, static_cast<std::uint32_t>(pixelOffset + imageBytes));
    Put32(bytes, 0);
    Put32(bytes, static_cast<std::uint32_t>(pixelOffset));
    Put32(bytes, InfoHeaderBytes);
    Put32(bytes, static_cast<std::uint32_t>(bitmap.Width()));
    Put32(bytes, static_cast<std::uint32_t>(bitmap.Height()));
    Put16(bytes, 1);
    Put16(bytes, static_cast<std::uint16_t>(bitsPerPixel));
    Put32(bytes, 0);
    Put32(bytes, static_cast<std::uint32_t>(imageBytes));
    Put32(bytes, 2835); // 72 dots per inch
    Put32(bytes, 2835);
    Put32(bytes, static_cast<std::uint32_t>(paletteEntries));
    Put32(bytes, 0);
    if (paletteEntries > 0)
        for (const TPaletteEntry& entry : bitmap.ColourTable())
            bytes.insert(bytes.end(), {entry[2], entry[1], entry[0], 0});
    for (int row = bitmap.Height() - 1; row >= 0; --row) {
        const std::uint8_t* pixels = bitmap.ScanLine(row);
        bytes.insert(bytes.end(), pixels, pixels + bitmap.RowBytes());
        bytes.resize(bytes.size() + rowBytes - bitmap.RowBytes(), 0);
    }
    return bytes;
}
