// The generate action against a real Firebird: the embedded engine and the
// server that scripts/test starts on loopback.

#include "data/DataModCad.h"
#include "data/firebird/FirebirdDriver.h"
#include "error/Exception.h"
#include "firebird/SilentPort.h"
#include "firebird/TestDatabase.h"

#include "ErrorText.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace tavim;
using namespace tavim::test;

namespace {

ContractRow contract(qint32 id, const char* owner, std::optional<QString> status, QDate start,
                     std::optional<QDate> end = std::nullopt) {
    ContractRow r;
    r.id = id;
    r.proprietario = QString::fromUtf8(owner);
    r.imovel = QStringLiteral("Rua São João, %1 - Centro").arg(id);
    r.inquilino = QStringLiteral("Inês Gonçalves");
    r.aluguel = 1000 + id + 0.25;
    r.taxaAdm = 100 + id;
    r.outros = id % 2 ? std::optional<double>() : 12.5;
    r.observacoes = QString();
    r.situacao = std::move(status);
    r.inicio = start;
    r.fim = end;
    return r;
}

const std::vector<ContractRow> kContracts = {
    contract(1, "ANA", QStringLiteral("ATIVADO"), QDate(2023, 1, 1)),
    contract(2, "BENTO D'ÁVILA", QStringLiteral("EXTRA JUDICIAL"), QDate(2023, 6, 1)),
    contract(3, "CAIO", QStringLiteral("JURIDICO"), QDate(2023, 1, 1), QDate(2024, 1, 31)),
    contract(4, "DÉBORA", std::nullopt, QDate(2024, 2, 29)),
    contract(5, "ERASMO", QString(), QDate(2023, 1, 1)),
    contract(6, "FÁBIO", QStringLiteral("RESCINDIDO"), QDate(2023, 1, 1)),
    contract(7, "GIL", QStringLiteral("ATIVADO"), QDate(2024, 3, 1)),
    contract(8, "HELENA", QStringLiteral("ATIVADO"), QDate(2023, 1, 1), QDate(2024, 2, 1)),
};

class DataModuleDb : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override {
        if (GetParam() == Engine::Server)
            TAVIM_REQUIRE_TEST_SERVER();
    }
    void point(TdmdCadastro& dmd, const TestDatabase& db) {
        const ConnectionOptions o = db.options(GetParam());
        dmd.sql.setParam("Database", o.database);
        dmd.sql.setParam("Password", o.password);
    }
    QStringList owners(TdmdCadastro& dmd) {
        QStringList out;
        for (dmd.cdsTavim.FirstRow(); !dmd.cdsTavim.eof(); dmd.cdsTavim.MoveRows(1))
            out << dmd.cdsTavimPROPRIETARIO.asString();
        return out;
    }
};

TEST_P(DataModuleDb, RowsPerPeriodAndStatus) {
    TestDatabase db(kContracts);
    TdmdCadastro dmd;
    point(dmd, db);
    struct Case {
        int monthIndex;
        const char* year;
        bool a, e, j;
        QStringList owners;
    };
    const Case cases[] = {
        {1, "2024", true, false, false, {"ANA", "DÉBORA", "ERASMO", "HELENA"}},
        {1, "2024", true, true, true, {"ANA", "BENTO D'ÁVILA", "DÉBORA", "ERASMO", "HELENA"}},
        {0, "2024", false, true, true, {"BENTO D'ÁVILA", "CAIO", "ERASMO"}},
        {2, "2024", true, false, false, {"ANA", "DÉBORA", "ERASMO", "GIL"}},
        {11, "2022", true, true, true, {}},
    };
    for (const Case& c : cases) {
        dmd.RunReportQuery(c.monthIndex, c.year, c.a, c.e, c.j);
        EXPECT_EQ(owners(dmd), c.owners) << c.monthIndex << "/" << c.year;
    }
}

TEST_P(DataModuleDb, ValuesArriveAsStored) {
    TestDatabase db(kContracts);
    TdmdCadastro dmd;
    point(dmd, db);
    dmd.RunReportQuery(1, "2024", true, true, true);
    EXPECT_TRUE(dmd.cdsTavimOUTROS.isNull());
    EXPECT_EQ(dmd.cdsTavimOUTROS.displayText(), "");
    dmd.cdsTavim.MoveRows(1);
    EXPECT_EQ(dmd.cdsTavimPROPRIETARIO.asString(), QStringLiteral("BENTO D'ÁVILA"));
    EXPECT_EQ(dmd.cdsTavimIMOVEL.asString(), QStringLiteral("Rua São João, 2 - Centro"));
    EXPECT_EQ(dmd.cdsTavimINQUILINO.asString(), QStringLiteral("Inês Gonçalves"));
    EXPECT_EQ(dmd.cdsTavimALUGUEL.asFloat(), 1002.25);
    EXPECT_EQ(dmd.cdsTavimOUTROS.asFloat(), 12.5);
    EXPECT_EQ(dmd.cdsTavimSITUACAO.asString(), "EXTRA JUDICIAL");
    dmd.cdsTavim.MoveRows(1);
    EXPECT_TRUE(dmd.cdsTavimSITUACAO.isNull());
    dmd.cdsTavim.MoveRows(1);
    EXPECT_FALSE(dmd.cdsTavimSITUACAO.isNull());
    EXPECT_EQ(dmd.cdsTavimSITUACAO.asString(), "");
    EXPECT_FALSE(dmd.cdsTavimOBSERVACOES.isNull());
}

TEST_P(DataModuleDb, SecondGenerationDiscardsEdits) {
    TestDatabase db(kContracts);
    TdmdCadastro dmd;
    point(dmd, db);
    dmd.RunReportQuery(1, "2024", true, false, false);
    dmd.cdsTavim.EditRow();
    dmd.cdsTavimPROPRIETARIO.setText("MUDADO");
    dmd.cdsTavim.InsertRow();
    dmd.cdsTavimPROPRIETARIO.setText("NOVO");
    dmd.cdsTavim.LastRow();
    dmd.cdsTavim.RemoveRow();
    dmd.RunReportQuery(1, "2024", true, false, false);
    EXPECT_EQ(owners(dmd), QStringList({"ANA", "DÉBORA", "ERASMO", "HELENA"}));
}

TEST_P(DataModuleDb, ProcedureShapes) {
    auto procedure = [](const char* columns) {
        return QStringLiteral("SET TERM ^ ;\nCREATE OR ALTER PROCEDURE TAVIM (DT_INI DATE, DT_FIM "
                              "DATE) RETURNS (%1) AS BEGIN PROPRIETARIO = 'X'; ALUGUEL = 5; "
                              "SUSPEND; END^\nSET TERM ; ^\n")
            .arg(QLatin1String(columns));
    };
    struct Case {
        const char* name;
        QString script;
        const char* error;
    };
    const Case cases[] = {
        {"extra column",
         procedure(
             "CODIGO INTEGER, PROPRIETARIO VARCHAR(50), IMOVEL VARCHAR(90), INQUILINO "
             "VARCHAR(50), ALUGUEL DOUBLE PRECISION, TAXA_ADM DOUBLE PRECISION, OUTROS DOUBLE "
             "PRECISION, OBSERVACOES VARCHAR(50), SITUACAO VARCHAR(20)"),
         nullptr},
        {"missing column",
         procedure("PROPRIETARIO VARCHAR(50), IMOVEL VARCHAR(90), INQUILINO VARCHAR(50), ALUGUEL "
                   "DOUBLE PRECISION, TAXA_ADM DOUBLE PRECISION, OUTROS DOUBLE PRECISION, SITUACAO "
                   "VARCHAR(20)"),
         "sqlTavim: Field 'OBSERVACOES' not found"},
        {"wrong kind",
         procedure("PROPRIETARIO VARCHAR(50), IMOVEL VARCHAR(90), INQUILINO VARCHAR(50), ALUGUEL "
                   "INTEGER, TAXA_ADM DOUBLE PRECISION, OUTROS DOUBLE PRECISION, OBSERVACOES "
                   "VARCHAR(50), SITUACAO VARCHAR(20)"),
         "sqlTavim: Type mismatch for field 'ALUGUEL', expecting: Float actual: Integer"},
    };
    for (const Case& c : cases) {
        TestDatabase db({}, c.script);
        TdmdCadastro dmd;
        point(dmd, db);
        EXPECT_EQ(errorOf([&] { dmd.RunReportQuery(1, "2024", true, false, false); }),
                  c.error ? QString(c.error) : "<no error>")
            << c.name;
        EXPECT_EQ(dmd.cdsTavim.active(), c.error == nullptr) << c.name;
        if (!c.error) {
            EXPECT_EQ(dmd.cdsTavimPROPRIETARIO.asString(), "X");
            EXPECT_EQ(dmd.cdsTavimALUGUEL.asFloat(), 5.0);
        }
    }
}

// Every row of sql, run in a session of its own.
std::vector<RowValues> rowsOf(const ConnectionOptions& options, const QString& sql) {
    const auto session = FirebirdDriver().connectSession(options);
    const auto statement = session->prepare(sql);
    statement->execute({});
    std::vector<RowValues> rows;
    for (RowValues row; statement->fetch(row);)
        rows.push_back(row);
    statement->close();
    return rows;
}

// The listing's query stays open after "Gerar"; its transaction must be one
// that never holds back the server's garbage collection.
TEST_P(DataModuleDb, TheOpenListingHoldsOnlyAReadOnlyReadCommittedTransaction) {
    TestDatabase db(kContracts);
    TdmdCadastro dmd;
    point(dmd, db);
    dmd.RunReportQuery(1, "2024", true, false, false);
    ASSERT_TRUE(dmd.sqlTavim.active());
    // MON$ISOLATION_MODE 2 and 3: read committed, with or without record versions.
    const auto rows =
        rowsOf(db.options(GetParam()), "SELECT T.MON$READ_ONLY, BIN_OR(T.MON$ISOLATION_MODE, 1) "
                                       "FROM MON$TRANSACTIONS T JOIN MON$ATTACHMENTS A "
                                       "ON A.MON$ATTACHMENT_ID = T.MON$ATTACHMENT_ID "
                                       "WHERE A.MON$SYSTEM_FLAG = 0 AND A.MON$ATTACHMENT_ID <> "
                                       "CURRENT_CONNECTION");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], Value(qint64(1)));
    EXPECT_EQ(rows[0][1], Value(qint64(3)));
}

// Texts arrive in each column's own set over the declared connection without
// one, and enter the table cut to the declared sizes: a VARCHAR(60) landlord,
// and UTF8 CHAR columns that arrive four bytes per character.
TEST_P(DataModuleDb, TextsInTheirColumnsSetCutToTheDeclaredSizes) {
    const QString script = QStringLiteral(
        "CREATE TABLE NOMES (K INTEGER, P VARCHAR(60) CHARACTER SET UTF8,"
        " I CHAR(90) CHARACTER SET UTF8, Q CHAR(50) CHARACTER SET UTF8,"
        " O VARCHAR(50) CHARACTER SET ISO8859_1, S VARCHAR(20) CHARACTER SET UTF8);\n"
        "SET TERM ^ ;\nCREATE OR ALTER PROCEDURE TAVIM (DT_INI DATE, DT_FIM DATE) RETURNS ("
        "PROPRIETARIO VARCHAR(60) CHARACTER SET UTF8, IMOVEL CHAR(90) CHARACTER SET UTF8,"
        " INQUILINO CHAR(50) CHARACTER SET UTF8, ALUGUEL DOUBLE PRECISION, TAXA_ADM DOUBLE "
        "PRECISION, OUTROS DOUBLE PRECISION, OBSERVACOES VARCHAR(50) CHARACTER SET ISO8859_1,"
        " SITUACAO VARCHAR(20) CHARACTER SET UTF8) AS BEGIN FOR SELECT P, I, Q, O, S FROM NOMES"
        " ORDER BY K INTO PROPRIETARIO, IMOVEL, INQUILINO, OBSERVACOES, SITUACAO DO SUSPEND;"
        " END^\nSET TERM ; ^\n");
    TestDatabase db({}, script);
    const QString landlord = QString::fromUtf16(u"Ñandú ").repeated(10);
    {
        ConnectionOptions utf8 = db.options(Engine::Embedded);
        utf8.serverCharSet = QStringLiteral("UTF8");
        FirebirdDriver().connectSession(utf8)->executeImmediate(
            QString::fromUtf16(u"INSERT INTO NOMES VALUES (1, '%1', 'Ação', "
                               u"'São João D''Ávila', 'Jürgen', 'ATIVADO')")
                .arg(landlord));
    }
    TdmdCadastro dmd;
    point(dmd, db);
    dmd.RunReportQuery(1, "2024", true, false, false);
    ASSERT_EQ(dmd.cdsTavim.rowCount(), 1);
    EXPECT_EQ(dmd.cdsTavimPROPRIETARIO.asString(), landlord.left(50));
    EXPECT_EQ(dmd.cdsTavimIMOVEL.asString(), QString::fromUtf16(u"Ação").leftJustified(90));
    EXPECT_EQ(dmd.cdsTavimINQUILINO.asString(),
              QString::fromUtf16(u"São João D'Ávila").leftJustified(50));
    EXPECT_EQ(dmd.cdsTavimOBSERVACOES.asString(), QString::fromUtf16(u"Jürgen"));
    EXPECT_EQ(dmd.cdsTavimSITUACAO.asString(), "ATIVADO");
}

TEST_P(DataModuleDb, NothingTickedIsRefusedByTheServer) {
    TestDatabase db(kContracts);
    TdmdCadastro dmd;
    point(dmd, db);
    dmd.RunReportQuery(1, "2024", true, false, false);
    const QString error = errorOf([&] { dmd.RunReportQuery(1, "2024", false, false, false); });
    EXPECT_TRUE(error.startsWith("Dynamic SQL Error")) << error.toStdString();
    EXPECT_FALSE(dmd.cdsTavim.active());
    dmd.RunReportQuery(1, "2024", true, false, false);
    EXPECT_EQ(dmd.cdsTavim.rowCount(), 4);
}

INSTANTIATE_TEST_SUITE_P(Engines, DataModuleDb, ::testing::Values(Engine::Embedded, Engine::Server),
                         [](const auto& info) {
                             return info.param == Engine::Embedded ? "Embedded" : "Server";
                         });

TEST(DataModuleServer, RefusedLoginThenRightPassword) {
    TAVIM_REQUIRE_TEST_SERVER();
    TestDatabase db(kContracts);
    TdmdCadastro dmd;
    dmd.sql.setParam("Database", db.database(Engine::Server));
    dmd.sql.setParam("Password", "wrong");
    EXPECT_EQ(errorOf([&] { dmd.RunReportQuery(1, "2024", true, false, false); }),
              "Your user name and password are not defined. Ask your database administrator to "
              "set up a Firebird login.");
    EXPECT_FALSE(dmd.sql.connected());
    EXPECT_FALSE(dmd.cdsTavim.active());
    dmd.sql.setParam("Password", testPassword());
    dmd.RunReportQuery(1, "2024", true, false, false);
    EXPECT_EQ(dmd.cdsTavim.rowCount(), 4);
}

TEST(DataModuleServer, UnreachableServer) {
    TdmdCadastro dmd;
    dmd.sql.setParam("Database", "localhost/1:/tmp/none.fdb");
    const QString error = errorOf([&] { dmd.RunReportQuery(1, "2024", true, false, false); });
    EXPECT_TRUE(error.startsWith("Unable to complete network request to host \"localhost\""))
        << error.toStdString();
    EXPECT_FALSE(dmd.sql.connected());
}

// The declared connection carries the connect timeout: the user sees the
// client's message, not a wait cursor for minutes.
TEST(DataModuleServer, AServerThatDoesNotAnswerFailsWithinFifteenSeconds) {
    const SilentPort silent;
    TdmdCadastro dmd;
    dmd.sql.setParam("Database", QStringLiteral("localhost/%1:/tmp/none.fdb").arg(silent.port()));
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(errorOf([&] { dmd.RunReportQuery(1, "2024", true, false, false); }),
              "connection rejected by remote interface");
    EXPECT_LT(waited.elapsed(), 15'000);
    EXPECT_FALSE(dmd.sql.connected());
    EXPECT_FALSE(dmd.cdsTavim.active());
}

TEST(DataModuleServer, MissingClientLibrary) {
    TdmdCadastro dmd;
    dmd.sql.vendorLib = "libdoesnotexist.so.2";
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(errorOf([&] { dmd.RunReportQuery(1, "2024", true, false, false); }),
                  "Unable to Load libdoesnotexist.so.2");
    }
}

} // namespace
