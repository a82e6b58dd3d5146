#pragma once

#include "engine/emf/Metafile.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <vector>

namespace tavim {

// One text record of a page image as search reads it: the line, where it
// stands and what it covers, in reference-device pixels from the page's
// top-left corner. A value; no lock.
struct EmfText {
    QString text;
    QPoint ref;
    quint32 align = 0;
    qint32 top = 0; // the record's bounds, vertically
    qint32 bottom = 0;
    std::vector<qint32> advances; // one per UTF-16 unit; empty when the record holds none

    // The box of characters [from, to): left edge from the reference point,
    // the alignment and the advances, height from the record's bounds.
    QRect outline(qsizetype from, qsizetype to) const;
};

// The text records of a page in record order, read with the bounded reader
// and without drawing; a malformed record ends the reading with what came
// before it. Records longer than the character cap are left out, as the
// player leaves them undrawn. Without `withAdvances` the advances are not
// read (a search that only compares texts).
std::vector<EmfText> ReadEmfTexts(const TMetafile& page, bool withAdvances = true);

} // namespace tavim
