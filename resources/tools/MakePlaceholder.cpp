// Draws the placeholder picture that both image views show at start and writes it as a baseline
// JPEG through the program's own encoder: make_placeholder resources/placeholder.jpg
#include "pictures/Bitmap.h"
#include "pictures/JPEGImage.h"
#include "platform/Exceptions.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <cstring>

namespace {

constexpr int Side = 300;
const QColor Yellow(255, 214, 40);

QImage DrawPlaceholder() {
    QImage image(Side, Side, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, Side);
    sky.setColorAt(0, QColor(18, 44, 128));
    sky.setColorAt(1, QColor(104, 150, 226));
    painter.fillRect(image.rect(), sky);

    // A globe: a yellow disc with meridians and parallels in the blue of the square.
    const QPointF centre(Side / 2.0, 108);
    const double radius = 66;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Yellow);
    painter.drawEllipse(centre, radius, radius);
    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    painter.setClipPath(disc);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(40, 80, 170), 3));
    for (double across : {0.0, 0.45, 0.8})
        painter.drawEllipse(centre, radius * across + 1.5, radius);
    for (double down : {-0.6, -0.3, 0.0, 0.3, 0.6})
        painter.drawLine(QPointF(centre.x() - radius, centre.y() + radius * down),
                         QPointF(centre.x() + radius, centre.y() + radius * down));
    painter.setClipping(false);
    painter.setPen(QPen(Yellow.darker(120), 2));
    painter.drawEllipse(centre, radius, radius);

    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(40);
    painter.setFont(font);
    painter.setPen(Yellow);
    painter.drawText(QRect(0, 196, Side, 64), Qt::AlignCenter, QString::fromUtf8("暂无照片"));
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_placeholder <output.jpg>\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    try {
        const QImage image = DrawPlaceholder();
        TBitmap bitmap;
        bitmap.SetPixelFormat(TPixelFormat::pfDevice);
        bitmap.SetSize(Side, Side);
        // Both hold blue, green, red and a fourth byte per pixel, row after row.
        for (int row = 0; row < Side; ++row)
            std::memcpy(bitmap.ScanLine(row), image.constScanLine(row), bitmap.RowBytes());
        TJPEGImage jpeg;
        jpeg.Assign(&bitmap);
        jpeg.ProgressiveEncoding = false;
        jpeg.SaveToFile(argv[1]);
    } catch (const Exception& e) {
        std::fprintf(stderr, "make_placeholder: %s\n", e.Message().c_str());
        return 1;
    }
    return 0;
}
