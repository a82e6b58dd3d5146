#pragma once

#include "data/DataSet.h"
#include "data/DbDriver.h"
#include "data/Param.h"

#include <memory>
#include <vector>

namespace tavim {

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
    bool active() const override { return m_active; }
    bool eof() const { return m_eof; }
    void next();
    // Takes every remaining row from the server now; next() then serves them.
    void readAhead();

    const Value& fieldValue(const TField& field) const override;
    void writeField(TField& field, Value value) override;

private:
    void bindParams(std::vector<DbParam>& out) const;

    TDbConnection& m_connection;
    QString m_commandText;
    QString m_serverText;
    std::vector<TParam> m_params;
    std::unique_ptr<DbStatement> m_statement;
    RowValues m_row;
    bool m_active = false;
    bool m_eof = true;
};

} // namespace tavim
