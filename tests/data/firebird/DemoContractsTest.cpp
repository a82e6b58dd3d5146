#include "tools/DemoContracts.h"
#include "data/firebird/Windows1252.h"
#include "tests/data/firebird/QtPrinters.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>
#include <map>

namespace tavim {
namespace {

const QDate kReference(2026, 12, 9);
constexpr char kGoldenDigest[] = "a3b9daa4ffad2f2e724a7b06aad8cf46d7e916c6fa7cf384c9d6ddc802824da9";

QString show(const std::optional<QString>& text) {
    return text ? u'[' + *text + u']' : "null";
}
QString show(const std::optional<double>& v) {
    return v ? QString::number(*v, 'f', 2) : "null";
}
QString show(const std::optional<QDate>& d) {
    return d ? d->toString(Qt::ISODate) : "null";
}

QByteArray digest(const std::vector<ContractRow>& rows) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const ContractRow& r : rows) {
        const QStringList fields = {QString::number(r.id),
                                    show(r.proprietario),
                                    show(r.imovel),
                                    show(r.inquilino),
                                    show(r.aluguel),
                                    show(r.taxaAdm),
                                    show(r.outros),
                                    show(r.observacoes),
                                    show(r.situacao),
                                    show(std::optional(r.inicio)),
                                    show(r.fim)};
        hash.addData(fields.join(u'|').toUtf8() + '\n');
    }
    return hash.result().toHex();
}

bool isAskedFor(const std::optional<QString>& status) {
    return !status || status->isEmpty() || *status == "ATIVADO";
}

bool activeIn(const ContractRow& row, QDate first, QDate last) {
    return row.inicio <= last && (!row.fim || *row.fim >= first);
}

TEST(DemoContracts, SameSeedAndMonthGiveTheSameRows) {
    EXPECT_EQ(demoContracts(240, 7, kReference), demoContracts(240, 7, kReference));
    EXPECT_EQ(demoContracts(240, 7, kReference), demoContracts(240, 7, QDate(2026, 12, 31)));
    EXPECT_NE(demoContracts(240, 7, kReference), demoContracts(240, 8, kReference));
    EXPECT_NE(demoContracts(240, 7, kReference), demoContracts(240, 7, QDate(2026, 11, 30)));
    const auto few = demoContracts(50, 7, kReference);
    EXPECT_TRUE(std::equal(few.begin(), few.end(), demoContracts(240, 7, kReference).begin()));
}

// The generator uses no floating-point library functions and no std::
// distribution, so these rows are the same on every platform; a change here
// changes every demo database.
TEST(DemoContracts, RowsAreTheKnownOnes) {
    EXPECT_EQ(digest(demoContracts(240, 1, kReference)), QByteArray(kGoldenDigest));
}

TEST(DemoContracts, StatusMixHasEveryKindInRoughShare) {
    std::map<QString, int> counts;
    const auto rows = demoContracts(5000, 11, kReference);
    for (const ContractRow& row : rows)
        ++counts[show(row.situacao)];
    const std::pair<const char*, std::pair<int, int>> expected[] = {
        {"[ATIVADO]", {3250, 3750}}, {"[EXTRA JUDICIAL]", {200, 400}},
        {"[JURIDICO]", {200, 400}},  {"[]", {150, 350}},
        {"null", {150, 350}},        {"[RESCINDIDO]", {80, 220}},
        {"[SUSPENSO]", {40, 180}},   {"[ENCERRADO]", {80, 220}},
    };
    for (const auto& [status, range] : expected) {
        EXPECT_GE(counts[status], range.first) << status;
        EXPECT_LE(counts[status], range.second) << status;
    }
    EXPECT_EQ(counts.size(), std::size(expected));
}

TEST(DemoContracts, RowsFitTheTableAndLookReal) {
    const auto rows = demoContracts(5000, 5, kReference);
    bool accents = false;
    bool quotes = false;
    for (const ContractRow& row : rows) {
        for (const auto& [text, size] : {std::pair{row.proprietario, 50},
                                         {row.imovel, 90},
                                         {row.inquilino, 50},
                                         {row.observacoes, 50},
                                         {row.situacao, 20}}) {
            if (!text)
                continue;
            EXPECT_LE(text->size(), size) << text->toStdString();
            EXPECT_EQ(decodeWindows1252(encodeWindows1252(*text)), *text);
            accents = accents || text->contains(QChar(u'ã')) || text->contains(QChar(u'Á'));
            quotes = quotes || text->contains(u'\'');
        }
        ASSERT_TRUE(row.aluguel && row.taxaAdm);
        EXPECT_GE(*row.aluguel, 350.0);
        EXPECT_LE(*row.aluguel, 45000.0);
        EXPECT_EQ(std::round(*row.taxaAdm * 100) / 100, *row.taxaAdm);
        EXPECT_GE(*row.taxaAdm, *row.aluguel * 0.06 - 0.005);
        EXPECT_LE(*row.taxaAdm, *row.aluguel * 0.12 + 0.005);
        EXPECT_GE(row.inicio, QDate(2022, 1, 1));
        EXPECT_LE(row.inicio, QDate(2026, 12, 28));
        if (row.fim) {
            EXPECT_GT(*row.fim, row.inicio);
        }
    }
    EXPECT_TRUE(accents);
    EXPECT_TRUE(quotes);
}

TEST(DemoContracts, EveryMonthOfTheLastThreeYearsHasContractsAskedFor) {
    for (const QDate reference : {kReference, QDate(2025, 1, 15), QDate(2024, 6, 1)}) {
        for (const quint64 seed : {1ull, 2ull, 99ull}) {
            const auto rows = demoContracts(240, seed, reference);
            for (QDate first(reference.year() - 2, 1, 1); first.year() <= reference.year();
                 first = first.addMonths(1)) {
                const QDate last = first.addMonths(1).addDays(-1);
                const auto count = std::count_if(rows.begin(), rows.end(), [&](const auto& row) {
                    return activeIn(row, first, last) && isAskedFor(row.situacao);
                });
                EXPECT_GE(count, 10)
                    << first.toString(Qt::ISODate).toStdString() << " seed " << seed;
            }
        }
    }
}

} // namespace
} // namespace tavim
