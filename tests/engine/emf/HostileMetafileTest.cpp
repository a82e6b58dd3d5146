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

// A text record as the recorder writes it, with the fields a damaged one
// may have wrong.
QByteArray textRecord(const QString& text, quint32 chars, quint32 offString, quint32 offDx) {
    QByteArray body =
        fields({10, 20, 60, 40, 1, 0, 0, 10, 40, chars, offString, 0, 0, 0, 0, 0, offDx});
    for (const QChar c : text)
        body += le(c.unicode()).left(2);
    body.resize((body.size() + 3) / 4 * 4, '\0');
    for (qsizetype i = 0; i < text.size(); ++i)
        body += le(5);
    return body;
}

// Search reads a page's texts as far as a replay would draw them.
TEST(HostileMetafile, TextsAreReadAsFarAsAReplayGoes) {
    constexpr quint32 kString = 76;
    constexpr quint32 kDx = kString + 8; // after "Beltrano"
    struct Case {
        const char* damage;
        quint32 chars, offString, offDx;
        QStringList texts; // read from the damaged record and the good one after it
        bool advances;     // of the damaged record's text
    };
    const Case cases[] = {
        {"none", 8, kString, kDx, {"Beltrano", "Fulano"}, true},
        {"advances past the record", 8, kString, 0xFFFF, {"Beltrano", "Fulano"}, false},
        {"more characters than the cap", emf::kMaxTextChars + 1, kString, kDx, {"Fulano"}, false},
        {"no characters", 0, kString, kDx, {"Fulano"}, false},
        {"characters past the record", 8, 0xFFFF, kDx, {}, false}, // a replay ends there
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.damage);
        const QString beltrano = QStringLiteral("Beltrano");
        const QString fulano = QStringLiteral("Fulano");
        const TMetafile page = TMetafile::fromBytes(
            EmfBytes()
                .add(emf::EMR_EXTTEXTOUTW, textRecord(beltrano, c.chars, c.offString, c.offDx))
                .add(emf::EMR_EXTTEXTOUTW, textRecord(fulano, 6, kString, kString + 12))
                .bytes());
        const std::vector<EmfText> texts = ReadEmfTexts(page);
        QStringList read;
        for (const EmfText& text : texts)
            read << text.text;
        EXPECT_EQ(read, c.texts);
        if (!texts.empty() && texts.front().text == beltrano) {
            EXPECT_EQ(texts.front().advances.size(), c.advances ? 8u : 0u);
        }
    }
}

} // namespace
} // namespace tavim::test
