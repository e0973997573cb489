#include "thumbnail/Rendering.h"

#include "pictures/Bitmap.h"
#include "pictures/JPEGImage.h"
#include "pictures/JpegCodec.h"
#include "thumbnail/StretchBitmap.h"
#include "thumbnail/ThumbnailSize.h"

namespace {

// The last stretch of this thread: a batch command renders each picture twice at the same size,
// once in the preview and once for the file, and the second stretch would give the same pixels.
// Only thumbnails up to this size are kept, so that what stays behind is small.
constexpr std::uint64_t KeptThumbnailBytes = std::uint64_t{4} << 20;

struct LastStretch {
    std::uint64_t sourceId = 0;
    TBitmap thumbnail;
};

thread_local LastStretch lastStretch;

// StretchBitmap, or the thumbnail of the last stretch when it was drawn from the same unchanged
// pixels to the same size and format.
void StretchOrReuse(TBitmap& target, const TBitmap& source) {
    const TBitmap& last = lastStretch.thumbnail;
    if (!source.Empty() && lastStretch.sourceId == source.PixelsId() &&
        last.Width() == target.Width() && last.Height() == target.Height() &&
        last.PixelFormat() == target.PixelFormat()) {
        target.Assign(&last);
        return;
    }
    StretchBitmap(target, source);
    if (std::uint64_t(target.RowBytes()) * std::uint64_t(target.Height()) <= KeptThumbnailBytes) {
        lastStretch.sourceId = source.PixelsId();
        lastStretch.thumbnail.Assign(&target);
    }
}

} // namespace

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
    const int thumbnailWidth = ThumbnailWidth(widthText);
    const int thumbnailHeight = ThumbnailHeight(ThumbnailWidth(widthText), aspectRatio);
    // A thumbnail that no JPEG file can hold would be refused by the save anyway: refuse it
    // before it takes the memory and the time of drawing.
    RequireEncodableSize(thumbnailWidth, thumbnailHeight);
    target.SetWidth(thumbnailWidth);
    target.SetHeight(thumbnailHeight);
    StretchOrReuse(target, source);

    // The thumbnail view's graphic is touched only here, after everything that can fail.
    thumbnailPicture.Assign(&target);
    thumbnailGraphic.Assign(&thumbnailPicture);
}
