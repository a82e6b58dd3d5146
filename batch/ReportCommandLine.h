#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

namespace tavim {

// What tavim-report was asked to do.
struct ReportRequest {
    bool help = false;
    bool version = false;
    bool list = false;
    std::optional<QString> listFile; // without it the listing goes to standard output
    int monthIndex = 0;
    QString yearText;
    bool ativos = true;
    bool extraJudicial = false;
    bool juridico = false;
    std::optional<QString> database;

    // Page outputs, all from one generation run (or from the file --open names).
    std::optional<QString> save;
    std::optional<QString> pdf;
    std::optional<QString> pngFolder;
    std::optional<QString> open;
    std::optional<QString> find; // a text searched in the pages of --open
    bool print = false;
    QString printer; // empty: the default printer
    int copies = 1;
    int fromPage = 0; // 0: no limit
    int toPage = 0;

    bool writesPages() const { return save || pdf || pngFolder || print; }
    bool wantsPages() const { return writesPages() || find; }
};

struct UsageError {
    QString message;
};

// Parses the arguments after the program name; the period defaults to the
// calendar month before `today`. Returns the request or a usage error.
std::variant<ReportRequest, UsageError> ParseReportCommandLine(const QStringList& args,
                                                               const QDate& today);

QString ReportUsage();

} // namespace tavim
