#include "data/firebird/FbStatementHandle.h"

namespace tavim {

FbStatementHandle::FbStatementHandle(const FbClient& client, isc_db_handle* database)
    : m_client(&client) {
    m_client->call(&FbApi::dsql_allocate_statement, database, &m_handle);
}

FbStatementHandle::~FbStatementHandle() {
    m_client->callQuietly(&FbApi::dsql_free_statement, &m_handle, ISC_USHORT(DSQL_drop));
}

void FbStatementHandle::closeCursor() {
    m_client->call(&FbApi::dsql_free_statement, &m_handle, ISC_USHORT(DSQL_close));
}

void FbStatementHandle::closeCursorQuietly() noexcept {
    m_client->callQuietly(&FbApi::dsql_free_statement, &m_handle, ISC_USHORT(DSQL_close));
}

} // namespace tavim
