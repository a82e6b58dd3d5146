#include "engine/store/BrPageList.h"

#include "error/Exception.h"

#include <QDateTime>
#include <QLoggingCategory>
#include <QtEndian>

#include <array>
#include <cstring>

namespace tavim {

namespace {

constexpr quint16 kFormatVersion = 3;
constexpr quint16 kEngineVersion = 309;
constexpr qint64 kEmfHeadBytes = 52;
constexpr qint64 kMinImageSize = 88;
// Page number, next offset, smallest image, start offset.
constexpr qint64 kMinRecordSize = 4 + 4 + kMinImageSize + 4;
// The header-size test looks at the signature of page 1 in the older form.
constexpr qint64 kSignatureTestAt = 173;

// Which check refused a page file, for developers: the user's message stays
// the same whatever refused it.
Q_LOGGING_CATEGORY(lcPageFile, "tavim.pagefile", QtWarningMsg)

[[noreturn]] void readError(const char* check) {
    qCDebug(lcPageFile, "refused: %s", check);
    throw Exception(QStringLiteral("Stream read error"));
}

[[noreturn]] void invalidImage(const char* check) {
    qCDebug(lcPageFile, "refused: %s", check);
    throw Exception(QStringLiteral("Metafile is not valid"));
}

// A page whose replay would stop short: the records the walk logged
// (tavim.metafile) say where; the user learns which page.
[[noreturn]] void damagedPage(int page) {
    qCDebug(lcPageFile, "refused: a page image whose records do not lead to its end record");
    throw Exception(QStringLiteral("Metafile is not valid (page %1)").arg(page));
}

// Days since 30 December 1899, local time.
double nowAsDateTime() {
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 days = QDate(1899, 12, 30).daysTo(now.date());
    return double(days) + double(now.time().msecsSinceStartOfDay()) / 86'400'000.0;
}

} // namespace

// Reads a bounded range of the stream and fails at its end.
class TBrPageList::Reader {
public:
    Reader(TBrStream& stream, qint64 at, qint64 end) : m_stream(stream), m_at(at), m_end(end) {}

    qint64 remaining() const { return m_end - m_at; }

    void read(char* data, qint64 n) {
        if (n > remaining())
            readError("a read past the end of its range");
        m_stream.seek(m_at);
        m_stream.read(data, n);
        m_at += n;
    }

    qint32 int32() {
        char bytes[4];
        read(bytes, 4);
        return qFromLittleEndian<qint32>(bytes);
    }

private:
    TBrStream& m_stream;
    qint64 m_at;
    qint64 m_end;
};

TBrPageList::TBrPageList(std::unique_ptr<TBrStream> stream, qint64 maxSize)
    : m_stream(std::move(stream)), m_maxSize(maxSize) {}

TBrPageList::~TBrPageList() = default;

int TBrPageList::count() const {
    std::lock_guard lock(m_mutex);
    return m_count;
}

void TBrPageList::writeHeader(int count) {
    std::array<char, kHeaderSize> header{};
    qToLittleEndian(kFormatVersion, header.data());
    qToLittleEndian(kEngineVersion, header.data() + 2);
    qToLittleEndian(qint32(count), header.data() + 8);
    qToLittleEndian(nowAsDateTime(), header.data() + 16);
    header[25] = 0; // pages are never compressed
    m_stream->seek(0);
    m_stream->write(header.data(), kHeaderSize);
}

// The record goes out in one write: its next-record offset follows from the
// image's size, so no placeholder has to be filled in afterwards.
void TBrPageList::append(const TMetafile& image) {
    std::lock_guard lock(m_mutex);
    // The count grows only once the record is complete, so that a failed write
    // leaves no unreadable page behind.
    const int page = m_count + 1;
    const qint64 start = page == 1 ? kHeaderSize : m_stream->size();
    const qint64 imageSize = image.bytes().size();
    const qint64 end = start + 8 + imageSize + 4;
    if (end > m_maxSize) {
        throw Exception(QStringLiteral("Report too large: page %1 would pass the %2 bytes a "
                                       "report file can hold")
                            .arg(page)
                            .arg(m_maxSize));
    }
    if (page == 1)
        writeHeader(page);
    QByteArray record(8 + imageSize + 4, Qt::Uninitialized);
    qToLittleEndian(qint32(page), record.data());
    qToLittleEndian(qint32(end), record.data() + 4);
    std::memcpy(record.data() + 8, image.bytes().constData(), std::size_t(imageSize));
    qToLittleEndian(qint32(start), record.data() + 8 + imageSize);
    m_stream->seek(start);
    m_stream->write(record.constData(), record.size());
    m_cursor = end;
    m_count = page;
}

void TBrPageList::rewriteHeader() {
    std::lock_guard lock(m_mutex);
    if (m_count == 0)
        return;
    writeHeader(m_count);
    m_stream->seek(m_stream->size());
}

qint32 TBrPageList::int32At(qint64 at, qint64 size) {
    Reader reader(*m_stream, at, size);
    return reader.int32();
}

// The first fields of the record at `at`, checked against the file: the image
// must carry an EMF header whose size fits before the trailing start offset,
// and the next-record offset must be the byte after the record.
TBrPageList::Frame TBrPageList::frameAt(qint64 at, qint64 size, char* head) {
    if (at < m_headerSize || kMinRecordSize > size - at)
        readError("a record outside the file's records or shorter than the smallest");
    Reader reader(*m_stream, at, size);
    char fields[8 + kEmfHeadBytes];
    reader.read(fields, sizeof fields);
    Frame frame{};
    frame.page = qFromLittleEndian<qint32>(fields);
    frame.next = qFromLittleEndian<qint32>(fields + 4);
    frame.imageSize = TMetafile::sizeFromHeader(fields + 8, kEmfHeadBytes);
    if (frame.imageSize < kMinImageSize)
        invalidImage("a page image without a valid EMF header");
    if (frame.imageSize - kEmfHeadBytes + 4 > reader.remaining())
        readError("a page image longer than what is left of the file");
    if (frame.next != at + 8 + frame.imageSize + 4)
        readError("a next-record offset that is not the byte after the record");
    if (head)
        std::memcpy(head, fields + 8, kEmfHeadBytes);
    return frame;
}

// The whole record at `at`; its trailing offset must lead back to `at`.
TMetafile TBrPageList::recordAt(qint64 at, qint64 size, int page) {
    char head[kEmfHeadBytes];
    const Frame frame = frameAt(at, size, head);
    if (frame.page != page)
        readError("a record with another page's number");
    QByteArray bytes(frame.imageSize + 4, Qt::Uninitialized);
    std::memcpy(bytes.data(), head, kEmfHeadBytes);
    Reader reader(*m_stream, at + 8 + kEmfHeadBytes, size);
    reader.read(bytes.data() + kEmfHeadBytes, frame.imageSize - kEmfHeadBytes + 4);
    if (qFromLittleEndian<qint32>(bytes.constData() + frame.imageSize) != at)
        readError("a start offset that does not lead back to its record");
    bytes.truncate(frame.imageSize);
    m_cursor = frame.next;
    return TMetafile::fromBytes(std::move(bytes));
}

// Only a list with pages is read, and its stream holds at least the header and
// one record: the sizes of opened files are fixed, and a stream written only grows.
qint64 TBrPageList::lastRecord(qint64 size) {
    const qint64 start = int32At(size - 4, size);
    if (start < m_headerSize || kMinRecordSize > size - start)
        readError("a last start offset outside the file's records");
    return start;
}

// Where page n's record starts. Walks one way only, forward by next offsets or
// back by the offset stored before each record, each step strictly moving
// within the file, so that a malformed file ends the walk instead of looping.
qint64 TBrPageList::locate(int n, qint64 size) {
    if (n == 1)
        return m_headerSize;
    if (n == m_count)
        return lastRecord(size);
    qint64 at = m_cursor;
    if (at >= size || at < m_headerSize)
        at = lastRecord(size);
    int direction = 0;
    for (;;) {
        const Frame frame = frameAt(at, size);
        if (frame.page == n)
            return at;
        const int step = frame.page < n ? 1 : -1;
        if (direction != 0 && step != direction)
            readError("a page walk that turned back");
        direction = step;
        const qint64 to = step > 0 ? frame.next : int32At(at - 4, size);
        if (step > 0 ? to <= at : to >= at)
            readError("a page walk that did not move on");
        at = to;
    }
}

TMetafile TBrPageList::read(int n) {
    std::lock_guard lock(m_mutex);
    if (n < 1 || n > m_count)
        readError("a page number the file does not have");
    const qint64 size = m_stream->size();
    return recordAt(locate(n, size), size, n);
}

void TBrPageList::open() {
    std::lock_guard lock(m_mutex);
    const qint64 size = m_stream->size();
    char text[5] = {};
    Reader probe(*m_stream, kSignatureTestAt, size);
    probe.read(text, 4);
    m_headerSize = std::strcmp(text, "EMF") == 0 ? kOldHeaderSize : kHeaderSize;
    if (m_headerSize == kHeaderSize)
        probe.read(text, 4);
    const qint32 count = int32At(8, size);
    if (count < 0 || count > (size - m_headerSize) / kMinRecordSize)
        readError("a page count below zero or above what the file can hold");
    // Such a file has nothing to show, print or convert: an output made from
    // it would be blank although the run it came from was not.
    if (count == 0)
        throw Exception(QStringLiteral("Report file has no pages"));
    m_cursor = m_headerSize;
    for (qint32 page = 1; page <= count; ++page) {
        if (!recordAt(m_cursor, size, page).reachesEndRecord())
            damagedPage(page);
    }
    if (count > 0 && m_cursor != size)
        readError("bytes after the last record");
    m_count = count;
    m_cursor = m_headerSize;
}

void TBrPageList::copyTo(TBrSaveFile& out) {
    std::lock_guard lock(m_mutex);
    m_stream->copyTo(out);
}

void TBrPageList::commit() {
    std::lock_guard lock(m_mutex);
    m_stream->commit();
}

QString TBrPageList::fileName() const {
    return m_stream->fileName();
}

} // namespace tavim
