// The rendering of a thumbnail, apart from the window that holds the two views.
#pragma once

#include "pictures/Graphic.h"
#include "pictures/Picture.h"

#include <string>

// Scales the full-size view's picture into `thumbnailGraphic` (the thumbnail view's graphic) at
// the width that `widthText` gives (ThumbnailWidth) and the height that keeps the picture's
// proportions (AspectRatio, ThumbnailHeight), with StretchBitmap. The thumbnail graphic keeps its
// object and its settings (the progressive-encoding flag included) and sends no change notice; it
// is left with no compressed data and the thumbnail as its bitmap. The full-size view is not
// changed. Throws, leaving `thumbnailGraphic` as it was:
//   EConvertError::CannotAssign for a view holding no JPEG picture or bitmap;
//   EJPEG, EOutOfMemory or EOutOfResources when the source cannot be decoded;
//   EInvalidOp for a picture that reports 0 x 0 (one whose
//     decoding failed before), or a height beyond the 32-bit range; EZeroDivide for a picture of
//     width 0 and non-zero height;
//   EConvertError::InvalidInteger for a width text that is no integer;
//   EJPEG with code 41 for a thumbnail side over 65500, which no JPEG file can hold;
//   EOutOfResources when the thumbnail's bitmap cannot be allocated.
void RenderThumbnail(const TPicture& fullSizeView, TGraphic& thumbnailGraphic,
                     const std::string& widthText);
