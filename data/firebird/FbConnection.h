#pragma once

#include "data/DbDriver.h"
#include "data/firebird/ConnectionCharset.h"
#include "data/firebird/FbClient.h"

#include <QByteArray>
#include <mutex>
#include <set>

namespace tavim {

// The attach parameters for options: names, role, character set, dialect,
// timeout, and the embedded engine's cache size for a database without a host.
QByteArray databaseParameterBlock(const ConnectionOptions& options,
                                  const ConnectionCharset& charset);

// What a connection must release before it detaches: statements and their
// transactions, which the server will not let outlive the attachment.
class FbResource {
public:
    virtual void release() noexcept = 0;

protected:
    ~FbResource() = default;
};

// One attachment, shared by its session and its statements so that either may
// go first: when the session goes, every resource still registered is released
// and the attachment detached; a statement used afterwards raises an error.
// Used on its session's thread; cancel() from any thread, under m_cancelMutex.
class FbConnection {
public:
    FbConnection(const FbClient& client, const ConnectionOptions& options);
    // Runs a CREATE DATABASE statement, which attaches to the new database, and
    // detaches again.
    static void createDatabase(const FbClient& client, const QByteArray& statement, int dialect);
    ~FbConnection() { close(); }
    FbConnection(const FbConnection&) = delete;
    FbConnection& operator=(const FbConnection&) = delete;

    const FbClient& client() const { return m_client; }
    const ConnectionOptions& options() const { return m_options; }
    const ConnectionCharset& charset() const { return m_charset; }
    // EDatabaseError once the connection has been closed.
    isc_db_handle* handle();
    // For the statements' transactions, from the isolation and lock options.
    const QByteArray& transactionBlock() const { return m_transactionBlock; }
    // The same for a plain select: read-only, so that a cursor left open (the
    // listing's) never holds back the server's garbage collection.
    const QByteArray& readTransactionBlock() const { return m_readTransactionBlock; }

    void add(FbResource* resource) { m_resources.insert(resource); }
    void remove(FbResource* resource) { m_resources.erase(resource); }

    void close() noexcept;
    // Cancels the call another thread is blocked in on this attachment.
    void cancel(DbCancel how) noexcept;
    // Drops the database file; the connection is closed afterwards.
    void dropDatabase();

private:
    explicit FbConnection(const FbClient& client);
    void releaseResources() noexcept;

    const FbClient& m_client;
    ConnectionOptions m_options;
    ConnectionCharset m_charset;
    QByteArray m_transactionBlock;
    QByteArray m_readTransactionBlock;
    isc_db_handle m_handle = 0;
    std::set<FbResource*> m_resources;
    // A copy of m_handle for cancel(), which must not read the one a blocked
    // call may be changing.
    std::mutex m_cancelMutex;
    isc_db_handle m_cancelHandle = 0;
};

} // namespace tavim
