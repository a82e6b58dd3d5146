// Every step of a print job that the printer can refuse, in both ways of
// printing: a run drawn straight onto the printer and stored pages.
#include "tests/engine/EngineTestSupport.h"

#include "error/Exception.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <utility>

namespace tavim::test {
namespace {

struct Fault {
    const char* name;
    std::function<void(FakePrinter&)> inject;
    QString text;
};

const Fault kFaults[] = {
    {"BeginRefused", [](FakePrinter& p) { p.refuseBegin = true; },
     QStringLiteral("Printer \"Fake\" could not start the print job")},
    {"SheetRefused", [](FakePrinter& p) { p.refuseSheet = true; },
     QStringLiteral("Printer \"Fake\" could not start a new sheet")},
    {"EndRefused", [](FakePrinter& p) { p.refuseEnd = true; },
     QStringLiteral("Printer \"Fake\" could not finish the print job")},
    {"SubmitRefused", [](FakePrinter& p) { p.refuseSubmit = true; },
     QStringLiteral("Printer \"Fake\" did not accept the print job: queue full")},
    {"ErrorState", [](FakePrinter& p) { p.errorState = true; },
     QStringLiteral("Printer \"Fake\" is in an error state")},
};

// A three-page run to the printer, ended or, on failure, aborted as a
// generation run does it.
void printRun(TBrPrinter& store) {
    store.setDestination(TBrDestination::Printer);
    try {
        produce(store, 3);
    } catch (...) {
        store.abortDoc();
        throw;
    }
}

void printStored(TBrPrinter& store, const QString& saved) {
    store.load(saved);
    EXPECT_TRUE(store.print());
}

// An earlier PDF (or a planted link to another file) at the job's chosen path.
struct EarlierPdf {
    explicit EarlierPdf(bool link) {
        writeAll(other, "other");
        link ? void(QFile::link(other, pdf)) : writeAll(pdf, "old");
    }
    void expect(bool link, const QByteArray& content) const {
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name),
                  QStringList({"listing.pdf", "other.pdf"}));
        EXPECT_EQ(QFileInfo(pdf).isSymLink(), link);
        EXPECT_EQ(readAll(pdf), content);
        EXPECT_EQ(readAll(other), "other");
    }
    QTemporaryDir dir;
    QString pdf = dir.filePath(QStringLiteral("listing.pdf"));
    QString other = dir.filePath(QStringLiteral("other.pdf"));
};

QString failureOf(const std::function<void()>& print) {
    try {
        print();
    } catch (const Exception& e) {
        return e.message();
    }
    return QStringLiteral("no error");
}

class PrintJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto source = storeOn(noPrinter());
        produce(*source, 3);
        source->save(m_saved);
    }

    QTemporaryDir m_dir;
    const QString m_saved = m_dir.filePath(QStringLiteral("three.brp"));
};

TEST_F(PrintJobTest, EveryRefusedStepFailsAndNothingIsDelivered) {
    for (const Fault& fault : kFaults) {
        SCOPED_TRACE(fault.name);
        for (const bool stored : {false, true}) {
            SCOPED_TRACE(stored ? "stored pages" : "print run");
            const EarlierPdf earlier(stored); // a link for stored pages, a file for the run
            auto printer = capablePrinter();
            fault.inject(*printer);
            auto store = storeOn(printer);
            store->setOutputFileName(earlier.pdf);
            const QString error =
                failureOf([&] { stored ? printStored(*store, m_saved) : printRun(*store); });
            EXPECT_EQ(error, fault.text);
            EXPECT_EQ(printer->delivered, 0);
            EXPECT_EQ(store->status(), TBrStatus::Finished);
            earlier.expect(stored, stored ? "other" : "old");
        }
    }
}

TEST_F(PrintJobTest, AJobWithoutFaultsIsDeliveredOnce) {
    for (const bool stored : {false, true}) {
        SCOPED_TRACE(stored ? "stored pages" : "print run");
        auto printer = capablePrinter();
        auto store = storeOn(printer);
        EXPECT_EQ(failureOf([&] { stored ? printStored(*store, m_saved) : printRun(*store); }),
                  "no error");
        EXPECT_EQ(printer->delivered, 1);
        EXPECT_EQ(printer->newSheets, 2);
        EXPECT_EQ(printer->aborts, 0);

        const EarlierPdf earlier(stored); // a link for stored pages, a file for the run
        store = storeOn(printer);
        store->setOutputFileName(earlier.pdf);
        stored ? printStored(*store, m_saved) : printRun(*store);
        earlier.expect(false, "printed");
    }
}

TEST_F(PrintJobTest, CancelledOrAbortedJobsAreAbandoned) {
    auto printer = capablePrinter();
    auto store = storeOn(printer);
    store->setDestination(TBrDestination::Printer);
    store->beginDoc();
    store->newPage();
    drawPage(*store, 1);
    store->abortDoc();
    EXPECT_EQ(printer->aborts, 1);

    store = storeOn(printer);
    store->load(m_saved);
    store->cancel();
    EXPECT_FALSE(store->print());
    EXPECT_EQ(printer->aborts, 2);
    EXPECT_EQ(printer->submits, 0);
}

// What the user does in the preview while its stored pages print.
struct Interruption {
    const char* name;
    std::function<void(TBrPrinter&)> act;
    bool delivered;
};

TEST_F(PrintJobTest, PrintPressedAgainIsRefusedAndClosingAbandons) {
    const Interruption cases[] = {
        {"PrintPressedAgain", [](TBrPrinter& store) { EXPECT_FALSE(store.print()); }, true},
        {"WindowClosed", [](TBrPrinter& store) { store.setShowingPreview(false); }, false},
    };
    for (const Interruption& interruption : cases) {
        SCOPED_TRACE(interruption.name);
        auto printer = capablePrinter();
        auto store = storeOn(printer);
        store->load(m_saved);
        store->setShowingPreview(true);
        bool done = false;
        printer->onSheet = [&] {
            if (!std::exchange(done, true))
                interruption.act(*store);
        };
        EXPECT_EQ(store->print(), interruption.delivered);
        EXPECT_EQ(printer->jobs, 1);
        EXPECT_EQ(printer->delivered, interruption.delivered ? 1 : 0);
        EXPECT_EQ(printer->aborts, interruption.delivered ? 0 : 1);
    }
}

TEST_F(PrintJobTest, WithoutAnyPrinterNothingHappens) {
    auto printer = noPrinter();
    auto store = storeOn(printer);
    store->load(m_saved);
    EXPECT_FALSE(store->print());
    EXPECT_EQ(printer->jobs, 0);
}

} // namespace
} // namespace tavim::test
