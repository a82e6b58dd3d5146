#include "engine/print/PdfPrintFile.h"

#include "error/FileError.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace tavim {

TPdfPrintFile::TPdfPrintFile(std::unique_ptr<QFile> file, const TPdfInfo& info,
                             const PdfSheet& sheet)
    : m_file(std::move(file)), m_pdf(*m_file, info, QDateTime::currentDateTimeUtc(), sheet),
      m_device(m_pdf.fonts(), sheet) {}

TPdfPrintFile::~TPdfPrintFile() = default;

QString TPdfPrintFile::fileName() const {
    return m_file->fileName();
}

bool TPdfPrintFile::newSheet() {
    return addSheet() && written();
}

bool TPdfPrintFile::finish() {
    if (!addSheet())
        return false;
    m_pdf.finish();
    if (!written())
        return false;
    m_file->close();
    return written();
}

// A sheet that cannot be held within PDF/A-1's limits ends the job.
bool TPdfPrintFile::addSheet() {
    const PdfPageContent page = m_device.takePage();
    ++m_sheets;
    if (page.beyondLimits) {
        m_error = EFCreateError(QFileInfo(*m_file).absoluteFilePath(), PdfBeyondLimits(m_sheets))
                      .message();
        return false;
    }
    m_pdf.addPage(page);
    return true;
}

// The file keeps its first failure; a failed flush is one too.
bool TPdfPrintFile::written() {
    if (m_file->error() == QFileDevice::NoError && (!m_file->isOpen() || m_file->flush()))
        return true;
    m_error = EFCreateError(QFileInfo(*m_file).absoluteFilePath(), m_file->errorString()).message();
    return false;
}

} // namespace tavim
