#include "thumbnail/Rendering.h"

#include "pictures/Bitmap.h"
#include "pictures/JPEGImage.h"
#include "thumbnail/StretchBitmap.h"
#include "thumbnail/ThumbnailSize.h"

void RenderThumbnail(const TPicture& fullSizeView, TGraphic& thumbnailGraphic,
                     const std::string& widthText) {
    TBitmap target;
    TBitmap source;
    TJPEGImage sourceCopy;
    TJPEGImage thumbnailPicture;

    sourceCopy.Assign(fullSizeView.Graphic());
    source.Assign(&sourceCopy);
    const int height = fullSizeView.Height();
    const int width = fullSizeView.Width();
    const float aspectRatio = AspectRatio(height, width);
    // The text is converted once for each side, as it always was; both reads give the same value.
    target.SetWidth(ThumbnailWidth(widthText));
    target.SetHeight(ThumbnailHeight(ThumbnailWidth(widthText), aspectRatio));
    StretchBitmap(target, source);

    // The thumbnail view's graphic is touched only here, after everything that can fail.
    thumbnailPicture.Assign(&target);
    thumbnailGraphic.Assign(&thumbnailPicture);
}
