// Damaged page images are refused or replayed without harm, each as its
// verdict says: refused by the header check it names (with "Metafile is not
// valid" for the user), or played, the record checks that ended the replay
// early or skipped a record named too (all logged under tavim.metafile).

#include "RefusalLog.h"
#include "TestPage.h"
#include "Verdicts.h"

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
        try {
            const TMetafile page = TMetafile::fromBytes(file.readAll());
            QImage image = blankPage(200, 280);
            QPainter painter(&image);
            page.play(painter, QRectF(0, 0, 200, 280));
        } catch (const Exception& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Metafile is not valid"));
            outcome = QStringLiteral("refused");
        }
        const QString checks = distinctChecks(log.takeAll());
        EXPECT_EQ(outcome.toStdString(), expected.value(name).value(0).toStdString());
        EXPECT_EQ(checks.toStdString(), expected.value(name).value(1).toStdString());
    }
}

} // namespace
} // namespace tavim::test
