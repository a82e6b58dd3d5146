#pragma once

#include "data/firebird/FbClient.h"

#include <QByteArray>

namespace tavim {

// A transaction handle; one left active is rolled back when it goes.
class FbTransaction {
public:
    explicit FbTransaction(const FbClient& client) : m_client(&client) {}
    ~FbTransaction() { rollbackQuietly(); }
    FbTransaction(const FbTransaction&) = delete;
    FbTransaction& operator=(const FbTransaction&) = delete;

    bool active() const { return m_handle != 0; }
    void start(isc_db_handle* database, const QByteArray& parameterBlock);
    void commit();
    void rollbackQuietly() noexcept;
    isc_tr_handle* handle() { return &m_handle; }

private:
    const FbClient* m_client;
    isc_tr_handle m_handle = 0;
};

} // namespace tavim
