// Printing to a PDF file, as the print dialog's "Print to File" asks: the
// report is generated again straight to the printer device, which writes the file.

#include "ReportFixture.h"
#include "tests/ToolOutput.h"

#include <QDir>
#include <QFile>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tavim;
using namespace tavim::test;

namespace {

QString pdfField(const QString& file, const QString& name) {
    return toolField(runTool(QStringLiteral("pdfinfo"), {file}), name);
}

int pdfPages(const QString& file) {
    const QString pages = pdfField(file, QStringLiteral("Pages"));
    return pages.isEmpty() ? -1 : pages.toInt();
}

TEST(PrintToFile, ThePrintRunWritesTheChosenPdfWithThePageRange) {
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "no printer installed (scripts/test sets up a queue)";
    ReportRun report(contracts(120, [](int) { return Amounts{10.0, 1.0, 0.0}; }));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("listing.pdf"));
    QFile earlier(pdf);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("old") == 3 && earlier.flush());
    report.form.relatorio.ShowProgress = false;
    report.form.relatorio.PrinterSettings.OutputFileName = pdf;
    report.form.relatorio.PrinterSettings.FirstPage = 2;
    report.form.relatorio.PrinterSettings.LastPage = 3;
    report.form.setPeriod(QStringLiteral("FEVEREIRO"), QStringLiteral("2024"));
    report.form.relatorio.PrintToPrinter();
    EXPECT_EQ(pdfPages(pdf), 2);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"listing.pdf"});
    EXPECT_TRUE(report.form.relatorio.idle());
    // Filed as PDF/A under the period and the firm of the page header.
    EXPECT_EQ(pdfField(pdf, QStringLiteral("Title")),
              QStringLiteral("Referênte ao mês de FEVEREIRO de 2024"));
    EXPECT_EQ(pdfField(pdf, QStringLiteral("Author")), QStringLiteral("TAMBRI IMOVEIS LTDA"));
    EXPECT_EQ(pdfField(pdf, QStringLiteral("Creator")), QStringLiteral("Tavim"));
    EXPECT_EQ(pdfField(pdf, QStringLiteral("Producer")), QStringLiteral("Tavim"));
    EXPECT_TRUE(runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-meta"), pdf})
                    .contains(QStringLiteral("pdfaid:part=\"1\"")));
}

} // namespace
