#include "widgets/RzListBox.h"

#include "widgets/BusyCursor.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QWheelEvent>

#include <iterator>
#include <utility>
#include <vector>

namespace {

constexpr int kItemHeight = 13;
constexpr int kBytesRole = Qt::UserRole;

class FixedHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kItemHeight};
    }
};

// Suspends the list's drawing for one update, and draws it once when the update ends, also when
// it ends by an exception.
class DrawingSuspended {
public:
    explicit DrawingSuspended(QAbstractItemView* view)
        : view_(view), wasEnabled_(view->updatesEnabled()) {
        view_->setUpdatesEnabled(false);
    }
    ~DrawingSuspended() {
        view_->setUpdatesEnabled(wasEnabled_);
        view_->viewport()->update();
    }
    DrawingSuspended(const DrawingSuspended&) = delete;
    DrawingSuspended& operator=(const DrawingSuspended&) = delete;

private:
    QAbstractItemView* view_;
    bool wasEnabled_;
};

// The item hint: a window without a frame of its own that shows one text at the place the list
// shows it, so that it lies exactly over the entry. What the mouse does on it is done to the list
// below; the hint goes once a click is over.
class ItemHintWindow : public QWidget {
public:
    explicit ItemHintWindow(QWidget* list) : QWidget(nullptr, Qt::ToolTip), list_(list) {
        setAttribute(Qt::WA_ShowWithoutActivating);
    }

    // Shows `text` in `font` over `entry` (in global coordinates), starting `textLeft` pixels
    // right of the entry's left edge, as the list draws it.
    void ShowOver(const QString& text, const QFont& font, const QRect& entry, int textLeft) {
        text_ = text;
        textLeft_ = textLeft;
        setFont(font);
        const int width = textLeft + QFontMetrics(font).horizontalAdvance(text) + textLeft;
        setGeometry(entry.left(), entry.top(), width, entry.height());
        show();
        raise();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::ToolTipBase));
        painter.setPen(palette().color(QPalette::ToolTipText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        painter.drawText(rect().adjusted(textLeft_, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         text_);
    }
    void mousePressEvent(QMouseEvent* event) override {
        // A click on the list gives it the focus; one passed on must as well.
        if (list_ && list_->parentWidget())
            list_->parentWidget()->setFocus(Qt::MouseFocusReason);
        PassOn(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override { PassOn(event); }
    void mouseReleaseEvent(QMouseEvent* event) override {
        PassOn(event);
        if (event->buttons() == Qt::NoButton)
            hide();
    }
    void wheelEvent(QWheelEvent* event) override {
        if (!list_)
            return;
        QWheelEvent copy(list_->mapFromGlobal(event->globalPosition()), event->globalPosition(),
                         event->pixelDelta(), event->angleDelta(), event->buttons(),
                         event->modifiers(), event->phase(), event->inverted());
        QCoreApplication::sendEvent(list_, &copy);
    }
    void contextMenuEvent(QContextMenuEvent* event) override {
        if (!list_)
            return;
        QContextMenuEvent copy(event->reason(), list_->mapFromGlobal(event->globalPos()),
                               event->globalPos(), event->modifiers());
        QCoreApplication::sendEvent(list_, &copy);
    }

private:
    void PassOn(QMouseEvent* event) {
        if (!list_)
            return;
        QMouseEvent copy(event->type(), list_->mapFromGlobal(event->globalPosition()),
                         event->scenePosition(), event->globalPosition(), event->button(),
                         event->buttons(), event->modifiers(), event->pointingDevice());
        copy.setTimestamp(event->timestamp());
        QCoreApplication::sendEvent(list_, &copy);
    }

    QPointer<QWidget> list_; // the list's viewport
    QString text_;
    int textLeft_ = 0;
};

bool IsSelectionKey(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Space:
    case Qt::Key_Select:
        return true;
    default:
        return event->matches(QKeySequence::SelectAll);
    }
}

} // namespace

TRzListBox::TRzListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(false);
    setUniformItemSizes(true);
    setItemDelegate(new FixedHeightDelegate(this));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    // An entry too wide for the list is read from its hint, not by scrolling sideways.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const auto touched = [this] { selectionTouched_ = true; };
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, touched);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, touched);
    // A hint must not outlive the entry it lies over, nor stay once the pointer has left it.
    viewport()->setMouseTracking(true);
    connect(model(), &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { HideItemHint(); });
    connect(model(), &QAbstractItemModel::modelAboutToBeReset, this, [this] { HideItemHint(); });
}

int TRzListBox::Count() const {
    return count();
}

std::string TRzListBox::Item(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry ? entry->data(kBytesRole).toByteArray().toStdString() : std::string();
}

void TRzListBox::ReplaceAll(const std::vector<std::string>& entries) {
    const DrawingSuspended drawing(this);
    QListWidget::clear();
    for (const std::string& entry : entries) {
        const QByteArray bytes = QByteArray::fromStdString(entry);
        auto* listed = new QListWidgetItem(QFile::decodeName(bytes));
        listed->setData(kBytesRole, bytes);
        addItem(listed);
    }
    if (count() > 0)
        selectionModel()->setCurrentIndex(model()->index(0, 0), QItemSelectionModel::NoUpdate);
}

void TRzListBox::Clear() {
    QListWidget::clear();
}

bool TRzListBox::Selected(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry && entry->isSelected();
}

void TRzListBox::SetSelected(int index, bool selected) {
    if (QListWidgetItem* entry = item(index))
        entry->setSelected(selected);
}

std::vector<int> TRzListBox::SelectedRows() const {
    // The selection's ranges give every row's mark at once; asking row by row would search them
    // for each row.
    std::vector<bool> selected(count());
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            selected[row] = true;
    }
    std::vector<int> rows;
    for (int row = 0; row < count(); ++row) {
        if (selected[row])
            rows.push_back(row);
    }
    return rows;
}

bool TRzListBox::HasSelection() const {
    return selectionModel()->hasSelection();
}

int TRzListBox::ItemIndex() const {
    return currentRow();
}

void TRzListBox::SetItemIndex(int index) {
    const QModelIndex target =
        (index >= 0 && index < count()) ? model()->index(index, 0) : QModelIndex();
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    if (target.isValid())
        scrollTo(target);
}

void TRzListBox::DeleteSelected() {
    const BusyCursor busy;
    const DrawingSuspended drawing(this);
    // Whole runs of selected rows go at once, from the bottom up so that the rows above keep
    // their numbers.
    const std::vector<int> rows = SelectedRows();
    for (auto last = rows.rbegin(); last != rows.rend();) {
        auto first = last;
        while (std::next(first) != rows.rend() && *std::next(first) == *first - 1)
            ++first;
        model()->removeRows(*first, *last - *first + 1);
        last = std::next(first);
    }
}

void TRzListBox::RaiseClick() {
    if (OnClick)
        OnClick();
}

void TRzListBox::mousePressEvent(QMouseEvent* event) {
    // Only a left press on an entry selects. A right press must leave the selection for the
    // pop-up menu's commands, and a press on empty space would otherwise clear the selection.
    if (event->button() != Qt::LeftButton || !indexAt(event->position().toPoint()).isValid()) {
        event->accept();
        return;
    }
    leftPressOnEntry_ = true;
    QListWidget::mousePressEvent(event);
}

void TRzListBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    // The view completes a plain click on an already selected entry only on the release, so the
    // click is reported once the release has been handled.
    QListWidget::mouseReleaseEvent(event);
    if (std::exchange(leftPressOnEntry_, false))
        RaiseClick();
}

void TRzListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is a press like any other: it selects or toggles, and
    // its release reports the click. The view's own handling would skip the press on an entry
    // it has just pressed, so the press path gets the event as a press.
    QMouseEvent press(QEvent::MouseButtonPress, event->position(), event->scenePosition(),
                      event->globalPosition(), event->button(), event->buttons(),
                      event->modifiers(), event->pointingDevice());
    press.setTimestamp(event->timestamp());
    mousePressEvent(&press);
    event->setAccepted(press.isAccepted());
}

void TRzListBox::keyPressEvent(QKeyEvent* event) {
    HideItemHint();
    const bool selectionKey = IsSelectionKey(event);
    selectionTouched_ = false;
    QListWidget::keyPressEvent(event);
    if (selectionKey && std::exchange(selectionTouched_, false))
        RaiseClick();
}

TRzListBox::~TRzListBox() {
    // The model goes with the view's base, after this object's own members.
    disconnect(model(), nullptr, this, nullptr);
    delete hint_;
}

void TRzListBox::ShowItemHint(const QModelIndex& index) {
    const QString text = index.data(Qt::DisplayRole).toString();
    const QRect shown = visualRect(index);
    // The delegate draws the text this far inside the entry's rectangle.
    const int textLeft = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    if (textLeft + fontMetrics().horizontalAdvance(text) + textLeft <=
        viewport()->width() - shown.left()) {
        HideItemHint();
        return;
    }
    if (!hint_)
        hint_ = new ItemHintWindow(viewport());
    static_cast<ItemHintWindow*>(hint_.data())
        ->ShowOver(text, font(), QRect(viewport()->mapToGlobal(shown.topLeft()), shown.size()),
                   textLeft);
    hinted_ = index;
}

void TRzListBox::HideItemHint() {
    if (hint_)
        hint_->hide();
    hinted_ = QPersistentModelIndex();
}

bool TRzListBox::viewportEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::ToolTip: {
        const QModelIndex index = indexAt(static_cast<QHelpEvent*>(event)->pos());
        if (index.isValid())
            ShowItemHint(index);
        else
            HideItemHint();
        return true;
    }
    case QEvent::MouseMove:
        if (hinted_.isValid() &&
            indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()) != hinted_)
            HideItemHint();
        break;
    case QEvent::Leave:
        // Showing the hint under the pointer may look like leaving the list to the system.
        if (!viewport()->rect().contains(viewport()->mapFromGlobal(QCursor::pos())))
            HideItemHint();
        break;
    case QEvent::Wheel:
    case QEvent::Hide:
        HideItemHint();
        break;
    default:
        break;
    }
    return QListWidget::viewportEvent(event);
}
