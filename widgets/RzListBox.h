// The multi-select file list. Each entry keeps its text as bytes; what is shown is only a
// rendering of them. Changes made through this interface never raise OnClick: only the user's
// mouse and keyboard changes to the selection do.
//
// Selection is extended: a click selects one entry alone, a Shift-click a range, a Ctrl-click
// toggles one entry; the arrow, Page and Home/End keys move the focus and the selection. A right
// click changes nothing in the list; the list's context menu policy is Qt::CustomContextMenu, so
// the owner shows its pop-up menu from customContextMenuRequested (the position is in viewport()
// coordinates). Typed letters move to a matching entry without raising OnClick. There is no
// horizontal scroll bar: while the pointer rests on an entry wider than the list, a hint window
// laid over that entry shows its whole text, until the pointer leaves the entry.
#pragma once

#include <QListWidget>
#include <QPersistentModelIndex>
#include <QPointer>

#include <functional>
#include <string>
#include <vector>

class TRzListBox : public QListWidget {
public:
    explicit TRzListBox(QWidget* parent = nullptr);
    ~TRzListBox() override;

    int Count() const;
    // The bytes of entry `index`; "" for an index outside the list.
    std::string Item(int index) const;
    // Removes every entry, then adds `entries` in order, redrawing once at the end. The focus
    // rests on entry 0 (when there is one) and nothing is selected.
    void ReplaceAll(const std::vector<std::string>& entries);
    void Clear();

    // False, and no change, for an index outside the list.
    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    // The selected entries' indexes in list order, read from the selection's ranges at once.
    std::vector<int> SelectedRows() const;
    bool HasSelection() const;
    // The focused entry (the one with the focus rectangle), -1 when there is none. Setting it moves
    // the focus and scrolls the entry into view; it selects and deselects nothing. An index outside
    // the list leaves no entry focused.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // Removes the selected entries under the busy cursor, redrawing once.
    void DeleteSelected();

    // Raised when the user changes the selection with the mouse or the keyboard: after a left click
    // on an entry (plain, Ctrl or Shift, also when the selection stays the same; both clicks of a
    // double click count, and each selects or toggles like a single one) and after the
    // arrow, Page Up/Down, Home/End, Space and select-all keys when they moved the focus or changed
    // the selection. Never raised by the calls above, by a right click or by type-to-find.
    std::function<void()> OnClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void RaiseClick();
    void ShowItemHint(const QModelIndex& index);
    void HideItemHint();

    QPointer<QWidget> hint_;
    QPersistentModelIndex hinted_; // the entry the hint window lies over

    bool leftPressOnEntry_ = false; // a left press on an entry awaits its release
    bool selectionTouched_ = false; // the focus or the selection changed since it was reset
};
