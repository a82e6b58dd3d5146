#include "engine/BrExport.h"

#include "engine/BrPrinter.h"
#include "engine/BrSaveFile.h"
#include "engine/DeviceRounding.h"
#include "engine/pdf/PdfDocument.h"
#include "engine/pdf/PdfPageDevice.h"
#include "format/Exception.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <future>

namespace tavim {

namespace {

// zlib's fastest level: a page's PNG is about as small, in a fraction of the time.
constexpr int kPngQuality = 80;

Exception cannotCreate(const QString& fileName, const QString& reason) {
    return Exception(QStringLiteral("Cannot create file \"%1\". %2")
                         .arg(QFileInfo(fileName).absoluteFilePath(), reason));
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
