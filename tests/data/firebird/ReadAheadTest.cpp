// Rows taken from the cursor at once and read afterwards are the rows a plain
// fetch gives, in the same order, on both engines.
#include "tests/data/firebird/DriverFixture.h"
#include "tools/DemoContracts.h"

namespace tavim::test {
namespace {

const QString kReportQuery = QStringLiteral(
    "SELECT * FROM TAVIM(?, ?) WHERE (SITUACAO IN ('ATIVADO', 'EXTRA JUDICIAL', 'JURIDICO')) "
    "OR (SITUACAO IS NULL) OR (SITUACAO='')");
// Every kind the buffer keeps: integers, texts fixed and varying, doubles,
// dates, nulls and a blob read through the statement's transaction.
const QString kKindsQuery = QStringLiteral(
    "SELECT ID, CAST(SITUACAO AS CHAR(20)), IMOVEL, ALUGUEL, INICIO, FIM, "
    "CAST(OBSERVACOES AS BLOB SUB_TYPE TEXT CHARACTER SET WIN1252) FROM CONTRATOS ORDER BY ID");

const std::vector<DbParam> kFebruary = {dateParam(2024, 2, 1), dateParam(2024, 2, 29)};

// Fetches `before` rows, reads the rest ahead in batches, then fetches to the end.
std::vector<RowValues> readAheadAfter(DbStatement& statement, const std::vector<DbParam>& params,
                                      int before) {
    statement.execute(params);
    std::vector<RowValues> rows;
    RowValues row;
    for (int i = 0; i < before && statement.fetch(row); ++i)
        rows.push_back(row);
    while (statement.readAhead(100)) {
    }
    while (statement.fetch(row))
        rows.push_back(row);
    statement.close();
    return rows;
}

class ReadAhead : public EngineTest {
protected:
    TestDatabase db{demoContracts(1500, 7, QDate(2024, 2, 1))};
};

TEST_P(ReadAhead, GivesThePlainFetchsRowsInOrder) {
    const std::tuple<QString, std::vector<DbParam>, const char*> queries[] = {
        {kReportQuery, kFebruary, ""}, {kKindsQuery, {}, ""}, {kKindsQuery, {}, "UTF8"}};
    for (const auto& [sql, params, charset] : queries) {
        ConnectionOptions options = db.options(GetParam());
        options.serverCharSet = QString::fromLatin1(charset);
        const auto session = connect(options);
        const auto statement = session->prepare(sql);
        const std::vector<RowValues> expected = fetchAll(*statement, params);
        ASSERT_GT(expected.size(), 500u) << sql.toStdString();
        for (const int before : {0, 1, 2})
            EXPECT_EQ(readAheadAfter(*statement, params, before), expected)
                << sql.toStdString() << " " << charset << " after " << before;
    }
}

TEST_P(ReadAhead, ExecutingAgainDropsRowsNotYetRead) {
    const auto session = connect(db);
    const auto statement = session->prepare(kKindsQuery);
    const std::vector<RowValues> expected = fetchAll(*statement);
    statement->execute({});
    statement->readAhead(1 << 30);
    RowValues row;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(statement->fetch(row));
    EXPECT_EQ(readAheadAfter(*statement, {}, 1), expected);
}

TEST_P(ReadAhead, RowsNotYetReadGoWithTheConnection) {
    auto session = connect(db);
    const auto statement = session->prepare(kKindsQuery);
    statement->execute({});
    statement->readAhead(1 << 30);
    session.reset();
    RowValues row;
    EXPECT_EQ(errorOf([&] { statement->fetch(row); }), "Database connection is closed");
}

TAVIM_ON_BOTH_ENGINES(ReadAhead);

} // namespace
} // namespace tavim::test
