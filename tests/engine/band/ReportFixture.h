#pragma once

#include "data/DataProvider.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "engine/band/BandReport.h"
#include "engine/band/BrBand.h"
#include "engine/band/BrPrintable.h"

#include <QStringList>
#include <ostream>

// Lets the tests print texts in their messages and failures.
inline std::ostream& operator<<(std::ostream& os, const QString& s) {
    return os << s.toStdString();
}

namespace tavim::test {

// Serves a fixed packet, as the query's provider would.
class PacketProvider : public TDataProvider {
public:
    using TDataProvider::TDataProvider;
    DataPacket getRecords() override { return packet; }
    DataPacket packet;
};

// A result table of `rows` rows: PROPRIETARIO "Locador <i>", ALUGUEL i.
class RowsModule : public TComponent {
public:
    explicit RowsModule(int rows);

    PacketProvider provider;
    TMemTable table;
    TStringField proprietario;
    TFloatField aluguel;
};

// Logs "<band> p<page> y<top>" each time its band is output.
class ProbeControl : public TBrPrintable {
public:
    ProbeControl(TBrBand& band, QStringList& log);
    bool print(TBrCanvas& canvas, long double ox, long double oy) override;

private:
    QStringList& m_log;
};

// The municipality report's skeleton: its page values and four bands, each
// with a probe, and every BeforePrint logged with the table's current row.
class TraceReport : public TComponent {
public:
    explicit TraceReport(TMemTable* table);

    QStringList log;
    TMemTable* table;
    TBandReport report;
    TBrBand header;
    TBrBand detail;
    TBrBand footer;
    TBrBand summary;
    ProbeControl headerProbe;
    ProbeControl detailProbe;
    ProbeControl footerProbe;
    ProbeControl summaryProbe;

private:
    void logBefore(const QString& what);
};

} // namespace tavim::test
