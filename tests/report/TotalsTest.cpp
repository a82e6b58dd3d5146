// The municipality report's totals, read back from the texts its pages draw.

#include "DrawnText.h"
#include "ReportFixture.h"

#include "format/LocaleSettings.h"

#include <gtest/gtest.h>

using namespace tavim;
using namespace tavim::test;

namespace {

// Band tops in page pixels: the footer is fixed at 2740 tenths of a millimetre.
constexpr qreal kFooterTop = 2740 * 96 / 254.0;
constexpr qreal kFooterBottom = kFooterTop + 49;

class Totals : public ::testing::Test {
protected:
    void SetUp() override { LocaleSettings::set(QChar(','), QChar('.')); }
    void TearDown() override { LocaleSettings::reload(); }

    struct Page {
        QStringList footer;
        std::vector<DrawnText> texts;
    };
    std::vector<Page> run(int rows, const std::function<Amounts(int)>& amounts) {
        ReportRun report(contracts(rows, amounts));
        return pagesOf(report.generate());
    }
    static std::vector<Page> pagesOf(const std::vector<TMetafile>& images) {
        std::vector<Page> pages;
        for (const TMetafile& image : images) {
            Page p;
            p.texts = drawnTexts(image);
            p.footer = textsBetween(p.texts, kFooterTop, kFooterBottom);
            pages.push_back(p);
        }
        return pages;
    }
    // The texts of a summary line: the labels at the same height as `caption`.
    static QStringList lineOf(const Page& page, const QString& caption) {
        for (const DrawnText& t : page.texts)
            if (t.text == caption)
                return textsBetween(page.texts, t.at.y() - 2, t.at.y() + 2);
        return {};
    }
};

const QString kTotal = QStringLiteral("Total da página:");

TEST_F(Totals, OnePageOfThreeRows) {
    const auto pages = run(3, [](int i) { return Amounts{100.0 * (i + 1), 10.0, 1.5}; });
    ASSERT_EQ(pages.size(), 1u);
    // The summary ran before the only footer, which is therefore blank.
    EXPECT_EQ(pages[0].footer, QStringList({" ", " ", " ", " "}));
    EXPECT_EQ(lineOf(pages[0], kTotal), QStringList({kTotal, "600,00", "30,00", "4,50"}));
    EXPECT_EQ(lineOf(pages[0], "Valor Total do Aluguel:"),
              QStringList({"Valor Total do Aluguel:", "600,00"}));
    EXPECT_EQ(lineOf(pages[0], "Valor do ISSQN:"), QStringList({"Valor do ISSQN:", "0,60"}));
}

TEST_F(Totals, PageBreaksAndTheSummaryPlace) {
    struct Case {
        int rows;
        std::size_t pages;
        QStringList firstFooter;
        QStringList lastPageTotals;
    };
    const Case cases[] = {
        // A full page leaves no room for the summary: it moves to a page of its
        // own, the footer it left is blank, and it totals the rows it left.
        {52, 2, {" ", " ", " ", " "}, {kTotal, "520,00", "52,00", "0,00"}},
        {53, 2, {kTotal, "520,00", "52,00", "0,00"}, {kTotal, "10,00", "1,00", "0,00"}},
        // 36 rows on the last page still take the summary; 37 push it on.
        {88, 2, {kTotal, "520,00", "52,00", "0,00"}, {kTotal, "360,00", "36,00", "0,00"}},
        {89, 3, {kTotal, "520,00", "52,00", "0,00"}, {kTotal, "370,00", "37,00", "0,00"}},
    };
    for (const Case& c : cases) {
        const auto pages = run(c.rows, [](int) { return Amounts{10.0, 1.0, std::nullopt}; });
        ASSERT_EQ(pages.size(), c.pages) << c.rows;
        EXPECT_EQ(pages[0].footer, c.firstFooter) << c.rows;
        EXPECT_EQ(lineOf(pages.back(), kTotal), c.lastPageTotals) << c.rows;
        EXPECT_EQ(pages.back().footer, QStringList({" ", " ", " ", " "})) << c.rows;
        EXPECT_EQ(lineOf(pages.back(), "Valor Total do Aluguel:"),
                  QStringList({"Valor Total do Aluguel:", QString::number(c.rows * 10) + ",00"}))
            << c.rows;
    }
}

TEST_F(Totals, TaxRoundsFromTheExtendedProduct) {
    struct Case {
        double fees;
        const char* tax;
    };
    const Case cases[] = {{1234.56, "24,69"}, {0.25, "0,01"}, {0, "0,00"}};
    for (const Case& c : cases) {
        const auto pages = run(1, [&](int) { return Amounts{100.0, c.fees, 0.0}; });
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(lineOf(pages[0], "Valor do ISSQN:"), QStringList({"Valor do ISSQN:", c.tax}))
            << c.fees;
    }
}

TEST_F(Totals, NullsCountAsZeroAndNegativesLowerTheSums) {
    const auto pages = run(3, [](int i) {
        return i == 1 ? Amounts{std::nullopt, std::nullopt, std::nullopt}
                      : Amounts{-250.5 * (i == 2 ? 4 : 1), 5.0, -1.0};
    });
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(lineOf(pages[0], kTotal), QStringList({kTotal, "-1.252,50", "10,00", "-2,00"}));
}

TEST_F(Totals, AnEmptyTableAndASecondRunGiveTheSameTotals) {
    ReportRun report(contracts(0, [](int) { return Amounts{}; }));
    const auto first = pagesOf(report.generate());
    const auto second = pagesOf(report.generate());
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(lineOf(first[0], kTotal), QStringList({kTotal, "0,00", "0,00", "0,00"}));
    EXPECT_EQ(lineOf(first[0], "Valor do ISSQN:"), QStringList({"Valor do ISSQN:", "0,00"}));
    EXPECT_EQ(first[0].footer, QStringList({" ", " ", " ", " "}));
    EXPECT_EQ(lineOf(second[0], kTotal), lineOf(first[0], kTotal));
    EXPECT_EQ(second[0].texts.size(), first[0].texts.size());
}

} // namespace
