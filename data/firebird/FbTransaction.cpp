#include "data/firebird/FbTransaction.h"

namespace tavim {

void FbTransaction::start(isc_db_handle* database, const QByteArray& parameterBlock) {
    m_client->call(&FbApi::start_transaction, &m_handle, 1, database, int(parameterBlock.size()),
                   parameterBlock.constData());
}

void FbTransaction::commit() {
    if (active())
        m_client->call(&FbApi::commit_transaction, &m_handle);
}

void FbTransaction::rollbackQuietly() noexcept {
    if (!active())
        return;
    m_client->callQuietly(&FbApi::rollback_transaction, &m_handle);
    // A connection lost with its server leaves nothing to roll back.
    m_handle = 0;
}

} // namespace tavim
