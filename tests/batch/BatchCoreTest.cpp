#include "batch/ListingCsv.h"
#include "batch/ReportCommandLine.h"

#include <gtest/gtest.h>
#include <limits>

using namespace tavim;

namespace {

TEST(ReportCommandLine, Requests) {
    const QDate today(2024, 3, 15);
    struct Case {
        QStringList args;
        int monthIndex;
        const char* year;
        bool a, e, j;
        const char* database;
    };
    const Case cases[] = {
        {{"--list"}, 1, "2024", true, false, false, nullptr},
        {{"--list", "--month", "12", "--year", "2005"}, 11, "2005", true, false, false, nullptr},
        {{"--list", "--month", "março"}, 2, "2024", true, false, false, nullptr},
        {{"--list", "--status", "juridico,extra-judicial"}, 1, "2024", false, true, true, nullptr},
        {{"--list", "--status", ""}, 1, "2024", false, false, false, nullptr},
        {{"--list", "--status", " Ativos , JURIDICO "}, 1, "2024", true, false, true, nullptr},
        {{"--list", "--year", "abc"}, 1, "abc", true, false, false, nullptr},
        {{"--list", "--database", "h:/x.fdb"}, 1, "2024", true, false, false, "h:/x.fdb"},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseReportCommandLine(c.args, today);
        const auto* r = std::get_if<ReportRequest>(&parsed);
        ASSERT_TRUE(r) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r->list);
        EXPECT_EQ(r->monthIndex, c.monthIndex);
        EXPECT_EQ(r->yearText, c.year);
        EXPECT_EQ(std::tie(r->ativos, r->extraJudicial, r->juridico), std::tie(c.a, c.e, c.j));
        EXPECT_EQ(r->database.has_value(), c.database != nullptr);
        if (c.database) {
            EXPECT_EQ(*r->database, c.database);
        }
    }
}

TEST(ReportCommandLine, DefaultPeriodIsTheCalendarsPreviousMonth) {
    struct Case {
        QDate today;
        int monthIndex;
        const char* year;
    };
    const Case cases[] = {
        {QDate(2025, 1, 15), 11, "2024"},  {QDate(2025, 1, 1), 11, "2024"},
        {QDate(2025, 2, 28), 0, "2025"},   {QDate(2024, 3, 31), 1, "2024"},
        {QDate(2024, 12, 31), 10, "2024"},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseReportCommandLine({"--list"}, c.today);
        const auto* r = std::get_if<ReportRequest>(&parsed);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->monthIndex, c.monthIndex) << c.today.toString().toStdString();
        EXPECT_EQ(r->yearText, c.year) << c.today.toString().toStdString();
    }
    // An explicit year keeps the default month.
    const auto parsed = ParseReportCommandLine({"--list", "--year", "2023"}, QDate(2025, 1, 15));
    ASSERT_TRUE(std::holds_alternative<ReportRequest>(parsed));
    EXPECT_EQ(std::get<ReportRequest>(parsed).monthIndex, 11);
    EXPECT_EQ(std::get<ReportRequest>(parsed).yearText, "2023");
}

TEST(ReportCommandLine, PageOutputs) {
    const auto parsed =
        ParseReportCommandLine({"--save", "a.brp", "--pdf", "b.pdf", "--png", "pages", "--print",
                                "TavimPDF", "--copies", "2", "--from", "2", "--to", "3"},
                               QDate(2024, 3, 15));
    ASSERT_TRUE(std::holds_alternative<ReportRequest>(parsed));
    const ReportRequest& r = std::get<ReportRequest>(parsed);
    EXPECT_EQ(r.save, QStringLiteral("a.brp"));
    EXPECT_EQ(r.pdf, QStringLiteral("b.pdf"));
    EXPECT_EQ(r.pngFolder, QStringLiteral("pages"));
    EXPECT_TRUE(r.print);
    EXPECT_EQ(r.printer, QStringLiteral("TavimPDF"));
    EXPECT_EQ(std::tuple(r.copies, r.fromPage, r.toPage), std::tuple(2, 2, 3));

    const auto defaultPrinter = ParseReportCommandLine({"--print", "--pdf", "x.pdf"}, QDate());
    ASSERT_TRUE(std::holds_alternative<ReportRequest>(defaultPrinter));
    EXPECT_TRUE(std::get<ReportRequest>(defaultPrinter).printer.isEmpty());
}

TEST(ReportCommandLine, UsageErrors) {
    const QStringList cases[] = {
        {},
        {"--month", "3"},
        {"--list", "--month"},
        {"--list", "--month", "13"},
        {"--list", "--month", "0"},
        {"--list", "--month", "MARCH"},
        {"--list", "--status", "ativos,nenhum"},
        {"--list", "--bogus"},
        {"--list", "a.csv", "extra"},
        {"--save", "x.brp", "--pdf", "./x.brp"},
        {"--list", "out", "--png", "out/"},
        {"--pdf"},
        {"--open", "a.brp", "--list"},
        {"--open", "a.brp", "--save", "b.brp"},
        {"--pdf", "b.pdf", "--find", "silva"},
        {"--open", "a.brp", "--find", ""},
        {"--print", "--copies", "0"},
        {"--print", "--from", "two"},
    };
    for (const QStringList& args : cases) {
        const auto parsed = ParseReportCommandLine(args, QDate(2024, 3, 15));
        EXPECT_TRUE(std::holds_alternative<UsageError>(parsed)) << args.join(' ').toStdString();
    }
}

TEST(CsvField, Values) {
    const std::pair<Value, const char*> cases[] = {
        {Value{}, ""},
        {QString(), "\"\""},
        {QStringLiteral("Ana"), "Ana"},
        {QStringLiteral("Rua A, 12"), "\"Rua A, 12\""},
        {QStringLiteral("diz \"sim\""), "\"diz \"\"sim\"\"\""},
        {QStringLiteral("linha\nnova"), "\"linha\nnova\""},
        {QStringLiteral("D'ÁVILA"), "D'ÁVILA"},
        {1234.5, "1234.5"},
        {0.1, "0.1"},
        {100000.0, "100000"},
        {-0.07, "-0.07"},
        {0.0, "0"},
        {1e25, "1e+25"},
        {1e-7, "1e-07"},
        {qint64(42), "42"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(CsvField(value), QByteArray(text)) << text;
}

TEST(CsvField, NumbersReadBackExactly) {
    const double values[] = {2.675,
                             0.005,
                             1234567.891,
                             999999.996,
                             1.0 / 3,
                             123456789012.34,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::min()};
    for (double v : values)
        EXPECT_EQ(std::stod(CsvField(v).toStdString()), v) << v;
}

} // namespace
