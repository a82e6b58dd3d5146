#pragma once

#include "data/DbDriver.h"
#include "data/firebird/FbConnection.h"
#include "data/firebird/FbParams.h"
#include "data/firebird/FbRowBuffer.h"
#include "data/firebird/FbStatementHandle.h"
#include "data/firebird/FbTransaction.h"
#include "data/firebird/Sqlda.h"

#include <memory>

namespace tavim {

// A prepared statement. Its transaction starts at the first execute and is
// committed by close(), so repeated executes before a close (a prepared insert
// run for many rows) share one transaction; destroying the statement without
// close() rolls it back.
class FirebirdStatement : public DbStatement, private FbResource {
public:
    FirebirdStatement(std::shared_ptr<FbConnection> connection, const QString& sql);
    ~FirebirdStatement() override;

    int paramCount() const override { return int(m_paramTypes.size()); }
    const std::vector<ColumnDesc>& columns() const override { return m_columns; }
    // Executing again while a cursor is open closes it first, in the same transaction.
    void execute(const std::vector<DbParam>& params) override;
    bool fetch(RowValues& row) override;
    bool readAhead(int rows) override;
    void close() override;

private:
    void release() noexcept override;
    FbStatementHandle& handle();
    const FbClient& client() const { return m_connection->client(); }
    void prepare(const QString& sql);
    void describeOutput();
    void describeInput();
    int statementType();
    void bind(const std::vector<DbParam>& params);
    // Fetches the cursor's next row into the output descriptor; false at its end.
    bool fetchFromCursor(FbStatementHandle& statement);
    void readRow(RowValues& row);

    std::shared_ptr<FbConnection> m_connection;
    std::unique_ptr<FbStatementHandle> m_handle;
    FbTransaction m_transaction;
    Sqlda m_output;
    Sqlda m_input;
    FbRowBuffer m_readAhead;
    std::vector<ColumnDesc> m_columns;
    std::vector<ConnectionCharset> m_columnCharsets;
    std::vector<FbParamType> m_paramTypes;
    int m_type = 0;
    bool m_cursorOpen = false;
    bool m_atEnd = false;
    bool m_singletonPending = false;
    // Set when the connection closed under an unfinished transaction that
    // wrote, which close() must not report as committed.
    bool m_rolledBackByConnection = false;
};

} // namespace tavim
