#include "FakeDriver.h"

#include "data/BusyCursor.h"
#include "data/DataModCad.h"

#include "ErrorText.h"
#include "error/Interrupted.h"

#include <csignal>
#include <gtest/gtest.h>

using namespace tavim;
using namespace tavim::test;

namespace {

std::vector<ColumnDesc> declaredColumns() {
    return {{"PROPRIETARIO", FieldKind::String, 50}, {"IMOVEL", FieldKind::String, 90},
            {"INQUILINO", FieldKind::String, 50},    {"ALUGUEL", FieldKind::Float, 0},
            {"TAXA_ADM", FieldKind::Float, 0},       {"OUTROS", FieldKind::Float, 0},
            {"OBSERVACOES", FieldKind::String, 50},  {"SITUACAO", FieldKind::String, 20}};
}

RowValues contract(const QString& owner, double rent, const Value& status) {
    return {owner,
            QStringLiteral("Rua A, 1"),
            QStringLiteral("Inquilino"),
            rent,
            rent / 10,
            Value{},
            QString(),
            status};
}

class ReportQuery : public ::testing::Test {
protected:
    void SetUp() override {
        static FakeServer* current = nullptr;
        current = &server;
        TDbConnection::registerDriver("getSQLDriverFAKE", [](const QString&) {
            return std::make_unique<FakeDriver>(*current);
        });
        dmd.sql.getDriverFunc = "getSQLDriverFAKE";
        server.columns = declaredColumns();
        server.rows = {contract("Ana", 1000, QStringLiteral("ATIVADO")),
                       contract("Bia", 2500.5, Value{}), contract("Caio", 800, QString())};
    }

    void generate(int month = 1, const QString& year = "2024") {
        dmd.RunReportQuery(month, year, true, false, false);
    }

    FakeServer server;
    TdmdCadastro dmd;
};

TEST(StatusList, FixedOrderAndSeparators) {
    const std::tuple<bool, bool, bool, const char*> cases[] = {
        {true, false, false, "('ATIVADO')"},
        {true, true, true, "('ATIVADO', 'EXTRA JUDICIAL', 'JURIDICO')"},
        {false, true, true, "('EXTRA JUDICIAL', 'JURIDICO')"},
        {false, false, true, "('JURIDICO')"},
        {true, false, true, "('ATIVADO', 'JURIDICO')"},
        {false, false, false, "()"},
    };
    for (const auto& [a, e, j, list] : cases)
        EXPECT_EQ(StatusList(a, e, j), QString(list)) << list;
}

TEST_F(ReportQuery, SendsTheCommandWithTheMonthsFirstAndLastDay) {
    struct Case {
        int monthIndex;
        const char* year;
        double first, last;
    };
    const Case cases[] = {
        {1, "2024", 45323, 45351}, {11, "2005", 38687, 38717}, {0, "2024", 45292, 45322}};
    for (const Case& c : cases) {
        dmd.RunReportQuery(c.monthIndex, c.year, true, false, false);
        ASSERT_EQ(server.lastParams.size(), 2u);
        EXPECT_EQ(server.lastParams[0].kind, FieldKind::Date);
        EXPECT_EQ(std::get<double>(server.lastParams[0].value), c.first) << c.year;
        EXPECT_EQ(std::get<double>(server.lastParams[1].value), c.last) << c.year;
    }
    EXPECT_EQ(server.prepared.last(),
              "SELECT * FROM TAVIM(?, ?) WHERE (SITUACAO IN ('ATIVADO')) OR (SITUACAO IS NULL) OR "
              "(SITUACAO='')");
    EXPECT_EQ(
        dmd.sqlTavim.commandText(),
        "SELECT * FROM TAVIM(:DT_INI, :DT_FIM) WHERE (SITUACAO IN ('ATIVADO')) OR (SITUACAO IS "
        "NULL) OR (SITUACAO='')");
    EXPECT_EQ(server.connects, 1);
}

TEST_F(ReportQuery, LoadsEveryRowIntoTheTable) {
    generate();
    EXPECT_TRUE(dmd.sqlTavim.active());
    EXPECT_EQ(dmd.cdsTavim.state(), DataSetState::Browse);
    EXPECT_EQ(dmd.cdsTavim.rowCount(), 3);
    EXPECT_EQ(dmd.cdsTavimPROPRIETARIO.asString(), "Ana");
    EXPECT_EQ(dmd.cdsTavimALUGUEL.displayText(), "1.000,00");
    dmd.cdsTavim.MoveRows(1);
    EXPECT_TRUE(dmd.cdsTavimSITUACAO.isNull());
    EXPECT_EQ(dmd.cdsTavimALUGUEL.asFloat(), 2500.5);
    EXPECT_TRUE(dmd.cdsTavimOUTROS.isNull());
    dmd.cdsTavim.MoveRows(1);
    EXPECT_FALSE(dmd.cdsTavimSITUACAO.isNull());
}

// The query stands on its first row; the table takes the rest in one read.
TEST_F(ReportQuery, TheTableTakesTheRowsAfterTheFirstInOneRead) {
    generate();
    generate();
    EXPECT_EQ(server.readAheadAfter, (std::vector<size_t>{1, 1}));
    EXPECT_EQ(dmd.cdsTavim.rowCount(), 3);
}

TEST_F(ReportQuery, AnEmptyPeriodOpensAnEmptyTable) {
    server.rows.clear();
    generate();
    EXPECT_TRUE(dmd.cdsTavim.active());
    EXPECT_EQ(dmd.cdsTavim.rowCount(), 0);
}

TEST_F(ReportQuery, UndeclaredColumnsAreIgnored) {
    server.columns.insert(server.columns.begin(), ColumnDesc{"CODIGO", FieldKind::Integer, 0});
    for (RowValues& row : server.rows)
        row.insert(row.begin(), qint64(7));
    generate();
    EXPECT_EQ(dmd.cdsTavim.fields().size(), 8u);
    EXPECT_EQ(dmd.cdsTavimPROPRIETARIO.asString(), "Ana");
    EXPECT_EQ(dmd.cdsTavimALUGUEL.asFloat(), 1000.0);
}

TEST_F(ReportQuery, ColumnChecks) {
    struct Case {
        const char* name;
        std::function<void(std::vector<ColumnDesc>&)> change;
        const char* error;
    };
    const Case cases[] = {
        {"missing", [](auto& c) { c.pop_back(); }, "sqlTavim: Field 'SITUACAO' not found"},
        {"kind", [](auto& c) { c[3].kind = FieldKind::Integer; },
         "sqlTavim: Type mismatch for field 'ALUGUEL', expecting: Float actual: Integer"},
        {"text kind", [](auto& c) { c[0].kind = FieldKind::Memo; },
         "sqlTavim: Type mismatch for field 'PROPRIETARIO', expecting: String actual: Memo"},
    };
    for (const Case& c : cases) {
        server.columns = declaredColumns();
        c.change(server.columns);
        EXPECT_EQ(errorOf([&] { generate(); }), QString(c.error)) << c.name;
        EXPECT_FALSE(dmd.sqlTavim.active()) << c.name;
        EXPECT_FALSE(dmd.cdsTavim.active()) << c.name;
        EXPECT_EQ(server.openCursors, 0) << c.name;
    }
}

TEST_F(ReportQuery, BadYearClosesNothing) {
    generate();
    dmd.cdsTavim.MoveRows(1);
    EXPECT_EQ(errorOf([&] { generate(1, "20x4"); }), "'20x4' is not a valid integer value");
    EXPECT_TRUE(dmd.cdsTavim.active());
    EXPECT_EQ(dmd.cdsTavim.rowCount(), 3);
    EXPECT_EQ(dmd.cdsTavimPROPRIETARIO.asString(), "Bia");
    EXPECT_EQ(errorOf([&] { generate(12, "2024"); }), "Invalid argument to date encode");
    EXPECT_TRUE(dmd.cdsTavim.active());
}

TEST_F(ReportQuery, RefusedConnectionIsTriedAgainNextTime) {
    generate();
    TdmdCadastro fresh;
    fresh.sql.getDriverFunc = "getSQLDriverFAKE";
    server.refuseConnect = "Your user name and password are not defined.";
    EXPECT_EQ(errorOf([&] { fresh.RunReportQuery(1, "2024", true, false, false); }),
              "Your user name and password are not defined.");
    EXPECT_FALSE(fresh.sql.connected());
    EXPECT_FALSE(fresh.sqlTavim.active());
    EXPECT_FALSE(fresh.cdsTavim.active());
    server.refuseConnect.clear();
    fresh.RunReportQuery(1, "2024", true, false, false);
    EXPECT_EQ(server.connects, 3);
    EXPECT_EQ(fresh.cdsTavim.rowCount(), 3);
}

TEST_F(ReportQuery, ALostConnectionIsOpenedAgainNextTime) {
    server.loseOnFetch = "Error reading data from the connection.";
    EXPECT_EQ(errorOf([&] { generate(); }), server.loseOnFetch);
    server.loseOnFetch.clear();
    generate();
    EXPECT_EQ(server.connects, 2);
}

TEST_F(ReportQuery, RefusedStatementLeavesTheTableClosed) {
    generate();
    server.refusePrepare = "Dynamic SQL Error\nSQL error code = -104\nToken unknown";
    EXPECT_EQ(errorOf([&] { dmd.RunReportQuery(1, "2024", false, false, false); }),
              server.refusePrepare);
    EXPECT_EQ(dmd.sqlTavim.commandText(),
              "SELECT * FROM TAVIM(:DT_INI, :DT_FIM) WHERE (SITUACAO IN ()) OR (SITUACAO IS NULL) "
              "OR (SITUACAO='')");
    EXPECT_FALSE(dmd.cdsTavim.active());
    EXPECT_TRUE(dmd.sql.connected());
}

// Closing while an error unwinds (the data module's destructor, at the end
// here) must not end the process; a close asked for reports its failure.
TEST_F(ReportQuery, AFailingCloseThrowsOnlyWhenAskedFor) {
    generate();
    server.refuseClose = "Error writing data to the connection.";
    EXPECT_EQ(errorOf([&] { dmd.sqlTavim.close(); }), server.refuseClose);
    generate();
}

// A call the server never answers is cancelled, asked first and then cut, and
// the next generation connects anew; after a stop no call is made.
TEST_F(ReportQuery, ASilentServersCallIsCancelled) {
    dmd.sql.replyLimit = std::chrono::seconds(1);
    server.silent = true;
    EXPECT_EQ(errorOf([&] { generate(); }), "The database server did not answer within 1 s");
    EXPECT_EQ(server.cancels, (std::vector<DbCancel>{DbCancel::Raise, DbCancel::Abort}));
    EXPECT_FALSE(dmd.sql.connected());
    server.silent = false;
    generate();
    EXPECT_EQ(dmd.cdsTavim.rowCount(), 3);
    dmd.sql.interrupt(SIGTERM);
    EXPECT_THROW(generate(), EInterrupted);
}

TEST_F(ReportQuery, SecondGenerationDiscardsEdits) {
    generate();
    dmd.cdsTavim.EditRow();
    dmd.cdsTavimPROPRIETARIO.setText("Mudado");
    dmd.cdsTavim.PostRow();
    dmd.cdsTavim.InsertRow();
    dmd.cdsTavimPROPRIETARIO.setText("Novo");
    dmd.cdsTavim.SettleRow();
    EXPECT_EQ(dmd.cdsTavim.rowCount(), 4);
    generate();
    EXPECT_EQ(dmd.cdsTavim.rowCount(), 3);
    EXPECT_EQ(dmd.cdsTavimPROPRIETARIO.asString(), "Ana");
    EXPECT_EQ(server.connects, 1);
}

TEST_F(ReportQuery, QueryRules) {
    TDbQuery& q = dmd.sqlTavim;
    EXPECT_EQ(errorOf([&] { q.paramByName("NOPE"); }), "sqlTavim: Parameter 'NOPE' not found");
    EXPECT_EQ(q.paramByName("dt_ini").name(), "DT_INI");
    EXPECT_EQ(q.params().size(), 2u);
    EXPECT_EQ(q.params()[0].dataType(), FieldKind::Unknown);
    EXPECT_EQ(errorOf([&] { q.open(); }), "No value for parameter 'DT_INI'");
    EXPECT_FALSE(q.active());

    q.setCommandText("  \n SELECT * FROM TAVIM(:A, :B)");
    EXPECT_EQ(q.commandText(), "SELECT * FROM TAVIM(:A, :B)");
    q.paramByName("A").setAsDate(1);
    q.paramByName("B").setAsDate(2);
    q.setCommandText("SELECT * FROM TAVIM(:A, :B)");
    EXPECT_EQ(q.params()[0].dataType(), FieldKind::Date);
    q.open();
    EXPECT_EQ(errorOf([&] { q.setCommandText("SELECT 1"); }),
              "sqlTavim: Cannot perform this operation on an open dataset");
    EXPECT_EQ(errorOf([&] { dmd.sqlTavimPROPRIETARIO.setText("x"); }),
              "sqlTavim: Cannot modify a read-only dataset");
    q.close();
    q.setCommandText("SELECT * FROM TAVIM(:A, :B) WHERE 1=1");
    EXPECT_EQ(q.params()[0].dataType(), FieldKind::Unknown);
}

TEST_F(ReportQuery, UnknownDriverEntry) {
    dmd.sql.getDriverFunc = " getSQLDriverNONE ";
    EXPECT_EQ(errorOf([&] { generate(); }), "Unable to Find Procedure getSQLDriverNONE");
}

TEST_F(ReportQuery, WaitCursorWhileConnecting) {
    QStringList log;
    BusyCursor::setHook([&log](bool busy) { log << (busy ? "on" : "off"); });
    generate();
    generate();
    BusyCursor::setHook(nullptr);
    EXPECT_EQ(log, QStringList({"on", "off"}));
}

TEST(DataModule, DeclaredConnectionAndEnvironmentOverrides) {
    qunsetenv("TAVIM_DATABASE");
    qunsetenv("TAVIM_USER");
    qunsetenv("TAVIM_PASSWORD");
    qputenv("XDG_DATA_HOME", "/data/home");
    {
        TdmdCadastro dmd;
        EXPECT_EQ(dmd.sql.param("Database"), "/data/home/tavim/tavim.fdb");
        EXPECT_EQ(dmd.sql.param("User_Name"), "SYSDBA");
        EXPECT_EQ(dmd.sql.param("Password"), "tqzbrwomp");
        const ConnectionOptions o = dmd.sql.options();
        EXPECT_EQ(o.sqlDialect, 1);
        EXPECT_EQ(o.roleName, "RoleName");
        EXPECT_TRUE(o.serverCharSet.isEmpty());
        EXPECT_TRUE(o.waitOnLocks);
        EXPECT_FALSE(o.commitRetain);
        EXPECT_FALSE(o.trimChar);
        EXPECT_EQ(o.isolation, TransIsolation::ReadCommitted);
        EXPECT_EQ(o.pageBuffers, 256);
    }
    qputenv("TAVIM_DATABASE", " db.example:/srv/tavim.fdb ");
    qputenv("TAVIM_USER", "CLERK");
    qputenv("TAVIM_PASSWORD", "secret");
    {
        TdmdCadastro dmd;
        EXPECT_EQ(dmd.sql.options().database, "db.example:/srv/tavim.fdb");
        EXPECT_EQ(dmd.sql.options().userName, "CLERK");
        EXPECT_EQ(dmd.sql.options().password, "secret");
    }
    qunsetenv("TAVIM_DATABASE");
    qunsetenv("TAVIM_USER");
    qunsetenv("TAVIM_PASSWORD");
    qunsetenv("XDG_DATA_HOME");
}

TEST(DataModule, IsolationNames) {
    const std::pair<const char*, TransIsolation> cases[] = {
        {"ReadCommited", TransIsolation::ReadCommitted},
        {"repeatableread", TransIsolation::RepeatableRead},
        {"DIRTYREAD", TransIsolation::DirtyRead},
        {"anything", TransIsolation::ReadCommitted},
    };
    for (const auto& [name, level] : cases) {
        TdmdCadastro dmd;
        dmd.sql.setParam("Firebird TransIsolation", name);
        EXPECT_EQ(dmd.sql.options().isolation, level) << name;
    }
}

} // namespace
