#include "engine/BrExport.h"

#include "engine/BrPrinter.h"
#include "engine/DeviceRounding.h"
#include "format/Exception.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <future>

namespace tavim {

namespace {

// zlib's fastest level: a page's PNG is about as small, in a fraction of the time.
constexpr int kPngQuality = 80;

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
    // Encoding a page costs more than drawing it: the next page is drawn while
    // the last one is written.
    std::future<bool> writing;
    QString writingFile;
    const auto finishWriting = [&] {
        if (writing.valid() && !writing.get())
            throw cannotCreate(writingFile, QStringLiteral("The image could not be written."));
    };
    for (int n = 1; n <= store.pageCount(); ++n) {
        const auto page = store.getPage(n);
        if (!page)
            continue;
        QImage image(page->size(), QImage::Format_RGB32);
        const int dotsPerMeter = qRound(kScreenDpi / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            page->play(painter, QRectF(QPointF(0, 0), page->size()));
        }
        finishWriting();
        writingFile =
            QDir(folder).filePath(QStringLiteral("page-%1.png").arg(n, 3, 10, QLatin1Char('0')));
        writing = std::async(std::launch::async, [image, file = writingFile] {
            // The same pixels in a third of the bytes for libpng to filter.
            const QImage out =
                image.allGray() ? image.convertToFormat(QImage::Format_Grayscale8) : image;
            return out.save(file, "PNG", kPngQuality);
        });
    }
    finishWriting();
}

} // namespace tavim
