#include "widgets/InputBlock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

namespace {

// Set while an InputBlock is alive; nested blocks leave closing to the outermost one.
int activeBlocks = 0;

bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
    case QEvent::Gesture:
    case QEvent::GestureOverride:
    case QEvent::NativeGesture:
        return true;
    default:
        return false;
    }
}

} // namespace

InputBlock::InputBlock(QWidget* window)
    : window_(window), caption_(window->windowTitle()), outermost_(activeBlocks++ == 0) {
    QCoreApplication::instance()->installEventFilter(this);
}

InputBlock::~InputBlock() {
    QCoreApplication::instance()->removeEventFilter(this);
    --activeBlocks;
    if (!window_)
        return;
    window_->setWindowTitle(caption_);
    if (closeRequested_)
        window_->close();
}

void InputBlock::Repaint() {
    if (window_)
        window_->update();
    KeepPainting();
}

bool InputBlock::Continue(std::size_t done, std::size_t total) {
    Repaint();
    if (done >= total)
        return false;
    if (stopRequested_) {
        cancelled_ = true;
        return false;
    }
    if (window_) {
        window_->setWindowTitle(caption_ + QStringLiteral(" %1/%2").arg(done + 1).arg(total));
        // Shows the new caption at once; input waits for the next test.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return true;
}

void InputBlock::KeepPainting() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool InputBlock::IsInsideWindow(QObject* object) const {
    if (!window_ || !object->isWidgetType())
        return false;
    const auto* widget = static_cast<QWidget*>(object);
    return widget == window_ || widget->window() == window_;
}

bool InputBlock::eventFilter(QObject* watched, QEvent* event) {
    if (!IsInsideWindow(watched))
        return false;
    if (event->type() == QEvent::Close && outermost_ && watched == window_) {
        closeRequested_ = true;
        stopRequested_ = true;
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        stopRequested_ = true;
    return IsUserInput(event->type());
}
