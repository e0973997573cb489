// The graphic kinds that the image views hold. Nothing in pictures/ uses Qt: the views draw a
// graphic through the bitmap that DrawingBitmap() hands out.
#pragma once

#include <string>

class TBitmap;

class TGraphic {
public:
    virtual ~TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;

    // The class name that assignment failures report ("TBitmap", "TJPEGImage").
    virtual const char* ClassName() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // Reads the whole file; on failure throws and leaves this graphic as it was.
    virtual void LoadFromFile(const std::string& path) = 0;
    // Writes this graphic in its own kind, whatever the path's extension.
    virtual void SaveToFile(const std::string& path) = 0;
    // Takes the content of another graphic; `source` may be null. Throws EConvertError for a
    // source this kind cannot take.
    virtual void Assign(const TGraphic* source) = 0;

    // The pixels a view draws, produced on demand (a JPEG picture decodes here once and keeps the
    // result). May throw on the first request; a later request after a failure gets an empty
    // bitmap without an error.
    virtual const TBitmap& DrawingBitmap() = 0;

protected:
    TGraphic() = default;
};
