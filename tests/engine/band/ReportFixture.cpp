#include "ReportFixture.h"

#include "engine/band/BrCanvas.h"

#include <QPainter>

namespace tavim::test {

RowsModule::RowsModule(int rows)
    : TComponent(nullptr, "dmd"), provider(this, "dspTavim"), table(this, "cdsTavim"),
      proprietario(this, table, "PROPRIETARIO", 40), aluguel(this, table, "ALUGUEL") {
    table.setProviderName("dspTavim");
    aluguel.setDisplayFormat("###,##0.00");
    provider.packet.columns = {{"PROPRIETARIO", FieldKind::String, 40},
                               {"ALUGUEL", FieldKind::Float, 0}};
    for (int i = 1; i <= rows; ++i)
        provider.packet.rows.push_back({QStringLiteral("Locador %1").arg(i), double(i)});
}

ProbeControl::ProbeControl(TBrBand& band, QStringList& log)
    : TBrPrintable(band, band.name() + "Probe"), m_log(log) {}

bool ProbeControl::print(TBrCanvas& canvas, long double, long double oy) {
    const QString entry =
        QStringLiteral("%1 p%2 y%3").arg(band().name()).arg(report().pageNumber()).arg(double(oy));
    m_log << entry;
    // On paper too, for the tests that read printed pages back.
    canvas.painter().drawText(canvas.toDeviceX(100), canvas.toDeviceY(oy + 30), entry);
    return true;
}

TraceReport::TraceReport(TMemTable* table)
    : TComponent(nullptr, "frmTrace"), table(table), report(this, "relatorio"),
      header(report, "header", TBrBandType::rbPageHeader),
      detail(report, "detail", TBrBandType::rbDetail),
      footer(report, "footer", TBrBandType::rbPageFooter),
      summary(report, "summary", TBrBandType::rbSummary), headerProbe(header, log),
      detailProbe(detail, log), footerProbe(footer, log), summaryProbe(summary, log) {
    report.DataSet = table;
    report.Options.FirstPageHeader = true;
    report.Options.LastPageFooter = true;
    report.PrintIfEmpty = true;
    report.Page.Values = {100.0L, 2970.0L, 130.0L, 2100.0L, 26.45833333333333L, 13.22916666666667L,
                          0.0L};
    header.Size.Values = {254.0L, 2061.104166666667L};
    detail.Size.Values = {44.97916666666667L, 2061.104166666667L};
    footer.Size.Values = {129.6458333333333L, 2061.104166666667L};
    summary.Size.Values = {722.3125L, 2061.104166666667L};
    report.BeforePrint = [this](TBandReport&, bool&) { logBefore("report"); };
    detail.BeforePrint = [this](TBrBand&, bool&) { logBefore("before detail"); };
    footer.BeforePrint = [this](TBrBand&, bool&) { logBefore("before footer"); };
    summary.BeforePrint = [this](TBrBand&, bool&) { logBefore("before summary"); };
}

void TraceReport::logBefore(const QString& what) {
    const int row = table && table->active() ? table->rowNumber() : 0;
    log << QStringLiteral("%1 row %2").arg(what).arg(row);
}

} // namespace tavim::test
