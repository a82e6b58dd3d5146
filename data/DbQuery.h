#pragma once

#include "data/DataSet.h"
#include "data/DbDriver.h"
#include "data/Param.h"

#include <QLoggingCategory>
#include <functional>
#include <memory>
#include <vector>

namespace tavim {

// Failures that can only be logged (closing while an error unwinds), for
// developers: tavim.database, off by default.
Q_DECLARE_LOGGING_CATEGORY(lcDatabase)

class TDbConnection;

// A forward-only query with ":NAME" parameters bound to the server's "?" places.
class TDbQuery : public TDataSet {
public:
    TDbQuery(TComponent* owner, const QString& name, TDbConnection& connection);
    ~TDbQuery() override;

    const QString& commandText() const { return m_commandText; }
    // Rebuilds the parameters from the text's markers; refused while open.
    void setCommandText(const QString& text);
    const std::vector<TParam>& params() const { return m_params; }
    TParam& paramByName(const QString& name);

    // Connects if needed, prepares, binds, executes, binds the fields and
    // stands on the first row.
    void open();
    void close();
    // For destructors: a failure is logged (tavim.database), not thrown.
    void closeQuietly() noexcept;
    bool active() const override { return m_active; }
    bool eof() const { return m_eof; }
    void next();
    // Takes every remaining row from the server now; next() then serves them.
    void readAhead();

    const Value& fieldValue(const TField& field) const override;
    void writeField(TField& field, Value value) override;

private:
    void bindParams(std::vector<DbParam>& out) const;
    // A call to the server under the connection's watchdog.
    void serverCall(const std::function<void(DbSession&)>& call);
    void forgetStatementIfCut();
    void closeStatement();
    void logCloseFailure(const std::exception& e) const noexcept;

    TDbConnection& m_connection;
    QString m_commandText;
    QString m_serverText;
    std::vector<TParam> m_params;
    std::unique_ptr<DbStatement> m_statement;
    RowValues m_row;
    bool m_active = false;
    bool m_eof = true;
    bool m_allRead = false; // every row is held by the statement
};

} // namespace tavim
