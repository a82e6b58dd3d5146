#pragma once

#include "engine/emf/Metafile.h"
#include "engine/store/BrStream.h"

#include <QtGlobal>
#include <memory>
#include <mutex>

namespace tavim {

class TBrSaveFile;

// The pages of one document as records in a page stream: a header, then per
// page (page number, offset of the next record, EMF bytes, offset of this
// record). Appending, rewriting the header and reading each hold the list's
// lock for their whole positioning-and-transfer sequence.
// Threads: shared by the run that appends and the user-interface thread that
// reads, through the store; the list's lock guards every operation.
class TBrPageList {
public:
    static constexpr qint64 kHeaderSize = 128;
    static constexpr qint64 kOldHeaderSize = 124;
    // Records link to each other by signed 32-bit file offsets.
    static constexpr qint64 kMaxFileSize = 0x7fff'ffff;

    // `maxSize` bounds the stream; only tests ask for less than the format allows.
    explicit TBrPageList(std::unique_ptr<TBrStream> stream, qint64 maxSize = kMaxFileSize);
    ~TBrPageList();
    TBrPageList(const TBrPageList&) = delete;
    TBrPageList& operator=(const TBrPageList&) = delete;

    int count() const;
    // Throws "Report too large…" before writing a record that would end past
    // the size the format can address; the pages before it stay readable.
    void append(const TMetafile& image);
    // Writes the header again so that it carries the final page count.
    void rewriteHeader();
    // Page n (1 ≤ n ≤ count()), reached from the record last visited.
    TMetafile read(int n);

    // For a stream opened on a saved file: detects the header form, takes the
    // page count and checks every record and image, so that a file that opens
    // has every page readable and whole. Throws "Stream read error" or
    // "Metafile is not valid", "Metafile is not valid (page n)" for an image
    // whose replay would end before its end record, or "Report file has no pages".
    void open();
    // The whole stream, as a saved file holds it.
    void copyTo(TBrSaveFile& out);
    // Puts a stream created on a file in place (TBrStream::commit).
    void commit();
    // The file the stream reads or writes (TBrStream::fileName).
    QString fileName() const;

private:
    class Reader;
    struct Frame {
        qint32 page;
        qint64 next;
        qint64 imageSize;
    };

    void writeHeader(int count);
    qint32 int32At(qint64 at, qint64 size);
    Frame frameAt(qint64 at, qint64 size, char* head = nullptr);
    TMetafile recordAt(qint64 at, qint64 size, int page);
    qint64 lastRecord(qint64 size);
    qint64 locate(int n, qint64 size);

    mutable std::mutex m_mutex;
    std::unique_ptr<TBrStream> m_stream;
    const qint64 m_maxSize;
    int m_count = 0;
    qint64 m_headerSize = kHeaderSize;
    // Start of the record that a read of the next page would meet; the end of
    // the stream after an append.
    qint64 m_cursor = kHeaderSize;
};

} // namespace tavim
