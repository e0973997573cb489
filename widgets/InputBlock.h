// Keeps a window painting but deaf while a long command runs inside one of its handlers, shows in
// its caption how far the command is, and takes the one request the user can make meanwhile: to
// cancel it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstddef>

// While an InputBlock lives, the window and its children receive no mouse, keyboard, wheel or touch
// input, except Esc, which asks the command to stop. A request to close the window asks the same
// and is carried out when the block ends. Windows of their own (message boxes, the folder dialog)
// are not blocked, so the command can still ask the user. Blocks nest: only the outermost one
// closes the window. Each block gives the window back the caption it found.
class InputBlock : public QObject {
public:
    explicit InputBlock(QWidget* window);
    ~InputBlock() override;
    InputBlock(const InputBlock&) = delete;
    InputBlock& operator=(const InputBlock&) = delete;

    // Lets the window repaint what has changed, dropping any user input that arrived meanwhile
    // (an Esc or a close is kept as a request to stop).
    void Repaint();
    // Delivers the events that arrived meanwhile (the window's pending paints among them) without
    // asking for a repaint, dropping user input as Repaint does: keeps the window alive while the
    // command waits.
    void KeepPainting();

    // The test a command's loop makes before each of its files: `done` files of `total` are
    // behind it. Lets the window repaint and take the user's requests, then returns false when
    // all are done or when the user asked to stop; otherwise the caption ends with the progress
    // "n/total" of the file now in hand (n = done + 1) and the command goes on with it.
    bool Continue(std::size_t done, std::size_t total);
    // True when Continue stopped the command before its last file because the user asked to.
    bool Cancelled() const { return cancelled_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsInsideWindow(QObject* object) const;

    QPointer<QWidget> window_;
    QString caption_; // the window's caption when the block began
    bool stopRequested_ = false;
    bool cancelled_ = false;
    bool closeRequested_ = false;
    bool outermost_;
};
