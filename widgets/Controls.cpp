#include "widgets/Controls.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionButton>

#include <algorithm>

QPoint DesktopCenterPosition(QSize virtualDesktop, QPoint primaryTopLeft, QSize frameSize) {
    // Integer division truncates toward zero, as div does; negative values become 0 anyway.
    const int left = std::max((virtualDesktop.width() - frameSize.width()) / 2, 0);
    const int top = std::max((virtualDesktop.height() - frameSize.height()) / 2, 0);
    return primaryTopLeft + QPoint(left, top);
}

QColor SystemColor(TSystemColor color) {
    const QPalette palette = QApplication::palette();
    switch (color) {
    case TSystemColor::clBtnFace:
        return palette.color(QPalette::Button);
    case TSystemColor::clBtnShadow:
        return palette.color(QPalette::Dark);
    case TSystemColor::clBtnHighlight:
        return palette.color(QPalette::Light);
    case TSystemColor::clWindow:
        return palette.color(QPalette::Base);
    case TSystemColor::clWindowText:
        return palette.color(QPalette::WindowText);
    }
    return {};
}

QColor ChangeLightness(const QColor& color, int steps) {
    int hue = 0, saturation = 0, lightness = 0;
    color.getHsl(&hue, &saturation, &lightness);
    return QColor::fromHsl(hue, saturation, std::clamp(lightness + steps, 0, 255));
}

QFont WindowFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(11);
    return font;
}

QStringList WrapAtSpaces(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    QString line;
    auto fits = [&](const QString& candidate) {
        return metrics.horizontalAdvance(candidate) <= width;
    };
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString joined = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        if (!line.isEmpty())
            lines << line;
        line.clear();
        // A word too wide on its own goes onto lines of its own, cut between characters.
        for (const QChar character : word) {
            if (!line.isEmpty() && !character.isLowSurrogate() && !fits(line + character)) {
                lines << line;
                line.clear();
            }
            line += character;
        }
    }
    if (!line.isEmpty() || lines.isEmpty())
        lines << line;
    return lines;
}

TLabel::TLabel(QWidget* parent, const char* caption) : QLabel(QString::fromUtf8(caption), parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {}

std::string TEdit::Text() const {
    return QFile::encodeName(text()).toStdString();
}

void TEdit::SetText(const std::string& text) {
    setText(QFile::decodeName(QByteArray::fromStdString(text)));
}

TMemo::TMemo(QWidget* parent) : QPlainTextEdit(parent) {}

std::string TMemo::Text() const {
    if (document()->isModified())
        return QFile::encodeName(toPlainText()).toStdString();
    return text_;
}

void TMemo::SetText(const std::string& text) {
    text_ = text;
    setPlainText(QFile::decodeName(QByteArray::fromStdString(text)));
    document()->setModified(false);
}

TButton::TButton(QWidget* parent, const char* caption)
    : QPushButton(QString::fromUtf8(caption), parent) {}

TGroupBox::TGroupBox(QWidget* parent, const char* caption)
    : QGroupBox(QString::fromUtf8(caption), parent) {}

void TGroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The palette's window colour is the container's, which the box shows as its own.
    const QColor surface = palette().color(QPalette::Window);
    painter.fillRect(rect(), surface);
    const QFontMetrics metrics(font());
    const QRect frame = rect().adjusted(0, metrics.height() / 2, -1, -1);
    painter.setPen(SystemColor(TSystemColor::clBtnShadow));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.setPen(SystemColor(TSystemColor::clBtnHighlight));
    painter.drawRect(frame.adjusted(1, 1, 0, 0));
    const QRect caption(8, 0, metrics.horizontalAdvance(title()) + 2, metrics.height());
    painter.fillRect(caption, surface);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignCenter, title());
}

TRzButton::TRzButton(QWidget* parent, const char* caption)
    : QPushButton(QString::fromUtf8(caption), parent) {
    setAttribute(Qt::WA_Hover);
}

void TRzButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    const bool hot = underMouse() && isEnabled();
    const bool down = isDown();
    QColor face = SystemColor(TSystemColor::clBtnFace);
    if (down)
        face = ChangeLightness(face, -20);
    else if (hot)
        face = ChangeLightness(face, 12);
    painter.fillRect(rect(), face);
    painter.setPen(hot ? palette().color(QPalette::Highlight)
                       : SystemColor(TSystemColor::clBtnShadow));
    painter.drawRect(frame);
    if (hot && !down)
        painter.drawRect(frame.adjusted(1, 1, -1, -1));

    const QRect textArea = rect().adjusted(4, 3, -4, -3).translated(down ? 1 : 0, down ? 1 : 0);
    const QStringList lines = WrapAtSpaces(text(), fontMetrics(), textArea.width());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(textArea, Qt::AlignCenter, lines.join(QLatin1Char('\n')));

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) {
    // The system's own font rather than the window's.
    setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
}

void TStatusBar::SetText(const std::string& text) {
    text_ = text;
    update();
}

void TStatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), SystemColor(TSystemColor::clBtnFace));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect().adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     QFile::decodeName(QByteArray::fromStdString(text_)));
}
