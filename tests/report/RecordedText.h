#pragma once

#include "engine/emf/Metafile.h"

#include <QPoint>
#include <QString>
#include <vector>

namespace tavim::test {

// A text record of a page image as another player reads it: the text, the
// reference point and alignment flags in force, and the character set of the
// font selected for it.
struct RecordedText {
    QString text;
    QPoint ref;
    quint32 align = 0;
    int charset = -1;
};

// Walks the page's records in order, keeping the alignment and the fonts.
std::vector<RecordedText> recordedTexts(const TMetafile& page);

// The first recorded text equal to `text`; fails the test when there is none.
RecordedText recordedText(const std::vector<RecordedText>& texts, const QString& text);

} // namespace tavim::test
