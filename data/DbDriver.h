#pragma once

#include "data/Value.h"
#include "error/DatabaseError.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace tavim {

enum class TransIsolation { ReadCommitted, RepeatableRead, DirtyRead };

// Everything a driver needs to open a session, taken from the connection's
// declared properties.
struct ConnectionOptions {
    QString database; // "host:/path/file.fdb", or a bare path for the embedded engine
    QString userName;
    QString password;
    QString roleName;
    QString serverCharSet; // empty: none sent, texts decoded as Windows-1252
    int sqlDialect = 1;
    int blobSize = -1;
    bool waitOnLocks = true;
    bool commitRetain = false;
    bool trimChar = false;
    TransIsolation isolation = TransIsolation::ReadCommitted;
    // Seconds to wait for a server that does not answer, so that its error
    // shows well within 15 seconds; 0 leaves it to the platform.
    int connectTimeout = 10;
    // Pages the embedded engine caches for a database it opens, in this
    // process; 0 leaves its default. A server keeps its own setting.
    int pageBuffers = 0;
    // Sets whether the engine waits for each page to reach the disk, kept in
    // the database file for every later attachment; empty leaves it as it is.
    std::optional<bool> forcedWrites;
};

// A failure that means the connection itself is gone (the server stopped, the
// network failed): every later call on it would fail the same way.
class EConnectionLost : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

// A parameter value for a "?" place; dates travel as TDateTime in a double.
struct DbParam {
    FieldKind kind = FieldKind::Unknown;
    Value value;
};

// A prepared statement with at most one open cursor. Failures are EDatabaseError
// with the driver's or server's own text.
class DbStatement {
public:
    virtual ~DbStatement() = default;
    virtual int paramCount() const = 0;
    virtual const std::vector<ColumnDesc>& columns() const = 0;
    // Binds params to the "?" places by position and executes; for a select,
    // the cursor then stands before the first row.
    virtual void execute(const std::vector<DbParam>& params) = 0;
    // Fills row (sized to columns()) with the next row; false at the end.
    virtual bool fetch(RowValues& row) = 0;
    // Reads up to `rows` more rows and holds them until fetch() takes them,
    // for a caller that reads to the end anyway: the server then releases
    // what the open cursor held (a sort's work space) before the rows are
    // expanded into values. False once the cursor's end has been read; fetch()
    // then no longer waits on the server. Failures as fetch's. A driver whose
    // rows cost nothing to hold may leave them where they are.
    virtual bool readAhead(int rows) {
        (void)rows;
        return false;
    }
    // Closes the cursor and ends the statement's implicit transaction.
    virtual void close() = 0;
};

// How a call that another thread is blocked in gets cancelled: Raise asks the
// server to stop it, Abort cuts the connection for a server that no longer
// answers at all. Either way the blocked call fails.
enum class DbCancel { Raise, Abort };

class DbSession {
public:
    virtual ~DbSession() = default;
    virtual std::unique_ptr<DbStatement> prepare(const QString& sql) = 0;
    // The one call another thread may make while the owner's call is blocked;
    // it never fails, the blocked call reports the outcome.
    virtual void cancel(DbCancel how) noexcept = 0;
};

// Loads the client library on first use; connecting raises the driver's or
// server's text when the login is refused or the server cannot be reached.
class DbDriver {
public:
    virtual ~DbDriver() = default;
    virtual std::unique_ptr<DbSession> connect(const ConnectionOptions& options) = 0;
};

} // namespace tavim
