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

QString pdfinfo(const QStringList& args) {
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), args);
    info.waitForFinished(10'000);
    return QString::fromUtf8(info.readAllStandardOutput());
}

QString pdfField(const QString& file, const QString& name) {
    for (const QString& line : pdfinfo({file}).split('\n'))
        if (line.startsWith(name + QLatin1Char(':')))
            return line.mid(name.size() + 1).trimmed();
    return {};
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
    report.form.relatorio.ShowProgress = false;
    report.form.relatorio.PrinterSettings.OutputFileName = pdf;
    report.form.relatorio.PrinterSettings.FirstPage = 2;
    report.form.relatorio.PrinterSettings.LastPage = 3;
    report.form.rpPeriodo->setCaption(QStringLiteral("Referênte ao mês de FEVEREIRO de 2024"));
    report.form.relatorio.PrintToPrinter();
    EXPECT_EQ(pdfPages(pdf), 2);
    EXPECT_TRUE(report.form.relatorio.idle());
    // Filed as PDF/A under the period and the firm of the page header.
    EXPECT_EQ(pdfField(pdf, QStringLiteral("Title")),
              QStringLiteral("Referênte ao mês de FEVEREIRO de 2024"));
    EXPECT_EQ(pdfField(pdf, QStringLiteral("Author")), QStringLiteral("TAMBRI IMOVEIS LTDA"));
    EXPECT_EQ(pdfField(pdf, QStringLiteral("Creator")), QStringLiteral("Tavim"));
    EXPECT_TRUE(
        pdfinfo({QStringLiteral("-meta"), pdf}).contains(QStringLiteral("pdfaid:part=\"1\"")));
}

} // namespace
