// The controls of the main window: small Qt widgets with the properties the program relies on, and
// the placement rules (Align, Anchors) that keep them where the layout puts them.
#pragma once

#include "pictures/Picture.h"
#include "widgets/RzListBox.h"
#include "widgets/ShellTreeView.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <functional>
#include <string>

// ---- Placement --------------------------------------------------------------------------------

// An aligned control fills one side of its container's align rectangle; the sides are filled in
// the order top, bottom, left, right, client, and controls of one side in the order of their
// position.
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// The edges of its container to which a control that is not aligned keeps its distance.
enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;
inline constexpr TAnchors akLeftTop = akLeft | akTop;
inline constexpr TAnchors akAll = akLeft | akTop | akRight | akBottom;

// Puts `control` at `bounds` (in its parent's coordinates, unscrolled) with the given placement.
// The distances to the anchored edges are those to the parent's present size; from then on the
// control follows every resize of the parent. A control must have its parent before this.
void PlaceControl(QWidget* control, QRect bounds, TAnchors anchors = akLeftTop,
                  TAlign align = TAlign::alNone);
// The control's bounds in its parent's unscrolled coordinates, as its placement last set them.
QRect ControlBounds(const QWidget* control);
// Moves or resizes a placed control, keeping its placement: the anchored distances are taken
// afresh from the new bounds, an aligned control keeps only the size across its side.
void SetControlBounds(QWidget* control, QRect bounds);
TAlign ControlAlign(const QWidget* control);
TAnchors ControlAnchors(const QWidget* control);

// The window's position by the rule for a form centred on the desktop: (virtual desktop size −
// window size) div 2 on each axis, raised to 0 when negative, counted from the primary screen's
// top-left corner. `frameSize` is the window's outer size.
QPoint DesktopCenterPosition(QSize virtualDesktop, QPoint primaryTopLeft, QSize frameSize);

// ---- Look -------------------------------------------------------------------------------------

enum class TSystemColor { clBtnFace, clBtnShadow, clBtnHighlight, clWindow, clWindowText };
// The system colour from the application's palette.
QColor SystemColor(TSystemColor color);
// `color` with its HSL lightness (0 .. 255) moved by `steps`, clamped to the scale.
QColor ChangeLightness(const QColor& color, int steps);
// "MS Sans Serif", falling back to the CJK font for Chinese texts, 11 pixels high.
QFont WindowFont();

// Breaks `text` at its spaces into lines no wider than `width`, as many as needed; a word that is
// wider than `width` on its own is broken between characters.
QStringList WrapAtSpaces(const QString& text, const QFontMetrics& metrics, int width);

// ---- Panels -----------------------------------------------------------------------------------

// A plain panel: button face, a raised bevel of one pixel; aligned children fill the area inside
// the bevel.
class TPanel : public QWidget {
public:
    explicit TPanel(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A framed panel with a flat one-pixel frame whose corners are cut off by one pixel, drawn in the
// button shadow made 30 lightness steps lighter.
class TRzPanel : public QWidget {
public:
    explicit TRzPanel(QWidget* parent);

    QColor Color() const;
    void SetColor(const QColor& color);
    // Fills the surface with a vertical gradient from the window colour at the top to the button
    // face 10 lightness steps darker at the bottom, instead of Color().
    void SetGradient(bool gradient);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool gradient_ = false;
};

// Resizes the control aligned at its left (the control whose right edge touches it). While the
// left button is held a hatched line shows the new edge; the control takes its new width when the
// button is released. The width stays between MinSize and the width that leaves MinSize to the
// client-aligned control; a width of MinSize or less closes the control to 0 (AutoSnap).
class TSplitter : public QWidget {
public:
    explicit TSplitter(QWidget* parent);

    static constexpr int MinSize = 30;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* ResizedControl() const;
    int NewSize(int x) const;
    void ShowLine(int size);

    QPointer<QWidget> control_;
    QPointer<QWidget> line_;
    int downX_ = 0;
    int maxSize_ = 0;
    int newSize_ = 0;
};

// ---- Simple controls --------------------------------------------------------------------------

class TLabel : public QLabel {
public:
    TLabel(QWidget* parent, const char* caption);
};

// A one-line edit field that takes any text.
class TEdit : public QLineEdit {
public:
    explicit TEdit(QWidget* parent);
    // The typed text as bytes.
    std::string Text() const;
    void SetText(const std::string& text);
};

// A multi-line edit field that keeps the bytes it was given.
class TMemo : public QPlainTextEdit {
public:
    explicit TMemo(QWidget* parent);
    // The bytes last set, or the typed text as bytes once the user has changed it.
    std::string Text() const;
    void SetText(const std::string& text);

private:
    std::string text_;
};

class TButton : public QPushButton {
public:
    TButton(QWidget* parent, const char* caption);
};

// A group box on its container's colour: an etched frame whose top line runs through the middle of
// the caption, which stands on that line near the left edge.
class TGroupBox : public QGroupBox {
public:
    TGroupBox(QWidget* parent, const char* caption);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A button whose caption is wrapped at its spaces onto as many lines as its width needs, centred
// both ways, and highlighted while the pointer is over it.
class TRzButton : public QPushButton {
public:
    TRzButton(QWidget* parent, const char* caption);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// One line of text across the whole width: no panels, no size grip.
class TStatusBar : public QWidget {
public:
    explicit TStatusBar(QWidget* parent);
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string text_;
};

using TPopupMenu = QMenu;
using TMenuItem = QAction;

// ---- Scroll box -------------------------------------------------------------------------------

class TScrollBox;

// One scroll bar of a scroll box, in pixels.
class TControlScrollBar {
public:
    TControlScrollBar(TScrollBox& box, Qt::Orientation orientation)
        : box_(box), orientation_(orientation) {}

    int Position() const;
    // Clamped to 0 .. the largest position; a changed position scrolls the content.
    void SetPosition(int position);
    // The line step.
    int Increment() const { return 8; }
    // The extent of the content along this bar.
    int Range() const;
    // Range less the visible extent, or 0 when that is negative.
    int LargestPosition() const;
    bool IsVisible() const;

private:
    TScrollBox& box_;
    Qt::Orientation orientation_;
};

// A scroll box: its children (placed inside Content()) sit at their bounds less the scroll
// position. The horizontal range is the farthest right edge of the visible children that are
// aligned left or anchored left and not right; the vertical range likewise from children aligned
// top or anchored top and not bottom. A bar shows when its range exceeds the visible extent. The
// wheel does not scroll the box by itself; OnMouseWheel gets every wheel event over the box.
class TScrollBox : public QAbstractScrollArea {
public:
    explicit TScrollBox(QWidget* parent);

    // The parent for the box's children.
    QWidget* Content() const;

    TControlScrollBar& HorzScrollBar() { return horz_; }
    TControlScrollBar& VertScrollBar() { return vert_; }
    const TControlScrollBar& HorzScrollBar() const { return horz_; }
    const TControlScrollBar& VertScrollBar() const { return vert_; }

    // A flat one-pixel border, or none.
    void SetBorder(bool border);
    // Fills the area behind the children with `color` (the content's background); the border and
    // the scroll bars keep theirs.
    void SetColor(const QColor& color);

    // (modifier keys, wheel delta: above 0 away from the user, pointer position on the screen,
    // handled)
    std::function<void(Qt::KeyboardModifiers, int, QPoint, bool&)> OnMouseWheel;

    // Recomputes the ranges and which bars show; runs whenever a child's bounds change.
    void UpdateScrollBars();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TControlScrollBar;
    QScrollBar* Bar(Qt::Orientation orientation) const;
    int ContentRange(Qt::Orientation orientation) const;
    QSize InnerSize() const;

    TControlScrollBar horz_{*this, Qt::Horizontal};
    TControlScrollBar vert_{*this, Qt::Vertical};
};

// ---- Image view -------------------------------------------------------------------------------

// Shows its picture unscaled from its top-left corner. With AutoSize the view takes the
// picture's size, keeping its top-left corner, whenever the picture changes. A picture that fails
// to produce its pixels is not drawn; the failure goes to the application's error report once,
// after the paint that met it has ended.
class TImage : public QWidget {
public:
    explicit TImage(QWidget* parent);

    TPicture& Picture() { return picture_; }
    const TPicture& Picture() const { return picture_; }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    // Takes the picture's size (with AutoSize) and repaints, as a change of the picture does; for
    // a graphic whose content was changed in place, which sends no change notice.
    void PictureChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void AdjustSize();

    TPicture picture_;
    bool autoSize_ = false;
};
