// The placement of the controls inside one container: aligned controls fill the sides of the
// align rectangle, anchored controls keep their distances to the anchored edges. Each container
// that holds placed controls has one, made on first use by PlaceControl.
#pragma once

#include "widgets/Controls.h"

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <functional>
#include <vector>

class TAnchorLayout : public QObject {
public:
    struct Rule {
        QPointer<QWidget> control;
        TAlign align;
        TAnchors anchors;
        QRect bounds;        // unscrolled, as last set from outside the layout
        QSize referenceSize; // the container's size when `bounds` was set
    };

    // Lays out the children of `container` whenever `sizeSource` changes size, counting anchors
    // and alignment from `referenceSize()`; without them, from the container and its size. The
    // layout is a child of the container and lives as long as it does.
    explicit TAnchorLayout(QWidget* container, QWidget* sizeSource = nullptr,
                           std::function<QSize()> referenceSize = {});

    // The layout of `container`, or null when it has none.
    static TAnchorLayout* Of(const QWidget* container);
    // The layout of `container`, made when it has none.
    static TAnchorLayout& Ensure(QWidget* container);

    // Puts `control` (a child of the container) under this layout with `anchors` and `align`, or
    // gives a control already placed here its new anchors and alignment, then sets its bounds as
    // SetBounds does.
    void Place(QWidget* control, QRect bounds, TAnchors anchors, TAlign align);
    // Sets the unscrolled bounds of a control placed here, as from outside the layout: anchors
    // count from them and from the current reference size from now on. An anchored control is
    // shown at once at `bounds` less the scroll origin (a negative width or height taken as 0). For
    // an aligned control `bounds` gives its order among the controls of its side and its depth
    // from that side (the height for top and bottom, the width for left and right; a client
    // control fills what is left), and every aligned control is laid out again. Then runs
    // OnBoundsChanged. Does nothing for a control not placed here.
    void SetBounds(QWidget* control, QRect bounds);
    // Null when `control` is not placed here.
    const Rule* RuleOf(const QWidget* control) const;
    const std::vector<Rule>& Rules() const { return rules_; }
    // The control's bounds, unscrolled: as last set for an anchored control, as aligned for an
    // aligned one.
    QRect Bounds(const QWidget* control) const;

    // Insets of the align rectangle within the container (a panel's bevel).
    void SetAlignMargins(QMargins margins);
    // The scroll position: every control is shown at its bounds less `origin`.
    void SetOrigin(QPoint origin);
    // The size that anchors and alignment count from.
    QSize ReferenceSize() const;

    // Runs after a control's bounds were set from outside (not after a resize of the container).
    std::function<void()> OnBoundsChanged;

    // Recomputes and applies every control's geometry.
    void Realign();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Rule* FindRule(const QWidget* control);
    QRect AnchoredRect(const Rule& rule, QSize size) const;
    void AlignControls(QSize size);
    void Apply(const Rule& rule, QRect rect) const;

    QWidget* container_;
    QWidget* sizeSource_;
    std::function<QSize()> referenceSize_;
    std::vector<Rule> rules_;
    QMargins alignMargins_;
    QPoint origin_;
};
