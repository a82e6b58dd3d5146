#include "data/DataModCad.h"

#include "data/Conversions.h"
#include "data/DeploymentConfig.h"
#include "data/firebird/FirebirdDriver.h"
#include "error/DatabaseError.h"

#include <QDir>
#include <cstdio>

namespace tavim {

const QString TdmdCadastro::kMoneyFormat = QStringLiteral("###,##0.00");

namespace {

void declareConnection(TDbConnection& sql) {
    sql.driverName = QStringLiteral("Firebird");
    sql.getDriverFunc = QStringLiteral("getSQLDriverFIREBIRD");
    sql.vendorLib = QStringLiteral("libfbclient.so.2");
    sql.loginPrompt = false;
    // The listing reads each page once, in one pass: the engine's default
    // cache (2048 pages) would only grow the process with pages never read again.
    sql.pageBuffers = 256;
    sql.setParam("Database", defaultDatabasePath());
    sql.setParam("RoleName", "RoleName");
    sql.setParam("User_Name", "SYSDBA");
    sql.setParam("Password", "tqzbrwomp");
    sql.setParam("ServerCharSet", "");
    sql.setParam("SQLDialect", "1");
    sql.setParam("BlobSize", "-1");
    sql.setParam("CommitRetain", "False");
    sql.setParam("WaitOnLocks", "True");
    sql.setParam("ErrorResourceFile", "");
    sql.setParam("LocaleCode", "0000");
    sql.setParam("Firebird TransIsolation", "ReadCommited");
    sql.setParam("Trim Char", "False");
}

// An office points every clerk's program at its server in one file.
void applyDeploymentConfig(TDbConnection& sql) {
    const DeploymentConfig config = ReadDeploymentConfig();
    for (const QString& warning : config.warnings)
        std::fprintf(stderr, "tavim: warning: %s\n", warning.toLocal8Bit().constData());
    const std::pair<const std::optional<QString>&, const char*> settings[] = {
        {config.location, "Database"},
        {config.user, "User_Name"},
        {config.password, "Password"},
    };
    for (const auto& [value, param] : settings) {
        if (value)
            sql.setParam(param, *value);
    }
}

// The environment overrides the file, for one user or one run.
void applyEnvironment(TDbConnection& sql) {
    const std::pair<const char*, const char*> overrides[] = {
        {"TAVIM_DATABASE", "Database"},
        {"TAVIM_USER", "User_Name"},
        {"TAVIM_PASSWORD", "Password"},
    };
    for (const auto& [variable, param] : overrides) {
        if (qEnvironmentVariableIsSet(variable))
            sql.setParam(param, qEnvironmentVariable(variable));
    }
}

// TAVIM_REPLY_LIMIT replaces the seconds a call waits for the server's reply.
void applyReplyLimit(TDbConnection& sql) {
    if (!qEnvironmentVariableIsSet("TAVIM_REPLY_LIMIT"))
        return;
    const QString text = qEnvironmentVariable("TAVIM_REPLY_LIMIT");
    bool ok = false;
    const int seconds = text.trimmed().toInt(&ok);
    if (!ok || seconds < 1 || seconds > 3600)
        throw EDatabaseError(
            QStringLiteral(
                "TAVIM_REPLY_LIMIT must be a number of seconds from 1 to 3600, not \"%1\"")
                .arg(text));
    sql.replyLimit = std::chrono::seconds(seconds);
}

void registerDrivers() {
    static const bool registered = [] {
        TDbConnection::registerDriver("getSQLDriverFIREBIRD", [](const QString& vendorLib) {
            return std::make_unique<FirebirdDriver>(vendorLib);
        });
        return true;
    }();
    (void)registered;
}

} // namespace

QString defaultDatabasePath() {
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty())
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return dataHome + QStringLiteral("/tavim/tavim.fdb");
}

TdmdCadastro::TdmdCadastro(TComponent* owner)
    : TComponent(owner, QStringLiteral("dmdCadastro")), sql(this, QStringLiteral("sql")),
      sqlTavim(this, QStringLiteral("sqlTavim"), sql),
      sqlTavimPROPRIETARIO(this, sqlTavim, "PROPRIETARIO", 50),
      sqlTavimIMOVEL(this, sqlTavim, "IMOVEL", 90),
      sqlTavimINQUILINO(this, sqlTavim, "INQUILINO", 50),
      sqlTavimALUGUEL(this, sqlTavim, "ALUGUEL"), sqlTavimTAXA_ADM(this, sqlTavim, "TAXA_ADM"),
      sqlTavimOUTROS(this, sqlTavim, "OUTROS"),
      sqlTavimOBSERVACOES(this, sqlTavim, "OBSERVACOES", 50),
      sqlTavimSITUACAO(this, sqlTavim, "SITUACAO", 20),
      dspTavim(this, QStringLiteral("dspTavim"), sqlTavim),
      cdsTavim(this, QStringLiteral("cdsTavim")),
      cdsTavimPROPRIETARIO(this, cdsTavim, "PROPRIETARIO", 50),
      cdsTavimIMOVEL(this, cdsTavim, "IMOVEL", 90),
      cdsTavimINQUILINO(this, cdsTavim, "INQUILINO", 50),
      cdsTavimALUGUEL(this, cdsTavim, "ALUGUEL"), cdsTavimTAXA_ADM(this, cdsTavim, "TAXA_ADM"),
      cdsTavimOUTROS(this, cdsTavim, "OUTROS"),
      cdsTavimOBSERVACOES(this, cdsTavim, "OBSERVACOES", 50),
      cdsTavimSITUACAO(this, cdsTavim, "SITUACAO", 20) {
    registerDrivers();
    declareConnection(sql);
    applyDeploymentConfig(sql);
    applyEnvironment(sql);
    sqlTavim.setCommandText(QStringLiteral("SELECT * FROM TAVIM(:DT_INI, :DT_FIM)"));
    cdsTavim.setProviderName(QStringLiteral("dspTavim"));
    for (TFloatField* f : {&cdsTavimALUGUEL, &cdsTavimTAXA_ADM, &cdsTavimOUTROS})
        f->setDisplayFormat(kMoneyFormat);
}

TdmdCadastro::~TdmdCadastro() {
    // Also runs while a failure unwinds: closing must not throw over it.
    try {
        closeTable();
    } catch (const std::exception& e) {
        qCDebug(lcDatabase, "cdsTavim: closing failed: %s", e.what());
    }
    sqlTavim.closeQuietly();
    sql.close();
}

QString StatusList(bool ativos, bool extraJudicial, bool juridico) {
    QString text;
    const std::pair<bool, const char*> statuses[] = {
        {ativos, "ATIVADO"},
        {extraJudicial, "EXTRA JUDICIAL"},
        {juridico, "JURIDICO"},
    };
    for (const auto& [ticked, status] : statuses) {
        if (!ticked)
            continue;
        const QString quoted = QuoteText(QString::fromLatin1(status));
        text = text.isEmpty() ? quoted : text + QStringLiteral(", ") + quoted;
    }
    return QLatin1Char('(') + text + QLatin1Char(')');
}

QString ReportCommandText(const QString& statusList) {
    return QStringLiteral("SELECT * FROM TAVIM(:DT_INI, :DT_FIM) WHERE (SITUACAO IN ") +
           statusList + QStringLiteral(") OR (SITUACAO IS NULL) OR (SITUACAO='')");
}

void TdmdCadastro::RunReportQuery(int monthIndex, const QString& yearText, bool ativos,
                                  bool extraJudicial, bool juridico) {
    openQuery(monthIndex, yearText, ativos, extraJudicial, juridico);
    cdsTavim.open();
}

void TdmdCadastro::StreamReportQuery(int monthIndex, const QString& yearText, bool ativos,
                                     bool extraJudicial, bool juridico) {
    openQuery(monthIndex, yearText, ativos, extraJudicial, juridico);
    std::vector<ColumnDesc> columns = dspTavim.columns();
    m_rows = std::make_unique<TRowStream>(dspTavim);
    cdsTavim.openForwardOnly(std::move(columns), [this] { return m_rows->take(); });
}

void TdmdCadastro::closeTable() {
    m_rows.reset();
    cdsTavim.close();
}

void TdmdCadastro::openQuery(int monthIndex, const QString& yearText, bool ativos,
                             bool extraJudicial, bool juridico) {
    const QString statusList = StatusList(ativos, extraJudicial, juridico);
    const int month = monthIndex + 1;
    const int year = ParseInteger(yearText);
    const TDateTime firstDay = MakeDate(unsigned(year), unsigned(month), 1);
    const TDateTime lastDay = AddMonths(firstDay, 1) - 1;
    // Read here, not at start-up: a bad value is reported as "Gerar"'s failure.
    applyReplyLimit(sql);

    closeTable();
    sqlTavim.close();
    sqlTavim.setCommandText(ReportCommandText(statusList));
    sqlTavim.paramByName("DT_INI").setAsDate(firstDay);
    sqlTavim.paramByName("DT_FIM").setAsDate(lastDay);
    sqlTavim.open();
}

} // namespace tavim
