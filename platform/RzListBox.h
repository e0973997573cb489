// The multi-select file list. Each entry keeps its text as bytes; what is shown is only a
// rendering of them. Changes made through this interface never raise OnClick: only the user's
// mouse and keyboard changes to the selection do.
#pragma once

#include <QListWidget>

#include <functional>
#include <string>
#include <vector>

class TRzListBox : public QListWidget {
public:
    explicit TRzListBox(QWidget* parent = nullptr);

    int Count() const;
    std::string Item(int index) const;
    // Removes every entry, then adds `entries` in order, redrawing once at the end.
    void ReplaceAll(const std::vector<std::string>& entries);
    void Clear();

    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    // The focused entry (the one with the focus rectangle), -1 when there is none. Setting it moves
    // the focus and scrolls the entry into view; it selects and deselects nothing.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // Removes the selected entries under the busy cursor, redrawing once.
    void DeleteSelected();

    // Raised when the user changes the selection with the mouse or the keyboard.
    std::function<void()> OnClick;
};
