#include "engine/emf/EmfTexts.h"

#include "engine/emf/ByteReader.h"
#include "engine/emf/EmfHeader.h"
#include "engine/emf/EmfRecordWalk.h"
#include "engine/emf/EmfRecords.h"
#include "error/Exception.h"

#include <algorithm>
#include <numeric>

namespace tavim {

namespace {

constexpr qint64 kRecordHead = 8; // type and size, before the body offsets count from
// As far as the player draws: a page image from a file may hold any value.
constexpr qint64 kMaxCoordinate = 1 << 22;

qint32 bounded(qint64 v) {
    return qint32(std::clamp(v, -kMaxCoordinate, kMaxCoordinate));
}

// The characters and advances at their offsets, which count from the record's start.
void readText(ByteReader record, bool wide, const QPoint& origin, quint32 align, bool withAdvances,
              std::vector<EmfText>& texts) {
    EmfText text;
    text.align = align;
    record.skip(4); // bounds.left
    text.top = bounded(qint64(record.i32()) - origin.y());
    record.skip(4); // bounds.right
    text.bottom = bounded(qint64(record.i32()) - origin.y());
    record.skip(12); // graphics mode, scales
    const qint64 x = record.i32();
    const qint64 y = record.i32();
    text.ref = QPoint(bounded(x - origin.x()), bounded(y - origin.y()));
    const quint32 chars = record.u32();
    const quint32 offString = record.u32();
    record.skip(4 + 16); // options, clip rectangle
    const quint32 offDx = record.u32();
    if (chars == 0 || chars > emf::kMaxTextChars || offString < kRecordHead)
        return;
    record.seek(qint64(offString) - kRecordHead);
    // One bounds check for the whole text: pages hold many short lines.
    const auto* in =
        reinterpret_cast<const uchar*>(record.bytes(qint64(chars) * (wide ? 2 : 1)).data());
    text.text.resize(qsizetype(chars));
    QChar* out = text.text.data();
    for (quint32 i = 0; i < chars; ++i)
        out[i] = wide ? QChar(char16_t(in[2 * i] | (in[2 * i + 1] << 8))) : QChar(in[i]);
    // Advances are optional: a record without them (or with too few) still
    // counts as text and is outlined by its bounds.
    if (withAdvances && offDx >= kRecordHead &&
        qint64(offDx) - kRecordHead + qint64(chars) * 4 <= record.size()) {
        record.seek(qint64(offDx) - kRecordHead);
        text.advances.resize(chars);
        for (quint32 i = 0; i < chars; ++i)
            text.advances[i] = record.i32();
    }
    texts.push_back(std::move(text));
}

} // namespace

QRect EmfText::outline(qsizetype from, qsizetype to) const {
    from = std::clamp<qsizetype>(from, 0, text.size());
    to = std::clamp<qsizetype>(to, from, text.size());
    if (qsizetype(advances.size()) != text.size())
        return QRect(QPoint(ref.x(), top), QPoint(ref.x(), bottom));
    const auto at = [&](qsizetype i) {
        return std::accumulate(advances.begin(), advances.begin() + i, qint64(0));
    };
    const qint64 width = at(text.size());
    qint64 left = ref.x();
    // As the recorder places the line: the reference point is its right end or its middle.
    if ((align & emf::kHorizontalAlignMask) == emf::TA_RIGHT)
        left -= width;
    else if ((align & emf::kHorizontalAlignMask) == emf::TA_CENTER)
        left -= width / 2;
    return QRect(QPoint(bounded(left + at(from)), top),
                 QPoint(bounded(left + at(to) - 1), bottom - 1));
}

std::vector<EmfText> ReadEmfTexts(const TMetafile& page, bool withAdvances) {
    std::vector<EmfText> texts;
    const QByteArrayView bytes(page.bytes());
    ByteReader head(bytes);
    const std::optional<EmfHeader> header = EmfHeader::read(head);
    if (!header)
        return texts;
    const QPoint origin = header->pageRect().topLeft();
    quint32 align = 0;
    try {
        EmfRecordWalk records(bytes, *header);
        while (std::optional<EmfRecordWalk::Record> record = records.next()) {
            if (record->type == emf::EMR_EOF)
                break;
            if (record->type == emf::EMR_SETTEXTALIGN)
                align = record->body.u32();
            else if (record->type == emf::EMR_EXTTEXTOUTW || record->type == emf::EMR_EXTTEXTOUTA)
                readText(record->body, record->type == emf::EMR_EXTTEXTOUTW, origin, align,
                         withAdvances, texts);
        }
    } catch (const Exception&) {
        // A record that ends early ends the reading, as it ends a replay.
    }
    return texts;
}

} // namespace tavim
