#include "engine/export/BrExport.h"

#include "engine/export/BrSaveFolder.h"
#include "engine/export/PngExport.h"
#include "engine/print/BrSaveFile.h"
#include "engine/print/pdf/PdfDocument.h"
#include "engine/print/pdf/PdfPageDevice.h"
#include "engine/store/BrPrinter.h"
#include "error/Exception.h"
#include "error/FileError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <future>

namespace tavim {

namespace {

EFCreateError cannotCreate(const QString& fileName, const QString& reason) {
    return EFCreateError(QFileInfo(fileName).absoluteFilePath(), reason);
}

} // namespace

void ExportPdf(TBrPrinter& store, const QString& fileName, const TPdfInfo& info) {
    TBrSaveFile file(fileName);
    ExportPdf(store, file, info);
    file.commit();
}

TPageSource StorePages(TBrPrinter& store) {
    return [&store, n = 0]() mutable -> std::optional<std::pair<int, TMetafile>> {
        while (++n <= store.pageCount()) {
            if (std::optional<TMetafile> image = store.getPage(n))
                return std::pair{n, std::move(*image)};
        }
        return std::nullopt;
    };
}

void ExportPdf(TBrPrinter& store, TBrSaveFile& file, const TPdfInfo& info) {
    ExportPdf(StorePages(store), file, info);
}

void ExportPdf(const TPageSource& pages, TBrSaveFile& file, const TPdfInfo& info) {
    const QString& fileName = file.fileName();
    PdfDocument pdf(file.device(), info, QDateTime::currentDateTimeUtc());
    PdfPageDevice device(pdf.fonts());
    // Compressing and writing a page costs about a third of drawing it: the
    // next page is drawn while the last one is written.
    std::future<void> writing;
    const auto finishWriting = [&] {
        if (writing.valid())
            writing.get();
    };
    while (const auto next = pages()) {
        const auto& [n, image] = *next;
        QPainter painter;
        if (!painter.begin(&device))
            throw cannotCreate(fileName, QStringLiteral("The PDF could not be written."));
        image.play(painter, device.pageRect());
        painter.end();
        PdfPageContent page = device.takePage();
        finishWriting();
        if (page.beyondLimits)
            throw cannotCreate(fileName, PdfBeyondLimits(n));
        writing =
            std::async(std::launch::async, [&pdf, page = std::move(page)] { pdf.addPage(page); });
    }
    finishWriting();
    pdf.finish();
}

void ExportPngs(TBrPrinter& store, const QString& folder) {
    TBrSaveFolder set(folder, IsPngPageName);
    ExportPngs(store, set);
    set.commit();
}

void ExportPngs(TBrPrinter& store, TBrSaveFolder& set) {
    ExportPngs(StorePages(store), set);
}

void ExportPngs(const TPageSource& pages, TBrSaveFolder& set) {
    WritePngPages(pages, set.path(), set.target());
}

bool IsPngPageName(const QString& name) {
    static const QRegularExpression page(QStringLiteral("^page-[0-9]{3,}\\.png$"));
    return page.match(name).hasMatch();
}

} // namespace tavim
