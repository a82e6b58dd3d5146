#include "tools/IsqlScript.h"
#include "tools/Schema.h"

#include "tests/data/firebird/QtPrinters.h"

#include <gtest/gtest.h>

namespace tavim {
namespace {

struct SplitCase {
    const char* name;
    const char* script;
    QStringList statements;
};

const SplitCase kSplitCases[] = {
    {"Plain",
     "CREATE TABLE A (X INTEGER);\nDROP TABLE A;",
     {"CREATE TABLE A (X INTEGER)", "DROP TABLE A"}},
    {"LastWithoutTerminator",
     "SELECT 1 FROM R; SELECT 2 FROM R",
     {"SELECT 1 FROM R", "SELECT 2 FROM R"}},
    {"EmptyStatements", " ;;\n ; ", {}},
    {"SetTerm",
     "SET TERM ^ ;\nCREATE PROCEDURE P AS BEGIN X = 1; Y = 2; END^\nSET TERM ; ^\nSELECT 3 FROM R;",
     {"CREATE PROCEDURE P AS BEGIN X = 1; Y = 2; END", "SELECT 3 FROM R"}},
    {"SetTermLowerCaseAndLongTerminator",
     "set term !! ;\nA; B!!\nset term ; !!\nC;",
     {"A; B", "C"}},
    {"StringsHideTerminators",
     "INSERT INTO T VALUES ('a;b', 'c^d', 'it''s; fine', '--x', '/*y');",
     {"INSERT INTO T VALUES ('a;b', 'c^d', 'it''s; fine', '--x', '/*y')"}},
    {"StringsHideTheChangedTerminator",
     "SET TERM ^;\nSELECT '^' FROM R^\nSET TERM ;^",
     {"SELECT '^' FROM R"}},
    {"QuotedNames", "SELECT \"a;b\" FROM T;", {"SELECT \"a;b\" FROM T"}},
    {"CommentsBeforeAStatementAreDropped",
     "-- heading; with a terminator\n/* block; */ SELECT 1 FROM R; /* trailing; */\n-- end;",
     {"SELECT 1 FROM R"}},
    {"CommentsInsideAreKept",
     "SELECT 1 /* one; */ FROM R -- the table;\n;",
     {"SELECT 1 /* one; */ FROM R -- the table;"}},
    {"DialectIsSkipped",
     "SET SQL DIALECT 1;\nset sql dialect 3 ;\nSELECT 1 FROM R;",
     {"SELECT 1 FROM R"}},
};

class IsqlScriptSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(IsqlScriptSplit, GivesTheStatements) {
    EXPECT_EQ(splitIsqlScript(QString::fromUtf8(GetParam().script)), GetParam().statements);
}

INSTANTIATE_TEST_SUITE_P(Table, IsqlScriptSplit, testing::ValuesIn(kSplitCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TavimSchema, SplitsIntoTableIndexesAndProcedure) {
    const QStringList statements = splitIsqlScript(tavimSchemaScript());
    ASSERT_EQ(statements.size(), 4);
    EXPECT_TRUE(statements[0].startsWith("CREATE TABLE CONTRATOS"));
    EXPECT_TRUE(statements[1].startsWith("CREATE INDEX"));
    EXPECT_TRUE(statements[2].startsWith("CREATE INDEX"));
    EXPECT_TRUE(statements[3].startsWith("CREATE PROCEDURE TAVIM"));
    EXPECT_TRUE(statements[3].endsWith("END"));
}

} // namespace
} // namespace tavim
