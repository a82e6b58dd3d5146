#pragma once

#include "engine/print/pdf/PdfDocument.h"
#include "engine/print/pdf/PdfPageDevice.h"

#include <QString>
#include <memory>

class QFile;
class QPaintDevice;

namespace tavim {

// A print job's sheets as a PDF/A-1b file: what is drawn on device() between
// two sheets becomes a page of the sheet's paper, written as it comes. Owned
// by the thread that prints (the user-interface thread); no lock.
class TPdfPrintFile {
public:
    // `file` is open for writing; it is closed, never removed, by finish() or
    // when this is destroyed.
    TPdfPrintFile(std::unique_ptr<QFile> file, const TPdfInfo& info, const PdfSheet& sheet);
    ~TPdfPrintFile();
    TPdfPrintFile(const TPdfPrintFile&) = delete;
    TPdfPrintFile& operator=(const TPdfPrintFile&) = delete;

    QPaintDevice* device() { return &m_device; }
    QString fileName() const;
    // The sheet drawn so far becomes a page. False when the file refused it.
    bool newSheet();
    // The last sheet becomes a page and the file is ended and closed. False
    // when the file refused it.
    bool finish();
    // "Cannot create file ..." with the reason once a step failed.
    QString errorString() const { return m_error; }

private:
    bool addSheet();
    bool written();

    std::unique_ptr<QFile> m_file;
    PdfDocument m_pdf;
    PdfPageDevice m_device;
    QString m_error;
    int m_sheets = 0;
};

} // namespace tavim
