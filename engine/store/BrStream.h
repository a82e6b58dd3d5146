#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <mutex>

class QFileDevice;

namespace tavim {

class TBrSaveFile;

// The page stream: a byte stream with a current position. It lives in memory
// until it would grow past kMemoryLimit, then moves once into a temporary file
// ("BRP…" in the temporary folder) that is deleted with the stream. A stream
// opened on a saved file reads that file in place and never writes or deletes it;
// a stream created on a file to be saved writes straight into it and cannot be read.
// Every single operation holds the stream's own lock; callers that position and
// then read or write hold a lock of their own around the sequence.
class TBrStream {
public:
    static constexpr qint64 kMemoryLimit = 100'000;
    static constexpr qint64 kCopyPiece = 10'240;

    // Opens the file the stream spills into, or throws; tests hand in one that fails.
    using SpillFile = std::function<std::unique_ptr<QFileDevice>()>;

    TBrStream();
    explicit TBrStream(SpillFile openSpillFile);
    ~TBrStream();
    TBrStream(const TBrStream&) = delete;
    TBrStream& operator=(const TBrStream&) = delete;

    // Throws "Cannot open file \"%s\". %s".
    static std::unique_ptr<TBrStream> openFile(const QString& fileName);
    // Writes go straight to `fileName`, which commit() puts in place; until
    // then (and for ever without it) the file is not there. Throws "Cannot
    // create file \"%s\". %s".
    static std::unique_ptr<TBrStream> createFile(const QString& fileName);

    // Where temporary files go: the folder TMPDIR names, even when it is
    // missing (so that creating a file there fails instead of landing in "/").
    static QString temporaryFolder();

    qint64 size() const;
    qint64 position() const;
    // Clamped to [0, size].
    void seek(qint64 position);
    // Exactly n bytes from the position, or "Stream read error".
    void read(char* data, qint64 n);
    // Throws "Cannot create file \"%s\". %s" when the temporary file cannot be made.
    void write(const char* data, qint64 n);
    // The whole stream from offset 0, in pieces of at most kCopyPiece bytes.
    void copyTo(TBrSaveFile& out);
    // Puts a created file in place. Throws "Cannot create file \"%s\". %s".
    void commit();

    bool inFile() const;
    // The file behind the stream; for a created file, the one written aside
    // until commit() puts it in place.
    QString fileName() const;

private:
    void spill();
    bool placeFile();

    mutable std::mutex m_mutex;
    SpillFile m_openSpillFile;
    QByteArray m_memory;
    // The temporary or opened file; or the file being created, then owned by m_target.
    std::unique_ptr<QFileDevice> m_ownFile;
    std::unique_ptr<TBrSaveFile> m_target;
    QFileDevice* m_file = nullptr;
    bool m_readOnly = false;
    qint64 m_position = 0;
    qint64 m_size = 0;
};

} // namespace tavim
