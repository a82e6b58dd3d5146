#include "data/firebird/FbClient.h"

#include "data/DbDriver.h"
#include "data/firebird/ConnectionCharset.h"
#include "error/DatabaseError.h"

#include <QStringList>
#include <dlfcn.h>
#include <map>
#include <memory>
#include <mutex>

namespace tavim {

namespace {

template <typename Pointer> void resolve(void* library, Pointer& target, const char* entry) {
    void* address = dlsym(library, entry);
    if (!address)
        throw EDatabaseError(QStringLiteral("Unable to Find Procedure %1").arg(entry));
    target = reinterpret_cast<Pointer>(address);
}

FbApi resolveAll(void* library) {
    FbApi api;
    resolve(library, api.attach_database, "isc_attach_database");
    resolve(library, api.detach_database, "isc_detach_database");
    resolve(library, api.drop_database, "isc_drop_database");
    resolve(library, api.start_transaction, "isc_start_transaction");
    resolve(library, api.commit_transaction, "isc_commit_transaction");
    resolve(library, api.rollback_transaction, "isc_rollback_transaction");
    resolve(library, api.dsql_allocate_statement, "isc_dsql_allocate_statement");
    resolve(library, api.dsql_prepare, "isc_dsql_prepare");
    resolve(library, api.dsql_describe, "isc_dsql_describe");
    resolve(library, api.dsql_describe_bind, "isc_dsql_describe_bind");
    resolve(library, api.dsql_sql_info, "isc_dsql_sql_info");
    resolve(library, api.dsql_execute, "isc_dsql_execute");
    resolve(library, api.dsql_execute2, "isc_dsql_execute2");
    resolve(library, api.dsql_execute_immediate, "isc_dsql_execute_immediate");
    resolve(library, api.dsql_fetch, "isc_dsql_fetch");
    resolve(library, api.dsql_free_statement, "isc_dsql_free_statement");
    resolve(library, api.create_blob2, "isc_create_blob2");
    resolve(library, api.open_blob2, "isc_open_blob2");
    resolve(library, api.get_segment, "isc_get_segment");
    resolve(library, api.put_segment, "isc_put_segment");
    resolve(library, api.close_blob, "isc_close_blob");
    resolve(library, api.interpret, "fb_interpret");
    resolve(library, api.cancel_operation, "fb_cancel_operation");
    return api;
}

bool meansConnectionLost(ISC_STATUS code) {
    switch (code) {
    case isc_network_error:
    case isc_net_read_err:
    case isc_net_write_err:
    case isc_lost_db_connection:
    case isc_conn_lost:
    case isc_shutdown:
    case isc_att_shutdown:
    case isc_net_server_shutdown:
        return true;
    default:
        return false;
    }
}

} // namespace

const FbClient& FbClient::load(const QString& libraryName) {
    static std::mutex mutex;
    static std::map<QString, std::unique_ptr<FbClient>> loaded;

    const std::lock_guard lock(mutex);
    if (auto it = loaded.find(libraryName); it != loaded.end())
        return *it->second;
    void* library = dlopen(libraryName.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        throw EDatabaseError(QStringLiteral("Unable to Load %1").arg(libraryName));
    try {
        auto client = std::unique_ptr<FbClient>(new FbClient(resolveAll(library)));
        return *loaded.emplace(libraryName, std::move(client)).first->second;
    } catch (...) {
        dlclose(library);
        throw;
    }
}

QString FbClient::statusText(const FbStatus& status) const {
    QStringList lines;
    const ISC_STATUS* cursor = status.vector;
    char buffer[1024];
    while (m_api.interpret(buffer, sizeof buffer, &cursor) > 0)
        lines << decodeServerText(buffer);
    return lines.join(QLatin1Char('\n'));
}

void FbClient::check(const FbStatus& status) const {
    if (!status.failed())
        return;
    if (meansConnectionLost(status.code()))
        throw EConnectionLost(statusText(status));
    throw EDatabaseError(statusText(status));
}

} // namespace tavim
