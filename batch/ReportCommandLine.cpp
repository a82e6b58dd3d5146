#include "batch/ReportCommandLine.h"

#include "app/PeriodDefaults.h"

#include <QDir>
#include <QFileInfo>
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

// The file a path names, links and "." resolved where they exist.
QString fileOf(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

// One output written over another would lose the first one.
std::optional<QString> samePath(const ReportRequest& request) {
    QStringList seen;
    for (const auto* output :
         {&request.listFile, &request.save, &request.pdf, &request.pngFolder}) {
        if (!*output)
            continue;
        const QString file = fileOf(**output);
        if (seen.contains(file))
            return **output;
        seen << file;
    }
    return std::nullopt;
}

} // namespace

QString ReportUsage() {
    return QStringLiteral(
        "Usage: tavim-report [--list [FILE]] [--save FILE] [--pdf FILE] [--png DIR] [--print "
        "[PRINTER]]\n"
        "                    [--month M] [--year Y] [--status LIST] [--database CONN]\n"
        "       tavim-report --open FILE [--pdf FILE] [--png DIR] [--print [PRINTER]]\n"
        "                    [--find TEXT]\n"
        "\n"
        "Runs the month's listing query and writes its rows as CSV, or generates the\n"
        "municipality report once and writes its pages to every output asked for.\n"
        "\n"
        "  --list [FILE]     write the listing as CSV (UTF-8, a header line, RFC 4180)\n"
        "                    to FILE, else to standard output\n"
        "  --save FILE       the saved report file (.brp), as the preview's Save writes it\n"
        "  --pdf FILE        the pages as an A4 PDF, texts kept as text\n"
        "  --png DIR         the pages as DIR/page-001.png ... at 96 dpi (794 x 1123)\n"
        "  --open FILE       take the pages from a saved report file instead\n"
        "  --find TEXT       print \"page N: line\" for each match of TEXT in the pages\n"
        "                    of --open (case and accents ignored); exit 1 without one\n"
        "  --print [PRINTER] print on the default printer or the named queue\n"
        "  --copies N        copies to print (default 1)\n"
        "  --from N, --to N  print only pages N to M\n"
        "  --month M         month 1-12 or its name (JANEIRO...); default: the previous month\n"
        "  --year Y          year; default: the previous month's year\n"
        "  --status LIST     comma list of ativos, extra-judicial, juridico; default: ativos\n"
        "  --database CONN   database, host:/path/file.fdb or a local path\n"
        "  --help            this text\n"
        "  --version         the program's version\n"
        "\n"
        "Connection settings: the [database] section (location, user, password) of\n"
        "tavim.conf in $XDG_CONFIG_HOME/tavim or $XDG_CONFIG_DIRS/tavim (/etc/xdg/tavim);\n"
        "TAVIM_DATABASE, TAVIM_USER, TAVIM_PASSWORD override it; --database overrides both.\n"
        "TAVIM_REPLY_LIMIT: seconds a database call waits for the server's reply (30).\n"
        "A progress bar goes to standard error when it is a terminal.\n"
        "Files are written aside and put in place only when the whole call succeeded;\n"
        "a failed or interrupted call leaves the files that were there as they were.\n"
        "Exit codes: 0 done, 1 the listing failed (message on standard error) or --find\n"
        "found nothing, 2 usage error.\n");
}

std::variant<ReportRequest, UsageError> ParseReportCommandLine(const QStringList& args,
                                                               const QDate& today) {
    // The calendar's previous month, so that January lists December of the
    // year before rather than a month still to come.
    const QDate previousMonth = today.addMonths(-1);
    ReportRequest request;
    request.monthIndex = previousMonth.month() - 1;
    request.yearText = QString::number(previousMonth.year());
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        static const QStringList valued = {
            QStringLiteral("--month"),    QStringLiteral("--year"), QStringLiteral("--status"),
            QStringLiteral("--database"), QStringLiteral("--save"), QStringLiteral("--pdf"),
            QStringLiteral("--png"),      QStringLiteral("--open"), QStringLiteral("--copies"),
            QStringLiteral("--find"),     QStringLiteral("--from"), QStringLiteral("--to")};
        const bool takesValue = valued.contains(arg);
        if (takesValue && i + 1 >= args.size())
            return UsageError{QStringLiteral("option %1 needs a value").arg(arg)};
        if (arg == QLatin1String("--help")) {
            request.help = true;
        } else if (arg == QLatin1String("--version")) {
            request.version = true;
        } else if (arg == QLatin1String("--list")) {
            request.list = true;
            if (i + 1 < args.size() && !args[i + 1].startsWith(QLatin1String("--")))
                request.listFile = args[++i];
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
        } else if (arg == QLatin1String("--save")) {
            request.save = args[++i];
        } else if (arg == QLatin1String("--pdf")) {
            request.pdf = args[++i];
        } else if (arg == QLatin1String("--png")) {
            request.pngFolder = args[++i];
        } else if (arg == QLatin1String("--open")) {
            request.open = args[++i];
        } else if (arg == QLatin1String("--find")) {
            request.find = args[++i];
            if (request.find->isEmpty())
                return UsageError{QStringLiteral("--find needs a text to search for")};
        } else if (arg == QLatin1String("--print")) {
            request.print = true;
            if (i + 1 < args.size() && !args[i + 1].startsWith(QLatin1String("--")))
                request.printer = args[++i];
        } else if (arg == QLatin1String("--copies") || arg == QLatin1String("--from") ||
                   arg == QLatin1String("--to")) {
            bool ok = false;
            const int n = args[++i].toInt(&ok);
            if (!ok || n < (arg == QLatin1String("--copies") ? 1 : 0))
                return UsageError{
                    QStringLiteral("%1 needs a page count or number: %2").arg(arg, args[i])};
            (arg == QLatin1String("--copies") ? request.copies
             : arg == QLatin1String("--from") ? request.fromPage
                                              : request.toPage) = n;
        } else {
            return UsageError{QStringLiteral("unknown argument: %1").arg(arg)};
        }
    }
    if (request.help || request.version)
        return request;
    if (!request.list && !request.wantsPages())
        return UsageError{QStringLiteral("nothing to do: give --list or a page output")};
    if (request.open && request.list)
        return UsageError{
            QStringLiteral("--open takes pages from a file: --list has no rows there")};
    if (request.find && !request.open)
        return UsageError{QStringLiteral("--find searches a saved file: give --open FILE")};
    if (request.open && request.save)
        return UsageError{QStringLiteral("--open and --save: copy the file instead")};
    if (const auto same = samePath(request))
        return UsageError{QStringLiteral("two outputs name one path: %1").arg(*same)};
    return request;
}

} // namespace tavim
