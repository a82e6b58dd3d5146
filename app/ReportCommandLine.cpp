#include "app/ReportCommandLine.h"

#include "app/PeriodDefaults.h"

#include <variant>

namespace tavim {

namespace {

std::optional<int> monthIndexOf(const QString& text) {
    bool ok = false;
    const int number = text.toInt(&ok);
    if (ok)
        return number >= 1 && number <= 12 ? std::optional<int>(number - 1) : std::nullopt;
    const int index = int(MonthNames().indexOf(text.toUpper()));
    return index >= 0 ? std::optional<int>(index) : std::nullopt;
}

// Sets the three status flags from a comma list; false on an unknown name.
bool setStatuses(ReportRequest& request, const QString& list) {
    request.ativos = request.extraJudicial = request.juridico = false;
    for (const QString& item : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = item.trimmed().toLower();
        if (name == QLatin1String("ativos"))
            request.ativos = true;
        else if (name == QLatin1String("extra-judicial"))
            request.extraJudicial = true;
        else if (name == QLatin1String("juridico"))
            request.juridico = true;
        else
            return false;
    }
    return true;
}

} // namespace

QString ReportUsage() {
    return QStringLiteral(
        "Usage: tavim-report --list [--month M] [--year Y] [--status LIST] [--database CONN]\n"
        "\n"
        "Runs the month's listing query and writes the rows to standard output as CSV.\n"
        "\n"
        "  --list            write the listing as CSV (UTF-8, a header line, RFC 4180)\n"
        "  --month M         month 1-12 or its name (JANEIRO...); default: the previous month\n"
        "  --year Y          year; default: the current year\n"
        "  --status LIST     comma list of ativos, extra-judicial, juridico; default: ativos\n"
        "  --database CONN   database, host:/path/file.fdb or a local path\n"
        "  --help            this text\n"
        "  --version         the program's version\n"
        "\n"
        "Environment: TAVIM_DATABASE, TAVIM_USER, TAVIM_PASSWORD override the built-in\n"
        "connection settings; --database overrides TAVIM_DATABASE.\n"
        "Exit codes: 0 done, 1 the listing failed (message on standard error), 2 usage error.\n");
}

std::variant<ReportRequest, UsageError> ParseReportCommandLine(const QStringList& args,
                                                               const QDate& today) {
    const PeriodDefaults period = DefaultPeriod(today);
    ReportRequest request;
    request.monthIndex = period.monthIndex;
    request.yearText = period.years[period.yearIndex];
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool takesValue = arg == QLatin1String("--month") || arg == QLatin1String("--year") ||
                                arg == QLatin1String("--status") ||
                                arg == QLatin1String("--database");
        if (takesValue && i + 1 >= args.size())
            return UsageError{QStringLiteral("option %1 needs a value").arg(arg)};
        if (arg == QLatin1String("--help")) {
            request.help = true;
        } else if (arg == QLatin1String("--version")) {
            request.version = true;
        } else if (arg == QLatin1String("--list")) {
            request.list = true;
        } else if (arg == QLatin1String("--month")) {
            const std::optional<int> index = monthIndexOf(args[++i]);
            if (!index)
                return UsageError{QStringLiteral("no such month: %1").arg(args[i])};
            request.monthIndex = *index;
        } else if (arg == QLatin1String("--year")) {
            request.yearText = args[++i];
        } else if (arg == QLatin1String("--status")) {
            if (!setStatuses(request, args[++i]))
                return UsageError{QStringLiteral("unknown status in: %1").arg(args[i])};
        } else if (arg == QLatin1String("--database")) {
            request.database = args[++i];
        } else {
            return UsageError{QStringLiteral("unknown argument: %1").arg(arg)};
        }
    }
    if (!request.list && !request.help && !request.version)
        return UsageError{QStringLiteral("nothing to do: give --list")};
    return request;
}

} // namespace tavim
