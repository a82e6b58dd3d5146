// Texts read by each column's own character set over a connection without one,
// as the data module connects; written through a UTF8 connection, where the
// server converts, so that the reading is checked against the server's own.
#include "data/firebird/ConnectionCharset.h"
#include "tests/data/firebird/DriverFixture.h"

namespace tavim::test {
namespace {

const QString kNames[] = {
    QString::fromUtf16(u"Ação"),
    QString::fromUtf16(u"Ñandú"),
    QString::fromUtf16(u"Jürgen"),
    QString::fromUtf16(u"São João D'Ávila"),
};

// Latin columns hold every name; the others hold texts of their own alphabets.
const char* const kLatinColumns[] = {"U", "L", "W", "N", "D", "F", "CU"};
const std::pair<const char*, const char16_t*> kOtherColumns[] = {
    {"R", u"Пётр Жуков"}, {"C", u"Пётр Жуков"}, {"G", u"Пётр Жуков"},
    {"E", u"Łódź Żółć"},  {"P", u"Łódź Żółć"},  {"GR", u"Ελλάδα"},
};

const QString kTables = QStringLiteral(
    "CREATE TABLE NAMES (K INTEGER NOT NULL,"
    " U VARCHAR(30) CHARACTER SET UTF8, L VARCHAR(30) CHARACTER SET ISO8859_1,"
    " W VARCHAR(30) CHARACTER SET WIN1252, N VARCHAR(30) CHARACTER SET NONE,"
    " D VARCHAR(30) CHARACTER SET DOS850, F CHAR(30) CHARACTER SET UNICODE_FSS,"
    " CU CHAR(20) CHARACTER SET UTF8);\n"
    "CREATE TABLE OTHERS (K INTEGER NOT NULL,"
    " R VARCHAR(20) CHARACTER SET KOI8R, C VARCHAR(20) CHARACTER SET WIN1251,"
    " G VARCHAR(20) CHARACTER SET DOS866, E VARCHAR(20) CHARACTER SET ISO8859_2,"
    " P VARCHAR(20) CHARACTER SET WIN1250, GR VARCHAR(20) CHARACTER SET WIN1253);\n");

class ColumnCharsets : public EngineTest {
protected:
    TestDatabase db = TestDatabase::withoutSchema(kTables, 3);

    ConnectionOptions withCharset(const char* charset) const {
        ConnectionOptions options = db.options(GetParam());
        options.serverCharSet = QString::fromLatin1(charset);
        return options;
    }

    // The server converts the UTF8 statement text into each column's set. A
    // NONE column takes its bytes as a connection without a set sends them.
    void fill() {
        const auto utf8 = connect(withCharset("UTF8"));
        const auto none = connect(withCharset(""));
        for (int k = 0; k < int(std::size(kNames)); ++k) {
            const QString name = QString(kNames[k]).replace(u'\'', QStringLiteral("''"));
            utf8->executeImmediate(QStringLiteral("INSERT INTO NAMES (K, U, L, W, D, F, CU) VALUES "
                                                  "(%1, '%2', '%2', '%2', '%2', '%2', '%2')")
                                       .arg(k)
                                       .arg(name));
            none->executeImmediate(
                QStringLiteral("UPDATE NAMES SET N = '%1' WHERE K = %2").arg(name).arg(k));
        }
        QString others = QStringLiteral("INSERT INTO OTHERS (K");
        QString values = QStringLiteral(") VALUES (1");
        for (const auto& [column, text] : kOtherColumns) {
            others += QStringLiteral(", ") + QLatin1StringView(column);
            values += QStringLiteral(", '%1'").arg(QString::fromUtf16(text));
        }
        utf8->executeImmediate(others + values + u')');
    }
};

TEST_P(ColumnCharsets, EachColumnIsReadByItsOwnSet) {
    fill();
    const auto session = connect(withCharset(""));
    const auto rows = query(*session, "SELECT U, L, W, N, D, F, CU FROM NAMES ORDER BY K");
    ASSERT_EQ(rows.size(), std::size(kNames));
    for (size_t k = 0; k < rows.size(); ++k) {
        for (size_t c = 0; c < std::size(kLatinColumns); ++c) {
            // CHAR keeps its padding to the declared width, in characters.
            const QString& name = kNames[k];
            const int width = c == 5 ? 30 : c == 6 ? 20 : 0;
            EXPECT_EQ(rows[k][c], Value(name.leftJustified(width, u' ')))
                << kLatinColumns[c] << " " << name.toStdString();
        }
    }
    const auto others = query(*session, "SELECT R, C, G, E, P, GR FROM OTHERS");
    ASSERT_EQ(others.size(), 1u);
    for (size_t c = 0; c < std::size(kOtherColumns); ++c)
        EXPECT_EQ(others[0][c], Value(QString::fromUtf16(kOtherColumns[c].second)))
            << kOtherColumns[c].first;
}

TEST_P(ColumnCharsets, SizesCountCharactersOfTheColumnsSet) {
    const auto statement =
        connect(withCharset(""))->prepare("SELECT U, N, F, CU, R FROM NAMES, OTHERS");
    std::vector<int> sizes;
    for (const ColumnDesc& column : statement->columns())
        sizes.push_back(column.size);
    EXPECT_EQ(sizes, std::vector<int>({30, 30, 30, 20, 20}));
}

// Parameters go in each column's own set, which the server accepts from a
// connection without one; read back through the server's conversion to UTF8.
TEST_P(ColumnCharsets, ParametersAreSentInTheColumnsSet) {
    {
        const auto none = connect(withCharset(""));
        std::vector<DbParam> params{{FieldKind::Integer, qint64(7)}};
        for (int i = 0; i < 5; ++i)
            params.push_back({FieldKind::String, kNames[3]});
        query(*none, "INSERT INTO NAMES (K, U, L, W, D, CU) VALUES (?, ?, ?, ?, ?, ?)", params);
        std::vector<DbParam> cyrillic{{FieldKind::Integer, qint64(8)},
                                      {FieldKind::String, QString::fromUtf16(u"Пётр Жуков")},
                                      {FieldKind::String, QString::fromUtf16(u"Łódź Żółć")}};
        query(*none, "INSERT INTO OTHERS (K, R, P) VALUES (?, ?, ?)", cyrillic);
    }
    const auto utf8 = connect(withCharset("UTF8"));
    const auto rows = query(*utf8, "SELECT U, L, W, D, TRIM(CU), OCTET_LENGTH(U), OCTET_LENGTH(W) "
                                   "FROM NAMES WHERE K = 7");
    ASSERT_EQ(rows.size(), 1u);
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(rows[0][c], Value(kNames[3])) << c;
    EXPECT_EQ(rows[0][5], Value(qint64(kNames[3].toUtf8().size())));
    EXPECT_EQ(rows[0][6], Value(qint64(kNames[3].size())));
    const auto others = query(*utf8, "SELECT R, P FROM OTHERS WHERE K = 8");
    ASSERT_EQ(others.size(), 1u);
    EXPECT_EQ(others[0][0], Value(QString::fromUtf16(u"Пётр Жуков")));
    EXPECT_EQ(others[0][1], Value(QString::fromUtf16(u"Łódź Żółć")));
}

TAVIM_ON_BOTH_ENGINES(ColumnCharsets);

// Bytes a set does not define read as U+FFFD, and characters it cannot hold
// are sent as '?', one per character (a surrogate pair is one); neither stops
// the rest of the text.
TEST(ColumnCharsetCodec, WhatASetCannotHold) {
    const auto set = [](const char* name) { return ConnectionCharset::fromName(name); };
    EXPECT_EQ(set("WIN1253").decode("a\xAA"
                                    "b"),
              QString::fromUtf16(u"a\uFFFDb"));
    EXPECT_EQ(set("KOI8R").decode("\xEB\xC1"), QString::fromUtf16(u"Ка"));
    EXPECT_EQ(set("WIN1250").encode(QString::fromUtf16(u"Łx\U0001F600Жy")), "\xA3x??y");
    EXPECT_EQ(set("DOS850").encode(QString::fromUtf16(u"Ação")), "A\x87\xC6o");
    EXPECT_EQ(set("UTF8").bytesPerCharacter(), 4);
    EXPECT_EQ(ConnectionCharset::fromId(0), std::nullopt);
    EXPECT_EQ(ConnectionCharset::fromId(1), std::nullopt);
    EXPECT_EQ(ConnectionCharset::fromId(4)->bytesPerCharacter(), 4);
}

} // namespace
} // namespace tavim::test
