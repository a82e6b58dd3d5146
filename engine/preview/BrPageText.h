#pragma once

#include "engine/emf/EmfTexts.h"

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QStringView>
#include <vector>

namespace tavim {

// A text as search compares it: case and accents dropped ("João" and "JOAO"
// both give "joao"), every blank a space, one UTF-8 sequence per UTF-16 unit
// so that offsets map back to characters.
QByteArray FoldForSearch(QStringView text);

// The texts of one page as search sees them. Lines that continue the one
// before (the next record, same alignment and reference x, one line lower)
// form one block: a search finds words broken over them. The folded text
// holds the blocks separated by '\n', a block's lines by a space.
// A value of the thread that made it; no lock.
class TBrPageText {
public:
    // Without `withOutline`, outline() gives boxes as wide as their lines'
    // bounds only; reading is faster.
    explicit TBrPageText(const TMetafile& page, bool withOutline = true);

    const QByteArray& folded() const { return m_folded; }
    // The UTF-16 units of all its lines.
    qsizetype characters() const;
    // The original text of the lines a match of `length` folded bytes at
    // `at` touches, joined by a space.
    QString lines(qsizetype at, qsizetype length) const;
    // The boxes, in page pixels, of the characters a match of `length`
    // folded bytes at `at` covers: one per line it touches.
    std::vector<QRect> outline(qsizetype at, qsizetype length) const;

private:
    // The line holding folded byte `at`, and the character there.
    std::pair<std::size_t, qsizetype> position(qsizetype at) const;

    std::vector<EmfText> m_lines;
    std::vector<qsizetype> m_starts; // each line's first folded byte
    QByteArray m_folded;
};

} // namespace tavim
