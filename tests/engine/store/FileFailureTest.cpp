// Files and streams that cannot be written: every failure is reported, and
// nothing lands anywhere but in the place that was chosen.
#include "tests/engine/EngineTestSupport.h"

#include "engine/store/BrPageList.h"
#include "engine/store/BrStream.h"
#include "error/Exception.h"
#include "tests/data/ErrorText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tavim::test {
namespace {

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

class FileFailureTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    void makeFile(const QString& name) const { writeAll(path(name), "not a folder"); }

    QTemporaryDir m_dir;
};

// The pages of a finished document, taken back from a store.
std::vector<TMetafile> pagesOf(int count) {
    auto store = storeOn(noPrinter());
    produce(*store, count);
    std::vector<TMetafile> pages;
    for (int page = 1; page <= count; ++page)
        pages.push_back(*store->getPage(page));
    return pages;
}

struct TempFolderCase {
    const char* name;
    const char* folder;
    bool isFile;
};

// TMPDIR naming a folder that is missing or is a file: the spill fails with
// the folder's name, keeps what the stream holds, and writes nothing in "/".
TEST_F(FileFailureTest, SpillIntoAFailingTemporaryFolderIsRefused) {
    const TempFolderCase cases[] = {
        {"missing folder", "missing", false},
        {"a file, not a folder", "plain", true},
    };
    const QStringList rootBefore = entries(QStringLiteral("/"));
    for (const TempFolderCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.isFile)
            makeFile(QString::fromLatin1(c.folder));
        const QString folder = path(QString::fromLatin1(c.folder));
        qputenv("TMPDIR", folder.toLocal8Bit());
        TBrStream stream;
        const QByteArray first(TBrStream::kMemoryLimit, 'a');
        stream.write(first.constData(), first.size());
        const QString error = errorOf([&] { stream.write("b", 1); });
        qunsetenv("TMPDIR");
        EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot create file \"%1/BRP").arg(folder)))
            << error.toStdString();
        EXPECT_FALSE(stream.inFile());
        EXPECT_EQ(stream.size(), first.size());
        QByteArray back(first.size(), '\0');
        stream.seek(0);
        stream.read(back.data(), back.size());
        EXPECT_EQ(back, first);
    }
    EXPECT_EQ(entries(QStringLiteral("/")), rootBefore);
}

// A temporary folder on a full disk: the spill's write fails and says so, and
// the stream keeps what it held in memory.
TEST_F(FileFailureTest, SpillOntoAFullDiskIsReported) {
    TBrStream stream([] {
        auto full = std::make_unique<QFile>(QStringLiteral("/dev/full"));
        EXPECT_TRUE(full->open(QIODevice::ReadWrite));
        return full;
    });
    const QByteArray first(TBrStream::kMemoryLimit, 'a');
    stream.write(first.constData(), first.size());
    EXPECT_EQ(errorOf([&] { stream.write("b", 1); }),
              QStringLiteral("Cannot write \"/dev/full\": No space left on device"));
    EXPECT_FALSE(stream.inFile());
    QByteArray back(first.size(), '\0');
    stream.seek(0);
    stream.read(back.data(), back.size());
    EXPECT_EQ(back, first);
}

struct SaveCase {
    const char* name;
    QString target;
    QString error; // the start of the message
};

// A folder that cannot be created or written, and a device that refuses
// writes: each save reports it and leaves nothing behind.
TEST_F(FileFailureTest, FailingSavesAreReportedAndLeaveNothing) {
    auto store = storeOn(noPrinter());
    produce(*store, 3);
    makeFile(QStringLiteral("plain"));
    const SaveCase cases[] = {
        {"missing folder", path("missing/doc.brp"),
         QStringLiteral("Cannot create file \"%1\". ").arg(path("missing/doc.brp"))},
        {"a file, not a folder", path("plain/doc.brp"),
         QStringLiteral("Cannot create file \"%1\". ").arg(path("plain/doc.brp"))},
        {"device that refuses writes", QStringLiteral("/dev/full"),
         QStringLiteral("Cannot write \"/dev/full\": No space left on device")},
    };
    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString error = errorOf([&] { store->save(c.target); });
        EXPECT_TRUE(error.startsWith(c.error)) << error.toStdString();
        EXPECT_EQ(entries(m_dir.path()), QStringList{QStringLiteral("plain")});
    }
    EXPECT_TRUE(QFileInfo(QStringLiteral("/dev/full")).exists());
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/full")).isFile()) << "the device was replaced";
}

// Records link by 32-bit offsets: the page that would pass the limit is
// refused before a byte of it is written, and the pages before it stay whole.
TEST_F(FileFailureTest, PageListRefusesToPassItsOffsetLimit) {
    const std::vector<TMetafile> pages = pagesOf(3);
    const qint64 recordSize = 8 + pages[0].bytes().size() + 4;
    const qint64 limit = TBrPageList::kHeaderSize + 2 * recordSize + recordSize / 2;
    TBrPageList list(std::make_unique<TBrStream>(), limit);
    list.append(pages[0]);
    list.append(pages[1]);
    const QString error = errorOf([&] { list.append(pages[2]); });
    EXPECT_TRUE(error.startsWith(QStringLiteral("Report too large: page 3 ")))
        << error.toStdString();
    EXPECT_EQ(list.count(), 2);
    list.rewriteHeader();
    EXPECT_EQ(list.read(2).bytes(), pages[1].bytes());
    EXPECT_EQ(list.read(1).bytes(), pages[0].bytes());

    TBrPageList tiny(std::make_unique<TBrStream>(), TBrPageList::kHeaderSize);
    EXPECT_TRUE(errorOf([&] { tiny.append(pages[0]); }).startsWith("Report too large: page 1 "));
    EXPECT_EQ(tiny.count(), 0);
}

// Written straight to the chosen file: nothing is there until the commit,
// and then it is what a save of the same pages writes (but for the time).
TEST_F(FileFailureTest, PagesWrittenStraightToTheirFileMatchASave) {
    const QString direct = path(QStringLiteral("direct.brp"));
    auto reference = storeOn(noPrinter());
    produce(*reference, 3);
    reference->save(path(QStringLiteral("saved.brp")));

    auto store = storeOn(noPrinter());
    store->writePagesTo(direct);
    produce(*store, 3);
    EXPECT_FALSE(QFile::exists(direct));
    store->commitPages();
    QByteArray written = readAll(direct);
    QByteArray saved = readAll(path(QStringLiteral("saved.brp")));
    ASSERT_EQ(written.size(), saved.size());
    written.replace(16, 8, QByteArray(8, '\0'));
    saved.replace(16, 8, QByteArray(8, '\0'));
    EXPECT_EQ(written, saved);

    auto loaded = storeOn(noPrinter());
    loaded->load(direct);
    EXPECT_EQ(loaded->pageCount(), 3);
    EXPECT_EQ(entries(m_dir.path()), (QStringList{"direct.brp", "saved.brp"}));
}

TEST_F(FileFailureTest, AbortedOrFailedDirectWritesLeaveNoFile) {
    const QString target = path(QStringLiteral("aborted.brp"));
    {
        auto store = storeOn(noPrinter());
        store->writePagesTo(target);
        store->beginDoc();
        store->newPage();
        drawPage(*store, 1);
        store->abortDoc();
        store->commitPages();
    }
    EXPECT_TRUE(entries(m_dir.path()).isEmpty());

    auto store = storeOn(noPrinter());
    const QString missing = path(QStringLiteral("missing/doc.brp"));
    EXPECT_TRUE(errorOf([&] {
                    store->writePagesTo(missing);
                }).startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(missing)));
    store->writePagesTo(QStringLiteral("/dev/full"));
    store->beginDoc();
    store->newPage();
    drawPage(*store, 1);
    EXPECT_EQ(errorOf([&] { store->endDoc(); }),
              QStringLiteral("Cannot write \"/dev/full\": No space left on device"));
    EXPECT_TRUE(entries(m_dir.path()).isEmpty());
}

} // namespace
} // namespace tavim::test
