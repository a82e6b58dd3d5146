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
    m_pdf.addPage(m_device.takePage());
    return written();
}

bool TPdfPrintFile::finish() {
    m_pdf.addPage(m_device.takePage());
    m_pdf.finish();
    if (!written())
        return false;
    m_file->close();
    return written();
}

// The file keeps its first failure; a failed flush is one too.
bool TPdfPrintFile::written() {
    if (m_file->error() == QFileDevice::NoError && (!m_file->isOpen() || m_file->flush()))
        return true;
    m_error = EFCreateError(QFileInfo(*m_file).absoluteFilePath(), m_file->errorString()).message();
    return false;
}

} // namespace tavim
