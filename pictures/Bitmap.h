// A raster of width x height pixels. Rows are stored top row first; within a row, pixels are
// blue, green, red (and a fourth byte of 255 in the device format), as a Windows DIB keeps them.
#pragma once

#include "pictures/Graphic.h"
#include "pictures/PictureLimits.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

enum class TPixelFormat {
    pfDevice, // the screen's own format: 32 bits per pixel, B G R 255
    pf8bit,   // one palette index per pixel
    pf24bit,  // B G R
};

using TPaletteEntry = std::array<std::uint8_t, 3>; // red, green, blue

class TBitmap : public TGraphic {
public:
    // The most pixel memory one bitmap may take; larger sizes fail with EOutOfResources before
    // anything is allocated.
    static constexpr std::uint64_t MaxPixelBytes = MaxBitmapBytes;

    TBitmap();
    ~TBitmap() override;

    const char* ClassName() const override { return "TBitmap"; }
    int Width() const override;
    int Height() const override;
    // Sizes below 0 count as 0. A new bitmap has the device format; a format set while the bitmap
    // holds no pixels is the one its pixels get. Pixels of a resized bitmap start black (the
    // device format's fourth byte 255). Throws EOutOfResources, changing nothing, when the pixels
    // would take more than MaxPixelBytes or cannot be allocated.
    void SetSize(int width, int height);
    // SetSize for a caller that then writes every pixel of every row (a decoder): the pixels of a
    // resized bitmap start with unspecified values instead of black, which spares a pass over
    // them. Throws as SetSize.
    void SetSizeForOverwrite(int width, int height);
    void SetWidth(int width) { SetSize(width, Height()); }
    void SetHeight(int height) { SetSize(Width(), height); }
    // True when the bitmap holds no pixels (zero width or zero height).
    bool Empty() const;

    TPixelFormat PixelFormat() const;
    // Converts the pixels to the given format (8 bits keeps the palette's colours only, nearest
    // first; an empty palette becomes 256 grey levels).
    void SetPixelFormat(TPixelFormat format);
    static int BytesPerPixel(TPixelFormat format);
    // Bytes from one row to the next: width x bytes per pixel, without padding.
    std::size_t RowBytes() const;

    // Row access, RowBytes() bytes from the row's first pixel. The mutable overload detaches
    // pixels shared with a copy first. A row outside 0 .. Height() - 1 throws EInvalidGraphic
    // (Texts::ScanLineOutOfRange).
    std::uint8_t* ScanLine(int row);
    const std::uint8_t* ScanLine(int row) const;

    // Tells pixels apart without looking at them: two bitmaps give the same number only while they
    // share one storage that nothing has written since (mutable row access counts as writing);
    // every other storage, a copy or a changed one included, gives a number never given before.
    std::uint64_t PixelsId() const;

    const std::vector<TPaletteEntry>& Palette() const;
    void SetPalette(std::vector<TPaletteEntry> palette);
    // The colour of every index an 8-bit pixel can hold: the palette's entries, then black for the
    // indices past its end, so that no pixel reads outside the table.
    std::array<TPaletteEntry, 256> ColourTable() const;

    // Copies size, format, palette and pixels; copies share pixel storage until one changes.
    // A JPEG picture source hands over its decoded bitmap, decoding first when it has none (and
    // throwing what decoding throws). Null empties the bitmap; any other graphic throws
    // EConvertError.
    void Assign(const TGraphic* source) override;

    // Uncompressed Windows bitmaps of 8, 24 or 32 bits per pixel; other content throws
    // EInvalidGraphic (Texts::InvalidBitmap).
    void LoadFromFile(const std::string& path) override;
    // Writes an uncompressed Windows bitmap in the bitmap's own format. An empty bitmap throws
    // EInvalidGraphic and writes nothing.
    void SaveToFile(const std::string& path) override;
    const TBitmap& DrawingBitmap() override { return *this; }

private:
    struct Raster;
    template <typename MakePixels> void Resize(int width, int height, MakePixels makePixels);
    std::shared_ptr<Raster> raster_;
};
