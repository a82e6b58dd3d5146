#include "data/ParamMarkers.h"

#include <gtest/gtest.h>

using namespace tavim;

namespace {

TEST(ParamMarkers, ReplacesMarkersOutsideLiterals) {
    struct Case {
        const char* text;
        const char* server;
        QStringList names;
    };
    const Case cases[] = {
        {"SELECT * FROM TAVIM(:DT_INI, :DT_FIM) WHERE (SITUACAO IN ('ATIVADO')) OR (SITUACAO IS "
         "NULL) OR (SITUACAO='')",
         "SELECT * FROM TAVIM(?, ?) WHERE (SITUACAO IN ('ATIVADO')) OR (SITUACAO IS NULL) OR "
         "(SITUACAO='')",
         {"DT_INI", "DT_FIM"}},
        {"SELECT ':NOT' FROM T WHERE A = :A", "SELECT ':NOT' FROM T WHERE A = ?", {"A"}},
        {"SELECT \":X\" FROM T", "SELECT \":X\" FROM T", {}},
        {"SELECT 'it''s :no' , :yes", "SELECT 'it''s :no' , ?", {"yes"}},
        {"SELECT A::INTEGER", "SELECT A:INTEGER", {}},
        {"SELECT ':' || :P;", "SELECT ':' || ?;", {"P"}},
        {"X=:a\r\nY=:b\nZ=:c", "X=?\r\nY=?\nZ=?", {"a", "b", "c"}},
        {":P1,:P2)", "?,?)", {"P1", "P2"}},
        {"WHERE A=:END", "WHERE A=?", {"END"}},
        // A name runs on through characters that are not listed as ending it.
        {"F(:A+1)", "F(?)", {"A+1"}},
        // A quote of the other kind closes the literal too.
        {"SELECT '\" :A", "SELECT '\" ?", {"A"}},
        {"SELECT :: :X", "SELECT : ?", {"X"}},
        {"", "", {}},
    };
    for (const Case& c : cases) {
        const ParsedCommand parsed = ParseParamMarkers(c.text);
        EXPECT_EQ(parsed.serverText, QString(c.server)) << c.text;
        EXPECT_EQ(parsed.names, c.names) << c.text;
    }
}

} // namespace
