#pragma once

#include <QFlags>
#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

namespace tavim {

enum class Anchor { Left = 1, Top = 2, Right = 4, Bottom = 8 };
Q_DECLARE_FLAGS(Anchors, Anchor)
Q_DECLARE_OPERATORS_FOR_FLAGS(Anchors)

// Keeps a child's distances to the anchored edges of its parent as the parent
// is resized: anchored to both sides it grows, to the far side only it follows.
class AnchorKeeper : public QObject {
public:
    static void anchor(QWidget* child, Anchors anchors);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AnchorKeeper(QWidget* child, Anchors anchors);
    void follow(QSize parentSize);

    QWidget* m_child;
    Anchors m_anchors;
    QRect m_design;
    QSize m_parentDesign;
};

} // namespace tavim
