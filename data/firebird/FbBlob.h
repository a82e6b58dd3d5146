#pragma once

#include "data/firebird/FbClient.h"

#include <QByteArray>

namespace tavim {

// One blob, read whole or written whole within a transaction.
class FbBlob {
public:
    static QByteArray read(const FbClient& client, isc_db_handle* database,
                           isc_tr_handle* transaction, ISC_QUAD id);
    static ISC_QUAD write(const FbClient& client, isc_db_handle* database,
                          isc_tr_handle* transaction, const QByteArray& bytes);

    FbBlob(const FbBlob&) = delete;
    FbBlob& operator=(const FbBlob&) = delete;
    ~FbBlob();

private:
    explicit FbBlob(const FbClient& client) : m_client(&client) {}
    void close();

    const FbClient* m_client;
    isc_blob_handle m_handle = 0;
};

} // namespace tavim
