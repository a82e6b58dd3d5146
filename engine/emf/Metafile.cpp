#include "engine/emf/Metafile.h"

#include "engine/emf/ByteReader.h"
#include "engine/emf/EmfHeader.h"
#include "engine/emf/EmfPlayer.h"
#include "engine/emf/EmfRecordWalk.h"
#include "engine/emf/EmfRecords.h"
#include "engine/emf/MetafileLog.h"
#include "error/Exception.h"

#include <QPainter>

namespace tavim {

Q_LOGGING_CATEGORY(lcMetafile, "tavim.metafile", QtWarningMsg)

std::nullopt_t refusedImage(const char* check) {
    qCDebug(lcMetafile, "refused: %s", check);
    return std::nullopt;
}

namespace {

std::optional<EmfHeader> validHeader(const QByteArray& bytes) {
    if (bytes.size() < emf::kHeaderMinSize || bytes.size() > emf::kMaxBytes)
        return refusedImage("a size outside what a page image can be");
    if (bytes.size() % 4 != 0)
        return refusedImage("a size that is not a multiple of 4");
    ByteReader reader{QByteArrayView(bytes)};
    std::optional<EmfHeader> header = EmfHeader::read(reader);
    if (header && header->nBytes != quint64(bytes.size()))
        return refusedImage("an nBytes other than the image's size");
    return header;
}

bool refusedRecords(const char* check) {
    refusedImage(check);
    return false;
}

} // namespace

TMetafile TMetafile::fromBytes(QByteArray bytes) {
    const std::optional<EmfHeader> header = validHeader(bytes);
    if (!header)
        throw Exception(QStringLiteral("Metafile is not valid"));
    TMetafile metafile;
    metafile.m_bytes = std::move(bytes);
    metafile.m_header = *header;
    metafile.m_size = header->pageRect().size();
    return metafile;
}

qint64 TMetafile::sizeFromHeader(const char* head, qint64 available) {
    if (head == nullptr || available <= 0)
        return -1;
    ByteReader reader(QByteArrayView(head, available));
    const std::optional<EmfHeader> header = EmfHeader::read(reader);
    return header ? qint64(header->nBytes) : -1;
}

bool TMetafile::reachesEndRecord() const {
    EmfRecordWalk records(QByteArrayView(m_bytes), m_header);
    while (const std::optional<EmfRecordWalk::Record> record = records.next()) {
        if (record->type == emf::EMR_EOF)
            return records.atEnd() || refusedRecords("records after the end record");
        if (const char* check = EmfRecordWalk::shortBody(*record))
            return refusedRecords(check);
    }
    return refusedRecords(records.fault() ? records.fault() : "an image without an end record");
}

void TMetafile::play(QPainter& painter, const QRectF& target) const {
    if (!painter.isActive())
        return;
    EmfPlayer(painter, m_header).play(QByteArrayView(m_bytes), target);
}

} // namespace tavim
