#include "widgets/AnchorLayout.h"
#include "widgets/Controls.h"

#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>

int TControlScrollBar::Position() const {
    return box_.Bar(orientation_)->value();
}

void TControlScrollBar::SetPosition(int position) {
    box_.Bar(orientation_)->setValue(std::clamp(position, 0, LargestPosition()));
}

int TControlScrollBar::Range() const {
    return box_.ContentRange(orientation_);
}

int TControlScrollBar::LargestPosition() const {
    return box_.Bar(orientation_)->maximum();
}

bool TControlScrollBar::IsVisible() const {
    const Qt::ScrollBarPolicy policy = orientation_ == Qt::Horizontal
                                           ? box_.horizontalScrollBarPolicy()
                                           : box_.verticalScrollBarPolicy();
    return policy == Qt::ScrollBarAlwaysOn;
}

TScrollBox::TScrollBox(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::NoFocus);
    setFrameStyle(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setSingleStep(HorzScrollBar().Increment());
        bar->setTracking(true);
        bar->installEventFilter(this);
    }
    auto* layout = new TAnchorLayout(viewport(), this, [this] { return InnerSize(); });
    layout->OnBoundsChanged = [this] { UpdateScrollBars(); };
}

QWidget* TScrollBox::Content() const {
    return viewport();
}

void TScrollBox::SetBorder(bool border) {
    setFrameStyle(border ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
    setLineWidth(1);
    UpdateScrollBars();
    TAnchorLayout::Of(viewport())->Realign();
}

void TScrollBox::SetColor(const QColor& color) {
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, color);
    palette.setColor(QPalette::Window, color);
    viewport()->setPalette(palette);
    viewport()->setAutoFillBackground(true);
}

QScrollBar* TScrollBox::Bar(Qt::Orientation orientation) const {
    return orientation == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
}

QSize TScrollBox::InnerSize() const {
    const int frame = frameWidth();
    return QSize(std::max(width() - 2 * frame, 0), std::max(height() - 2 * frame, 0));
}

int TScrollBox::ContentRange(Qt::Orientation orientation) const {
    const TAnchorLayout* layout = TAnchorLayout::Of(viewport());
    const bool horizontal = orientation == Qt::Horizontal;
    const TAlign side = horizontal ? TAlign::alLeft : TAlign::alTop;
    const TAnchors nearEdge = horizontal ? akLeft : akTop;
    const TAnchors bothEdges = horizontal ? akLeft | akRight : akTop | akBottom;
    int range = 0;
    for (const TAnchorLayout::Rule& rule : layout->Rules()) {
        if (!rule.control || rule.control->isHidden())
            continue;
        // A control that follows the far edge goes wherever the visible area ends, so it
        // cannot widen what there is to scroll.
        const bool counts = rule.align == side || (rule.align == TAlign::alNone &&
                                                   (rule.anchors & bothEdges) == nearEdge);
        if (!counts)
            continue;
        const QRect bounds = layout->Bounds(rule.control);
        range = std::max(range, horizontal ? bounds.left() + bounds.width()
                                           : bounds.top() + bounds.height());
    }
    return range;
}

void TScrollBox::UpdateScrollBars() {
    const int horzRange = ContentRange(Qt::Horizontal);
    const int vertRange = ContentRange(Qt::Vertical);
    const QSize inner = InnerSize();
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    // A bar takes room from the other direction, which then may need its bar as well.
    bool horz = false;
    bool vert = false;
    for (int pass = 0; pass < 2; ++pass) {
        horz = horzRange > inner.width() - (vert ? extent : 0);
        vert = vertRange > inner.height() - (horz ? extent : 0);
    }
    const int visibleWidth = inner.width() - (vert ? extent : 0);
    const int visibleHeight = inner.height() - (horz ? extent : 0);
    setHorizontalScrollBarPolicy(horz ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    horizontalScrollBar()->setRange(0, std::max(horzRange - visibleWidth, 0));
    horizontalScrollBar()->setPageStep(std::max(visibleWidth, 1));
    verticalScrollBar()->setRange(0, std::max(vertRange - visibleHeight, 0));
    verticalScrollBar()->setPageStep(std::max(visibleHeight, 1));
}

void TScrollBox::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TScrollBox::scrollContentsBy(int, int) {
    TAnchorLayout::Of(viewport())
        ->SetOrigin(QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()));
}

void TScrollBox::wheelEvent(QWheelEvent* event) {
    // The box never scrolls by the wheel itself; only its handler may.
    event->accept();
    const int delta = event->angleDelta().y();
    if (!OnMouseWheel || delta == 0)
        return;
    bool handled = false;
    OnMouseWheel(event->modifiers(), delta, event->globalPosition().toPoint(), handled);
}

bool TScrollBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel &&
        (watched == horizontalScrollBar() || watched == verticalScrollBar())) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}
