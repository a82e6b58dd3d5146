#include "app/Anchors.h"

#include <QEvent>
#include <QWidget>

namespace tavim {

void AnchorKeeper::anchor(QWidget* child, Anchors anchors) {
    new AnchorKeeper(child, anchors);
}

AnchorKeeper::AnchorKeeper(QWidget* child, Anchors anchors)
    : QObject(child), m_child(child), m_anchors(anchors), m_design(child->geometry()),
      m_parentDesign(child->parentWidget()->size()) {
    child->parentWidget()->installEventFilter(this);
}

bool AnchorKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == m_child->parentWidget())
        follow(m_child->parentWidget()->size());
    return false;
}

void AnchorKeeper::follow(QSize parentSize) {
    const int dw = parentSize.width() - m_parentDesign.width();
    const int dh = parentSize.height() - m_parentDesign.height();
    QRect r = m_design;
    if (m_anchors.testFlag(Anchor::Right)) {
        if (m_anchors.testFlag(Anchor::Left))
            r.setWidth(qMax(0, r.width() + dw));
        else
            r.moveLeft(r.left() + dw);
    }
    if (m_anchors.testFlag(Anchor::Bottom)) {
        if (m_anchors.testFlag(Anchor::Top))
            r.setHeight(qMax(0, r.height() + dh));
        else
            r.moveTop(r.top() + dh);
    }
    m_child->setGeometry(r);
}

} // namespace tavim
