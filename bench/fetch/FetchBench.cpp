// The generate action's fetch of a 100 000-contract database, against isql-fb
// fetching the same statement with its output thrown away, in the same run,
// and the table's memory a row beyond the texts it holds.
// Usage: tavim-bench-fetch [contracts].

#include "app/PeriodDefaults.h"
#include "data/DataModCad.h"
#include "data/Field.h"
#include "tools/DemoDatabase.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <malloc.h>
#include <unordered_set>

using namespace tavim;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kDefaultContracts = 100000;
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

// Building the database raised the peak far above any fetch's.
void resetPeak() {
    QFile refs("/proc/self/clear_refs");
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// What the program has taken from the heap and not given back.
double heapBytes() {
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks) + double(info.hblkhd);
}

// The UTF-16 bytes of the distinct texts the table holds: texts shared among
// rows count once, as they are held once.
double textBytes(TMemTable& table) {
    std::unordered_set<const void*> seen;
    double bytes = 0;
    table.FirstRow();
    while (!table.eof()) {
        for (const TField* field : table.fields()) {
            const auto* text = std::get_if<QString>(&table.fieldValue(*field));
            if (text && seen.insert(text->constData()).second)
                bytes += double(text->size()) * 2;
        }
        table.MoveRows(1);
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    const int contracts = argc > 1 ? std::atoi(argv[1]) : kDefaultContracts;
    if (contracts <= 0) {
        std::fprintf(stderr, "usage: tavim-bench-fetch [contracts]\n");
        return 2;
    }
    QTemporaryDir folder;
    const QString path = folder.filePath("bench.fdb");
    const QDate today = QDate::currentDate();
    const auto created = Clock::now();
    createDemoDatabase(path, contracts, 1, today);
    std::printf("created %d contracts in %.2f s\n", contracts,
                std::chrono::duration<double>(Clock::now() - created).count());

    const PeriodDefaults period = DefaultPeriod(today);
    const QString year = period.years[period.yearIndex];
    int rows = 0;
    double texts = 0;
    long peakGrowth = 0;
    const double ours = bestSeconds([&] {
        resetPeak();
        const long peakBefore = statusKiB("VmHWM:");
        TdmdCadastro dmd;
        dmd.sql.setParam("Database", path);
        dmd.RunReportQuery(period.monthIndex, year, true, true, true);
        rows = dmd.cdsTavim.rowCount();
        peakGrowth = std::max(peakGrowth, statusKiB("VmHWM:") - peakBefore);
    });
    double held = 0;
    {
        // Apart from the timed runs: the resident size keeps what their tables
        // freed, the heap's count does not.
        const double heapBefore = heapBytes();
        TdmdCadastro dmd;
        dmd.sql.setParam("Database", path);
        dmd.RunReportQuery(period.monthIndex, year, true, true, true);
        held = heapBytes() - heapBefore;
        texts = textBytes(dmd.cdsTavim);
    }

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
        std::printf("memory held per row:          %.0f bytes\n", held / rows);
        std::printf("texts held per row:           %.0f bytes\n", texts / rows);
        std::printf("held beyond the texts:        %.0f bytes a row (goal at most 250)\n",
                    (held - texts) / rows);
        std::printf("peak memory growth per row:   %.0f bytes\n", peakGrowth * 1024.0 / rows);
    }
}
