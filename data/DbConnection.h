#pragma once

#include "data/Component.h"
#include "data/DbDriver.h"
#include "data/DbWatchdog.h"

#include <QList>
#include <QPair>
#include <functional>
#include <map>
#include <memory>

namespace tavim {

// The database connection: declared properties only, opened on first use and
// kept open until it is destroyed, or until a call had to be cancelled. Owned
// by the user-interface thread (the batch tool's main thread); interrupt()
// from any thread.
class TDbConnection : public TComponent {
public:
    using DriverFactory = std::function<std::unique_ptr<DbDriver>(const QString& vendorLib)>;
    // Drivers are found by their entry name, as GetDriverFunc names it.
    static void registerDriver(const QString& entry, DriverFactory factory);

    TDbConnection(TComponent* owner, const QString& name);
    ~TDbConnection() override;

    QString driverName;
    QString getDriverFunc;
    QString vendorLib;
    bool loginPrompt = false;
    // See ConnectionOptions::pageBuffers.
    int pageBuffers = 0;
    // How long a call waits for the server's reply before it is cancelled and
    // fails with "The database server did not answer within N s".
    std::chrono::seconds replyLimit{30};

    // The ordered Params list; setParam replaces a value or appends a new name.
    QString param(const QString& name) const;
    void setParam(const QString& name, const QString& value);
    const QList<QPair<QString, QString>>& params() const { return m_params; }

    bool connected() const { return m_session != nullptr; }
    // Loads the driver and connects when not connected yet; on failure it stays
    // closed, so the next call starts again from the loading.
    void open();
    void close();
    DbSession& session();
    // Runs call, which talks to the server through the session, under the
    // watchdog. A call it cancelled fails with EInterrupted or the reply
    // limit's error, whatever the call itself answered, and the connection is
    // closed: it may have been cut under the call. So is a lost connection.
    void watched(const std::function<void(DbSession&)>& call);
    // Ends the running call and refuses every later one with EInterrupted(signal).
    void interrupt(int signal) noexcept { m_watchdog.stop(signal); }

    ConnectionOptions options() const;

private:
    void endCall();

    QList<QPair<QString, QString>> m_params;
    std::unique_ptr<DbDriver> m_driver;
    std::unique_ptr<DbSession> m_session;
    // Last: its thread may use the session until it is joined.
    TDbWatchdog m_watchdog;
};

} // namespace tavim
