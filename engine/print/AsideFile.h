#pragma once

#include <QString>

namespace tavim {

// A new file beside `target`, for a writer that opens files by name itself
// (QPrinter): made exclusively, so no planted link is followed, and renamed
// over the target only by commit(); otherwise removed, so that a failed or
// cancelled job leaves the file that was there as it was. Used by the thread
// of the print job that holds it; no lock.
class TAsideFile {
public:
    // Throws "Cannot create file \"%s\". %s", also for a target that exists and
    // is neither a regular file nor a link (a rename would replace a device).
    explicit TAsideFile(const QString& target);
    ~TAsideFile();
    TAsideFile(const TAsideFile&) = delete;
    TAsideFile& operator=(const TAsideFile&) = delete;

    // Ends with ".pdf", so that QPrinter keeps writing PDF.
    const QString& fileName() const { return m_fileName; }
    // Flushes the written file to disk and puts it in place. Throws
    // "Cannot create file \"%s\". %s" naming the target.
    void commit();

private:
    [[noreturn]] void fail(int error) const;

    QString m_target;
    QString m_fileName;
    bool m_committed = false;
};

} // namespace tavim
