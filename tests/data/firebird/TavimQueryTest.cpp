// The report's query against the schema's TAVIM procedure, on both engines.
#include "tests/data/firebird/DriverFixture.h"

namespace tavim::test {
namespace {

const QString kReportQuery = QStringLiteral(
    "SELECT * FROM TAVIM(?, ?) WHERE (SITUACAO IN %1) OR (SITUACAO IS NULL) OR (SITUACAO='')");

ContractRow contract(qint32 id, const QString& landlord, std::optional<QString> status, QDate start,
                     std::optional<QDate> end) {
    return {id,    landlord,  QStringLiteral("Rua Sete de Setembro, %1 - Centro").arg(id),
            "Inq", 1000.25,   80.02,
            0.0,   QString(), std::move(status),
            start, end};
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

// Rows as "landlord/status" in the procedure's order; "-" is a null status.
const std::tuple<const char*, QDate, QStringList> kPeriodCases[] = {
    {"('ATIVADO')", {2024, 1, 1}, {"Ana/ATIVADO", "Ana/ATIVADO", "Bruno/ATIVADO", "Fábio/"}},
    {"('ATIVADO')", {2024, 2, 1}, {"Ana/ATIVADO", "Ana/ATIVADO", "Eva/-"}},
    {"('ATIVADO')", {2023, 12, 1}, {"Ana/ATIVADO", "Bruno/ATIVADO"}},
    {"('ATIVADO', 'EXTRA JUDICIAL', 'JURIDICO')",
     {2023, 12, 1},
     {"Ana/ATIVADO", "Bruno/ATIVADO", "Davi/JURIDICO"}},
    {"('EXTRA JUDICIAL', 'JURIDICO')", {2024, 1, 1}, {"Carla/EXTRA JUDICIAL", "Fábio/"}},
    {"('ATIVADO')", {2019, 12, 1}, {}},
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
    for (const auto& [statuses, first, expected] : kPeriodCases) {
        const QDate last = first.addMonths(1).addDays(-1);
        const auto rows = query(*session, kReportQuery.arg(statuses),
                                {dateParam(first.year(), first.month(), 1),
                                 dateParam(last.year(), last.month(), last.day())});
        QStringList got;
        for (const RowValues& row : rows)
            got << landlordAndStatus(row);
        EXPECT_EQ(got, expected) << statuses << " " << first.toString(Qt::ISODate).toStdString();
    }
}

TEST_P(TavimQuery, AnEmptyStatusListIsRefusedWithTheServersText) {
    const QString message = errorOf([&] { connect(db)->prepare(kReportQuery.arg("()")); });
    EXPECT_EQ(message,
              "Dynamic SQL Error\nSQL error code = -104\nToken unknown - line 1, column 47\n)");
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
            ContractRow row =
                contract(qint32(rows.size() + 1), text, "ATIVADO", {2024, 1, 1}, std::nullopt);
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
        const auto rows = query(*connect(options),
                                "SELECT ID, PROPRIETARIO, INQUILINO FROM CONTRATOS ORDER BY ID");
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

TAVIM_ON_BOTH_ENGINES(TavimTexts);

} // namespace
} // namespace tavim::test
