// The generate action's fetch of a 100 000-contract database, against isql-fb
// fetching the same statement with its output thrown away, in the same run.

#include "app/PeriodDefaults.h"
#include "data/DataModCad.h"
#include "tools/DemoDatabase.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace tavim;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kContracts = 100000;
constexpr int kRounds = 3;

double bestSeconds(const std::function<void()>& run) {
    double best = 1e300;
    for (int i = 0; i < kRounds; ++i) {
        const auto start = Clock::now();
        run();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

long statusKiB(const char* key) {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(strlen(key))).trimmed().split(' ').first().toLong();
    }
    return 0;
}

} // namespace

int main() {
    QTemporaryDir folder;
    const QString path = folder.filePath("bench.fdb");
    const QDate today = QDate::currentDate();
    const auto created = Clock::now();
    createDemoDatabase(path, kContracts, 1, today);
    std::printf("created %d contracts in %.2f s\n", kContracts,
                std::chrono::duration<double>(Clock::now() - created).count());

    const PeriodDefaults period = DefaultPeriod(today);
    const QString year = period.years[period.yearIndex];
    int rows = 0;
    long rssGrowth = 0, peakGrowth = 0;
    const double ours = bestSeconds([&] {
        const long rssBefore = statusKiB("VmRSS:");
        const long peakBefore = statusKiB("VmHWM:");
        TdmdCadastro dmd;
        dmd.sql.setParam("Database", path);
        dmd.RunReportQuery(period.monthIndex, year, true, true, true);
        rows = dmd.cdsTavim.rowCount();
        rssGrowth = statusKiB("VmRSS:") - rssBefore;
        peakGrowth = std::max(peakGrowth, statusKiB("VmHWM:") - peakBefore);
    });

    // isql-fb runs the statement the generate action sends, with literal dates.
    const int month = period.monthIndex + 1;
    const QDate first(year.toInt(), month, 1);
    const QString script = folder.filePath("fetch.sql");
    QFile sql(script);
    if (!sql.open(QIODevice::WriteOnly))
        return 1;
    sql.write(
        QStringLiteral("SET HEADING OFF;\nSELECT * FROM TAVIM('%1', '%2') WHERE (SITUACAO IN "
                       "('ATIVADO', 'EXTRA JUDICIAL', 'JURIDICO')) OR (SITUACAO IS NULL) OR "
                       "(SITUACAO='');\n")
            .arg(first.toString(Qt::ISODate), first.addMonths(1).addDays(-1).toString(Qt::ISODate))
            .toUtf8());
    sql.close();
    const QByteArray command = QStringLiteral("isql-fb -q -user SYSDBA -i '%1' '%2' > /dev/null")
                                   .arg(script, path)
                                   .toUtf8();
    int isqlStatus = 0;
    const double isql = bestSeconds([&] { isqlStatus = std::system(command.constData()); });
    if (isqlStatus != 0) {
        std::fprintf(stderr, "isql-fb failed\n");
        return 1;
    }

    std::printf("rows fetched:                 %d\n", rows);
    std::printf("RunReportQuery until open:    %.3f s\n", ours);
    std::printf("isql-fb, output discarded:    %.3f s\n", isql);
    std::printf("ratio ours/isql-fb:           %.2f\n", ours / isql);
    if (rows > 0) {
        std::printf("memory held per row:          %.0f bytes\n", rssGrowth * 1024.0 / rows);
        std::printf("peak memory growth per row:   %.0f bytes\n", peakGrowth * 1024.0 / rows);
    }
}
