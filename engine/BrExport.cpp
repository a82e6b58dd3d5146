#include "engine/BrExport.h"

#include "engine/BrPrinter.h"
#include "engine/PngExport.h"
#include "format/Exception.h"

#include <QDir>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace tavim {

namespace {

Exception cannotCreate(const QString& fileName, const QString& reason) {
    return Exception(QStringLiteral("Cannot create file \"%1\". %2")
                         .arg(QFileInfo(fileName).absoluteFilePath(), reason));
}

// QPdfWriter says nothing when it cannot write: find out first.
void checkWritable(const QString& fileName) {
    QFile probe(fileName);
    if (!probe.open(QIODevice::WriteOnly))
        throw cannotCreate(fileName, probe.errorString());
}

} // namespace

void ExportPdf(TBrPrinter& store, const QString& fileName, const TPdfInfo& info) {
    checkWritable(fileName);
    QPdfWriter pdf(fileName);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(1200);
    PrepareArchivePdf(pdf, info);
    QPainter painter(&pdf);
    const QRectF page(QPointF(0, 0), QSizeF(pdf.width(), pdf.height()));
    for (int n = 1; n <= store.pageCount(); ++n) {
        const auto image = store.getPage(n);
        if (!image)
            continue;
        if (n > 1)
            pdf.newPage();
        image->play(painter, page);
    }
    if (!painter.end())
        throw cannotCreate(fileName, QStringLiteral("The PDF could not be written."));
    AddPdfAuthor(fileName, info.author);
}

void ExportPngs(TBrPrinter& store, const QString& folder) {
    if (!QDir().mkpath(folder))
        throw cannotCreate(folder, QStringLiteral("The folder could not be made."));
    WritePngPages(store, folder);
}

} // namespace tavim
