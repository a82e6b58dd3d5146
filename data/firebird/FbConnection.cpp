#include "data/firebird/FbConnection.h"

#include "data/firebird/ParameterBlock.h"
#include "error/DatabaseError.h"

#include <QFile>

namespace tavim {

namespace {

// "host:path", "host/port:path" and "inet://..." reach a server; only a bare
// path opens the file in this process.
bool opensInProcess(const QString& database) {
    return !database.contains(QLatin1Char(':'));
}

} // namespace

QByteArray databaseParameterBlock(const ConnectionOptions& options,
                                  const ConnectionCharset& charset) {
    ParameterBlock dpb(isc_dpb_version1);
    dpb.string(isc_dpb_user_name, charset.encode(options.userName), QStringLiteral("User_Name"));
    dpb.string(isc_dpb_password, charset.encode(options.password), QStringLiteral("Password"));
    if (!options.roleName.isEmpty())
        dpb.string(isc_dpb_sql_role_name, charset.encode(options.roleName),
                   QStringLiteral("RoleName"));
    if (!options.serverCharSet.trimmed().isEmpty())
        dpb.string(isc_dpb_lc_ctype, options.serverCharSet.trimmed().toLatin1(),
                   QStringLiteral("ServerCharSet"));
    dpb.integer(isc_dpb_sql_dialect, options.sqlDialect);
    if (options.forcedWrites)
        dpb.integer(isc_dpb_force_write, *options.forcedWrites ? 1 : 0);
    if (options.connectTimeout > 0)
        dpb.integer(isc_dpb_connect_timeout, options.connectTimeout);
    // The engine takes a database's settings from the attachment that opens it
    // first; isc_dpb_num_buffers is ignored by the embedded engine.
    if (options.pageBuffers > 0 && opensInProcess(options.database))
        dpb.string(isc_dpb_config,
                   QByteArray("DefaultDbCachePages = ") + QByteArray::number(options.pageBuffers),
                   QStringLiteral("pageBuffers"));
    return dpb.bytes();
}

namespace {

QByteArray transactionBlockFor(const ConnectionOptions& options, int access) {
    ParameterBlock tpb(isc_tpb_version3);
    tpb.tag(access);
    if (options.isolation == TransIsolation::RepeatableRead)
        tpb.tag(isc_tpb_concurrency);
    else
        tpb.tag(isc_tpb_read_committed).tag(isc_tpb_rec_version);
    tpb.tag(options.waitOnLocks ? isc_tpb_wait : isc_tpb_nowait);
    return tpb.bytes();
}

} // namespace

FbConnection::FbConnection(const FbClient& client, const ConnectionOptions& options)
    : m_client(client), m_options(options),
      m_charset(ConnectionCharset::fromName(options.serverCharSet)),
      m_transactionBlock(transactionBlockFor(options, isc_tpb_write)),
      m_readTransactionBlock(transactionBlockFor(options, isc_tpb_read)) {
    const QByteArray dpb = databaseParameterBlock(options, m_charset);
    m_client.call(&FbApi::attach_database, short(0),
                  QFile::encodeName(options.database).constData(), &m_handle, short(dpb.size()),
                  dpb.constData());
    const std::lock_guard lock(m_cancelMutex);
    m_cancelHandle = m_handle;
}

FbConnection::FbConnection(const FbClient& client)
    : m_client(client), m_charset(ConnectionCharset::fromName({})) {}

void FbConnection::createDatabase(const FbClient& client, const QByteArray& statement,
                                  int dialect) {
    FbConnection created(client);
    isc_tr_handle transaction = 0;
    client.call(&FbApi::dsql_execute_immediate, &created.m_handle, &transaction, ISC_USHORT(0),
                statement.constData(), ISC_USHORT(dialect), static_cast<const XSQLDA*>(nullptr));
    client.call(&FbApi::detach_database, &created.m_handle);
}

isc_db_handle* FbConnection::handle() {
    if (!m_handle)
        throw EDatabaseError(QStringLiteral("Database connection is closed"));
    return &m_handle;
}

void FbConnection::releaseResources() noexcept {
    // Taken out first: a released statement destroyed later finds nothing to remove.
    const auto resources = std::move(m_resources);
    m_resources.clear();
    for (FbResource* resource : resources)
        resource->release();
}

void FbConnection::close() noexcept {
    if (!m_handle)
        return;
    releaseResources();
    m_client.callQuietly(&FbApi::detach_database, &m_handle);
    m_handle = 0;
    const std::lock_guard lock(m_cancelMutex);
    m_cancelHandle = 0;
}

void FbConnection::cancel(DbCancel how) noexcept {
    const std::lock_guard lock(m_cancelMutex);
    if (!m_cancelHandle)
        return;
    isc_db_handle handle = m_cancelHandle;
    m_client.callQuietly(&FbApi::cancel_operation, &handle,
                         ISC_USHORT(how == DbCancel::Raise ? fb_cancel_raise : fb_cancel_abort));
}

void FbConnection::dropDatabase() {
    releaseResources();
    m_client.call(&FbApi::drop_database, handle());
    m_handle = 0;
    const std::lock_guard lock(m_cancelMutex);
    m_cancelHandle = 0;
}

} // namespace tavim
