// The report's query against the schema's TAVIM procedure, on both engines.
#include "tests/data/firebird/DriverFixture.h"

namespace tavim::test {
namespace {

const QString kReportQuery = QStringLiteral(
    "SELECT * FROM TAVIM(?, ?) WHERE (SITUACAO IN %1) OR (SITUACAO IS NULL) OR (SITUACAO='')");

ContractRow contract(qint32 id, const QString& landlord, std::optional<QString> status,
                     QDate start, std::optional<QDate> end) {
    ContractRow row;
    row.id = id;
    row.proprietario = landlord;
    row.imovel = QStringLiteral("Rua Sete de Setembro, %1 - Centro").arg(id);
    row.inquilino = QStringLiteral("Inquilino %1").arg(id);
    row.aluguel = 1000.0 + id + 0.25;
    row.taxaAdm = 80.02;
    row.outros = 0.0;
    row.observacoes = QString();
    row.situacao = std::move(status);
    row.inicio = start;
    row.fim = end;
    return row;
}

std::vector<ContractRow> periodContracts() {
    return {
        contract(1, "Ana", "ATIVADO", {2024, 1, 15}, std::nullopt),
        contract(2, "Bruno", "ATIVADO", {2023, 6, 1}, QDate(2024, 1, 31)),
        contract(3, "Carla", "EXTRA JUDICIAL", {2024, 1, 1}, std::nullopt),
        contract(4, "Davi", "JURIDICO", {2023, 1, 1}, QDate(2023, 12, 31)),
        contract(5, "Eva", std::nullopt, {2024, 2, 1}, std::nullopt),
        contract(6, "Fábio", "", {2024, 1, 31}, QDate(2024, 1, 31)),
        contract(7, "Gil", "RESCINDIDO", {2023, 1, 1}, std::nullopt),
        contract(8, "Ana", "ATIVADO", {2020, 1, 1}, QDate(2024, 2, 1)),
    };
}

struct PeriodCase {
    const char* name;
    const char* statuses;
    int year;
    int month;
    int lastDay;
    // "landlord/status" in the procedure's order; "-" is a null status.
    QStringList expected;
};

const PeriodCase kPeriodCases[] = {
    {"January", "('ATIVADO')", 2024, 1, 31,
     {"Ana/ATIVADO", "Ana/ATIVADO", "Bruno/ATIVADO", "Fábio/"}},
    {"FebruaryOfALeapYear", "('ATIVADO')", 2024, 2, 29, {"Ana/ATIVADO", "Ana/ATIVADO", "Eva/-"}},
    {"December", "('ATIVADO')", 2023, 12, 31, {"Ana/ATIVADO", "Bruno/ATIVADO"}},
    {"DecemberAllStatuses", "('ATIVADO', 'EXTRA JUDICIAL', 'JURIDICO')", 2023, 12, 31,
     {"Ana/ATIVADO", "Bruno/ATIVADO", "Davi/JURIDICO"}},
    {"JanuaryOthersOnly", "('EXTRA JUDICIAL', 'JURIDICO')", 2024, 1, 31,
     {"Carla/EXTRA JUDICIAL", "Fábio/"}},
    {"BeforeAnyContract", "('ATIVADO')", 2019, 12, 31, {}},
};

QString landlordAndStatus(const RowValues& row) {
    const QString status = isNull(row[7]) ? QStringLiteral("-") : std::get<QString>(row[7]);
    return std::get<QString>(row[0]) + u'/' + status;
}

class TavimQuery : public EngineTest {
protected:
    TestDatabase db{periodContracts()};
};

TEST_P(TavimQuery, RowsAndStatusesPerPeriod) {
    const auto session = connect(db);
    for (const PeriodCase& c : kPeriodCases) {
        const auto rows = query(*session, kReportQuery.arg(c.statuses),
                                {dateParam(c.year, c.month, 1), dateParam(c.year, c.month, c.lastDay)});
        QStringList got;
        for (const RowValues& row : rows)
            got << landlordAndStatus(row);
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

TEST_P(TavimQuery, NullAndEmptyStatusesStayApart) {
    const auto rows = query(*connect(db), kReportQuery.arg("('ATIVADO')"),
                            {dateParam(2024, 1, 1), dateParam(2024, 2, 29)});
    int nulls = 0;
    int empties = 0;
    for (const RowValues& row : rows) {
        nulls += isNull(row[7]);
        empties += std::holds_alternative<QString>(row[7]) && std::get<QString>(row[7]).isEmpty();
    }
    EXPECT_EQ(nulls, 1);
    EXPECT_EQ(empties, 1);
}

TEST_P(TavimQuery, ValuesOfARow) {
    const auto rows = query(*connect(db), kReportQuery.arg("('ATIVADO')"),
                            {dateParam(2023, 12, 1), dateParam(2023, 12, 31)});
    ASSERT_EQ(rows.size(), 2u);
    const RowValues expected = {QString("Ana"), QString("Rua Sete de Setembro, 8 - Centro"),
                                QString("Inquilino 8"), 1008.25, 80.02, 0.0, QString(),
                                QString("ATIVADO")};
    EXPECT_EQ(rows[0], expected);
}

TEST_P(TavimQuery, AnEmptyStatusListIsRefusedWithTheServersText) {
    const QString message = errorOf([&] { connect(db)->prepare(kReportQuery.arg("()")); });
    EXPECT_EQ(message, "Dynamic SQL Error\nSQL error code = -104\nToken unknown - line 1, column 47\n)");
}

TAVIM_ON_BOTH_ENGINES(TavimQuery);

class TavimColumns : public EngineTest {
protected:
    TestDatabase db;
};

TEST_P(TavimColumns, DescribeTheProceduresColumns) {
    const std::vector<ColumnDesc> expected = {
        {"PROPRIETARIO", FieldKind::String, 50}, {"IMOVEL", FieldKind::String, 90},
        {"INQUILINO", FieldKind::String, 50},    {"ALUGUEL", FieldKind::Float, 0},
        {"TAXA_ADM", FieldKind::Float, 0},       {"OUTROS", FieldKind::Float, 0},
        {"OBSERVACOES", FieldKind::String, 50},  {"SITUACAO", FieldKind::String, 20},
    };
    for (const char* charset : {"", "WIN1252", "UTF8"}) {
        ConnectionOptions options = db.options(GetParam());
        options.serverCharSet = QString::fromLatin1(charset);
        const auto statement = connect(options)->prepare(kReportQuery.arg("('ATIVADO')"));
        EXPECT_EQ(statement->paramCount(), 2);
        const auto& columns = statement->columns();
        ASSERT_EQ(columns.size(), expected.size()) << charset;
        for (size_t i = 0; i < columns.size(); ++i) {
            EXPECT_EQ(columns[i].name, expected[i].name) << charset;
            EXPECT_EQ(columns[i].kind, expected[i].kind) << charset << " " << i;
            EXPECT_EQ(columns[i].size, expected[i].size) << charset << " " << i;
        }
    }
}

TAVIM_ON_BOTH_ENGINES(TavimColumns);

// Every printable character of Windows-1252, and the names of the listing.
const QString kTexts[] = {
    QString::fromUtf16(u"João Conceição D'ÁVILA"),
    QString::fromUtf16(u"Inês Gonçalves Sant'Anna"),
    QString::fromUtf16(u"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ"),
    QString::fromUtf16(u" ¡¢£¤¥¦§¨©ª«¬®¯°±²³´µ¶·¸¹º»¼½¾¿"),
    QString::fromUtf16(u"ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖ×ØÙÚÛÜÝÞß"),
    QString::fromUtf16(u"àáâãäåæçèéêëìíîïðñòóôõö÷øùúûüýþÿ"),
};

class TavimTexts : public EngineTest {
protected:
    static std::vector<ContractRow> textContracts() {
        std::vector<ContractRow> rows;
        for (const QString& text : kTexts) {
            ContractRow row = contract(qint32(rows.size() + 1), text, "ATIVADO", {2024, 1, 1},
                                       std::nullopt);
            row.inquilino = text;
            rows.push_back(row);
        }
        return rows;
    }
    TestDatabase db{textContracts()};
};

TEST_P(TavimTexts, AccentsRoundTripExactlyInEveryCharset) {
    for (const char* charset : {"", "WIN1252", "UTF8"}) {
        ConnectionOptions options = db.options(GetParam());
        options.serverCharSet = QString::fromLatin1(charset);
        const auto rows =
            query(*connect(options), "SELECT ID, PROPRIETARIO, INQUILINO FROM CONTRATOS ORDER BY ID");
        ASSERT_EQ(rows.size(), std::size(kTexts));
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(std::get<QString>(rows[i][1]), kTexts[i]) << charset;
            EXPECT_EQ(std::get<QString>(rows[i][2]), kTexts[i]) << charset;
        }
    }
}

TEST_P(TavimTexts, QuotesAndAccentsInTheStatementText) {
    for (const char* charset : {"", "UTF8"}) {
        ConnectionOptions options = db.options(GetParam());
        options.serverCharSet = QString::fromLatin1(charset);
        const auto rows = query(*connect(options),
                                QString::fromUtf16(u"SELECT ID FROM CONTRATOS WHERE PROPRIETARIO = "
                                                   u"'João Conceição D''ÁVILA'"));
        ASSERT_EQ(rows.size(), 1u) << charset;
        EXPECT_EQ(rows[0][0], Value(qint64(1)));
    }
}

TEST_P(TavimTexts, TextParamsWithQuotesAndAccents) {
    const auto rows = query(*connect(db), "SELECT ID FROM CONTRATOS WHERE INQUILINO = ?",
                            {{FieldKind::String, kTexts[1]}});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], Value(qint64(2)));
}

TAVIM_ON_BOTH_ENGINES(TavimTexts);

} // namespace
} // namespace tavim::test
