// Printing to a PDF file, as the print dialog's "Print to File" asks: the
// report is generated again straight to the printer device, which writes the file.

#include "ReportFixture.h"

#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tavim;
using namespace tavim::test;

namespace {

int pdfPages(const QString& file) {
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {file});
    info.waitForFinished(10'000);
    for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n'))
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

TEST(PrintToFile, ThePrintRunWritesTheChosenPdfWithThePageRange) {
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "no printer installed (scripts/test sets up a queue)";
    ReportRun report(contracts(120, [](int) { return Amounts{10.0, 1.0, 0.0}; }));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("listing.pdf"));
    report.form.relatorio.ShowProgress = false;
    report.form.relatorio.PrinterSettings.OutputFileName = pdf;
    report.form.relatorio.PrinterSettings.FirstPage = 2;
    report.form.relatorio.PrinterSettings.LastPage = 3;
    report.form.relatorio.PrintToPrinter();
    EXPECT_EQ(pdfPages(pdf), 2);
    EXPECT_TRUE(report.form.relatorio.idle());
}

} // namespace
