// The folder tree: one top node 桌面 (the desktop folder) whose children are the home folder,
// 计算机 (the path "/") and the desktop folder's own subfolders. Subfolders are read on first
// expansion, under the busy cursor, without hidden folders, sorted by name; an expand button shows
// where a folder has subfolders, and dotted lines join the nodes below the top one. One node is
// always selected, highlighted only while the tree has the focus.
//
// Each node keeps its folder's path as bytes, so folders whose names are not valid UTF-8 work like
// any other. Nothing watches the file system: a node's subfolders are read once.
#pragma once

#include <QTreeWidget>

#include <functional>
#include <string>

class TShellTreeView : public QTreeWidget {
public:
    // Reads the desktop folder's subfolders; the top node is expanded and selected.
    explicit TShellTreeView(QWidget* parent = nullptr);

    // The selected folder's path as bytes, without a closing "/" except for "/" itself; "" when no
    // folder is selected.
    std::string Path() const;
    // Selects the node of `path`, expanding its ancestors; the tests reach a folder through it.
    // Raises no OnClick. The node is looked for below the top node, preferring the node whose path
    // covers most of `path`. Returns false, and leaves the selection as it was, when no node has
    // that path (a missing or hidden folder, or one created after its parent was read).
    bool SelectPath(const std::string& path);

    // Raised by every left click inside the tree, after the click has been handled; never by a
    // right click or by keyboard moves.
    std::function<void()> OnClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void drawBranches(QPainter* painter, const QRect& rect,
                      const QModelIndex& index) const override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    void ReadSubfolders(QTreeWidgetItem* node);
    void SelectInsteadOfHiddenDescendant(QTreeWidgetItem* collapsed);
    // The selection is highlighted only while the tree has the focus.
    void ShowSelection(bool shown);

    bool leftPressed_ = false; // a left press inside the tree awaits its release
};
