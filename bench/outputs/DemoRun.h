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

} // namespace tavim::bench
