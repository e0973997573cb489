#include "widgets/RzListBox.h"

#include "widgets/BusyCursor.h"

#include <QFile>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QToolTip>

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
    const bool selectionKey = IsSelectionKey(event);
    selectionTouched_ = false;
    QListWidget::keyPressEvent(event);
    if (selectionKey && std::exchange(selectionTouched_, false))
        RaiseClick();
}

bool TRzListBox::viewportEvent(QEvent* event) {
    // The item hint: an entry too wide for the list shows its whole text in a tool tip.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (index.isValid()) {
            const QString text = index.data(Qt::DisplayRole).toString();
            const QRect shown = visualRect(index);
            if (fontMetrics().horizontalAdvance(text) > viewport()->width() - shown.left()) {
                QToolTip::showText(help->globalPos(), text, viewport(), shown);
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QListWidget::viewportEvent(event);
}
