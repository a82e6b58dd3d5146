#include "app/ReportBatch.h"

#include "app/PeriodDefaults.h"
#include "data/DataModCad.h"
#include "engine/BrExport.h"
#include "engine/BrNotices.h"
#include "engine/BrPrinter.h"
#include "format/Exception.h"
#include "report/FrmImpressao.h"

#include <QCoreApplication>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <unistd.h>

namespace tavim {

namespace {

// The run's progress notices as a bar on standard error, when that is a terminal.
class ProgressBar : public QObject {
public:
    ProgressBar() : m_shown(isatty(STDERR_FILENO)) {}
    ~ProgressBar() override {
        if (m_shown && m_drawn)
            std::fputs("\n", stderr);
    }

protected:
    bool event(QEvent* event) override {
        if (event->type() != TBrProgressEvent::type())
            return QObject::event(event);
        draw(static_cast<TBrProgressEvent*>(event)->percent());
        return true;
    }

private:
    void draw(int percent) {
        if (!m_shown)
            return;
        const int filled = qBound(0, percent, 100) * 40 / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%", QByteArray(filled, '#').constData(),
                     QByteArray(40 - filled, ' ').constData(), percent);
        std::fflush(stderr);
        m_drawn = true;
    }

    bool m_shown;
    bool m_drawn = false;
};

// Generates the report as the preview would and saves its pages to `file`;
// gives what a PDF of them is titled.
TPdfInfo generate(const ReportRequest& request, TdmdCadastro& data, const QString& file) {
    TfrmImpressao form(data);
    form.rpPeriodo->setCaption(QStringLiteral("Referênte ao mês de ") +
                               MonthNames().at(request.monthIndex) + QStringLiteral(" de ") +
                               request.yearText);
    ProgressBar bar;
    form.relatorio.PreviewHook = [&](TBrPrinter& store) {
        store.setClient(&bar);
        while (store.status() != TBrStatus::Finished) {
            QCoreApplication::processEvents();
            QThread::msleep(2);
        }
        QCoreApplication::processEvents();
        store.setClient(nullptr);
        store.save(file);
    };
    form.relatorio.ShowPreview();
    return form.relatorio.DocumentInfo();
}

int printerIndex(const QString& name) {
    if (name.isEmpty())
        return -1;
    const int index = int(QPrinterInfo::availablePrinterNames().indexOf(name));
    if (index < 0)
        throw Exception(QStringLiteral("Printer \"%1\" is not installed").arg(name));
    return index;
}

void print(const ReportRequest& request, TBrPrinter& store) {
    // Printing without a printer does nothing in the preview; here that would
    // report success for pages that went nowhere.
    if (!store.printerAvailable())
        throw Exception(QStringLiteral("No printer is installed"));
    store.takePrinterSettings(printerIndex(request.printer), TBrPaperSize::A4, 0, 0,
                              TBrOrientation::Portrait, request.copies, TBrBin::Auto,
                              request.fromPage, request.toPage);
    store.print();
}

} // namespace

void WriteReportPages(const ReportRequest& request, TdmdCadastro& data) {
    QTemporaryDir scratch;
    QString file = request.open.value_or(request.save.value_or(QString()));
    if (file.isEmpty())
        file = scratch.filePath(QStringLiteral("listing.brp"));
    // A saved file does not say which period and firm it lists.
    TPdfInfo info;
    if (!request.open)
        info = generate(request, data, file);

    TBrPrinter store;
    store.load(file);
    if (request.pdf)
        ExportPdf(store, *request.pdf, info);
    if (request.pngFolder)
        ExportPngs(store, *request.pngFolder);
    if (request.print)
        print(request, store);
}

} // namespace tavim
