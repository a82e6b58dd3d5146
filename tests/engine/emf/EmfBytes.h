#pragma once

#include "engine/emf/EmfRecords.h"

#include <QByteArray>
#include <QSize>
#include <QtEndian>
#include <array>
#include <cstring>
#include <initializer_list>

namespace tavim::test {

inline QByteArray le(quint32 v) {
    QByteArray b(4, Qt::Uninitialized);
    qToLittleEndian(v, b.data());
    return b;
}

// A record's fields, each a 32-bit value.
inline QByteArray fields(std::initializer_list<quint32> values) {
    QByteArray body;
    for (const quint32 v : values)
        body += le(v);
    return body;
}

inline quint32 bitsOf(float v) {
    quint32 bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

// The header fields a page size comes from. By default a page of 100000 x
// 100000 pixels (the bounds, no device size): a 100 x 100 target shows 1000
// units per pixel.
struct EmfPage {
    quint32 recordSize = 88;                          // 108 adds the size in micrometres
    std::array<qint32, 4> bounds{0, 0, 99999, 99999}; // left, top, right, bottom
    std::array<qint32, 4> frame{};                    // in .01 mm
    QSize device;
    QSize millimeters;
    QSize micrometers;
};

// A page image written field by field, ending with EMR_EOF.
class EmfBytes {
public:
    explicit EmfBytes(const EmfPage& page = {}) : m_page(page) {}

    EmfBytes& add(quint32 type, std::initializer_list<quint32> values) {
        return add(type, fields(values));
    }

    EmfBytes& add(quint32 type, const QByteArray& body) {
        m_records += le(type) + le(quint32(8 + body.size())) + body;
        ++m_count;
        return *this;
    }

    // `n` records of a type the player does not know, with no fields.
    EmfBytes& addUnknown(int n) {
        m_records += (le(0xFFFF) + le(8)).repeated(n);
        m_count += n;
        return *this;
    }

    QByteArray bytes() const {
        const EmfPage& p = m_page;
        const QByteArray eof = le(emf::EMR_EOF) + le(20) + QByteArray(12, '\0');
        QByteArray h = le(emf::EMR_HEADER) + le(p.recordSize);
        for (const qint32 v : p.bounds)
            h += le(quint32(v));
        for (const qint32 v : p.frame)
            h += le(quint32(v));
        h += le(emf::kSignature) + le(0x10000);
        h += le(quint32(p.recordSize + m_records.size() + eof.size()));
        h += le(quint32(m_count + 2)) + le(4); // records; four handles, none reserved
        h += QByteArray(4 * 3, '\0');          // description, palette
        for (const QSize& s : {p.device, p.millimeters})
            h += le(quint32(s.width())) + le(quint32(s.height()));
        if (p.recordSize >= emf::kHeaderExt2Size) {
            h += QByteArray(4 * 3, '\0'); // pixel format, OpenGL
            h += le(quint32(p.micrometers.width())) + le(quint32(p.micrometers.height()));
        }
        h.resize(p.recordSize, '\0');
        return h + m_records + eof;
    }

private:
    EmfPage m_page;
    QByteArray m_records;
    int m_count = 0;
};

} // namespace tavim::test
