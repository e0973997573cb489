#include "widgets/AnchorLayout.h"
#include "widgets/Controls.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

void FillBackground(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
}

// A line of the hatched pattern that shows where a splitter will put the edge.
class SplitLine : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(),
                         QBrush(SystemColor(TSystemColor::clWindowText), Qt::Dense4Pattern));
    }
};

} // namespace

TPanel::TPanel(QWidget* parent) : QWidget(parent) {
    FillBackground(this, SystemColor(TSystemColor::clBtnFace));
    TAnchorLayout::Ensure(this).SetAlignMargins(QMargins(1, 1, 1, 1));
}

void TPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(r, palette().color(QPalette::Window));
    painter.setPen(SystemColor(TSystemColor::clBtnHighlight));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(SystemColor(TSystemColor::clBtnShadow));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}

TRzPanel::TRzPanel(QWidget* parent) : QWidget(parent) {
    FillBackground(this, SystemColor(TSystemColor::clBtnFace));
}

QColor TRzPanel::Color() const {
    return palette().color(QPalette::Window);
}

void TRzPanel::SetColor(const QColor& color) {
    FillBackground(this, color);
    update();
}

void TRzPanel::SetGradient(bool gradient) {
    gradient_ = gradient;
    update();
}

void TRzPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = rect();
    if (gradient_) {
        QLinearGradient surface(r.topLeft(), r.bottomLeft());
        surface.setColorAt(0, SystemColor(TSystemColor::clWindow));
        surface.setColorAt(1, ChangeLightness(SystemColor(TSystemColor::clBtnFace), -10));
        painter.fillRect(r, surface);
    } else {
        painter.fillRect(r, Color());
    }
    // The cut corners show what lies behind the panel.
    const QColor behind = parentWidget() ? parentWidget()->palette().color(QPalette::Window)
                                         : SystemColor(TSystemColor::clBtnFace);
    painter.setPen(behind);
    painter.drawPoints(QPolygon({r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}));
    painter.setPen(ChangeLightness(SystemColor(TSystemColor::clBtnShadow), 30));
    painter.drawLine(r.left() + 1, r.top(), r.right() - 1, r.top());
    painter.drawLine(r.left() + 1, r.bottom(), r.right() - 1, r.bottom());
    painter.drawLine(r.left(), r.top() + 1, r.left(), r.bottom() - 1);
    painter.drawLine(r.right(), r.top() + 1, r.right(), r.bottom() - 1);
}

TSplitter::TSplitter(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::SplitHCursor);
}

QWidget* TSplitter::ResizedControl() const {
    // The visible sibling just left of the splitter; a closed one (width 0) still counts.
    const QPoint probe(geometry().left() - 1, geometry().top());
    for (QWidget* sibling : parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (sibling == this || sibling->isHidden() || ControlAlign(sibling) != TAlign::alLeft)
            continue;
        QRect r = sibling->geometry();
        if (r.width() == 0)
            r.setLeft(r.left() - 1);
        if (r.contains(probe))
            return sibling;
    }
    return nullptr;
}

int TSplitter::NewSize(int x) const {
    const int wanted =
        std::clamp(control_->width() + (x - downX_), MinSize, std::max(maxSize_, MinSize));
    return wanted <= MinSize ? 0 : wanted; // AutoSnap
}

void TSplitter::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    control_ = ResizedControl();
    if (!control_)
        return;
    downX_ = event->position().toPoint().x();
    // The widest the control may get leaves MinSize to the rest of the row.
    const TAnchorLayout* layout = TAnchorLayout::Of(parentWidget());
    maxSize_ = (layout ? layout->ReferenceSize().width() : parentWidget()->width()) - MinSize;
    for (QWidget* sibling : parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const TAlign align = ControlAlign(sibling);
        if (!sibling->isHidden() && (align == TAlign::alLeft || align == TAlign::alRight))
            maxSize_ -= sibling->width();
    }
    maxSize_ += control_->width();
    newSize_ = NewSize(downX_);
    ShowLine(control_->width());
}

void TSplitter::mouseMoveEvent(QMouseEvent* event) {
    if (!control_ || !(event->buttons() & Qt::LeftButton))
        return;
    const int x = event->position().toPoint().x();
    newSize_ = NewSize(x);
    ShowLine(std::clamp(control_->width() + (x - downX_), MinSize, std::max(maxSize_, MinSize)));
}

void TSplitter::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !control_)
        return;
    delete line_;
    QRect bounds = ControlBounds(control_);
    bounds.setWidth(newSize_);
    SetControlBounds(control_, bounds);
    control_ = nullptr;
}

void TSplitter::ShowLine(int size) {
    if (!line_)
        line_ = new SplitLine(parentWidget());
    line_->setGeometry(control_->x() + size, y(), width(), height());
    line_->raise();
    line_->show();
}
