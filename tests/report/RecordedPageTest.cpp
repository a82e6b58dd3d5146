// What a saved page records for its texts: where and how each line is
// anchored, the character set of its font, and amounts that print whole.

#include "DrawnText.h"
#include "RecordedText.h"
#include "ReportFixture.h"

#include "engine/emf/EmfRecords.h"
#include "format/LocaleSettings.h"

#include <gtest/gtest.h>

using namespace tavim;
using namespace tavim::test;

namespace {

class RecordedPage : public ::testing::Test {
protected:
    void SetUp() override { LocaleSettings::set(QChar(','), QChar('.')); }
    void TearDown() override { LocaleSettings::reload(); }
};

// Page pixels at 96 dpi with the listing's 10-pixel left margin and its top
// margin of 130 tenths: design pixel rows 1 and 77 of the header land on 50
// and 126, the first detail row's texts (one pixel above the band) on 144.
TEST_F(RecordedPage, EachLineKeepsItsAlignmentTopAndCharset) {
    ReportRun report(contracts(1, [](int) { return Amounts{1234.5, 10.0, 0.0}; }));
    const std::vector<TMetafile> pages = report.generate();
    ASSERT_EQ(pages.size(), 1u);
    const std::vector<RecordedText> texts = recordedTexts(pages[0]);
    struct Case {
        const char* text;
        quint32 align;
        QPoint ref;
        int charset;
    };
    const Case cases[] = {
        {"LOCADOR", emf::TA_TOP | emf::TA_LEFT, {10 + 51, 126}, 1},
        // Auto-sized, right-justified: its right edge 697 + 51 stays.
        {"OBSERVAÇÕES", emf::TA_TOP | emf::TA_RIGHT, {10 + 748, 126}, 1},
        {"TAMBRI IMOVEIS LTDA", emf::TA_TOP | emf::TA_CENTER, {10 + 47 + 716 / 2, 50}, 1},
        {"Pagina 1", emf::TA_TOP | emf::TA_RIGHT, {10 + 689 + 74, 50}, 1},
        {"1.234,50", emf::TA_TOP | emf::TA_RIGHT, {10 + 584 + 37, 144}, 0},
        {"Inês 1", emf::TA_TOP | emf::TA_LEFT, {10 + 429, 144}, 0},
    };
    for (const Case& c : cases) {
        const RecordedText t = recordedText(texts, QString::fromUtf8(c.text));
        EXPECT_EQ(t.align, c.align) << c.text;
        EXPECT_EQ(t.ref, c.ref) << c.text;
        EXPECT_EQ(t.charset, c.charset) << c.text;
    }
}

// Row 1 and row 53 (the first of page 2) carry the large amounts.
TEST_F(RecordedPage, AmountsWiderThanTheirBoxPrintWhole) {
    const Amounts large{12345678.90, -1234567.89, 0.0};
    ReportRun report(contracts(54, [&](int i) {
        return i % 52 == 0 ? large : Amounts{0.0, 0.0, 0.0};
    }));
    const std::vector<TMetafile> pages = report.generate();
    ASSERT_EQ(pages.size(), 2u);
    const QString rent = QStringLiteral("12.345.678,90");
    const QString fees = QStringLiteral("-1.234.567,89");

    const std::vector<DrawnText> first = drawnTexts(pages[0]);
    const QStringList firstRow = textsBetween(first, 144, 161);
    EXPECT_TRUE(firstRow.contains(rent)) << firstRow.join('|').toStdString();
    EXPECT_TRUE(firstRow.contains(fees)) << firstRow.join('|').toStdString();
    constexpr qreal kFooterTop = 2740 * 96 / 254.0;
    const QStringList footer = textsBetween(first, kFooterTop, kFooterTop + 49);
    EXPECT_EQ(footer, QStringList({"Total da página:", rent, fees, "0,00"}));

    const std::vector<DrawnText> last = drawnTexts(pages[1]);
    QStringList all;
    for (const DrawnText& t : last)
        all << t.text;
    for (const QString& total : {rent, fees, QStringLiteral("24.691.357,80"),
                                 QStringLiteral("-2.469.135,78"), QStringLiteral("-49.382,72")})
        EXPECT_EQ(all.count(total), total == rent || total == fees ? 2 : 1)
            << total.toStdString() << " in " << all.join('|').toStdString();
    // Texts are still cut at their words.
    for (const RecordedText& t : recordedTexts(pages[1]))
        EXPECT_NE(t.text, QStringLiteral("-")) << "a lone minus sign";
}

// Every control kind, repeated and unique texts, long texts that break: a
// second run records exactly the same pages.
TEST_F(RecordedPage, ASecondRunRecordsTheSameBytes) {
    std::vector<ContractRow> rows = contracts(60, [](int i) {
        return Amounts{1000.0 + (i % 5), i % 2 ? std::optional<double>(99999999.99) : std::nullopt,
                       -0.5 * i};
    });
    for (std::size_t i = 0; i < rows.size(); i += 3)
        rows[i].imovel = QStringLiteral("Avenida Presidente Juscelino Kubitschek de Oliveira, "
                                        "conjunto %1, bloco B - fundos")
                             .arg(i);
    ReportRun report(rows);
    const std::vector<TMetafile> first = report.generate();
    const std::vector<TMetafile> second = report.generate();
    ASSERT_EQ(first.size(), 2u);
    ASSERT_EQ(second.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_TRUE(first[i].bytes() == second[i].bytes()) << "page " << i + 1;
}

} // namespace
