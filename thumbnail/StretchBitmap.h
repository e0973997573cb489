// Halftone stretching: how a picture is scaled into its thumbnail.
#pragma once

#include "pictures/Bitmap.h"

// Draws the whole of `source` onto the whole of `target`, scaled to the target's size, which the
// caller sets beforehand; the target's size never changes.
//
// Each axis is scaled on its own. Along an axis that shrinks (or keeps its size), a target pixel
// is the area-weighted average of the source pixels it covers, a partly covered pixel counting by
// the fraction covered. Along an axis that grows, it is the linear interpolation between the two
// source pixels nearest to its centre (pixel centres aligned, edges clamped). Both axes are
// combined with exact integer weights and each channel is rounded to nearest once, at the end.
//
// Sources in the device, 24-bit and 8-bit (palette) formats are read; palette indices beyond the
// palette read as black. The target is written in the device format (B, G, R, 255) or the 24-bit
// format, as it is; an 8-bit target is first converted to the device format. An empty target or an
// empty source draws nothing. Throws EOutOfMemory when the working rows cannot be allocated.
void StretchBitmap(TBitmap& target, const TBitmap& source);
