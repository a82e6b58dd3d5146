#include "engine/preview/BrPrintDialog.h"

#include <QPrinter>
#include <gtest/gtest.h>

namespace tavim::test {
namespace {

TEST(PrintDialogTest, ChoiceKeepsRangeAndPdfFile) {
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName("/tmp/report.pdf");
    printer.setFromTo(2, 3);
    printer.setPrintRange(QPrinter::PageRange);
    TBrPrintSetup setup = TBrPrintDialog::choice(printer);
    EXPECT_EQ(setup.firstPage, 2);
    EXPECT_EQ(setup.lastPage, 3);
    EXPECT_EQ(setup.outputFileName, "/tmp/report.pdf");

    printer.setPrintRange(QPrinter::AllPages);
    setup = TBrPrintDialog::choice(printer);
    EXPECT_EQ(setup.firstPage, 0);
    EXPECT_EQ(setup.lastPage, 0);
}

} // namespace
} // namespace tavim::test
