// The folder dialog: a folder tree like the main window's (桌面 at the top with the home folder,
// 计算机 and the desktop's folders below it), a one-line field with the selected folder's path, OK
// and Cancel. It keeps each folder's path as bytes, so a folder whose name is not valid UTF-8 can
// be chosen like any other.
#pragma once

#include "widgets/ShellTreeView.h"

#include <QDialog>
#include <QLineEdit>
#include <QString>

#include <string>

class TFolderDialog : public QDialog {
public:
    // A modal dialog captioned `title`, which also stands above the tree. It starts at 桌面,
    // expanded and selected, with the focus in the tree; Tab moves on to the path field, OK and
    // Cancel. OK is the default button (Enter), Cancel takes Esc.
    TFolderDialog(QWidget* owner, const std::string& title);

    // The folder chosen: the selected folder's bytes while the field still shows that folder's
    // path; else what the field holds, as bytes (a path typed or pasted, not checked). Meaningful
    // once the dialog has been accepted.
    std::string ChosenFolder() const;

    TShellTreeView* Tree() const { return tree_; }
    QLineEdit* PathField() const { return field_; }

private:
    void ShowSelectedFolder();

    TShellTreeView* tree_;
    QLineEdit* field_;
    QString shownPath_; // the field's text as the selection last set it
};

// Shows a new TFolderDialog over `owner` and waits for it: the chosen folder's bytes, or "" when
// the user cancelled or closed it.
std::string ChooseFolderModal(QWidget* owner, const std::string& title);
