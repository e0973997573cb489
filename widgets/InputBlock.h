// Keeps a window painting but deaf while a long command runs inside one of its handlers.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

// While an InputBlock lives, the window and its children receive no mouse, keyboard, wheel or touch
// input, and a request to close the window is held back and carried out when the block ends.
// Windows of their own (message boxes, the folder dialog) are not blocked, so the command can
// still ask the user. Blocks nest: only the outermost one closes the window.
class InputBlock : public QObject {
public:
    explicit InputBlock(QWidget* window);
    ~InputBlock() override;
    InputBlock(const InputBlock&) = delete;
    InputBlock& operator=(const InputBlock&) = delete;

    // Lets the window repaint what has changed, dropping any user input that arrived meanwhile.
    void Repaint();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsInsideWindow(QObject* object) const;

    QPointer<QWidget> window_;
    bool closeRequested_ = false;
    bool outermost_;
};
