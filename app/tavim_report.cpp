// tavim-report: the listing without the window, for scripts and checks.

#include "app/Clock.h"
#include "app/ErrorMessage.h"
#include "app/ListingCsv.h"
#include "app/ReportCommandLine.h"
#include "data/DataModCad.h"
#include "format/Exception.h"
#include "format/LocaleSettings.h"

#include <QCoreApplication>
#include <cstdio>

using namespace tavim;

namespace {

int writeListing(const ReportRequest& request) {
    TdmdCadastro dmd;
    if (request.database)
        dmd.sql.setParam("Database", *request.database);
    dmd.RunReportQuery(request.monthIndex, request.yearText, request.ativos, request.extraJudicial,
                       request.juridico);
    WriteListingCsv(dmd.cdsTavim, [](const QByteArray& text) {
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    });
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    LocaleSettings::reload();
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const auto parsed = ParseReportCommandLine(args, SystemClock().today());
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        std::fprintf(stderr, "tavim-report: %s\n\n%s", qPrintable(usage->message),
                     qPrintable(ReportUsage()));
        return 2;
    }
    const ReportRequest& request = std::get<ReportRequest>(parsed);
    if (request.help) {
        std::fputs(qPrintable(ReportUsage()), stdout);
        return 0;
    }
    if (request.version) {
        std::printf("tavim-report %s\n", TAVIM_VERSION);
        return 0;
    }
    try {
        return writeListing(request);
    } catch (const EAbort&) {
        return 1;
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", ErrorBoxText(e.message()).toUtf8().constData());
        return 1;
    }
}
