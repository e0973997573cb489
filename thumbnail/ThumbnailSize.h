// The thumbnail's size: the width typed by the user, and the height that keeps the picture's
// proportions, computed in the x87 extended format exactly as the program always has.
#pragma once

#include <string>

// The thumbnail width for the width field's text: StrToInt's value, with a negative value counting
// as 0 (a negative width gives an empty thumbnail). Throws
// EConvertError::InvalidInteger when the text is no integer.
int ThumbnailWidth(const std::string& widthText);

// A picture's height divided by its width in extended precision, then rounded to the nearest
// single-precision value (ties to even). Throws EInvalidOp for 0 / 0 and EZeroDivide for any
// other height over width 0.
float AspectRatio(int height, int width);

// The thumbnail height: thumbnailWidth x aspectRatio formed exactly in extended precision, then
// truncated toward zero (112.5 gives 112, 139.99999762 gives 139). Throws EInvalidOp
// when the result does not fit a signed 32-bit integer.
int ThumbnailHeight(int thumbnailWidth, float aspectRatio);
