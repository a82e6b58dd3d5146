// Pages written as PNG files: every decoded pixel is the pixel drawn, gray
// pages stay 8-bit gray, and a file that cannot be written stops the export
// with its name.
#include "tests/engine/EngineTestSupport.h"

#include "engine/emf/MetafileRecorder.h"
#include "engine/export/BrExport.h"
#include "engine/export/PngWriter.h"
#include "engine/print/BrSaveFile.h"
#include "engine/store/BrPageList.h"
#include "engine/store/BrStream.h"
#include "error/Exception.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace tavim::test {
namespace {

constexpr int kDotsPerMeter = 3780; // 96 dpi

// Text, lines, a gray fill and, when `colour` is valid, a coloured mark in
// the page's last row (so that the gray test must read the whole page).
void drawListingPage(QPainter& painter, QSize size, int number, const QColor& colour) {
    painter.setFont(QFont(QStringLiteral("Liberation Sans"), 9));
    painter.fillRect(QRect(20, 20, size.width() - 40, 30), QColor(192, 192, 192));
    painter.drawText(30, 40, QStringLiteral("Referênte ao mês de FEVEREIRO %1").arg(number));
    for (int line = 0; line < 30; ++line) {
        const int y = 80 + 17 * line;
        painter.drawText(30, y, QStringLiteral("Locatário %1 · 1.234,%2").arg(line).arg(number));
        painter.drawLine(30, y + 3, size.width() - 30, y + 3);
    }
    painter.drawRect(QRect(10, 10, size.width() - 21, size.height() - 21));
    if (colour.isValid())
        painter.fillRect(QRect(size.width() - 3, size.height() - 1, 2, 1), colour);
}

QImage drawn(QSize size, int number, const QColor& colour) {
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    drawListingPage(painter, size, number, colour);
    return image;
}

QImage decoded(const QByteArray& png) {
    QImage image;
    EXPECT_TRUE(image.loadFromData(png, "PNG"));
    return image;
}

// Pixels as drawn, whatever the stored format.
void expectSamePixels(const QImage& decoded, const QImage& drawn) {
    ASSERT_EQ(decoded.size(), drawn.size());
    EXPECT_TRUE(decoded.convertToFormat(QImage::Format_RGB32) == drawn);
}

struct EncodeCase {
    const char* name;
    QSize size;
    QPoint mark; // where `colour` goes, when valid
    QColor colour;
    QImage::Format stored;
};

TEST(PngWriterTest, DecodesToTheDrawnPixelsGrayOnlyWhenEveryPixelIsGray) {
    const QSize a4(794, 1123);
    const EncodeCase cases[] = {
        {"gray A4 page", a4, {}, QColor(), QImage::Format_Grayscale8},
        {"red at the end of the last row",
         a4,
         {791, 1122},
         QColor(255, 0, 0),
         QImage::Format_RGB32},
        {"red near the start of the first row",
         a4,
         {5, 0},
         QColor(255, 0, 0),
         QImage::Format_RGB32},
        {"blue off by one mid-page", a4, {400, 600}, QColor(128, 128, 129), QImage::Format_RGB32},
        {"red off by one in the last row",
         a4,
         {100, 1122},
         QColor(129, 128, 128),
         QImage::Format_RGB32},
        {"landscape", {1123, 794}, {}, QColor(), QImage::Format_Grayscale8},
        {"one pixel wide", {1, 40}, {}, QColor(), QImage::Format_Grayscale8},
    };
    TPngWriter writer; // one writer for all: its reuse must not leak between pages
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QImage page = drawn(c.size, 7, QColor());
        if (c.colour.isValid())
            page.setPixelColor(c.mark, c.colour);
        const QImage image = decoded(writer.encode(page));
        EXPECT_EQ(image.format(), c.stored);
        EXPECT_EQ(image.dotsPerMeterX(), kDotsPerMeter);
        EXPECT_EQ(image.dotsPerMeterY(), kDotsPerMeter);
        expectSamePixels(image, page);
    }
}

TEST(PngWriterTest, RefusesWhatItCannotEncode) {
    TPngWriter writer;
    EXPECT_TRUE(writer.encode(QImage()).isEmpty());
    EXPECT_TRUE(writer.encode(QImage(10, 10, QImage::Format_ARGB32)).isEmpty());
}

// A finished store whose pages are those of drawListingPage, the listed ones coloured.
std::unique_ptr<TBrPrinter> listing(int pages, const QList<int>& coloured = {}) {
    auto store = storeOn(noPrinter());
    store->beginDoc();
    for (int page = 1; page <= pages; ++page) {
        store->newPage();
        drawListingPage(*store->canvas(), QSize(794, 1123), page,
                        coloured.contains(page) ? QColor(0, 0, 200) : QColor());
    }
    store->endDoc();
    return store;
}

QString pageFile(const QString& folder, int page) {
    return QDir(folder).filePath(QStringLiteral("page-%1.png").arg(page, 3, 10, QLatin1Char('0')));
}

// The page image replayed on a white page, as printing draws it.
QImage replayed(TBrPrinter& store, int page) {
    const TMetafile image = *store.getPage(page);
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    image.play(painter, QRectF(QPointF(0, 0), image.size()));
    return out;
}

QString cannotWrite(const QString& fileName) {
    return QStringLiteral("Cannot create file \"%1\". The image could not be written.")
        .arg(QFileInfo(fileName).absoluteFilePath());
}

QString errorOf(TBrPrinter& store, const QString& folder) {
    try {
        ExportPngs(store, folder);
    } catch (const Exception& error) {
        return error.message();
    }
    return QStringLiteral("no error");
}

int pngFiles(const QString& folder) {
    return int(QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files).size());
}

TEST(PngExportTest, EveryPageDecodesToItsReplayedPixels) {
    auto store = listing(9, {4, 9});
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("pages"));
    ExportPngs(*store, folder);
    EXPECT_EQ(pngFiles(folder), 9);
    for (int page = 1; page <= 9; ++page) {
        SCOPED_TRACE(page);
        const QImage image = decoded(readAll(pageFile(folder, page)));
        const bool coloured = page == 4 || page == 9;
        EXPECT_EQ(image.format(), coloured ? QImage::Format_RGB32 : QImage::Format_Grayscale8);
        EXPECT_EQ(image.dotsPerMeterX(), kDotsPerMeter);
        expectSamePixels(image, replayed(*store, page));
    }
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                  QDir::System);
}

// What a folder holds before an export, and what it must hold after.
struct EarlierSetCase {
    const char* name;
    std::function<void(const QString& folder)> plant;
    QString error; // empty: the export succeeds
    QStringList after;
};

// A new set replaces an earlier one whole, keeps the user's other files,
// replaces a planted link instead of writing through it, and touches nothing
// when a folder stands where a page goes.
TEST(PngExportTest, ANewSetReplacesTheEarlierOneWhole) {
    auto store = listing(2);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("pages"));
    const QString outside = dir.filePath(QStringLiteral("outside"));
    const EarlierSetCase cases[] = {
        {"earlier, longer set",
         [](const QString& f) {
             for (int page = 1; page <= 3; ++page)
                 writeAll(pageFile(f, page), "old");
         },
         {},
         {"page-001.png", "page-002.png"}},
        {"the user's file beside the set",
         [](const QString& f) {
             writeAll(pageFile(f, 3), "old");
             writeAll(QDir(f).filePath(QStringLiteral("notes.txt")), "mine");
         },
         {},
         {"notes.txt", "page-001.png", "page-002.png"}},
        {"a planted link",
         [&](const QString& f) { QFile::link(outside, pageFile(f, 1)); },
         {},
         {"page-001.png", "page-002.png"}},
        {"a folder where a page goes",
         [](const QString& f) {
             writeAll(pageFile(f, 1), "old");
             QDir().mkpath(pageFile(f, 2));
         },
         QStringLiteral("Cannot create file \"%1\". Is a directory").arg(pageFile(folder, 2)),
         {"page-001.png", "page-002.png"}},
    };
    for (const EarlierSetCase& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(folder).removeRecursively();
        writeAll(outside, "outside");
        ASSERT_TRUE(QDir().mkpath(folder));
        c.plant(folder);
        const QByteArray firstBefore =
            QFileInfo(pageFile(folder, 1)).isFile() ? readAll(pageFile(folder, 1)) : QByteArray();
        EXPECT_EQ(errorOf(*store, folder),
                  c.error.isEmpty() ? QStringLiteral("no error") : c.error);
        EXPECT_EQ(entriesOf(folder), c.after);
        EXPECT_EQ(entriesOf(dir.path()), (QStringList{"outside", "pages"}));
        EXPECT_EQ(readAll(outside), "outside");
        if (c.error.isEmpty())
            expectSamePixels(decoded(readAll(pageFile(folder, 1))), replayed(*store, 1));
        else
            EXPECT_EQ(readAll(pageFile(folder, 1)), firstBefore);
    }
}

TEST(PngExportTest, APageFarLargerThanAnyPaperIsRefusedUndrawn) {
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("huge.brp"));
    {
        TBrPageList list(std::make_unique<TBrStream>());
        const QSize sizes[] = {{794, 1123}, {9000, 9000}};
        for (const QSize size : sizes) {
            TMetafileRecorder recorder(size);
            {
                QPainter painter(recorder.device());
                painter.drawLine(0, 0, 100, 100);
            }
            list.append(recorder.finish());
        }
        list.rewriteHeader();
        TBrSaveFile file(saved);
        list.copyTo(file);
        file.commit();
    }
    auto store = storeOn(noPrinter());
    store->load(saved);
    ASSERT_EQ(store->getPage(2)->size(), QSize(9000, 9000));
    const QString folder = dir.filePath(QStringLiteral("pages"));
    EXPECT_EQ(errorOf(*store, folder), cannotWrite(pageFile(folder, 2)));
    EXPECT_FALSE(QFileInfo::exists(pageFile(folder, 2)));
}

TEST(PngExportTest, AFolderThatCannotBeMadeIsReportedAsBefore) {
    auto store = listing(1);
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("file"));
    writeAll(blocker, "not a folder");
    const QString folder = blocker + QStringLiteral("/pages");
    EXPECT_EQ(errorOf(*store, folder),
              QStringLiteral("Cannot create file \"%1\". Not a directory").arg(folder));
}

} // namespace
} // namespace tavim::test
