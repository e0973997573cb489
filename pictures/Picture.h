// The content of one image view: at most one graphic, chosen by file extension when loading.
#pragma once

#include "pictures/Graphic.h"

#include <functional>
#include <memory>
#include <string>

class TPicture {
public:
    TPicture();
    ~TPicture();

    // The graphic, or null when there is none.
    TGraphic* Graphic() const;
    // Replaces the graphic (null empties the picture) and sends the change notice.
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    // The graphic's size, 0 x 0 without one.
    int Width() const;
    int Height() const;

    // Chooses the kind by the extension after the file name's last "." ("jpg" and "jpeg" give a
    // JPEG picture, "bmp" a bitmap; letter case ignored), loads the file into a new graphic and
    // only then replaces the old one and sends the change notice. Throws
    // EInvalidGraphic::UnknownExtension for an unknown or empty extension, or the load's
    // failure; on failure the picture keeps its graphic.
    void LoadFromFile(const std::string& path);
    // Has the graphic write itself to the path; nothing happens without a graphic.
    void SaveToFile(const std::string& path);

    // Called after each load or SetGraphic; the view resizes and repaints on it.
    void SetOnChange(std::function<void()> onChange);

private:
    std::unique_ptr<TGraphic> graphic_;
    std::function<void()> onChange_;
};
