// The page store while documents are produced: the stream, threads, notices
// and printing through a fake printer.
#include "tests/engine/EngineTestSupport.h"

#include "engine/print/PrinterSettings.h"
#include "engine/store/BrNotices.h"
#include "engine/store/BrStream.h"
#include "error/BrError.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace tavim::test {
namespace {

// Points QDir::tempPath() at a private folder for the test's lifetime.
class PrivateTempDir {
public:
    PrivateTempDir() { qputenv("TMPDIR", m_dir.path().toLocal8Bit()); }
    ~PrivateTempDir() { qunsetenv("TMPDIR"); }
    QStringList spilled() const {
        return QDir(m_dir.path()).entryList({QStringLiteral("BRP*")}, QDir::Files);
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

TEST(StreamTest, SpillsOnceIntoATemporaryFileThatGoesWithIt) {
    PrivateTempDir temp;
    QByteArray expected;
    {
        TBrStream stream;
        for (int i = 0; expected.size() <= TBrStream::kMemoryLimit + 5000; ++i) {
            const QByteArray chunk(997, char('a' + i % 26));
            stream.write(chunk.constData(), chunk.size());
            expected += chunk;
            EXPECT_EQ(stream.inFile(), expected.size() > TBrStream::kMemoryLimit);
        }
        EXPECT_EQ(temp.spilled().size(), 1);
        EXPECT_TRUE(stream.fileName().startsWith(temp.path() + QStringLiteral("/BRP")));
        stream.seek(10);
        stream.write("XY", 2);
        expected.replace(10, 2, "XY");
        QByteArray back(expected.size(), '\0');
        stream.seek(0);
        stream.read(back.data(), back.size());
        EXPECT_EQ(back, expected);
        EXPECT_THROW(stream.read(back.data(), 1), Exception);
    }
    EXPECT_TRUE(temp.spilled().isEmpty());
}

class NoticeCounter : public QObject {
public:
    bool event(QEvent* e) override {
        if (const auto* page = notice<TBrPageAvailableEvent>(e))
            pages << page->pages();
        else if (const auto* progress = notice<TBrProgressEvent>(e))
            percents << progress->percent();
        else
            return QObject::event(e);
        return true;
    }
    QList<int> pages;
    QList<int> percents;
};

TEST(StoreTest, NoticesArePostedNotSent) {
    NoticeCounter client;
    auto store = storeOn(noPrinter());
    store->setClient(&client);
    EXPECT_THROW(store->newPage(), EBrError);
    store->beginDoc();
    EXPECT_THROW(store->beginDoc(), EBrError);
    store->newPage();
    store->newPage();
    store->progress(50);
    EXPECT_TRUE(client.pages.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(client.pages, QList<int>{1});
    EXPECT_EQ(client.percents, QList<int>{50});
    EXPECT_FALSE(store->getPage(2)) << "the open page is not readable";
    store->endDoc();
    QCoreApplication::processEvents();
    EXPECT_EQ(client.pages, (QList<int>{1, 2}));
    EXPECT_EQ(store->availablePages(), 2);
}

// A receiver destroyed without letting the store go, with a notice still on
// its way, gets nothing more; under AddressSanitizer nothing touches its memory.
TEST(StoreTest, NoticesToADestroyedReceiverAreDropped) {
    auto store = storeOn(noPrinter());
    auto receiver = std::make_unique<NoticeCounter>();
    store->setClient(receiver.get());
    store->beginDoc();
    store->newPage();
    store->newPage();
    receiver.reset();
    store->progress(50);
    store->endDoc();
    QCoreApplication::processEvents();

    NoticeCounter next;
    store->setClient(&next);
    store->progress(70);
    QCoreApplication::processEvents();
    EXPECT_EQ(next.percents, QList<int>{70});
}

TEST(StoreTest, ReceiversComeAndGoWhileAWorkerPosts) {
    auto store = storeOn(noPrinter());
    store->beginDoc();
    std::atomic<bool> stop = false;
    std::thread worker([&] {
        while (!stop)
            store->progress(1);
    });
    for (int i = 0; i < 300; ++i) {
        auto receiver = std::make_unique<NoticeCounter>();
        store->setClient(receiver.get());
        QCoreApplication::processEvents();
    }
    stop = true;
    worker.join();
    QCoreApplication::processEvents();
    store->abortDoc();
}

// The printer set-up, or a loaded file, may change the store's paper while a
// run goes on: the run's pages keep the paper it was handed, the preview sees
// the new one.
TEST(StoreTest, ARunKeepsThePaperItWasHanded) {
    constexpr int kPages = 12;
    auto store = storeOn(capablePrinter());
    store->takePrinterSettings({}, TBrPaperSize::A4, 0, 0, TBrOrientation::Portrait, 1,
                               TBrBin::Auto, 0, 0);
    store->beginDoc();
    store->settings().setPaperSize(TBrPaperSize::Legal);
    store->settings().setOrientation(TBrOrientation::Landscape);
    std::thread worker([&] {
        for (int page = 1; page <= kPages; ++page) {
            store->newPage();
            drawPage(*store, page);
        }
        store->endDoc();
    });
    worker.join();
    for (int page = 1; page <= kPages; ++page)
        EXPECT_EQ(store->getPage(page)->size(), QSize(794, 1123)) << page;
    EXPECT_GT(store->pageSetup().paperWidth, store->pageSetup().paperLength);
}

TEST(StoreTest, PagesAreReadWhileAnotherThreadAppends) {
    constexpr int kPages = 40;
    auto store = storeOn(noPrinter());
    auto reference = storeOn(noPrinter());
    produce(*reference, kPages);
    store->beginDoc();
    std::thread worker([&] {
        for (int page = 1; page <= kPages; ++page) {
            store->newPage();
            drawPage(*store, page);
        }
        store->endDoc();
    });
    int reads = 0;
    while (store->status() != TBrStatus::Finished || reads < kPages) {
        const int available = store->availablePages();
        if (available < 1)
            continue;
        for (const int page : {1, available, (available + 1) / 2}) {
            const std::optional<TMetafile> got = store->getPage(page);
            EXPECT_TRUE(got) << page << " of " << available;
            if (got) {
                EXPECT_EQ(got->bytes(), reference->getPage(page)->bytes());
            }
            ++reads;
        }
    }
    worker.join();
    EXPECT_EQ(store->pageCount(), kPages);
}

TEST(StoreTest, LoadingDuringARunDetachesTheRun) {
    PrivateTempDir temp;
    const QString saved = temp.path() + QStringLiteral("/saved.brp");
    {
        auto source = storeOn(noPrinter());
        produce(*source, 2);
        source->save(saved);
    }
    auto store = storeOn(noPrinter());
    store->beginDoc();
    std::atomic<int> produced = 0;
    std::atomic<bool> loaded = false;
    std::atomic<bool> failed = false;
    std::thread worker([&] {
        try {
            for (int page = 1; page <= 30 || !loaded; ++page) {
                store->newPage();
                drawPage(*store, page);
                ++produced;
            }
            store->endDoc();
        } catch (...) {
            failed = true;
        }
    });
    // Loads once the run's stream has moved to its temporary file.
    while (temp.spilled().isEmpty())
        std::this_thread::yield();
    store->load(saved);
    EXPECT_TRUE(store->cancelled());
    EXPECT_TRUE(temp.spilled().isEmpty()) << "the run's stream went with the load";
    loaded = true;
    worker.join();
    EXPECT_FALSE(failed);
    EXPECT_EQ(store->status(), TBrStatus::Finished);
    EXPECT_EQ(store->pageCount(), 2);
    EXPECT_TRUE(store->getPage(2));
    EXPECT_FALSE(store->getPage(3));
}

TEST(PrintTest, RangeOfARunPrintsOnlyItsSheets) {
    struct Case {
        int first;
        int last;
        int sheets;
    };
    for (const Case c : {Case{2, 3, 2}, Case{0, 0, 4}, Case{4, 0, 1}, Case{5, 0, 0}}) {
        SCOPED_TRACE(c.first * 10 + c.last);
        auto printer = capablePrinter();
        auto store = storeOn(printer);
        store->takePrinterSettings({}, TBrPaperSize::A4, 0, 0, TBrOrientation::Portrait, 1,
                                   TBrBin::Auto, c.first, c.last);
        store->setDestination(TBrDestination::Printer);
        store->setTitle(QStringLiteral("Relatório"));
        produce(*store, 4);
        EXPECT_EQ(printer->jobs + printer->newSheets, c.sheets);
        EXPECT_EQ(store->pageCount(), 4);
        if (c.sheets > 0) {
            EXPECT_EQ(printer->jobName, QStringLiteral("Relatório"));
        }
    }
}

TEST(PrintTest, StoredPagesPrintWithinTheRangeAndStopOnCancel) {
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("four.brp"));
    auto source = storeOn(noPrinter());
    produce(*source, 4);
    source->save(saved);

    auto printer = capablePrinter();
    auto store = storeOn(printer);
    store->load(saved);
    store->takePrinterSettings({}, TBrPaperSize::A4, 0, 0, TBrOrientation::Portrait, 1,
                               TBrBin::Auto, 2, 3);
    store->print();
    EXPECT_EQ(printer->jobs, 1);
    EXPECT_EQ(printer->newSheets, 1);
    EXPECT_EQ(printer->aborts, 0);

    store->cancel();
    store->takePrinterSettings({}, TBrPaperSize::A4, 0, 0, TBrOrientation::Portrait, 1,
                               TBrBin::Auto, 0, 0);
    store->print();
    EXPECT_EQ(printer->jobs, 2);
    EXPECT_EQ(printer->aborts, 1);

    // Without a printer nothing prints, and pages still have A4 metrics.
    auto none = storeOn(noPrinter());
    none->load(saved);
    none->print();
    EXPECT_EQ(none->getPage(1)->size(), QSize(794, 1123));
}

} // namespace
} // namespace tavim::test
