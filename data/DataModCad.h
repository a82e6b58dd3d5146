#pragma once

#include "data/DbConnection.h"
#include "data/DbQuery.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "data/RowStream.h"
#include "data/TableProvider.h"

#include <memory>

namespace tavim {

// Where the data module's declared Database points unless tavim.conf or TAVIM_DATABASE says
// otherwise: the embedded demo database in the user's data folder.
QString defaultDatabasePath();

// The data module: connection, report query, provider and result table, with
// the persistent fields of the query and of the table.
class TdmdCadastro : public TComponent {
public:
    explicit TdmdCadastro(TComponent* owner = nullptr);
    ~TdmdCadastro() override;

    // How the listing shows money: the money columns, and the report's totals and tax.
    static const QString kMoneyFormat;

    // The generate action: status list and period, then query and table.
    void RunReportQuery(int monthIndex, const QString& yearText, bool ativos, bool extraJudicial,
                        bool juridico);
    // The same for a reader without a grid: the table is forward only, its
    // rows read on a thread of their own while it is walked
    // (TMemTable::openForwardOnly), so that only a few blocks are held.
    void StreamReportQuery(int monthIndex, const QString& yearText, bool ativos, bool extraJudicial,
                           bool juridico);

    TDbConnection sql;
    TDbQuery sqlTavim;
    TStringField sqlTavimPROPRIETARIO;
    TStringField sqlTavimIMOVEL;
    TStringField sqlTavimINQUILINO;
    TFloatField sqlTavimALUGUEL;
    TFloatField sqlTavimTAXA_ADM;
    TFloatField sqlTavimOUTROS;
    TStringField sqlTavimOBSERVACOES;
    TStringField sqlTavimSITUACAO;
    TTableProvider dspTavim;
    TMemTable cdsTavim;
    TStringField cdsTavimPROPRIETARIO;
    TStringField cdsTavimIMOVEL;
    TStringField cdsTavimINQUILINO;
    TFloatField cdsTavimALUGUEL;
    TFloatField cdsTavimTAXA_ADM;
    TFloatField cdsTavimOUTROS;
    TStringField cdsTavimOBSERVACOES;
    TStringField cdsTavimSITUACAO;

private:
    void openQuery(int monthIndex, const QString& yearText, bool ativos, bool extraJudicial,
                   bool juridico);
    // Stops reading before the query closes.
    void closeTable();

    std::unique_ptr<TRowStream> m_rows;
};

// The parenthesised list of quoted status names of the ticked boxes.
QString StatusList(bool ativos, bool extraJudicial, bool juridico);

// The command text for a status list.
QString ReportCommandText(const QString& statusList);

} // namespace tavim
