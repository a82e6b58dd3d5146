#pragma once

#include <QString>
#include <QStringList>

namespace tavim::bench {

// The demo database's February 2024 with every status ticked: about 65 rows
// per 100 contracts.
constexpr double kRowsPerContract = 0.65;

// A demo database in `folder` with about `rows` listing rows.
QString demoDatabase(const QString& folder, int rows);

struct ChildRun {
    int exitCode = -1;
    double seconds = 0;
    long peakKiB = 0; // the child's own peak resident size
};

// tavim-report with `args` on `database` for February 2024, all statuses.
ChildRun runReport(const QString& database, const QStringList& args);

// ReportLab drawing the rows in `csv` (as --list writes them) into `pdf`: its
// bytes and its own seconds, after the interpreter has started. Seconds are
// negative when the script failed.
struct ReportLabRun {
    double kilobytes = 0;
    double seconds = -1;
};
ReportLabRun reportLab(const QString& csv, const QString& pdf);

// The page count in a saved report file's header; -1 when it cannot be read.
int savedPages(const QString& file);

} // namespace tavim::bench
