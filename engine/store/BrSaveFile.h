#pragma once

#include <QString>
#include <memory>

class QFileDevice;

namespace tavim {

// A file being written. A regular file (or a new one) is written aside in its
// own folder and put in place by commit(), so that a failure or an
// interruption leaves neither a partial file nor a damaged old one; a device
// or a pipe cannot be replaced and is written in place. Used by one thread at
// a time; whoever holds it locks around it.
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
    // Throws "Cannot create file \"%s\". %s" when the written file cannot be
    // put in place (a write that failed on the way included).
    void commit();

private:
    [[noreturn]] void cannotCreate() const;

    QString m_fileName;
    std::unique_ptr<QFileDevice> m_file;
};

} // namespace tavim
