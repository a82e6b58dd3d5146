#include "data/firebird/FirebirdStatement.h"

#include "data/firebird/FbColumns.h"
#include "data/firebird/FbReply.h"
#include "error/DatabaseError.h"

namespace tavim {

namespace {

EDatabaseError connectionClosed() {
    return EDatabaseError(QStringLiteral("Database connection is closed"));
}

bool isTransactionControl(int type) {
    return type == isc_info_sql_stmt_start_trans || type == isc_info_sql_stmt_commit ||
           type == isc_info_sql_stmt_rollback;
}

bool opensCursor(int type) {
    return type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd;
}

} // namespace

FirebirdStatement::FirebirdStatement(std::shared_ptr<FbConnection> connection, const QString& sql)
    : m_connection(std::move(connection)), m_transaction(m_connection->client()) {
    prepare(sql);
    m_connection->add(this);
}

FirebirdStatement::~FirebirdStatement() {
    release();
    m_connection->remove(this);
}

void FirebirdStatement::release() noexcept {
    if (m_cursorOpen)
        m_handle->closeCursorQuietly();
    m_cursorOpen = false;
    m_singletonPending = false;
    m_readAhead.clear();
    // A cursor's transaction only read; losing it loses nothing.
    m_rolledBackByConnection = m_transaction.active() && !opensCursor(m_type);
    m_transaction.rollbackQuietly();
    m_handle.reset();
}

FbStatementHandle& FirebirdStatement::handle() {
    if (!m_handle)
        throw connectionClosed();
    return *m_handle;
}

void FirebirdStatement::prepare(const QString& sql) {
    isc_db_handle* database = m_connection->handle();
    // Preparing reads metadata, in a transaction of its own; the statement
    // may then run in any other.
    FbTransaction transaction(client());
    transaction.start(database, m_connection->transactionBlock());
    m_handle = std::make_unique<FbStatementHandle>(client(), database);
    const QByteArray text = m_connection->charset().encode(sql);
    client().call(&FbApi::dsql_prepare, transaction.handle(), m_handle->get(), ISC_USHORT(0),
                  text.constData(), ISC_USHORT(m_connection->options().sqlDialect), m_output.get());
    m_type = statementType();
    if (isTransactionControl(m_type))
        throw EDatabaseError(QStringLiteral(
            "Transaction statements are not supported: every statement runs in its own"));
    describeOutput();
    describeInput();
    transaction.commit();
}

int FirebirdStatement::statementType() {
    const char items[] = {isc_info_sql_stmt_type};
    char buffer[16] = {};
    client().call(&FbApi::dsql_sql_info, m_handle->get(), short(sizeof items), items,
                  short(sizeof buffer), buffer);
    return statementTypeOf(QByteArrayView(buffer, sizeof buffer));
}

void FirebirdStatement::describeOutput() {
    if (!m_output.holdsAll()) {
        m_output.reserve(m_output.count());
        client().call(&FbApi::dsql_describe, m_handle->get(), ISC_USHORT(SQLDA_VERSION1),
                      m_output.get());
    }
    m_output.allocateDescribed();
    for (int i = 0; i < m_output.count(); ++i) {
        m_columns.push_back(describeColumn(m_output.var(i), m_connection->charset()));
        m_columnCharsets.push_back(textCharsetOf(m_output.var(i), m_connection->charset()));
    }
}

void FirebirdStatement::describeInput() {
    client().call(&FbApi::dsql_describe_bind, m_handle->get(), ISC_USHORT(SQLDA_VERSION1),
                  m_input.get());
    if (!m_input.holdsAll()) {
        m_input.reserve(m_input.count());
        client().call(&FbApi::dsql_describe_bind, m_handle->get(), ISC_USHORT(SQLDA_VERSION1),
                      m_input.get());
    }
    for (int i = 0; i < m_input.count(); ++i)
        m_paramTypes.push_back(paramTypeOf(m_input.var(i)));
}

void FirebirdStatement::execute(const std::vector<DbParam>& params) {
    FbStatementHandle& statement = handle();
    if (params.size() != m_paramTypes.size())
        throw EDatabaseError(QStringLiteral("Statement has %1 parameters, %2 given")
                                 .arg(m_paramTypes.size())
                                 .arg(params.size()));
    if (m_cursorOpen) {
        m_cursorOpen = false;
        statement.closeCursor();
    }
    m_singletonPending = false;
    m_readAhead.clear();
    if (!m_transaction.active())
        m_transaction.start(m_connection->handle(), m_type == isc_info_sql_stmt_select
                                                        ? m_connection->readTransactionBlock()
                                                        : m_connection->transactionBlock());
    bind(params);
    XSQLDA* input = m_paramTypes.empty() ? nullptr : m_input.get();
    if (m_type == isc_info_sql_stmt_exec_procedure && !m_columns.empty()) {
        client().call(&FbApi::dsql_execute2, m_transaction.handle(), statement.get(),
                      ISC_USHORT(SQLDA_VERSION1), input, m_output.get());
        m_singletonPending = true;
        return;
    }
    client().call(&FbApi::dsql_execute, m_transaction.handle(), statement.get(),
                  ISC_USHORT(SQLDA_VERSION1), input);
    m_cursorOpen = opensCursor(m_type);
    m_atEnd = false;
}

void FirebirdStatement::bind(const std::vector<DbParam>& params) {
    const FbParamContext context{client(), m_connection->handle(), m_transaction.handle(),
                                 m_connection->charset()};
    for (size_t i = 0; i < params.size(); ++i)
        bindParam(m_input, int(i), m_paramTypes[i], params[i], context);
}

bool FirebirdStatement::fetch(RowValues& row) {
    FbStatementHandle& statement = handle();
    if (m_singletonPending) {
        m_singletonPending = false;
        readRow(row);
        return true;
    }
    if (!m_readAhead.takeInto(m_output) && !fetchFromCursor(statement))
        return false;
    readRow(row);
    return true;
}

bool FirebirdStatement::readAhead(int rows) {
    FbStatementHandle& statement = handle();
    for (int i = 0; i < rows; ++i) {
        if (!fetchFromCursor(statement))
            return false;
        m_readAhead.append(m_output);
    }
    return true;
}

bool FirebirdStatement::fetchFromCursor(FbStatementHandle& statement) {
    if (!m_cursorOpen || m_atEnd)
        return false;
    const ISC_STATUS result = client().call(&FbApi::dsql_fetch, statement.get(),
                                            ISC_USHORT(SQLDA_VERSION1), m_output.get());
    constexpr ISC_STATUS kNoMoreRows = 100;
    m_atEnd = result == kNoMoreRows;
    return !m_atEnd;
}

void FirebirdStatement::readRow(RowValues& row) {
    const FbRowContext context{client(), m_connection->handle(), m_transaction.handle(),
                               m_connection->charset(), m_connection->options().trimChar};
    row.assign(m_columns.size(), Value{});
    for (int i = 0; i < m_output.count(); ++i) {
        if (!m_output.isNull(i))
            row[i] = readColumn(m_output.var(i), m_columns[i], m_columnCharsets[i], context);
    }
}

void FirebirdStatement::close() {
    if (!m_handle) {
        if (m_rolledBackByConnection) {
            m_rolledBackByConnection = false;
            throw EDatabaseError(QStringLiteral(
                "Database connection was closed; the statement's work was rolled back"));
        }
        return;
    }
    if (m_cursorOpen) {
        m_cursorOpen = false;
        m_handle->closeCursor();
    }
    m_singletonPending = false;
    m_readAhead.clear();
    m_transaction.commit();
}

} // namespace tavim
