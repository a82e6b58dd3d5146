#include "data/firebird/FirebirdSession.h"

#include "data/firebird/FbConnection.h"
#include "data/firebird/FbTransaction.h"
#include "data/firebird/FirebirdStatement.h"

#include <QFile>

namespace tavim {

namespace {

QByteArray quoted(QByteArray text) {
    return '\'' + text.replace('\'', "''") + '\'';
}

QByteArray createStatement(const QString& path, const ConnectionOptions& options) {
    QByteArray sql = "CREATE DATABASE " + quoted(QFile::encodeName(path));
    if (!options.userName.isEmpty())
        sql += " USER " + quoted(options.userName.toUtf8());
    if (!options.password.isEmpty())
        sql += " PASSWORD " + quoted(options.password.toUtf8());
    return sql + " DEFAULT CHARACTER SET WIN1252";
}

} // namespace

FirebirdSession::FirebirdSession(const FbClient& client, const ConnectionOptions& options)
    : m_connection(std::make_shared<FbConnection>(client, options)) {}

FirebirdSession::~FirebirdSession() {
    m_connection->close();
}

std::unique_ptr<DbStatement> FirebirdSession::prepare(const QString& sql) {
    return std::make_unique<FirebirdStatement>(m_connection, sql);
}

void FirebirdSession::cancel(DbCancel how) noexcept {
    m_connection->cancel(how);
}

void FirebirdSession::executeImmediate(const QString& sql) {
    const FbClient& client = m_connection->client();
    isc_db_handle* database = m_connection->handle();
    FbTransaction transaction(client);
    transaction.start(database, m_connection->transactionBlock());
    const QByteArray text = m_connection->charset().encode(sql);
    client.call(&FbApi::dsql_execute_immediate, database, transaction.handle(), ISC_USHORT(0),
                text.constData(), ISC_USHORT(m_connection->options().sqlDialect),
                static_cast<const XSQLDA*>(nullptr));
    transaction.commit();
}

void FirebirdSession::dropDatabase() {
    m_connection->dropDatabase();
}

std::unique_ptr<FirebirdSession> FirebirdSession::createDatabase(const QString& path,
                                                                 const ConnectionOptions& options,
                                                                 const QString& vendorLib) {
    const FbClient& client = FbClient::load(vendorLib);
    FbConnection::createDatabase(client, createStatement(path, options), options.sqlDialect);
    ConnectionOptions attach = options;
    attach.database = path;
    return std::make_unique<FirebirdSession>(client, attach);
}

} // namespace tavim
