// tavim-report: the listing without the window, for scripts and checks.

#include "app/Clock.h"
#include "app/ErrorMessage.h"
#include "batch/BatchOutputs.h"
#include "batch/ListingCsv.h"
#include "batch/ReportBatch.h"
#include "batch/ReportCommandLine.h"
#include "batch/ReportFind.h"
#include "batch/StandardOutput.h"
#include "batch/StopSignals.h"
#include "data/DataModCad.h"
#include "engine/print/BrSaveFile.h"
#include "error/Exception.h"
#include "format/LocaleSettings.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <memory>

using namespace tavim;

namespace {

int run(const ReportRequest& request, TStopSignals& stop) {
    // Made first: an output that cannot be created fails before the query.
    TBatchOutputs outputs(request);
    TdmdCadastro dmd;
    // The main thread may be blocked in a call to the server when a signal comes.
    const TStopDatabase stopQuery(stop, dmd.sql);
    if (request.database)
        dmd.sql.setParam("Database", *request.database);
    if (!request.open) {
        // Without a listing the pages are the rows' only reader: they walk the
        // rows as the server sends them, and hold few.
        if (request.list)
            dmd.RunReportQuery(request.monthIndex, request.yearText, request.ativos,
                               request.extraJudicial, request.juridico);
        else
            dmd.StreamReportQuery(request.monthIndex, request.yearText, request.ativos,
                                  request.extraJudicial, request.juridico);
        stop.check();
    }
    TStandardOutput standardOutput;
    if (request.list) {
        TBrSaveFile* file = outputs.listFile();
        WriteListingCsv(dmd.cdsTavim, [&](const QByteArray& text) {
            if (file)
                file->write(text.constData(), text.size());
            else
                standardOutput.write(text);
        });
    }
    if (request.writesPages())
        WriteReportPages(request, dmd, stop, outputs);
    outputs.commit();
    int matches = 0;
    if (request.find) {
        matches = WriteReportMatches(*request.open, *request.find,
                                     [&](const QByteArray& line) { standardOutput.write(line); });
        stop.check();
    }
    if ((request.list && !request.listFile) || request.find)
        standardOutput.close();
    return request.find && matches == 0 ? 1 : 0;
}

// Pages need fonts and painting; without a display they are drawn offscreen.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv, bool pages) {
    if (!pages)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QApplication>(argc, argv);
}

int reportMain(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const auto parsed = ParseReportCommandLine(args, SystemClock().today());
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        std::fprintf(stderr, "tavim-report: %s\n\n%s", qPrintable(usage->message),
                     qPrintable(ReportUsage()));
        return 2;
    }
    const ReportRequest& request = std::get<ReportRequest>(parsed);
    const auto app = makeApplication(argc, argv, request.wantsPages());
    LocaleSettings::reload();
    if (request.help) {
        std::fputs(qPrintable(ReportUsage()), stdout);
        return 0;
    }
    if (request.version) {
        std::printf("tavim-report %s\n", TAVIM_VERSION);
        return 0;
    }
    TStopSignals stop;
    try {
        return run(request, stop);
    } catch (const EInterrupted& stopped) {
        return stopped.exitCode();
    } catch (const EAbort&) {
        return 1;
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", ErrorBoxText(e.message()).toUtf8().constData());
        return 1;
    }
}

} // namespace

int main(int argc, char** argv) {
    TStandardOutput::holdClosedDescriptors();
    // Before any thread exists, so that every thread inherits it.
    TStopSignals::block();
    // Out of memory, a thread that cannot start: a message and exit 1, not a core dump.
    try {
        return reportMain(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavim-report: %s\n", e.what());
        return 1;
    }
}
