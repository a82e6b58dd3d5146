#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>

class QFile;
class QFileDevice;

namespace tavim {

// A file being written. A regular file (or a new name, or a link, which is
// replaced rather than followed) is written aside in its own folder, in a file
// this object creates exclusively, and put in place by commit(): a failure or
// an interruption leaves the old file byte for byte as it was and removes only
// the file written aside. A device or a pipe cannot be replaced: it is written
// in place and never removed. Used by one thread at a time; whoever holds it
// locks around it.
class TBrSaveFile {
public:
    // Throws "Cannot create file \"%s\". %s".
    explicit TBrSaveFile(const QString& fileName);
    // Without a commit nothing is put in place.
    ~TBrSaveFile();
    TBrSaveFile(const TBrSaveFile&) = delete;
    TBrSaveFile& operator=(const TBrSaveFile&) = delete;

    // Write-only; seekable unless the target is a device or a pipe.
    QFileDevice& device();
    // The file as the caller named it.
    const QString& fileName() const { return m_fileName; }
    // The file being written: the aside file, or the target written in place.
    QString writtenName() const;
    // Throws "Cannot write \"<target>\": <reason>" when the bytes are refused.
    void write(const char* data, qint64 n);
    // Ends the writing: flushed, on disk and closed. Throws "Cannot create
    // file \"%s\". %s" when a write failed on the way. Done once.
    void finish();
    // Finishes and puts the file in place. Throws "Cannot create file
    // \"%s\". %s".
    void commit();

private:
    [[noreturn]] void cannotCreate(const QString& reason) const;
    void open();
    void openAside();
    void openInPlace();
    // Closes what is open and removes the file written aside.
    void discard();

    QString m_fileName;
    QString m_aside; // empty when written in place
    int m_fd = -1;
    std::unique_ptr<QFile> m_file;
};

} // namespace tavim
