#include "engine/emf/EmfRecordWalk.h"

#include "engine/emf/EmfRecords.h"

#include <algorithm>

namespace tavim {

namespace {

constexpr const char* kReadPast = "a read past the end of its record";
constexpr qint64 kTextFields = 64;
constexpr qint64 kPolyFields = 20;
constexpr qint64 kFontFields = 32;

// The bytes the player reads of a record of fixed fields.
qint64 fixedFields(quint32 type) {
    switch (type) {
    case emf::EMR_SETBKMODE:
    case emf::EMR_SETTEXTALIGN:
    case emf::EMR_SETTEXTCOLOR:
    case emf::EMR_SETBKCOLOR:
    case emf::EMR_SETPOLYFILLMODE:
    case emf::EMR_SETMAPMODE:
    case emf::EMR_RESTOREDC:
    case emf::EMR_SELECTOBJECT:
    case emf::EMR_DELETEOBJECT:
        return 4;
    case emf::EMR_SETWINDOWEXTEX:
    case emf::EMR_SETWINDOWORGEX:
    case emf::EMR_SETVIEWPORTEXTEX:
    case emf::EMR_SETVIEWPORTORGEX:
    case emf::EMR_MOVETOEX:
    case emf::EMR_LINETO:
        return 8;
    case emf::EMR_RECTANGLE:
    case emf::EMR_CREATEBRUSHINDIRECT:
        return 16;
    case emf::EMR_CREATEPEN:
        return 20;
    case emf::EMR_SETWORLDTRANSFORM:
        return 24;
    case emf::EMR_MODIFYWORLDTRANSFORM:
        return 28;
    default:
        return 0;
    }
}

// A text the player skips reads nothing past its fixed fields.
const char* shortText(ByteReader r, bool wide) {
    if (r.remaining() < kTextFields)
        return kReadPast;
    r.skip(36); // bounds, graphics mode, scales, reference point
    const quint32 chars = r.u32();
    const quint32 offString = r.u32();
    if (chars == 0 || chars > emf::kMaxTextChars || offString < 8)
        return nullptr;
    const qint64 start = qint64(offString) - 8;
    const qint64 length = qint64(chars) * (wide ? 2 : 1);
    return length > r.size() - start ? kReadPast : nullptr;
}

const char* shortPoly(ByteReader r, qint64 pointSize) {
    if (r.remaining() < kPolyFields)
        return kReadPast;
    r.skip(16); // bounds
    const quint32 count = r.u32();
    return qint64(count) > r.remaining() / pointSize ? "a point count beyond its record" : nullptr;
}

// The fixed fields, then a face name that ends at its first NUL or after its
// 32 characters.
const char* shortFont(ByteReader r) {
    qint64 end = kFontFields;
    for (int i = 0; i < emf::kFaceNameChars; ++i) {
        end += 2;
        if (r.size() < end)
            return kReadPast;
        r.seek(end - 2);
        if (r.u16() == 0)
            return nullptr;
    }
    return nullptr;
}

} // namespace

EmfRecordWalk::EmfRecordWalk(QByteArrayView bytes, const EmfHeader& header)
    : m_records(bytes), m_maxRecords(std::min<qint64>(emf::kMaxRecords, header.nBytes / 8)) {
    m_records.skip(header.recordSize);
}

std::optional<EmfRecordWalk::Record> EmfRecordWalk::next() {
    if (m_records.remaining() < 8)
        return std::nullopt;
    if (++m_count >= m_maxRecords) {
        m_fault = "more records than the record cap";
        return std::nullopt;
    }
    const quint32 type = m_records.u32();
    const quint32 size = m_records.u32();
    if (size < 8)
        m_fault = "a record size below 8";
    else if (size % 4 != 0)
        m_fault = "a record size that is not a multiple of 4";
    else if (size - 8 > m_records.remaining())
        m_fault = "a record size beyond what remains of the image";
    if (m_fault)
        return std::nullopt;
    return Record{type, m_records.sub(size - 8)};
}

const char* EmfRecordWalk::shortBody(const Record& record) {
    switch (record.type) {
    case emf::EMR_EXTTEXTOUTA:
    case emf::EMR_EXTTEXTOUTW:
        return shortText(record.body, record.type == emf::EMR_EXTTEXTOUTW);
    case emf::EMR_POLYGON:
    case emf::EMR_POLYLINE:
        return shortPoly(record.body, 8);
    case emf::EMR_POLYGON16:
    case emf::EMR_POLYLINE16:
        return shortPoly(record.body, 4);
    case emf::EMR_EXTCREATEFONTINDIRECTW:
        return shortFont(record.body);
    default:
        return record.body.remaining() < fixedFields(record.type) ? kReadPast : nullptr;
    }
}

} // namespace tavim
