// Damaged page images are refused or replayed without harm, each as its
// verdict says: refused by the check it names (logged under tavim.metafile,
// with "Metafile is not valid" for the user), or played.

#include "RefusalLog.h"
#include "TestPage.h"

#include "error/Exception.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <gtest/gtest.h>

namespace tavim::test {
namespace {

// verdicts.tsv: per file, "played" or the check that refuses it.
QMap<QString, QString> verdicts(const QDir& dir) {
    QMap<QString, QString> byFile;
    QFile file(dir.filePath(QStringLiteral("verdicts.tsv")));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split('\t');
        if (!line.startsWith('#') && fields.size() == 2)
            byFile.insert(fields[0], fields[1]);
    }
    return byFile;
}

TEST(HostileMetafile, RefusedOrPlayedAsTheirVerdictsSay) {
    const QDir dir(QStringLiteral(TAVIM_HOSTILE_EMF_DIR));
    const QStringList files = dir.entryList({QStringLiteral("*.emf")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty()) << TAVIM_HOSTILE_EMF_DIR;
    const QMap<QString, QString> expected = verdicts(dir);
    ASSERT_EQ(expected.keys().join(' ').toStdString(), files.join(' ').toStdString())
        << "each file has one verdict";
    RefusalLog log("tavim.metafile");
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QString verdict = QStringLiteral("played");
        try {
            const TMetafile page = TMetafile::fromBytes(file.readAll());
            QImage image = blankPage(200, 280);
            QPainter painter(&image);
            page.play(painter, QRectF(0, 0, 200, 280));
        } catch (const Exception& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Metafile is not valid"));
            const QStringList checks = log.take();
            verdict = checks.size() == 1 ? checks[0] : checks.join('/');
        }
        EXPECT_EQ(verdict.toStdString(), expected.value(name).toStdString());
    }
}

} // namespace
} // namespace tavim::test
