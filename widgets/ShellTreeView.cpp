#include "widgets/ShellTreeView.h"

#include "platform/FileNames.h"
#include "platform/FileSystem.h"
#include "platform/UserFolders.h"
#include "widgets/BusyCursor.h"
#include "widgets/Controls.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <utility>

namespace {

constexpr int kIndent = 19;
constexpr int kPathRole = Qt::UserRole;     // the folder's path, as bytes
constexpr int kReadRole = Qt::UserRole + 1; // the subfolders have been read

std::string NodePath(const QTreeWidgetItem* node) {
    return node->data(0, kPathRole).toByteArray().toStdString();
}

QTreeWidgetItem* MakeNode(const QString& label, const std::string& path, const QIcon& icon) {
    auto* node = new QTreeWidgetItem(QStringList{label});
    node->setData(0, kPathRole, QByteArray::fromStdString(path));
    node->setIcon(0, icon);
    // The subfolders themselves are read on the first expansion; whether there are any is
    // known from the first one found.
    node->setChildIndicatorPolicy(HasVisibleSubfolder(path) ? QTreeWidgetItem::ShowIndicator
                                                            : QTreeWidgetItem::DontShowIndicator);
    return node;
}

// `icon` as it is also for the selected node, which the style would otherwise tint with the
// highlight colour.
QIcon SameWhenSelected(const QIcon& icon) {
    QIcon result;
    for (const QSize& size : icon.availableSizes()) {
        result.addPixmap(icon.pixmap(size), QIcon::Normal);
        result.addPixmap(icon.pixmap(size), QIcon::Selected);
    }
    return result.isNull() ? icon : result;
}

// A closed folder, shown open while its node is selected.
QIcon FolderIcon(const QStyle* style) {
    QIcon icon;
    for (const QSize& size : style->standardIcon(QStyle::SP_DirClosedIcon).availableSizes()) {
        icon.addPixmap(style->standardIcon(QStyle::SP_DirClosedIcon).pixmap(size), QIcon::Normal);
        icon.addPixmap(style->standardIcon(QStyle::SP_DirOpenIcon).pixmap(size), QIcon::Selected);
    }
    return icon.isNull() ? style->standardIcon(QStyle::SP_DirIcon) : icon;
}

// `path` with runs of "/" made one and without a closing "/", except for "/" itself.
std::string Normalised(const std::string& path) {
    std::string result;
    for (const char c : path) {
        if (c != '/' || result.empty() || result.back() != '/')
            result += c;
    }
    if (result.size() > 1 && result.back() == '/')
        result.pop_back();
    return result;
}

// True when `folder` is `path` or one of the folders that hold it.
bool Covers(const std::string& folder, const std::string& path) {
    if (folder == path)
        return true;
    const std::string prefix = ChildPath(folder, ""); // the folder with its closing "/"
    return path.compare(0, prefix.size(), prefix) == 0;
}

bool IsDescendant(const QTreeWidgetItem* node, const QTreeWidgetItem* ancestor) {
    for (const QTreeWidgetItem* above = node->parent(); above; above = above->parent()) {
        if (above == ancestor)
            return true;
    }
    return false;
}

} // namespace

TShellTreeView::TShellTreeView(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    setHeaderHidden(true);
    // The column grows with its longest label, so deep folders bring a horizontal scroll bar.
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    setRootIsDecorated(false);
    setIndentation(kIndent);
    setUniformRowHeights(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    ShowSelection(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* node) { ReadSubfolders(node); });
    connect(this, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* node) { SelectInsteadOfHiddenDescendant(node); });

    const std::string home = HomeFolder();
    const std::string login = LoginName();
    QTreeWidgetItem* desktop =
        MakeNode(QString::fromUtf8("桌面"), DesktopFolder(),
                 SameWhenSelected(style()->standardIcon(QStyle::SP_DesktopIcon)));
    addTopLevelItem(desktop);
    ReadSubfolders(desktop);
    desktop->insertChildren(
        0, {MakeNode(QFile::decodeName(QByteArray::fromStdString(login.empty() ? home : login)),
                     home, SameWhenSelected(style()->standardIcon(QStyle::SP_DirHomeIcon))),
            MakeNode(QString::fromUtf8("计算机"), "/",
                     SameWhenSelected(style()->standardIcon(QStyle::SP_ComputerIcon)))});
    desktop->setExpanded(true);
    selectionModel()->setCurrentIndex(indexFromItem(desktop), QItemSelectionModel::ClearAndSelect);
}

std::string TShellTreeView::Path() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? std::string() : NodePath(selected.front());
}

bool TShellTreeView::SelectPath(const std::string& path) {
    const std::string target = Normalised(path);
    QTreeWidgetItem* node = topLevelItem(0);
    while (node && NodePath(node) != target) {
        ReadSubfolders(node);
        QTreeWidgetItem* closest = nullptr;
        for (int i = 0; i < node->childCount(); ++i) {
            QTreeWidgetItem* child = node->child(i);
            const std::string childPath = NodePath(child);
            if (Covers(childPath, target) &&
                (!closest || childPath.size() > NodePath(closest).size()))
                closest = child;
        }
        node = closest;
    }
    if (!node)
        return false;
    for (QTreeWidgetItem* above = node->parent(); above; above = above->parent())
        above->setExpanded(true);
    selectionModel()->setCurrentIndex(indexFromItem(node), QItemSelectionModel::ClearAndSelect);
    scrollToItem(node);
    return true;
}

void TShellTreeView::ReadSubfolders(QTreeWidgetItem* node) {
    if (node->data(0, kReadRole).toBool())
        return;
    node->setData(0, kReadRole, true);
    const BusyCursor busy;
    const std::string folder = NodePath(node);
    const QIcon icon = FolderIcon(style());
    QList<QTreeWidgetItem*> subfolders;
    // The search's own order (by name, ASCII letters without regard to case) is the tree's order.
    for (const FoundEntry& entry : FindEntries(folder, "*")) {
        if (entry.isDirectory && entry.name.front() != '.')
            subfolders.append(MakeNode(QFile::decodeName(QByteArray::fromStdString(entry.name)),
                                       ChildPath(folder, entry.name), icon));
    }
    node->addChildren(subfolders);
    node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void TShellTreeView::SelectInsteadOfHiddenDescendant(QTreeWidgetItem* collapsed) {
    // A selected node must stay visible: collapsing one of its ancestors selects that ancestor.
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (!selected.isEmpty() && IsDescendant(selected.front(), collapsed))
        selectionModel()->setCurrentIndex(indexFromItem(collapsed),
                                          QItemSelectionModel::ClearAndSelect);
}

void TShellTreeView::ShowSelection(bool shown) {
    // The selected node keeps its open-folder icon; only the highlight behind its label goes.
    QPalette colours = QApplication::palette(this);
    if (!shown) {
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            colours.setColor(group, QPalette::Highlight, colours.color(group, QPalette::Base));
            colours.setColor(group, QPalette::HighlightedText,
                             colours.color(group, QPalette::Text));
        }
    }
    setPalette(colours);
}

void TShellTreeView::focusInEvent(QFocusEvent* event) {
    ShowSelection(true);
    QTreeWidget::focusInEvent(event);
}

void TShellTreeView::focusOutEvent(QFocusEvent* event) {
    ShowSelection(false);
    QTreeWidget::focusOutEvent(event);
}

void TShellTreeView::drawBranches(QPainter* painter, const QRect& rect,
                                  const QModelIndex& index) const {
    // Dotted lines join each node to its parent and to its next sibling, and a box with a plus or
    // a minus stands where a folder has subfolders. The top node has neither (ShowRoot off), so
    // the columns left of a node belong to its ancestors below the top node.
    const QTreeWidgetItem* node = itemFromIndex(index);
    if (!node || !node->parent())
        return;
    const int rowMiddle = rect.top() + rect.height() / 2;
    auto hasNextSibling = [](const QTreeWidgetItem* item) {
        const QTreeWidgetItem* parent = item->parent();
        return parent &&
               parent->indexOfChild(const_cast<QTreeWidgetItem*>(item)) < parent->childCount() - 1;
    };
    QPen dotted(SystemColor(TSystemColor::clBtnShadow));
    dotted.setDashPattern({1, 1});
    painter->save();
    painter->setPen(dotted);

    int column = rect.right() + 1 - indentation();
    const int x = column + indentation() / 2;
    painter->drawLine(x, rect.top(), x, hasNextSibling(node) ? rect.bottom() : rowMiddle);
    painter->drawLine(x, rowMiddle, column + indentation() - 1, rowMiddle);
    for (const QTreeWidgetItem* above = node->parent(); above->parent(); above = above->parent()) {
        column -= indentation();
        if (hasNextSibling(above))
            painter->drawLine(column + indentation() / 2, rect.top(), column + indentation() / 2,
                              rect.bottom());
    }

    const bool hasButton =
        node->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator ||
        (node->childIndicatorPolicy() == QTreeWidgetItem::DontShowIndicatorWhenChildless &&
         node->childCount() > 0);
    if (hasButton) {
        const QRect box(x - 4, rowMiddle - 4, 8, 8);
        painter->setPen(SystemColor(TSystemColor::clBtnShadow));
        painter->fillRect(box, palette().color(QPalette::Base));
        painter->drawRect(box);
        painter->setPen(palette().color(QPalette::Text));
        painter->drawLine(x - 2, rowMiddle, x + 2, rowMiddle);
        if (!node->isExpanded())
            painter->drawLine(x, rowMiddle - 2, x, rowMiddle + 2);
    }
    painter->restore();
}

QItemSelectionModel::SelectionFlags TShellTreeView::selectionCommand(const QModelIndex& index,
                                                                     const QEvent*) const {
    // No click, key or modifier may leave the tree without a selected node.
    return index.isValid() ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::NoUpdate;
}

void TShellTreeView::mousePressEvent(QMouseEvent* event) {
    // A right click leaves the selection as it is.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    leftPressed_ = true;
    QTreeWidget::mousePressEvent(event);
}

void TShellTreeView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    // Expand buttons act on the release with some styles, so the click is over only now.
    QTreeWidget::mouseReleaseEvent(event);
    if (std::exchange(leftPressed_, false) && OnClick)
        OnClick();
}

void TShellTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    // The second click of a double click is a click too; its release reports it.
    leftPressed_ = true;
    QTreeWidget::mouseDoubleClickEvent(event);
}
