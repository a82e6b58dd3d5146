#include "engine/print/BrPrintJob.h"

#include "engine/print/BrSaveFile.h"
#include "engine/print/PrinterDriver.h"
#include "error/Exception.h"

namespace tavim {

TBrPrintJob::TBrPrintJob(std::unique_ptr<TPrinterDriver> driver)
    : m_driver(std::move(driver)), m_printerAvailable(!m_driver->printers().isEmpty()),
      m_settings(m_driver.get()) {
    if (m_printerAvailable)
        m_settings.bind();
}

TBrPrintJob::~TBrPrintJob() {
    abandon();
}

void TBrPrintJob::setOutputFileName(const QString& fileName) {
    m_outputFileName = fileName;
    m_driver->setOutputFileName(fileName);
}

void TBrPrintJob::setDocumentInfo(const TPdfInfo& info) {
    m_driver->setDocumentInfo(info);
}

Exception TBrPrintJob::failure(const QString& what) const {
    QString text = QStringLiteral("Printer \"%1\" %2").arg(m_driver->deviceName(), what);
    if (const QString reason = m_driver->errorString(); !reason.isEmpty())
        text += QStringLiteral(": ") + reason;
    return Exception(text);
}

// The printer writes a PDF file itself, by name: it is given a new file beside
// the chosen one, so that the file there is untouched until the job succeeded.
void TBrPrintJob::start() {
    std::unique_ptr<TBrSaveFile> aside;
    if (!m_outputFileName.isEmpty()) {
        aside = std::make_unique<TBrSaveFile>(m_outputFileName);
        m_driver->setOutputFileName(aside->writtenName());
    }
    if (m_driver->inErrorState())
        throw failure(QStringLiteral("is in an error state"));
    m_driver->setJobName(m_title);
    QPaintDevice* device = m_driver->device();
    if (!device || !m_painter.begin(device)) {
        m_driver->abortJob();
        throw failure(QStringLiteral("could not start the print job"));
    }
    m_aside = std::move(aside);
    m_started = true;
}

void TBrPrintJob::nextSheet() {
    if (!m_driver->newSheet())
        throw failure(QStringLiteral("could not start a new sheet"));
}

void TBrPrintJob::finish() {
    if (!m_started)
        return;
    m_started = false;
    // Removed on any failure below.
    const std::unique_ptr<TBrSaveFile> aside = std::move(m_aside);
    if (!m_painter.end()) {
        m_driver->abortJob();
        throw failure(QStringLiteral("could not finish the print job"));
    }
    if (m_driver->inErrorState()) {
        m_driver->abortJob();
        throw failure(QStringLiteral("is in an error state"));
    }
    if (!m_driver->submitJob())
        throw failure(QStringLiteral("did not accept the print job"));
    if (aside)
        aside->commit();
}

void TBrPrintJob::abandon() {
    if (!m_started)
        return;
    m_started = false;
    m_painter.end();
    m_driver->abortJob();
    m_aside.reset();
}

QRectF TBrPrintJob::sheetRect() const {
    return QRectF(QPointF(0, 0), QSizeF(m_driver->printableSize()));
}

} // namespace tavim
