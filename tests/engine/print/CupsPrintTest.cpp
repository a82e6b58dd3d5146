// Prints pages 2 to 3 of a stored three-page document on the default printer,
// a cups-pdf queue (scripts/cups), and waits for the PDF; prints them to a
// file through the same printer. Runs only with TAVIM_TEST_CUPS=1.
#include "tests/ToolOutput.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/engine/print/CupsQueue.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tavim::test {
namespace {

class CupsPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!cupsQueueEnabled())
            GTEST_SKIP() << "set TAVIM_TEST_CUPS=1 with the queue of scripts/cups";
        auto source = storeOn(noPrinter());
        produce(*source, 3);
        source->save(m_saved);
    }

    // Pages 2 to 3 of the saved document on the default printer.
    void printRange(TBrPrinter& store, const QString& title) {
        ASSERT_TRUE(store.printerAvailable());
        store.load(m_saved);
        store.setTitle(title);
        store.takePrinterSettings({}, TBrPaperSize::A4, 0, 0, TBrOrientation::Portrait, 1,
                                  TBrBin::Auto, 2, 3);
        store.print();
    }

    QTemporaryDir m_dir;
    const QString m_saved = m_dir.filePath(QStringLiteral("three.brp"));
};

// The queue gets the job under the document's title, or "Tavim" without one;
// cups-pdf names its file after it.
TEST_F(CupsPrintTest, RangeOfStoredPagesArrivesAsPdfNamedAfterTheTitle) {
    const QString title = QStringLiteral("tavim-cups-%1").arg(QCoreApplication::applicationPid());
    for (const auto& [given, named] :
         {std::pair{title, title}, std::pair{QString(), QStringLiteral("Tavim")}}) {
        SCOPED_TRACE(named.toStdString());
        const CupsOutput queue;
        TBrPrinter store;
        printRange(store, given);
        const QStringList pdfs = queue.waitFor(1);
        ASSERT_EQ(pdfs.size(), 1);
        EXPECT_TRUE(QFileInfo(pdfs.first()).fileName().startsWith(named))
            << pdfs.first().toStdString();
        EXPECT_EQ(pdfPages(pdfs.first()), 2);
        EXPECT_TRUE(pdfInfo(pdfs.first()).contains(QStringLiteral("(A4)")));
        QFile::remove(pdfs.first());
    }
}

// Print to file: our archived PDF, put in place whole.
TEST_F(CupsPrintTest, PrintToFileIsAnArchivedPdfWithTheDocumentsInformation) {
    for (const ArchivedPdfCase& c : archivedPdfCases()) {
        SCOPED_TRACE(c.info.title.toStdString());
        const QString file = m_dir.filePath(QStringLiteral("listing.pdf"));
        TBrPrinter store;
        store.setOutputFileName(file);
        store.setDocumentInfo(c.info);
        printRange(store, QStringLiteral("report"));

        const QString info = pdfInfo(file);
        EXPECT_EQ(toolField(info, QStringLiteral("Pages")), QStringLiteral("2"));
        EXPECT_EQ(toolField(info, QStringLiteral("Title")), c.info.title);
        EXPECT_EQ(toolField(info, QStringLiteral("Author")), c.info.author);
        EXPECT_EQ(toolField(info, QStringLiteral("Producer")), QStringLiteral("Tavim"));
        const QString meta = runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-meta"), file});
        EXPECT_TRUE(meta.contains(QStringLiteral("pdfaid:part=\"1\""))) << meta.toStdString();
        EXPECT_TRUE(meta.contains(QStringLiteral("pdfaid:conformance=\"B\"")));
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2)
            << "nothing left beside the file";
    }
}

} // namespace
} // namespace tavim::test
