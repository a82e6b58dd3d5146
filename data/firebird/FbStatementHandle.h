#pragma once

#include "data/firebird/FbClient.h"

namespace tavim {

// A DSQL statement handle, dropped when it goes.
class FbStatementHandle {
public:
    FbStatementHandle(const FbClient& client, isc_db_handle* database);
    ~FbStatementHandle();
    FbStatementHandle(const FbStatementHandle&) = delete;
    FbStatementHandle& operator=(const FbStatementHandle&) = delete;

    isc_stmt_handle* get() { return &m_handle; }
    void closeCursor();
    void closeCursorQuietly() noexcept;

private:
    const FbClient* m_client;
    isc_stmt_handle m_handle = 0;
};

} // namespace tavim
