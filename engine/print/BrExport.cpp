#include "engine/print/BrExport.h"

#include "engine/print/PngExport.h"
#include "engine/print/pdf/PdfDocument.h"
#include "engine/print/pdf/PdfPageDevice.h"
#include "engine/store/BrPrinter.h"
#include "engine/store/BrSaveFile.h"
#include "error/Exception.h"
#include "error/FileError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <future>

namespace tavim {

namespace {

EFCreateError cannotCreate(const QString& fileName, const QString& reason) {
    return EFCreateError(QFileInfo(fileName).absoluteFilePath(), reason);
}

} // namespace

void ExportPdf(TBrPrinter& store, const QString& fileName, const TPdfInfo& info) {
    TBrSaveFile file(fileName);
    PdfDocument pdf(file.device(), info, QDateTime::currentDateTimeUtc());
    PdfPageDevice device(pdf.fonts());
    // Compressing and writing a page costs about a third of drawing it: the
    // next page is drawn while the last one is written.
    std::future<void> writing;
    const auto finishWriting = [&] {
        if (writing.valid())
            writing.get();
    };
    for (int n = 1; n <= store.pageCount(); ++n) {
        const auto image = store.getPage(n);
        if (!image)
            continue;
        QPainter painter;
        if (!painter.begin(&device))
            throw cannotCreate(fileName, QStringLiteral("The PDF could not be written."));
        image->play(painter, PdfPageDevice::pageRect());
        painter.end();
        finishWriting();
        writing =
            std::async(std::launch::async, [&pdf, page = device.takePage()] { pdf.addPage(page); });
    }
    finishWriting();
    pdf.finish();
    file.commit();
}

void ExportPngs(TBrPrinter& store, const QString& folder) {
    if (!QDir().mkpath(folder))
        throw cannotCreate(folder, QStringLiteral("The folder could not be made."));
    WritePngPages(store, folder);
}

} // namespace tavim
