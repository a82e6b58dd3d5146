// An independent reader must find the recorded texts in a page.

#include "TestPage.h"

#include "engine/emf/EmfPaintEngine.h"
#include "engine/emf/EmfRecords.h"

#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tavim::test {
namespace {

TEST(MetafileEmf2Svg, ConverterFindsTheTexts) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("emf2svg-conv"));
    if (tool.isEmpty())
        GTEST_SKIP() << "emf2svg-conv is not installed (package emf2svg)";
    const QStringList texts = {QStringLiteral("Locador"), QStringLiteral("Pagina 1"),
                               QStringLiteral("1.234,50"), QStringLiteral("Imóvel")};
    const TMetafile page = record([&](QPainter& p) {
        p.fillRect(QRect(0, 0, 794, 30), Qt::lightGray);
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(0, 40, 794, 40);
        p.setFont(font(QStringLiteral("Arial Narrow"), 8, true));
        for (int i = 0; i < texts.size(); ++i)
            p.drawText(QPoint(20 + 150 * i, 100), texts[i]);
        // A right-justified line keeps its right edge in the other reader.
        auto* engine = dynamic_cast<EmfPaintEngine*>(p.paintEngine());
        ASSERT_NE(engine, nullptr);
        engine->drawTextLine(QPoint(758, 126), emf::TA_TOP | emf::TA_RIGHT,
                             QStringLiteral("OBSERVAÇÕES"),
                             font(QStringLiteral("Arial Narrow"), 8, true),
                             EmfPaintEngine::kDefaultCharset, Qt::black);
    });
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile emf(dir.filePath(QStringLiteral("page.emf")));
    ASSERT_TRUE(emf.open(QIODevice::WriteOnly));
    emf.write(page.bytes());
    emf.close();

    const QString svgPath = dir.filePath(QStringLiteral("page.svg"));
    QProcess conv;
    conv.start(tool, {QStringLiteral("-i"), emf.fileName(), QStringLiteral("-o"), svgPath});
    ASSERT_TRUE(conv.waitForFinished(30000));
    ASSERT_EQ(conv.exitCode(), 0) << conv.readAllStandardError().toStdString();
    QFile svg(svgPath);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(svg.readAll());
    for (const QString& text : texts)
        EXPECT_TRUE(content.contains(QStringLiteral("<![CDATA[%1]]>").arg(text)))
            << text.toStdString();
    const QRegularExpression rightAligned(
        QStringLiteral(R"(text-anchor="end" x="758(\.0+)?"[^>]*><!\[CDATA\[OBSERVAÇÕES\]\]>)"));
    EXPECT_TRUE(content.contains(rightAligned)) << content.toStdString();
}

} // namespace
} // namespace tavim::test
