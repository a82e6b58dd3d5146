#pragma once

#include "engine/emf/Metafile.h"

#include <QPoint>
#include <QString>
#include <vector>

namespace tavim::test {

// A text run as a page image draws it when replayed: the text and where it went.
struct DrawnText {
    QString text;
    QPointF at;
};

// Replays the page at its own size and collects every text run it draws.
std::vector<DrawnText> drawnTexts(const TMetafile& page);

// The texts drawn inside a horizontal strip [top, bottom) of the page, left to
// right; for reading one band back.
QStringList textsBetween(const std::vector<DrawnText>& texts, qreal top, qreal bottom);

} // namespace tavim::test
