#pragma once

#include "engine/emf/ByteReader.h"
#include "engine/emf/EmfHeader.h"

#include <QByteArrayView>
#include <optional>

namespace tavim {

// Steps through the records of one validated page image by their sizes, from
// the record after the header: the one framing both the player and the check
// of a loaded page go by. Threads: a value of the thread that walks; no lock.
class EmfRecordWalk {
public:
    struct Record {
        quint32 type;
        ByteReader body; // the fields after the type and the size
    };

    // Throws "Metafile is not valid" when the header record passes the bytes.
    EmfRecordWalk(QByteArrayView bytes, const EmfHeader& header);

    // The next record; nullopt once fewer than 8 bytes remain, or at a record
    // whose size is malformed, which fault() then names.
    std::optional<Record> next();
    const char* fault() const { return m_fault; }
    bool atEnd() const { return m_records.remaining() == 0; }

    // The check a replay of the record would end at, nullptr when its body
    // holds every field the player reads of it; for a loaded page, which must
    // play to its end, read without drawing.
    static const char* shortBody(const Record& record);

private:
    ByteReader m_records;
    qint64 m_maxRecords;
    qint64 m_count = 0;
    const char* m_fault = nullptr;
};

} // namespace tavim
