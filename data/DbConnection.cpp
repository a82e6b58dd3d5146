#include "data/DbConnection.h"

#include "data/BusyCursor.h"
#include "error/DatabaseError.h"
#include "error/Interrupted.h"

namespace tavim {

namespace {
std::map<QString, TDbConnection::DriverFactory>& drivers() {
    static std::map<QString, TDbConnection::DriverFactory> registry;
    return registry;
}

bool isTrue(const QString& value) {
    return value.trimmed().compare("True", Qt::CaseInsensitive) == 0;
}
} // namespace

void TDbConnection::registerDriver(const QString& entry, DriverFactory factory) {
    drivers()[entry] = std::move(factory);
}

TDbConnection::TDbConnection(TComponent* owner, const QString& name) : TComponent(owner, name) {}

TDbConnection::~TDbConnection() = default;

QString TDbConnection::param(const QString& name) const {
    for (const auto& [key, value] : m_params) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

void TDbConnection::setParam(const QString& name, const QString& value) {
    for (auto& entry : m_params) {
        if (entry.first.compare(name, Qt::CaseInsensitive) == 0) {
            entry.second = value;
            return;
        }
    }
    m_params.append({name, value});
}

ConnectionOptions TDbConnection::options() const {
    ConnectionOptions o;
    o.database = param("Database").trimmed();
    o.userName = param("User_Name");
    o.password = param("Password");
    o.roleName = param("RoleName");
    o.serverCharSet = param("ServerCharSet").trimmed();
    bool ok = false;
    const int dialect = param("SQLDialect").toInt(&ok);
    o.sqlDialect = ok ? dialect : 3;
    const int blobSize = param("BlobSize").toInt(&ok);
    o.blobSize = ok ? blobSize : -1;
    o.waitOnLocks = isTrue(param("WaitOnLocks"));
    o.commitRetain = isTrue(param("CommitRetain"));
    o.trimChar = isTrue(param("Trim Char"));
    o.pageBuffers = pageBuffers;
    const QString isolation = param("Firebird TransIsolation").trimmed();
    if (isolation.compare("RepeatableRead", Qt::CaseInsensitive) == 0)
        o.isolation = TransIsolation::RepeatableRead;
    else if (isolation.compare("DirtyRead", Qt::CaseInsensitive) == 0)
        o.isolation = TransIsolation::DirtyRead;
    else
        o.isolation = TransIsolation::ReadCommitted;
    return o;
}

void TDbConnection::open() {
    if (m_session)
        return;
    BusyCursor busy;
    if (!m_driver) {
        const QString entry = getDriverFunc.trimmed();
        auto it = drivers().find(entry);
        if (it == drivers().end())
            throw EDatabaseError(QStringLiteral("Unable to Find Procedure %1").arg(entry));
        m_driver = it->second(vendorLib.trimmed());
    }
    try {
        m_session = m_driver->connect(options());
    } catch (...) {
        // A driver whose library failed to load is dropped, so the next attempt loads again.
        m_driver.reset();
        throw;
    }
}

void TDbConnection::close() {
    m_session.reset();
}

DbSession& TDbConnection::session() {
    open();
    return *m_session;
}

void TDbConnection::watched(const std::function<void(DbSession&)>& call) {
    DbSession& current = session();
    m_watchdog.begin(current, replyLimit);
    try {
        call(current);
    } catch (const EConnectionLost&) {
        endCall();
        // The next call connects anew rather than failing the same way.
        close();
        throw;
    } catch (...) {
        endCall();
        throw;
    }
    endCall();
}

void TDbConnection::endCall() {
    const std::optional<DbCallCancelled> cancelled = m_watchdog.end();
    if (!cancelled)
        return;
    close();
    if (cancelled->signal != 0)
        throw EInterrupted(cancelled->signal);
    throw EDatabaseError(
        QStringLiteral("The database server did not answer within %1 s").arg(replyLimit.count()));
}

} // namespace tavim
