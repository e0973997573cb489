// Uncompressed Windows bitmap files (BI_RGB, 8, 24 or 32 bits per pixel).
#pragma once

#include "pictures/Bitmap.h"

#include <cstdint>
#include <vector>

// Fills `bitmap` from a file's bytes: 8 bits with their palette, 24 bits, 32 bits as the device
// format. Throws EInvalidGraphic (Texts::InvalidBitmap) for anything else, and
// EOutOfResources for pixels beyond TBitmap::MaxPixelBytes; `bitmap` is unchanged then.
void DecodeBmp(const std::vector<std::uint8_t>& bytes, TBitmap& bitmap);

// The file bytes of a bitmap in its own format, rows bottom up as the format keeps them.
std::vector<std::uint8_t> EncodeBmp(const TBitmap& bitmap);
