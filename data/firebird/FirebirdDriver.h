#pragma once

#include "data/DbDriver.h"
#include "data/firebird/FbClient.h"
#include "data/firebird/FirebirdSession.h"

namespace tavim {

// The driver for Firebird servers and the embedded engine, through the client
// library named by the connection's VendorLib.
class FirebirdDriver : public DbDriver {
public:
    explicit FirebirdDriver(QString vendorLib = QString::fromLatin1(kDefaultClientLibrary))
        : m_vendorLib(std::move(vendorLib)) {}

    std::unique_ptr<DbSession> connect(const ConnectionOptions& options) override {
        return connectSession(options);
    }
    // The session with what it offers beyond DbSession.
    std::unique_ptr<FirebirdSession> connectSession(const ConnectionOptions& options);

private:
    QString m_vendorLib;
};

} // namespace tavim
