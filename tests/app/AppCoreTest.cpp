#include "app/ApplicationTitle.h"
#include "app/ErrorMessage.h"
#include "app/PeriodDefaults.h"
#include "app/WindowState.h"

#include <gtest/gtest.h>

using namespace tavim;

namespace {

TEST(ErrorBoxText, FullStopRule) {
    const std::pair<const char*, const char*> cases[] = {
        {"cdsTavim: Cannot perform this operation on a closed dataset",
         "cdsTavim: Cannot perform this operation on a closed dataset."},
        {"Invalid argument to date encode", "Invalid argument to date encode."},
        {"Already one.", "Already one."},
        {"ends in a digit 7", "ends in a digit 7."},
        {"ends in a comma,", "ends in a comma,"},
        {"ends in a dash-", "ends in a dash-"},
        {"Token unknown\n)", "Token unknown\n)"},
        {"space ", "space "},
        {"slash/", "slash/."},
        {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(ErrorBoxText(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
    EXPECT_EQ(ErrorBoxText(QStringLiteral("Situação")), QStringLiteral("Situação."));
}

TEST(ApplicationTitle, FromTheExecutableName) {
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/tavim", "Tavim"}, {"ABCDEF.EXE", "Abcdef"}, {"/opt/x.y/TAVIM.bin.old", "Tavim"},
        {"/usr/bin/.hidden", ""},    {"tAVIM", "Tavim"},
    };
    for (const auto& [path, title] : cases)
        EXPECT_EQ(ApplicationTitle(QString::fromUtf8(path)), QString::fromUtf8(title)) << path;
}

TEST(StartState, Requests) {
    EXPECT_EQ(ParseStartState(QStringLiteral("maximized")), StartState::Maximized);
    EXPECT_EQ(ParseStartState(QStringLiteral(" Minimized ")), StartState::Minimized);
    EXPECT_EQ(ParseStartState(QString()), StartState::Normal);
    EXPECT_EQ(ParseStartState(QStringLiteral("fullscreen")), StartState::Normal);
}

TEST(DefaultPeriod, PreviousMonthOfTheCurrentYear) {
    struct Case {
        QDate today;
        int monthIndex;
        QStringList years;
    };
    const Case cases[] = {
        {QDate(2024, 3, 15), 1, {"2022", "2023", "2024"}},
        {QDate(2024, 1, 10), 11, {"2022", "2023", "2024"}},
        {QDate(2024, 12, 31), 10, {"2022", "2023", "2024"}},
        {QDate(2026, 2, 1), 0, {"2024", "2025", "2026"}},
    };
    for (const Case& c : cases) {
        const PeriodDefaults p = DefaultPeriod(c.today);
        EXPECT_EQ(p.monthIndex, c.monthIndex) << c.today.toString().toStdString();
        EXPECT_EQ(p.years, c.years);
        EXPECT_EQ(p.yearIndex, 2);
    }
    EXPECT_EQ(MonthNames().at(DefaultPeriod(QDate(2024, 3, 15)).monthIndex), "FEVEREIRO");
}

} // namespace
