// Damaged page images are refused or replayed without harm, each as its
// verdict says: refused by the header check it names (with "Metafile is not
// valid" for the user), or played, the record checks that ended the replay
// early or skipped a record named too (all logged under tavim.metafile), and
// the check that refuses it as a loaded page, exactly where a replay ends early.

#include "EmfBytes.h"
#include "RefusalLog.h"
#include "TestPage.h"
#include "Verdicts.h"

#include "engine/emf/EmfTexts.h"
#include "error/Exception.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <gtest/gtest.h>

namespace tavim::test {
namespace {

TEST(HostileMetafile, RefusedOrPlayedAsTheirVerdictsSay) {
    const QDir dir(QStringLiteral(TAVIM_HOSTILE_EMF_DIR));
    const QStringList files = dir.entryList({QStringLiteral("*.emf")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty()) << TAVIM_HOSTILE_EMF_DIR;
    // Per file: "refused" or "played", and the checks logged.
    const QMap<QString, QStringList> expected =
        readVerdicts(dir.filePath(QStringLiteral("verdicts.tsv")));
    ASSERT_EQ(expected.keys().join(' ').toStdString(), files.join(' ').toStdString())
        << "each file has one verdict";
    RefusalLog log("tavim.metafile");
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QString outcome = QStringLiteral("played");
        QString checks;
        QString loading = QStringLiteral("-");
        try {
            const TMetafile page = TMetafile::fromBytes(file.readAll());
            QImage image = blankPage(200, 280);
            QPainter painter(&image);
            page.play(painter, QRectF(0, 0, 200, 280));
            checks = distinctChecks(log.takeAll());
            const bool whole = page.reachesEndRecord();
            loading = distinctChecks(log.takeAll());
            EXPECT_EQ(whole, loading == QStringLiteral("-"));
            // Search reads the same records; its boxes stay within what the player draws.
            for (const EmfText& text : ReadEmfTexts(page)) {
                const QRect box = text.outline(0, text.text.size());
                EXPECT_LE(std::max({std::abs(box.left()), std::abs(box.right()),
                                    std::abs(box.top()), std::abs(box.bottom())}),
                          1 << 22);
            }
        } catch (const Exception& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Metafile is not valid"));
            outcome = QStringLiteral("refused");
            checks = distinctChecks(log.takeAll());
        }
        EXPECT_EQ(outcome.toStdString(), expected.value(name).value(0).toStdString());
        EXPECT_EQ(checks.toStdString(), expected.value(name).value(1).toStdString());
        EXPECT_EQ(loading.toStdString(), expected.value(name).value(2).toStdString());
    }
}

// Each record the player reads, with its fields (all zero) and four bytes
// short of them: loading refuses exactly the page whose replay ends early.
TEST(HostileMetafile, ARecordShortOfItsFieldsIsRefusedOnLoading) {
    const std::pair<quint32, int> records[] = {
        {emf::EMR_SETBKMODE, 4},
        {emf::EMR_SETTEXTALIGN, 4},
        {emf::EMR_SETTEXTCOLOR, 4},
        {emf::EMR_SETBKCOLOR, 4},
        {emf::EMR_SETPOLYFILLMODE, 4},
        {emf::EMR_SETMAPMODE, 4},
        {emf::EMR_RESTOREDC, 4},
        {emf::EMR_SELECTOBJECT, 4},
        {emf::EMR_DELETEOBJECT, 4},
        {emf::EMR_SETWINDOWEXTEX, 8},
        {emf::EMR_SETWINDOWORGEX, 8},
        {emf::EMR_SETVIEWPORTEXTEX, 8},
        {emf::EMR_SETVIEWPORTORGEX, 8},
        {emf::EMR_MOVETOEX, 8},
        {emf::EMR_LINETO, 8},
        {emf::EMR_RECTANGLE, 16},
        {emf::EMR_CREATEBRUSHINDIRECT, 16},
        {emf::EMR_CREATEPEN, 20},
        {emf::EMR_SETWORLDTRANSFORM, 24},
        {emf::EMR_MODIFYWORLDTRANSFORM, 28},
        {emf::EMR_POLYGON, 20},
        {emf::EMR_POLYLINE16, 20},
        {emf::EMR_EXTTEXTOUTA, 64},
        {emf::EMR_EXTTEXTOUTW, 64},
        {emf::EMR_EXTCREATEFONTINDIRECTW, 36},
    };
    RefusalLog log("tavim.metafile");
    for (const auto& [type, size] : records) {
        for (const int missing : {0, 4}) {
            SCOPED_TRACE(testing::Message() << "record " << type << ", " << missing << " short");
            const TMetafile page = TMetafile::fromBytes(
                EmfBytes().add(type, QByteArray(size - missing, '\0')).bytes());
            QImage image = blankPage(20, 20);
            QPainter painter(&image);
            page.play(painter, QRectF(0, 0, 20, 20));
            const QStringList played = log.takeAll().filter(QStringLiteral("ended: "));
            const bool whole = page.reachesEndRecord();
            const QStringList loaded = log.takeAll();
            EXPECT_EQ(whole, missing == 0);
            EXPECT_EQ(played, missing ? QStringList("ended: a read past the end of its record")
                                      : QStringList());
            EXPECT_EQ(loaded, missing ? QStringList("refused: a read past the end of its record")
                                      : QStringList());
        }
    }
}

} // namespace
} // namespace tavim::test
