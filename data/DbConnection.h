#pragma once

#include "data/Component.h"
#include "data/DbDriver.h"

#include <QList>
#include <QPair>
#include <functional>
#include <map>
#include <memory>

namespace tavim {

// The database connection: declared properties only, opened on first use and
// kept open until it is destroyed.
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

    ConnectionOptions options() const;

private:
    QList<QPair<QString, QString>> m_params;
    std::unique_ptr<DbDriver> m_driver;
    std::unique_ptr<DbSession> m_session;
};

} // namespace tavim
