// Values of every column type through params and rows, on a dialect-3 database.
#include "tests/data/firebird/DriverFixture.h"

#include <cmath>

namespace tavim::test {
namespace {

const QString kTypesTable = QStringLiteral(
    "CREATE TABLE T (K INTEGER NOT NULL PRIMARY KEY, SM SMALLINT, IT INTEGER, BI BIGINT, "
    "N2 NUMERIC(9,2), N4 NUMERIC(18,4), DP DOUBLE PRECISION, FL FLOAT, VC VARCHAR(20), "
    "CH CHAR(5), DT DATE, TM TIME, TS TIMESTAMP, MEMO BLOB SUB_TYPE TEXT, "
    "BIN BLOB SUB_TYPE BINARY, BO BOOLEAN);");

QString longText() {
    QString text;
    while (text.size() < 100'000)
        text += QString::fromUtf16(u"Caução de três aluguéis; ");
    return text;
}

struct TypeCase {
    const char* column;
    FieldKind kind;
    DbParam param;
    Value expected;
};

const std::vector<TypeCase>& typeCases() {
    static const std::vector<TypeCase> cases = {
        {"SM", FieldKind::SmallInt, {FieldKind::Integer, qint64(-32768)}, qint64(-32768)},
        {"IT", FieldKind::Integer, {FieldKind::Integer, qint64(2147483647)}, qint64(2147483647)},
        {"BI",
         FieldKind::LargeInt,
         {FieldKind::LargeInt, qint64(9007199254740993)},
         qint64(9007199254740993)},
        {"IT", FieldKind::Integer, {FieldKind::Float, 41.6}, qint64(42)},
        {"N2", FieldKind::BCD, {FieldKind::Float, 1234.56}, 1234.56},
        {"N2", FieldKind::BCD, {FieldKind::Float, -0.125}, -0.13},
        {"N2", FieldKind::BCD, {FieldKind::Integer, qint64(7)}, 7.0},
        {"N4", FieldKind::BCD, {FieldKind::Float, 123456789012.3456}, 123456789012.3456},
        {"DP", FieldKind::Float, {FieldKind::Float, 0.1}, 0.1},
        {"FL", FieldKind::Float, {FieldKind::Float, 1.5}, 1.5},
        {"VC",
         FieldKind::String,
         {FieldKind::String, QString::fromUtf16(u"Conceição")},
         QString::fromUtf16(u"Conceição")},
        {"VC", FieldKind::String, {FieldKind::String, QString("  ")}, QString("  ")},
        {"VC", FieldKind::String, {FieldKind::Float, 2.5}, QString("2.5")},
        {"CH", FieldKind::String, {FieldKind::String, QString("ab")}, QString("ab   ")},
        {"DT", FieldKind::Date, {FieldKind::Date, 38687.0}, 38687.0},
        {"TM", FieldKind::Time, {FieldKind::Time, 0.75}, 0.75},
        {"TS", FieldKind::DateTime, {FieldKind::DateTime, 38687.5}, 38687.5},
        {"TS", FieldKind::DateTime, {FieldKind::String, QString("2005-12-01 12:00")}, 38687.5},
        {"MEMO", FieldKind::Memo, {FieldKind::Memo, longText()}, longText()},
        {"BIN",
         FieldKind::Blob,
         {FieldKind::Blob, QString::fromLatin1("\x00\x01\xFF", 3)},
         QString::fromLatin1("\x00\x01\xFF", 3)},
        {"BO", FieldKind::Boolean, {FieldKind::Boolean, qint64(1)}, qint64(1)},
        {"BO", FieldKind::Boolean, {FieldKind::Boolean, qint64(0)}, qint64(0)},
    };
    return cases;
}

class DriverTypes : public EngineTest {
protected:
    TestDatabase db = TestDatabase::withoutSchema(kTypesTable, 3);
};

// Written in one connection character set and read in the other, so that texts
// passed through untranslated would show.
TEST_P(DriverTypes, ValuesRoundTripThroughParamsAndRows) {
    for (const auto& [writeCharset, readCharset] : {std::pair{"", "UTF8"}, {"UTF8", ""}}) {
        ConnectionOptions options = db.options(GetParam());
        options.serverCharSet = QString::fromLatin1(writeCharset);
        const auto writer = connect(options);
        options.serverCharSet = QString::fromLatin1(readCharset);
        const auto reader = connect(options);
        writer->executeImmediate("DELETE FROM T");
        qint64 key = 0;
        for (const TypeCase& c : typeCases()) {
            SCOPED_TRACE(std::string(c.column) + " written in '" + writeCharset + "'");
            ++key;
            const QString column = QString::fromLatin1(c.column);
            query(*writer, QStringLiteral("INSERT INTO T (K, %1) VALUES (?, ?)").arg(column),
                  {{FieldKind::Integer, key}, c.param});
            const auto statement =
                reader->prepare(QStringLiteral("SELECT %1 FROM T WHERE K = ?").arg(column));
            EXPECT_EQ(statement->columns().at(0).kind, c.kind);
            const auto rows = fetchAll(*statement, {{FieldKind::Integer, key}});
            ASSERT_EQ(rows.size(), 1u);
            if (std::holds_alternative<double>(c.expected))
                EXPECT_DOUBLE_EQ(std::get<double>(rows[0][0]), std::get<double>(c.expected));
            else
                EXPECT_EQ(rows[0][0], c.expected);
        }
    }
}

TEST_P(DriverTypes, NullsInEveryColumn) {
    const auto session = connect(db);
    const auto insert =
        session->prepare("INSERT INTO T VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    std::vector<DbParam> params(16);
    params[0] = {FieldKind::Integer, qint64(1)};
    fetchAll(*insert, params);
    const auto rows = query(*session, "SELECT * FROM T");
    ASSERT_EQ(rows.size(), 1u);
    for (size_t i = 1; i < rows[0].size(); ++i)
        EXPECT_TRUE(isNull(rows[0][i])) << i;
}

struct RefusedParam {
    const char* column;
    DbParam param;
    const char* message;
};

TEST_P(DriverTypes, ParamsThatDoNotFitAreRefused) {
    const RefusedParam cases[] = {
        {"SM", {FieldKind::Integer, qint64(32768)}, "Value of parameter 2 is out of range"},
        {"IT", {FieldKind::Float, 1e300}, "Value of parameter 2 is out of range"},
        {"BI", {FieldKind::Float, std::nan("")}, "Value of parameter 2 is out of range"},
        {"IT", {FieldKind::String, QString("abc")}, "conversion error from string \"abc\""},
        {"VC", {FieldKind::String, QString(21, u'x')}, "string right truncation"},
    };
    const auto session = connect(db);
    for (const RefusedParam& c : cases) {
        const auto insert = session->prepare(QStringLiteral("INSERT INTO T (K, %1) VALUES (?, ?)")
                                                 .arg(QString::fromLatin1(c.column)));
        const QString message = errorOf([&] {
            insert->execute({{FieldKind::Integer, qint64(1)}, c.param});
        });
        EXPECT_TRUE(message.contains(QString::fromLatin1(c.message))) << message.toStdString();
    }
    EXPECT_TRUE(query(*session, "SELECT * FROM T").empty());
}

struct CharCase {
    const char* serverCharSet;
    bool trimChar;
    const char* expected;
};

TEST_P(DriverTypes, CharPaddingIsKeptToTheColumnWidthOrTrimmed) {
    const CharCase cases[] = {
        {"", false, "ab   "},
        {"", true, "ab"},
        {"UTF8", false, "ab   "},
        {"UTF8", true, "ab"},
    };
    db.runScript("INSERT INTO T (K, CH, VC) VALUES (1, 'ab', 'cd  ');");
    for (const CharCase& c : cases) {
        ConnectionOptions options = db.options(GetParam());
        options.serverCharSet = QString::fromLatin1(c.serverCharSet);
        options.trimChar = c.trimChar;
        const auto rows = query(*connect(options), "SELECT CH, VC FROM T");
        EXPECT_EQ(rows.at(0)[0], Value(QString::fromLatin1(c.expected)))
            << c.serverCharSet << " " << c.trimChar;
        // VARCHAR keeps its blanks: they are data, not padding.
        EXPECT_EQ(rows.at(0)[1], Value(QString("cd  ")));
    }
}

TAVIM_ON_BOTH_ENGINES(DriverTypes);

} // namespace
} // namespace tavim::test
