#include "widgets/AnchorLayout.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>

TAnchorLayout::TAnchorLayout(QWidget* container, QWidget* sizeSource,
                             std::function<QSize()> referenceSize)
    : QObject(container), container_(container), sizeSource_(sizeSource ? sizeSource : container),
      referenceSize_(std::move(referenceSize)) {
    setObjectName(QStringLiteral("TAnchorLayout"));
    sizeSource_->installEventFilter(this);
}

TAnchorLayout* TAnchorLayout::Of(const QWidget* container) {
    if (!container)
        return nullptr;
    return container->findChild<TAnchorLayout*>(QStringLiteral("TAnchorLayout"),
                                                Qt::FindDirectChildrenOnly);
}

TAnchorLayout& TAnchorLayout::Ensure(QWidget* container) {
    if (TAnchorLayout* layout = Of(container))
        return *layout;
    return *new TAnchorLayout(container);
}

void TAnchorLayout::Place(QWidget* control, QRect bounds, TAnchors anchors, TAlign align) {
    if (Rule* rule = FindRule(control)) {
        rule->align = align;
        rule->anchors = anchors;
    } else {
        rules_.push_back({control, align, anchors, bounds, ReferenceSize()});
    }
    SetBounds(control, bounds);
}

void TAnchorLayout::SetBounds(QWidget* control, QRect bounds) {
    Rule* rule = FindRule(control);
    if (!rule)
        return;
    rule->bounds = bounds;
    rule->referenceSize = ReferenceSize();
    if (rule->align == TAlign::alNone)
        Apply(*rule, bounds);
    else
        AlignControls(ReferenceSize());
    if (OnBoundsChanged)
        OnBoundsChanged();
}

const TAnchorLayout::Rule* TAnchorLayout::RuleOf(const QWidget* control) const {
    auto found = std::find_if(rules_.begin(), rules_.end(),
                              [control](const Rule& rule) { return rule.control == control; });
    return found == rules_.end() ? nullptr : &*found;
}

TAnchorLayout::Rule* TAnchorLayout::FindRule(const QWidget* control) {
    return const_cast<Rule*>(std::as_const(*this).RuleOf(control));
}

void TAnchorLayout::SetAlignMargins(QMargins margins) {
    alignMargins_ = margins;
    Realign();
}

void TAnchorLayout::SetOrigin(QPoint origin) {
    if (origin == origin_)
        return;
    origin_ = origin;
    Realign();
}

QSize TAnchorLayout::ReferenceSize() const {
    return referenceSize_ ? referenceSize_() : container_->size();
}

QRect TAnchorLayout::Bounds(const QWidget* control) const {
    const Rule* rule = RuleOf(control);
    if (!rule)
        return control->geometry();
    if (rule->align != TAlign::alNone)
        return control->geometry().translated(origin_);
    return rule->bounds;
}

void TAnchorLayout::Realign() {
    const QSize size = ReferenceSize();
    for (const Rule& rule : rules_)
        if (rule.control && rule.align == TAlign::alNone)
            Apply(rule, AnchoredRect(rule, size));
    AlignControls(size);
}

bool TAnchorLayout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == sizeSource_ && event->type() == QEvent::Resize)
        Realign();
    return false;
}

QRect TAnchorLayout::AnchoredRect(const Rule& rule, QSize size) const {
    // Each axis: anchored to both edges stretches, to the far edge only moves with it; anchored
    // to neither keeps the control's centre at the same fraction of the container.
    auto axis = [](int start, int extent, int oldSize, int newSize, bool nearEdge, bool farEdge) {
        const int grown = newSize - oldSize;
        if (nearEdge && farEdge)
            return std::pair{start, extent + grown};
        if (farEdge)
            return std::pair{start + grown, extent};
        if (!nearEdge && oldSize > 0)
            return std::pair{(start + extent / 2) * newSize / oldSize - extent / 2, extent};
        return std::pair{start, extent};
    };
    const QRect& b = rule.bounds;
    const auto [left, width] = axis(b.left(), b.width(), rule.referenceSize.width(), size.width(),
                                    rule.anchors & akLeft, rule.anchors & akRight);
    const auto [top, height] = axis(b.top(), b.height(), rule.referenceSize.height(), size.height(),
                                    rule.anchors & akTop, rule.anchors & akBottom);
    return QRect(left, top, width, height);
}

void TAnchorLayout::AlignControls(QSize size) {
    QRect free = QRect(QPoint(0, 0), size).marginsRemoved(alignMargins_);
    // One side after the other; controls of one side in the order of their place along it.
    const std::pair<TAlign, std::function<int(const QRect&)>> sides[] = {
        {TAlign::alTop, [](const QRect& r) { return r.top(); }},
        {TAlign::alBottom, [](const QRect& r) { return -(r.top() + r.height()); }},
        {TAlign::alLeft, [](const QRect& r) { return r.left(); }},
        {TAlign::alRight, [](const QRect& r) { return -(r.left() + r.width()); }},
        {TAlign::alClient, [](const QRect&) { return 0; }},
    };
    for (const auto& sideAndOrder : sides) {
        // Named copies, not a structured binding: clang 14 cannot capture a binding in a lambda.
        const TAlign side = sideAndOrder.first;
        const auto& order = sideAndOrder.second;
        std::vector<const Rule*> aligned;
        for (const Rule& rule : rules_)
            if (rule.control && rule.align == side && !rule.control->isHidden())
                aligned.push_back(&rule);
        std::stable_sort(aligned.begin(), aligned.end(), [&order](const Rule* a, const Rule* b) {
            return order(a->bounds) < order(b->bounds);
        });
        for (const Rule* rule : aligned) {
            const QSize wanted = rule->bounds.size();
            QRect rect = free;
            switch (side) {
            case TAlign::alTop:
                rect.setHeight(wanted.height());
                free.setTop(free.top() + wanted.height());
                break;
            case TAlign::alBottom:
                rect.setTop(free.top() + free.height() - wanted.height());
                free.setHeight(free.height() - wanted.height());
                break;
            case TAlign::alLeft:
                rect.setWidth(wanted.width());
                free.setLeft(free.left() + wanted.width());
                break;
            case TAlign::alRight:
                rect.setLeft(free.left() + free.width() - wanted.width());
                free.setWidth(free.width() - wanted.width());
                break;
            default:
                break;
            }
            Apply(*rule, rect);
        }
    }
}

void TAnchorLayout::Apply(const Rule& rule, QRect rect) const {
    rect.setWidth(std::max(rect.width(), 0));
    rect.setHeight(std::max(rect.height(), 0));
    rule.control->setGeometry(rect.translated(-origin_));
}

void PlaceControl(QWidget* control, QRect bounds, TAnchors anchors, TAlign align) {
    TAnchorLayout::Ensure(control->parentWidget()).Place(control, bounds, anchors, align);
}

QRect ControlBounds(const QWidget* control) {
    const TAnchorLayout* layout = TAnchorLayout::Of(control->parentWidget());
    return layout ? layout->Bounds(control) : control->geometry();
}

void SetControlBounds(QWidget* control, QRect bounds) {
    TAnchorLayout* layout = TAnchorLayout::Of(control->parentWidget());
    if (layout && layout->RuleOf(control))
        layout->SetBounds(control, bounds);
    else
        control->setGeometry(bounds);
}

TAlign ControlAlign(const QWidget* control) {
    const TAnchorLayout* layout = TAnchorLayout::Of(control->parentWidget());
    const TAnchorLayout::Rule* rule = layout ? layout->RuleOf(control) : nullptr;
    return rule ? rule->align : TAlign::alNone;
}

TAnchors ControlAnchors(const QWidget* control) {
    const TAnchorLayout* layout = TAnchorLayout::Of(control->parentWidget());
    const TAnchorLayout::Rule* rule = layout ? layout->RuleOf(control) : nullptr;
    return rule ? rule->anchors : akLeftTop;
}
