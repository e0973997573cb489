#include "pictures/Bitmap.h"
#include "widgets/Application.h"
#include "widgets/Controls.h"

#include <QImage>
#include <QMetaObject>
#include <QPaintEvent>
#include <QPainter>

namespace {

// The part `area` of the bitmap as an image over the bitmap's own rows, without copying them;
// the rows lie RowBytes() apart in one block.
QImage ImageOf(const TBitmap& bitmap, const QRect& area) {
    const int bytesPerPixel = TBitmap::BytesPerPixel(bitmap.PixelFormat());
    const uchar* first = bitmap.ScanLine(area.top()) + area.left() * bytesPerPixel;
    const auto stride = static_cast<qsizetype>(bitmap.RowBytes());
    switch (bitmap.PixelFormat()) {
    case TPixelFormat::pfDevice: // B G R 255 in memory is 0xffRRGGBB
        return QImage(first, area.width(), area.height(), stride, QImage::Format_RGB32);
    case TPixelFormat::pf24bit:
        return QImage(first, area.width(), area.height(), stride, QImage::Format_BGR888);
    case TPixelFormat::pf8bit: {
        QImage image(first, area.width(), area.height(), stride, QImage::Format_Indexed8);
        QList<QRgb> table;
        for (const TPaletteEntry& colour : bitmap.ColourTable())
            table.push_back(qRgb(colour[0], colour[1], colour[2]));
        image.setColorTable(table);
        return image;
    }
    }
    return {};
}

} // namespace

TImage::TImage(QWidget* parent) : QWidget(parent) {
    picture_.SetOnChange([this] { PictureChanged(); });
}

void TImage::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    AdjustSize();
}

void TImage::PictureChanged() {
    AdjustSize();
    update();
}

void TImage::AdjustSize() {
    if (!autoSize_)
        return;
    QRect bounds = ControlBounds(this);
    bounds.setSize(QSize(picture_.Width(), picture_.Height()));
    SetControlBounds(this, bounds);
}

void TImage::paintEvent(QPaintEvent* event) {
    TGraphic* graphic = picture_.Graphic();
    if (!graphic)
        return;
    const TBitmap* bitmap = nullptr;
    try {
        bitmap = &graphic->DrawingBitmap();
    } catch (...) {
        // After this paint has ended: a modal box must not run inside it. Only the first request
        // fails; later paints get the empty bitmap, so the failure is reported once.
        QMetaObject::invokeMethod(
            this,
            [failure = std::current_exception()] {
                if (Application)
                    Application->HandleException(failure);
            },
            Qt::QueuedConnection);
        return;
    }
    const QRect area = event->rect() & QRect(0, 0, bitmap->Width(), bitmap->Height());
    if (area.isEmpty())
        return;
    QPainter painter(this);
    painter.drawImage(area.topLeft(), ImageOf(*bitmap, area));
}
