// Damaged page images are refused or replayed without harm.

#include "TestPage.h"

#include "format/Exception.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <gtest/gtest.h>

namespace tavim::test {
namespace {

TEST(HostileMetafile, RefusedOrPlayedCleanly) {
    const QDir dir(QStringLiteral(TAVIM_HOSTILE_EMF_DIR));
    const QStringList files = dir.entryList({QStringLiteral("*.emf")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty()) << TAVIM_HOSTILE_EMF_DIR;
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        try {
            const TMetafile page = TMetafile::fromBytes(bytes);
            QImage image = blankPage(200, 280);
            QPainter painter(&image);
            page.play(painter, QRectF(0, 0, 200, 280));
        } catch (const Exception& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Metafile is not valid"));
        }
    }
}

} // namespace
} // namespace tavim::test
