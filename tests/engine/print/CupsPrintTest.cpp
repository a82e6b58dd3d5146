// Prints pages 2 to 3 of a stored three-page document on the default printer,
// a cups-pdf queue (scripts/cups), and waits for the PDF, or prints them to a
// file. Runs only with TAVIM_TEST_CUPS=1.
#include "tests/ToolOutput.h"
#include "tests/engine/EngineTestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace tavim::test {
namespace {

QFileInfoList pdfsSince(const QDir& dir, const QDateTime& since) {
    QFileInfoList found;
    for (const QFileInfo& info : dir.entryInfoList({QStringLiteral("*.pdf")}, QDir::Files)) {
        if (info.lastModified() >= since)
            found << info;
    }
    return found;
}

// The page count pdfinfo reports, or -1 while the file is not a complete PDF.
int pdfPages(const QString& fileName) {
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {fileName});
    pdfinfo.waitForFinished(10'000);
    const QString out = QString::fromUtf8(pdfinfo.readAllStandardOutput());
    const qsizetype at = out.indexOf(QStringLiteral("Pages:"));
    return at < 0 ? -1 : out.mid(at + 6, out.indexOf(u'\n', at) - at - 6).trimmed().toInt();
}

// The job is named after the document's title, or "Tavim" without one; cups-pdf
// names its file after the job. Print to file writes our archived PDF.
void printRange(const QString& title, const QString& toFile, const QString& named) {
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("three.brp"));
    {
        auto source = storeOn(noPrinter());
        produce(*source, 3);
        source->save(saved);
    }
    const QDir out(QDir::homePath() + QStringLiteral("/PDF"));
    const QDateTime start = QDateTime::currentDateTime().addSecs(-1);

    TBrPrinter store;
    ASSERT_TRUE(store.printerAvailable());
    store.load(saved);
    store.setTitle(title);
    store.setOutputFileName(toFile);
    store.setDocumentInfo({toFile.isEmpty() ? QString() : named, QStringLiteral("Firma & Cia")});
    store.takePrinterSettings({}, TBrPaperSize::A4, 0, 0, TBrOrientation::Portrait, 1, TBrBin::Auto,
                              2, 3);
    store.print();
    if (!toFile.isEmpty()) {
        const QString info = runTool(QStringLiteral("pdfinfo"), {toFile});
        EXPECT_EQ(toolField(info, QStringLiteral("Pages")), QStringLiteral("2"));
        EXPECT_EQ(toolField(info, QStringLiteral("Title")), named);
        EXPECT_EQ(toolField(info, QStringLiteral("Author")), QStringLiteral("Firma & Cia"));
        EXPECT_EQ(toolField(info, QStringLiteral("Producer")), QStringLiteral("Tavim"));
        EXPECT_TRUE(runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-meta"), toFile})
                        .contains(QStringLiteral("pdfaid:conformance=\"B\"")));
        return;
    }

    QFileInfoList pdfs;
    for (int waited = 0; waited < 600 && pdfs.isEmpty(); ++waited) {
        QThread::msleep(100);
        pdfs = pdfsSince(out, start);
    }
    ASSERT_EQ(pdfs.size(), 1) << "no PDF in " << out.path().toStdString();
    EXPECT_TRUE(pdfs.first().fileName().startsWith(named)) << pdfs.first().fileName().toStdString();
    // cups-pdf writes the file before it is complete; wait for a readable one.
    int pages = -1;
    for (int tries = 0; tries < 50 && pages < 0; ++tries) {
        pages = pdfPages(pdfs.first().filePath());
        if (pages < 0)
            QThread::msleep(200);
    }
    EXPECT_EQ(pages, 2);
    QFile::remove(pdfs.first().filePath());
}

TEST(CupsPrintTest, RangeOfStoredPagesArrivesAsPdf) {
    if (qgetenv("TAVIM_TEST_CUPS") != "1")
        GTEST_SKIP() << "set TAVIM_TEST_CUPS=1 with the queue of scripts/cups";
    printRange(QStringLiteral("tavim-cups-test"), {}, QStringLiteral("tavim-cups-test"));
    printRange({}, {}, QStringLiteral("Tavim"));
    const QTemporaryDir dir;
    printRange(QStringLiteral("report"), dir.filePath(QStringLiteral("listing.pdf")),
               QStringLiteral("Referênte ao mês"));
}

} // namespace
} // namespace tavim::test
