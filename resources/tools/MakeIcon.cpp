// Draws the application icon, a page with lines of text and a chart of three bars, at every size
// the program and its desktop entry use, and writes each as a PNG with transparency:
// make_icon resources    (writes resources/icon16.png ... resources/icon256.png)
//
// The drawing is one description on a grid of 16 x 16 units. Every edge falls on a whole unit,
// and a unit is a whole number of pixels at each size, so the small icons stay crisp; the strokes
// are one pixel up to 32 pixels and grow with the size above it.
#include "resources/Resources.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>

namespace {

constexpr int Grid = 16;
const QColor Ink(0x40, 0x40, 0x40);
const QColor TextGrey(0x8c, 0x8c, 0x8c);
const QColor Red(0xe0, 0x20, 0x20);
const QColor Blue(0x20, 0x50, 0xe0);
const QColor Green(0x20, 0xa0, 0x40);

// The page spans these units; its top right corner is folded over along a diagonal.
constexpr int PageLeft = 2, PageRight = 14, PageTop = 0, PageBottom = 16;
constexpr int FoldSize = 4;

class IconPainter {
public:
    explicit IconPainter(QImage& image)
        : painter_(&image), unit_(image.width() / Grid),
          stroke_(std::max(1, static_cast<int>(std::lround(image.width() / 32.0)))) {
        painter_.setRenderHint(QPainter::Antialiasing, stroke_ > 1);
    }

    // The units' rectangle filled.
    void Fill(int left, int top, int right, int bottom, const QColor& colour) {
        painter_.fillRect(
            QRect(left * unit_, top * unit_, (right - left) * unit_, (bottom - top) * unit_),
            colour);
    }

    // A horizontal stroke whose top edge lies on the unit line `y`.
    void Line(int left, int right, int y, const QColor& colour) {
        painter_.fillRect(QRect(left * unit_, y * unit_, (right - left) * unit_, stroke_), colour);
    }

    // The outline of the units' polygon, a stroke wide and drawn inside it, over a white fill.
    void Outline(std::initializer_list<QPointF> corners) {
        QPolygonF polygon;
        for (const QPointF& corner : corners)
            polygon << corner * unit_;
        painter_.save();
        painter_.setBrush(Qt::white);
        if (stroke_ == 1) {
            // A one-pixel line covers the pixels right of and below its points, so the corners on
            // the polygon's right and bottom edges move in by one pixel to keep the line inside.
            const QRectF bounds = polygon.boundingRect();
            for (QPointF& corner : polygon)
                corner -= QPointF(corner.x() == bounds.right(), corner.y() == bounds.bottom());
            painter_.setPen(QPen(Ink, 1));
            painter_.drawPolygon(polygon);
        } else {
            // A pen twice the stroke on the edges, clipped to the polygon, leaves the stroke
            // inside.
            QPainterPath inside;
            inside.addPolygon(polygon);
            inside.closeSubpath();
            painter_.setClipPath(inside);
            painter_.setPen(QPen(Ink, 2.0 * stroke_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            painter_.drawPath(inside);
        }
        painter_.restore();
    }

private:
    QPainter painter_;
    int unit_;
    int stroke_;
};

QImage DrawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    IconPainter icon(image);
    constexpr int FoldLeft = PageRight - FoldSize, FoldBottom = PageTop + FoldSize;
    icon.Outline({{PageLeft, PageTop},
                  {FoldLeft, PageTop},
                  {PageRight, FoldBottom},
                  {PageRight, PageBottom},
                  {PageLeft, PageBottom}});
    icon.Outline({{FoldLeft, PageTop}, {PageRight, FoldBottom}, {FoldLeft, FoldBottom}});
    icon.Line(4, 8, 3, TextGrey);
    icon.Line(4, 12, 5, TextGrey);
    icon.Line(4, 11, 7, TextGrey);
    icon.Fill(4, 11, 6, 13, Red);
    icon.Fill(7, 9, 9, 13, Blue);
    icon.Fill(10, 10, 12, 13, Green);
    icon.Line(4, 12, 13, Ink);
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon <folder>\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    for (const int size : IconSizes) {
        const QString path =
            QStringLiteral("%1/icon%2.png").arg(QFile::decodeName(argv[1])).arg(size);
        if (!DrawIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "make_icon: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
