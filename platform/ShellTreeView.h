// The folder tree: one top node 桌面 (the desktop folder) whose children are the home folder, 计算机
// (the path "/") and the desktop folder's own subfolders. Subfolders are read on first expansion,
// under the busy cursor, without hidden folders, sorted by name. One node is always selected.
#pragma once

#include <QTreeWidget>

#include <functional>
#include <string>

class TShellTreeView : public QTreeWidget {
public:
    explicit TShellTreeView(QWidget* parent = nullptr);

    // The selected folder's path as bytes, without a closing "/" except for "/" itself; "" when no
    // folder is selected.
    std::string Path() const;
    // Selects the node of `path`, expanding its ancestors; for tests and start-up.
    void SelectPath(const std::string& path);

    // Raised by every left click inside the tree, after the click has been handled; never by a
    // right click or by keyboard moves.
    std::function<void()> OnClick;
};
