// PDFs exported from the page store, as other programs read them back
// (pdfinfo, pdffonts, pdftotext, pdftoppm), against what the pages hold.
#include "tests/ToolOutput.h"
#include "tests/engine/EngineTestSupport.h"

#include "engine/emf/EmfPaintEngine.h"
#include "engine/emf/EmfRecords.h"
#include "engine/export/BrExport.h"
#include "engine/print/PdfPrintFile.h"
#include "engine/print/pdf/PdfDocument.h"
#include "engine/print/pdf/PdfFontSet.h"
#include "engine/print/pdf/PdfPageDevice.h"
#include "error/Exception.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace tavim::test {
namespace {

QString pdfinfo(const QStringList& args) {
    return runTool(QStringLiteral("pdfinfo"), args);
}

// A title page of accented texts in the report's faces, then plain pages.
void produceListing(TBrPrinter& store, int pages) {
    store.beginDoc();
    for (int page = 1; page <= pages; ++page) {
        store.newPage();
        drawPage(store, page);
        QPainter& painter = *store.canvas();
        QFont narrow(QStringLiteral("Liberation Sans Narrow"), 10);
        narrow.setBold(true);
        painter.setFont(narrow);
        painter.drawText(store.toDeviceX(26), store.toDeviceY(200),
                         QStringLiteral("Inscrição Municipal nº %1 – ALUGUEL").arg(page));
    }
    store.endDoc();
}

TEST(PdfExport, ArchivedWithItsInformationEmbeddedFacesAndTexts) {
    std::vector<ArchivedPdfCase> cases = archivedPdfCases();
    cases.push_back({{QStringLiteral("Sem autor"), QString()}, 2});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.info.title.toStdString());
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("listing.pdf"));
        auto store = storeOn(noPrinter());
        produceListing(*store, c.pages);
        ExportPdf(*store, file, c.info);

        EXPECT_TRUE(runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), file})
                        .contains(QStringLiteral("No syntax or stream encoding errors")));
        const QString info = pdfinfo({file});
        EXPECT_EQ(toolField(info, QStringLiteral("Pages")), QString::number(c.pages));
        EXPECT_EQ(toolField(info, QStringLiteral("Title")), c.info.title);
        EXPECT_EQ(toolField(info, QStringLiteral("Author")), c.info.author);
        EXPECT_EQ(toolField(info, QStringLiteral("Creator")), QStringLiteral("Tavim"));
        EXPECT_TRUE(toolField(info, QStringLiteral("Page size")).endsWith(QStringLiteral("(A4)")));
        const QString meta = pdfinfo({QStringLiteral("-meta"), file});
        EXPECT_TRUE(meta.contains(QStringLiteral("pdfaid:part=\"1\""))) << meta.toStdString();
        EXPECT_TRUE(meta.contains(QStringLiteral("pdfaid:conformance=\"B\"")));
        EXPECT_EQ(meta.contains(QStringLiteral("<dc:creator>")), !c.info.author.isEmpty());
        EXPECT_TRUE(meta.contains(c.info.author.toHtmlEscaped()));

        // Every face embedded as a subset, with a map back to the characters.
        const QStringList fonts =
            runTool(QStringLiteral("pdffonts"), {file}).split('\n', Qt::SkipEmptyParts).mid(2);
        ASSERT_EQ(fonts.size(), 2) << fonts.join('\n').toStdString();
        for (const QString& font : fonts) {
            const QStringList columns = font.simplified().split(' ');
            ASSERT_GE(columns.size(), 8);
            EXPECT_EQ(columns.mid(3, 4).join(' '), QStringLiteral("Identity-H yes yes yes"))
                << font.toStdString();
        }
        EXPECT_TRUE(fonts.join('\n').contains(QStringLiteral("+LiberationSansNarrow-Bold")));

        const QString text = runTool(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
        EXPECT_TRUE(text.contains(QStringLiteral("Page %1 line 19").arg(c.pages)));
        EXPECT_TRUE(text.contains(QStringLiteral("Inscrição Municipal nº 1 – ALUGUEL")))
            << text.toStdString();
    }
}

// Nimbus Sans (Helvetica's usual stand-in) comes with CFF outlines, which are
// not embedded whole: its texts are shown in the report's face instead.
TEST(PdfExport, TextsInFacesThatCannotBeEmbeddedAreStillShown) {
    QTemporaryDir dir;
    auto store = storeOn(noPrinter());
    const QStringList families = {QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica"),
                                  QStringLiteral("Liberation Serif")};
    store->beginDoc();
    store->newPage();
    QPainter& painter = *store->canvas();
    for (int i = 0; i < families.size(); ++i) {
        painter.setFont(QFont(families[i], 12));
        painter.drawText(store->toDeviceX(100), store->toDeviceY(300 + 100 * i),
                         QStringLiteral("Texto em %1").arg(families[i]));
    }
    store->endDoc();
    const QString file = dir.filePath(QStringLiteral("faces.pdf"));
    ExportPdf(*store, file);
    const QString text = runTool(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
    for (const QString& family : families)
        EXPECT_TRUE(text.contains(QStringLiteral("Texto em %1").arg(family)))
            << family.toStdString() << ": " << text.toStdString();
}

// Characters the report's face lacks, or that are drawn otherwise than as
// their own glyph, come out as the replay on an image shows them, and the
// text layer gives them back.
TEST(PdfExport, CharactersAreShownAsThePreviewShowsThem) {
    const struct {
        QString text;
        QString extracted;
        QString otherFace; // the fallback face embedded beside Liberation Sans
    } cases[] = {
        {QStringLiteral("Nome: שלום"), QStringLiteral("Nome: שלום"), QStringLiteral("+DejaVuSans")},
        {QStringLiteral("Jose\u0301"), QStringLiteral("José"), QString()},
        {QStringLiteral("q\u0301 x"), QStringLiteral("q\u0301 x"), QStringLiteral("+DejaVuSans")},
        {QStringLiteral("Rua\u200BAzul"), QStringLiteral("RuaAzul"), QString()},
        {QStringLiteral("Rua\tAzul"), QStringLiteral("Rua Azul"), QString()},
        {QStringLiteral("Alu\u00ADguel\u00AD"), QStringLiteral("Aluguel-"), QString()},
        {QStringLiteral("Pago \U0001F600"), QStringLiteral("Pago \U0001F600"),
         QStringLiteral("+DejaVuSans")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extracted.toStdString());
        QTemporaryDir dir;
        auto store = storeOn(noPrinter());
        store->beginDoc();
        store->newPage();
        // As the report records a line: the whole text in one record.
        static_cast<EmfPaintEngine*>(store->canvas()->paintEngine())
            ->drawTextLine(QPointF(store->toDeviceX(100), store->toDeviceY(300)),
                           emf::TA_BASELINE | emf::TA_LEFT, c.text,
                           QFont(QStringLiteral("Liberation Sans"), 12),
                           EmfPaintEngine::kDefaultCharset, Qt::black);
        store->endDoc();
        const QString file = dir.filePath(QStringLiteral("texts.pdf"));
        ExportPdf(*store, file);
        const QString fonts = runTool(QStringLiteral("pdffonts"), {file}).simplified();
        EXPECT_EQ(fonts.count(QStringLiteral("Identity-H yes yes yes")),
                  c.otherFace.isEmpty() ? 1 : 2)
            << fonts.toStdString();
        EXPECT_TRUE(fonts.contains(c.otherFace.isEmpty() ? QStringLiteral("+LiberationSans")
                                                         : c.otherFace));
        const QString text = runTool(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
        // pdftotext marks where right-to-left text begins and ends.
        static const QRegularExpression embedding(QStringLiteral("[\u202A-\u202E]"));
        EXPECT_EQ(text.trimmed().remove(embedding), c.extracted) << text.toStdString();
    }
}

// Light and dark, with anti-aliasing shades between.
QImage gray(const QImage& image) {
    return image.convertToFormat(QImage::Format_Grayscale8);
}

// The mean darkness of each `block` x `block` square.
std::vector<double> darkness(const QImage& image, int block) {
    const int columns = image.width() / block;
    const int rows = image.height() / block;
    std::vector<double> means(std::size_t(columns * rows), 0);
    for (int y = 0; y < rows * block; ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < columns * block; ++x)
            means[std::size_t((y / block) * columns + x / block)] += 255 - line[x];
    }
    for (double& m : means)
        m /= block * block;
    return means;
}

// Every kind of drawing a page image holds, in several colours, pens and brushes.
void produceDrawing(TBrPrinter& store) {
    store.beginDoc();
    store.newPage();
    QPainter& p = *store.canvas();
    const auto x = [&](int v) { return store.toDeviceX(v); };
    const auto y = [&](int v) { return store.toDeviceY(v); };
    p.setFont(QFont(QStringLiteral("Liberation Sans"), 14));
    p.drawText(x(100), y(300), QStringLiteral("TOTAL GERAL 1.234.567,89"));
    QFont bold(QStringLiteral("Liberation Sans"), 24);
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(QColor(200, 0, 0));
    p.drawText(x(100), y(600), QStringLiteral("Referênte ao mês"));
    p.setPen(QPen(Qt::black, 0));
    p.drawLine(x(100), y(700), x(2000), y(700));
    p.setPen(QPen(Qt::black, 8, Qt::DashLine));
    p.drawLine(x(100), y(800), x(2000), y(800));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x80, 0x80, 0x80));
    p.drawRect(x(100), y(900), x(600) - x(100), y(1300) - y(900));
    p.setBrush(QBrush(Qt::black, Qt::CrossPattern));
    p.drawRect(x(800), y(900), x(1300) - x(800), y(1300) - y(900));
    p.setPen(QPen(Qt::blue, 4));
    p.setBrush(QColor(0, 160, 0));
    const QPolygon star({QPoint(x(1600), y(900)), QPoint(x(1750), y(1400)),
                         QPoint(x(1400), y(1080)), QPoint(x(1800), y(1080)),
                         QPoint(x(1450), y(1400))});
    p.drawPolygon(star, Qt::OddEvenFill);
    // A white hole in the grey, and a line from far off the page that
    // crosses it: both as painted, not left out or bent to fit.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(x(250), y(1000), x(450) - x(250), y(1200) - y(900));
    p.setPen(QPen(Qt::black, 12));
    p.drawLine(QLineF(-1e5, -2.5e4, x(2000), y(1800)));
    // Characters the face lacks or draws otherwise, recorded as a report line.
    static_cast<EmfPaintEngine*>(p.paintEngine())
        ->drawTextLine(QPointF(x(100), y(1600)), emf::TA_BASELINE | emf::TA_LEFT,
                       QStringLiteral("Nome: שלום Jose\u0301 q\u0301 Rua\u200BAzul \U0001F600"),
                       QFont(QStringLiteral("Liberation Sans"), 24),
                       EmfPaintEngine::kDefaultCharset, Qt::black);
    store.endDoc();
}

// Drawn the way the PDF reader draws it, the page looks as replayed on an
// image: the same darkness in every 8-pixel square, give or take the
// difference between two rasterisers. A mirrored, shifted or missing element
// darkens squares the other leaves white.
TEST(PdfExport, PagesLookAsTheyArePainted) {
    QTemporaryDir dir;
    auto store = storeOn(noPrinter());
    produceDrawing(*store);
    const QString file = dir.filePath(QStringLiteral("drawing.pdf"));
    ExportPdf(*store, file);
    runTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-gray"),
             QStringLiteral("-singlefile"), QStringLiteral("-png"), file, dir.filePath("read")});
    const QImage read = gray(QImage(dir.filePath(QStringLiteral("read.png"))));
    ASSERT_FALSE(read.isNull());

    const auto page = store->getPage(1);
    QImage painted(read.size(), QImage::Format_RGB32);
    painted.fill(Qt::white);
    {
        QPainter painter(&painted);
        page->play(painter, QRectF(QPointF(0, 0), QSizeF(painted.size())));
    }
    const std::vector<double> expected = darkness(gray(painted), 8);
    const std::vector<double> actual = darkness(read, 8);
    ASSERT_EQ(expected.size(), actual.size());
    double inkExpected = 0;
    double inkActual = 0;
    int differing = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        inkExpected += expected[i];
        inkActual += actual[i];
        if (std::abs(expected[i] - actual[i]) > 48)
            ++differing;
    }
    EXPECT_GT(inkExpected, 0);
    EXPECT_NEAR(inkActual / inkExpected, 1.0, 0.1);
    EXPECT_LT(differing, int(expected.size() / 200)) << differing << " squares differ";
}

// A hatched path far larger than the page gets lines only where the page is,
// a text of 40 000 characters goes in runs, and no number or string passes
// what PDF/A-1 allows.
TEST(PdfExport, DrawingBeyondThePdfALimitsIsKeptWithinThem) {
    PdfFontSet fonts;
    PdfPageDevice device(fonts);
    QPainter painter(&device);
    painter.setBrush(QBrush(Qt::black, Qt::DiagCrossPattern));
    painter.drawRect(QRectF(-4e6, -4e6, 8e6, 8e6));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(20);
    // As a page image's text record is played: one line, however long.
    static_cast<PdfPaintEngine*>(device.paintEngine())
        ->drawTextLine(QTransform(), std::nullopt, QPointF(100, 100), QString(40'000, u'a'), font,
                       Qt::black);
    painter.end();
    const QByteArray operators = device.takePage().operators;
    EXPECT_LT(operators.size(), 300'000);
    qsizetype glyphs = 0;
    // "a" is glyph 0x0044: two bytes a glyph, none escaped.
    static const QRegularExpression string(QStringLiteral("\\((.*?)\\) Tj"),
                                           QRegularExpression::DotMatchesEverythingOption);
    for (const auto& match : string.globalMatch(QString::fromLatin1(operators))) {
        EXPECT_LE(match.capturedLength(1), 65'535);
        glyphs += match.capturedLength(1) / 2;
    }
    EXPECT_EQ(glyphs, 40'000);
    double largest = 0;
    static const QRegularExpression number(QStringLiteral("-?[0-9]+(\\.[0-9]+)?"));
    for (const auto& match : number.globalMatch(QString::fromLatin1(operators).remove(string)))
        largest = std::max(largest, std::abs(match.captured().toDouble()));
    EXPECT_LE(largest, 32767);
}

// A hairline is one screen pixel wide, as the preview shows it (12.5 units at
// 1 200 dpi), never PDF's thinnest line.
TEST(PdfExport, AHairlineIsOneScreenPixelWide) {
    PdfFontSet fonts;
    PdfPageDevice device(fonts);
    QPainter painter(&device);
    painter.setPen(QPen(Qt::black, 0));
    painter.drawLine(QLineF(100, 100, 2000, 100));
    painter.end();
    EXPECT_TRUE(device.takePage().operators.contains("\n12.5 w\n"));
}

TEST(PdfExport, AFileThatCannotBeWrittenIsReportedAndNothingIsLeft) {
    QTemporaryDir dir;
    auto store = storeOn(noPrinter());
    produce(*store, 2);
    // A text a kilometre off the page cannot be placed within PDF/A-1's numbers.
    auto farText = storeOn(noPrinter());
    farText->beginDoc();
    farText->newPage();
    farText->canvas()->drawText(QPointF(1e9, 100), QStringLiteral("longe"));
    farText->endDoc();
    const struct {
        TBrPrinter& store;
        QString file;
        QString reason;
    } cases[] = {
        {*store, QStringLiteral("/dev/full"), {}},
        {*store, dir.filePath(QStringLiteral("missing/listing.pdf")), {}},
        {*farText, dir.filePath(QStringLiteral("far.pdf")),
         QStringLiteral(" Page 1 draws beyond what a PDF/A-1 file can hold.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        try {
            ExportPdf(c.store, c.file);
            FAIL() << "the export succeeded";
        } catch (const Exception& e) {
            EXPECT_TRUE(e.message().startsWith(
                QStringLiteral("Cannot create file \"%1\".%2").arg(c.file, c.reason)))
                << e.message().toStdString();
        }
        if (c.file.startsWith(dir.path())) {
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                      QStringList());
        }
    }
    auto full = std::make_unique<QFile>(QStringLiteral("/dev/full"));
    ASSERT_TRUE(full->open(QIODevice::WriteOnly));
    TPdfPrintFile job(std::move(full), {}, PdfSheet::a4());
    QPainter(job.device()).drawLine(0, 0, 100, 100);
    EXPECT_FALSE(job.newSheet());
    EXPECT_TRUE(job.errorString().startsWith(QStringLiteral("Cannot create file \"/dev/full\". ")))
        << job.errorString().toStdString();
}

// A listing of a million rows has some 20 000 pages: they hang from nodes,
// each array within PDF/A-1's 8 191 elements, and the file reads back whole.
TEST(PdfExport, ManyPagesStayWithinTheArrayLimit) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pages.pdf"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    PdfDocument pdf(out, {}, QDateTime::currentDateTimeUtc());
    for (int page = 0; page < 8'200; ++page)
        pdf.addPage({});
    pdf.finish();
    out.close();
    EXPECT_EQ(toolField(pdfinfo({file}), QStringLiteral("Pages")), QStringLiteral("8200"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    static const QRegularExpression kids(QStringLiteral("/Kids \\[([^\\]]*)\\]"));
    int arrays = 0;
    for (const auto& match : kids.globalMatch(QString::fromLatin1(out.readAll()))) {
        EXPECT_LE(match.captured(1).count(QStringLiteral(" R")), 8'191);
        ++arrays;
    }
    EXPECT_GT(arrays, 1);
    EXPECT_TRUE(runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), file})
                    .contains(QStringLiteral("No syntax or stream encoding errors")));
}

// A print job's sheets are pages of the printer's paper, drawn from the corner
// of its printable area: letter landscape at 300 dpi, a quarter inch margin.
TEST(PdfExport, PrintJobSheetsArePagesOfThePrintersPaper) {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("job.pdf"));
    auto file = std::make_unique<QFile>(name);
    ASSERT_TRUE(file->open(QIODevice::WriteOnly));
    const PdfSheet sheet{QSize(300, 300), QSizeF(3300, 2550), QRectF(75, 75, 3150, 2400)};
    TPdfPrintFile job(std::move(file), {}, sheet);
    QPainter painter(job.device());
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(50);
    painter.setFont(font);
    painter.drawText(QPointF(0, 100), QStringLiteral("First"));
    ASSERT_TRUE(job.newSheet());
    painter.drawText(QPointF(300, 2400), QStringLiteral("Second"));
    painter.end();
    ASSERT_TRUE(job.finish());

    const QString info = pdfinfo({name});
    EXPECT_EQ(toolField(info, QStringLiteral("Pages")), QStringLiteral("2"));
    EXPECT_TRUE(toolField(info, QStringLiteral("Page size")).startsWith("792 x 612 pts"));
    // Points from the paper's top left: (75 + x) * 72 / 300 across, the
    // baseline at (75 + y) * 72 / 300 down.
    const QString words =
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), name, "-"});
    static const QRegularExpression word(
        QStringLiteral("xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"[0-9.]+\" "
                       "yMax=\"([0-9.]+)\">(First|Second)<"));
    QStringList found;
    for (const auto& match : word.globalMatch(words)) {
        const bool first = match.captured(3) == QStringLiteral("First");
        EXPECT_NEAR(match.captured(1).toDouble(), first ? 18 : 90, 1);
        EXPECT_NEAR(match.captured(2).toDouble(), first ? 42 : 594, 4);
        found << match.captured(3);
    }
    EXPECT_EQ(found, QStringList({"First", "Second"})) << words.toStdString();
}

} // namespace
} // namespace tavim::test
