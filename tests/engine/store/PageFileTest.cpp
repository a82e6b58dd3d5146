// The saved report file: its layout, loading it back, and refusing broken ones.
#include "tests/engine/EngineTestSupport.h"
#include "tests/engine/emf/RefusalLog.h"
#include "tests/engine/emf/Verdicts.h"

#include "engine/print/PrinterSettings.h"
#include "engine/store/BrPageList.h"
#include "error/Exception.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace tavim::test {
namespace {

class PageFileTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    QByteArray savedDocument(int pages) {
        auto store = storeOn(noPrinter());
        produce(*store, pages);
        store->save(path("doc.brp"));
        return readAll(path("doc.brp"));
    }

    QTemporaryDir m_dir;
};

double today() {
    return double(QDate(1899, 12, 30).daysTo(QDate::currentDate()));
}

class DocumentLayoutTest : public PageFileTest, public ::testing::WithParamInterface<int> {};

TEST_P(DocumentLayoutTest, HeaderAndLinksDescribeEveryPage) {
    const int pages = GetParam();
    const QByteArray file = savedDocument(pages);
    ASSERT_GT(file.size(), 128);
    EXPECT_EQ(qFromLittleEndian<quint16>(file.constData()), 3);
    EXPECT_EQ(qFromLittleEndian<quint16>(file.constData() + 2), 309);
    EXPECT_EQ(int32At(file, 8), pages);
    const double created = qFromLittleEndian<double>(file.constData() + 16);
    EXPECT_GE(created, today() - 1);
    EXPECT_LT(created, today() + 2);
    EXPECT_EQ(file[25], 0);

    qint64 at = 128;
    qint64 last = -1;
    for (int page = 1; page <= pages; ++page) {
        ASSERT_EQ(int32At(file, at), page);
        const qint64 next = int32At(file, at + 4);
        ASSERT_GT(next, at);
        ASSERT_LE(next, file.size());
        EXPECT_EQ(int32At(file, next - 4), at) << "page " << page;
        EXPECT_EQ(file.mid(at + 8 + 41, 3), "EMF");
        last = at;
        at = next;
    }
    EXPECT_EQ(at, file.size());
    EXPECT_EQ(int32At(file, file.size() - 4), last);
}

INSTANTIATE_TEST_SUITE_P(Pages, DocumentLayoutTest, ::testing::Values(1, 2, 7));

// Rewrites a saved file into the older form, whose header has 124 bytes.
QByteArray withOldHeader(const QByteArray& file) {
    QByteArray old = file.left(12) + file.mid(16, 8) + QByteArray(104, '\0');
    for (qint64 at = 128; at < file.size();) {
        const qint64 next = int32At(file, at + 4);
        QByteArray record = file.mid(at, next - at);
        qToLittleEndian(qint32(next - 4), record.data() + 4);
        qToLittleEndian(qint32(at - 4), record.data() + record.size() - 4);
        old += record;
        at = next;
    }
    return old;
}

TEST_F(PageFileTest, SavedAndOldFormFilesLoadTheSamePages) {
    auto original = storeOn(noPrinter());
    produce(*original, 4);
    original->save(path("new.brp"));
    writeAll(path("old.brp"), withOldHeader(readAll(path("new.brp"))));

    for (const char* name : {"new.brp", "old.brp"}) {
        SCOPED_TRACE(name);
        auto loaded = storeOn(noPrinter());
        loaded->load(path(name));
        EXPECT_EQ(loaded->status(), TBrStatus::Finished);
        EXPECT_EQ(loaded->pageCount(), 4);
        EXPECT_TRUE(loaded->reportLoaded());
        // Direct, forward, backward and repeated reads.
        for (const int page : {1, 4, 2, 3, 3, 2, 1, 3, 4}) {
            const std::optional<TMetafile> got = loaded->getPage(page);
            ASSERT_TRUE(got) << page;
            EXPECT_EQ(got->bytes(), original->getPage(page)->bytes()) << page;
        }
        EXPECT_FALSE(loaded->getPage(5));
        EXPECT_FALSE(loaded->getPage(0));
    }
}

TEST_F(PageFileTest, SavingOverTheOpenedFileKeepsItsPages) {
    const QByteArray file = savedDocument(3);
    auto loaded = storeOn(noPrinter());
    loaded->load(path("doc.brp"));
    loaded->save(path("doc.brp"));
    EXPECT_EQ(readAll(path("doc.brp")), file);
}

QString loadError(TBrPrinter& store, const QString& fileName) {
    try {
        store.load(fileName);
    } catch (const Exception& e) {
        return e.message();
    }
    return QStringLiteral("(loaded)");
}

void expectNoReadablePage(TBrPrinter& store) {
    EXPECT_EQ(store.status(), TBrStatus::Ready);
    EXPECT_EQ(store.pageCount(), 0);
    EXPECT_FALSE(store.getPage(1));
}

TEST_F(PageFileTest, ShortOrMissingFilesFail) {
    const QByteArray good = savedDocument(1);
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* error;
        QStringList checks; // logged under tavim.pagefile
    };
    const QStringList pastTheEnd{QStringLiteral("a read past the end of its range")};
    const Case cases[] = {
        {"100 bytes", good.left(100), "Stream read error", pastTheEnd},
        {"176 bytes", good.left(176), "Stream read error", pastTheEnd},
        // Not the older form at 173, so the test also reads 4 bytes at 177.
        {"180 bytes", good.left(180), "Stream read error", pastTheEnd},
        {"empty", QByteArray(), "Stream read error", pastTheEnd},
        {"no image signature",
         QByteArray(good).replace(128 + 8 + 41, 3, "XYZ"),
         "Metafile is not valid",
         {QStringLiteral("a page image without a valid EMF header")}},
        // What a conversion of it would make is a blank document.
        {"header says no pages",
         QByteArray(good).replace(8, 4, QByteArray(4, '\0')),
         "Report file has no pages",
         {}},
    };
    RefusalLog log("tavim.pagefile");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeAll(path("case.brp"), c.bytes);
        auto store = storeOn(noPrinter());
        EXPECT_EQ(loadError(*store, path("case.brp")), QString::fromLatin1(c.error));
        EXPECT_EQ(log.take(), c.checks);
        expectNoReadablePage(*store);
    }
    auto store = storeOn(noPrinter());
    const QString missing = path("missing.brp");
    EXPECT_TRUE(loadError(*store, missing)
                    .startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(missing)));
}

// Each file there breaks the format in another way; none may load, loop or
// replace the pages of the good file loaded first, and each is refused by the
// check its verdict names.
TEST_F(PageFileTest, HostileFilesFailCleanly) {
    const QDir dir(QStringLiteral(TAVIM_HOSTILE_BRP_DIR));
    const QStringList files = dir.entryList({QStringLiteral("*.brp")}, QDir::Files);
    // Per file: the message loading it gives and the check that refuses it.
    const QMap<QString, QStringList> verdicts =
        readVerdicts(dir.filePath(QStringLiteral("verdicts.tsv")));
    ASSERT_EQ(verdicts.size(), files.size()) << "a file without a verdict";
    const QByteArray good = savedDocument(2);
    RefusalLog log("tavim.pagefile");
    for (auto it = verdicts.cbegin(); it != verdicts.cend(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        const QString file = dir.filePath(it.key());
        ASSERT_TRUE(files.contains(it.key()));
        const QString message = it.value().value(0);
        const QStringList check{it.value().value(1)};
        auto fresh = storeOn(noPrinter());
        EXPECT_EQ(loadError(*fresh, file), message);
        EXPECT_EQ(log.take(), check);
        expectNoReadablePage(*fresh);

        auto store = storeOn(noPrinter());
        store->load(path("doc.brp"));
        log.take();
        EXPECT_EQ(loadError(*store, file), message);
        EXPECT_EQ(log.take(), check);
        EXPECT_EQ(store->status(), TBrStatus::Finished);
        EXPECT_EQ(store->pageCount(), 2);
        EXPECT_TRUE(store->getPage(2));
        store->save(path("again.brp"));
        EXPECT_EQ(readAll(path("again.brp")), good);
    }
}

// Where each record of a saved file starts, page 1 first.
std::vector<qint64> recordStarts(const QByteArray& file) {
    std::vector<qint64> starts;
    for (qint64 at = TBrPageList::kHeaderSize; at < file.size(); at = int32At(file, at + 4))
        starts.push_back(at);
    return starts;
}

// A loaded file is read in place, so it may change after its records were
// checked. A read then meets the checks of the walk to its page: it fails by
// the check that catches the change, and never walks in circles.
TEST_F(PageFileTest, ReadsOfAFileChangedAfterLoadingFailCleanly) {
    const QByteArray file = savedDocument(4);
    const std::vector<qint64> start = recordStarts(file);
    ASSERT_EQ(start.size(), 4u);
    const auto end = qint32(file.size());
    const auto p4 = qint32(start[3]);
    struct Change {
        qint64 at;
        qint32 value;
    };
    const struct {
        const char* name;
        QList<int> before; // pages read before the change
        std::vector<Change> changes;
        int page;
        const char* check;
    } cases[] = {
        {"last start offset into the header",
         {},
         {{end - 4, 0}},
         4,
         "a last start offset outside the file's records"},
        {"last start offset too near the end",
         {},
         {{end - 4, end - 8}},
         4,
         "a last start offset outside the file's records"},
        {"back link into the header",
         {3},
         {{p4 - 4, 4}},
         2,
         "a record outside the file's records or shorter than the smallest"},
        // Ahead first: without its check the walk fails here at once, but loops
        // on the record that links back to itself.
        {"back link ahead", {3}, {{p4 - 4, p4 + 4}}, 2, "a page walk that did not move on"},
        {"back link to its own record", {3}, {{p4 - 4, p4}}, 2, "a page walk that did not move on"},
        {"back link behind the page sought",
         {3},
         {{p4 - 4, qint32(start[0])}},
         2,
         "a page walk that turned back"},
        {"page 0", {}, {}, 0, "a page number the file does not have"},
        {"page 5 of 4", {}, {}, 5, "a page number the file does not have"},
    };
    RefusalLog log("tavim.pagefile");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto stream = std::make_unique<TBrStream>();
        TBrStream& bytes = *stream;
        bytes.write(file.constData(), file.size());
        TBrPageList pages(std::move(stream));
        pages.open();
        for (const int page : c.before)
            pages.read(page);
        for (const Change& change : c.changes) {
            char value[4];
            qToLittleEndian(change.value, value);
            bytes.seek(change.at);
            bytes.write(value, 4);
        }
        log.take();
        try {
            pages.read(c.page);
            ADD_FAILURE() << "read";
        } catch (const Exception& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Stream read error"));
        }
        EXPECT_EQ(log.take(), QStringList{QString::fromLatin1(c.check)});
    }
}

// A file that fails to load leaves a run going on untouched: it is not
// cancelled, and its pages, the one open included, go on into its stream.
TEST_F(PageFileTest, FailedLoadDuringARunLetsItFinish) {
    writeAll(path("short.brp"), savedDocument(1).left(100));
    auto reference = storeOn(noPrinter());
    produce(*reference, 3);
    auto store = storeOn(noPrinter());
    store->beginDoc();
    for (int page = 1; page <= 2; ++page) {
        store->newPage();
        drawPage(*store, page);
    }
    EXPECT_EQ(loadError(*store, path("short.brp")), QStringLiteral("Stream read error"));
    EXPECT_EQ(loadError(*store, path("missing.brp")).left(17), QStringLiteral("Cannot open file "));
    EXPECT_FALSE(store->cancelled());
    EXPECT_EQ(store->status(), TBrStatus::Busy);
    store->newPage();
    drawPage(*store, 3);
    store->endDoc();
    EXPECT_FALSE(store->reportLoaded());
    ASSERT_EQ(store->pageCount(), 3);
    for (int page = 1; page <= 3; ++page)
        EXPECT_EQ(store->getPage(page)->bytes(), reference->getPage(page)->bytes()) << page;
}

struct PaperCase {
    TBrPaperSize produced;
    TBrOrientation orientation;
    QList<int> supported;
    TBrPaperSize expected;
    TBrOrientation expectedOrientation;
};

class PaperMatchTest : public PageFileTest, public ::testing::WithParamInterface<PaperCase> {};

TEST_P(PaperMatchTest, LoadedPageRequestsTheLastMatchingPaper) {
    const PaperCase& c = GetParam();
    auto producer = storeOn(capablePrinter());
    producer->takePrinterSettings({}, c.produced, 0, 0, c.orientation, 1, TBrBin::Auto, 0, 0);
    produce(*producer, 1);
    producer->save(path("paper.brp"));

    auto printer = capablePrinter();
    printer->caps.paperCodes = c.supported;
    auto loaded = storeOn(printer);
    loaded->load(path("paper.brp"));
    EXPECT_EQ(loaded->settings().paperSize(), c.expected);
    EXPECT_EQ(loaded->settings().orientation(), c.expectedOrientation);
}

using P = TBrPaperSize;
constexpr auto kPortrait = TBrOrientation::Portrait;
constexpr auto kLandscape = TBrOrientation::Landscape;
INSTANTIATE_TEST_SUITE_P(
    Papers, PaperMatchTest,
    ::testing::Values(PaperCase{P::A4, kPortrait, {9, 10}, P::A4Small, kPortrait},
                      PaperCase{P::A4, kLandscape, {9, 10}, P::A4Small, kLandscape},
                      PaperCase{P::A4, kPortrait, {9}, P::A4, kPortrait},
                      PaperCase{P::Letter, kPortrait, {1, 2, 18}, P::Note, kPortrait},
                      PaperCase{P::Ledger, kPortrait, {3, 4, 17}, P::br11X17, kLandscape}));

} // namespace
} // namespace tavim::test
