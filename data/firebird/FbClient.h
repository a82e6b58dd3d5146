#pragma once

#include <QString>
#include <ibase.h>

namespace tavim {

inline constexpr char kDefaultClientLibrary[] = "libfbclient.so.2";

// The client library's entry points, resolved at run time so that the program
// starts without it and the data module can name the library to use.
struct FbApi {
    decltype(&isc_attach_database) attach_database = nullptr;
    decltype(&isc_detach_database) detach_database = nullptr;
    decltype(&isc_drop_database) drop_database = nullptr;
    decltype(&isc_start_transaction) start_transaction = nullptr;
    decltype(&isc_commit_transaction) commit_transaction = nullptr;
    decltype(&isc_rollback_transaction) rollback_transaction = nullptr;
    decltype(&isc_dsql_allocate_statement) dsql_allocate_statement = nullptr;
    decltype(&isc_dsql_prepare) dsql_prepare = nullptr;
    decltype(&isc_dsql_describe) dsql_describe = nullptr;
    decltype(&isc_dsql_describe_bind) dsql_describe_bind = nullptr;
    decltype(&isc_dsql_sql_info) dsql_sql_info = nullptr;
    decltype(&isc_dsql_execute) dsql_execute = nullptr;
    decltype(&isc_dsql_execute2) dsql_execute2 = nullptr;
    decltype(&isc_dsql_execute_immediate) dsql_execute_immediate = nullptr;
    decltype(&isc_dsql_fetch) dsql_fetch = nullptr;
    decltype(&isc_dsql_free_statement) dsql_free_statement = nullptr;
    decltype(&isc_create_blob2) create_blob2 = nullptr;
    decltype(&isc_open_blob2) open_blob2 = nullptr;
    decltype(&isc_get_segment) get_segment = nullptr;
    decltype(&isc_put_segment) put_segment = nullptr;
    decltype(&isc_close_blob) close_blob = nullptr;
    decltype(&fb_interpret) interpret = nullptr;
    decltype(&fb_cancel_operation) cancel_operation = nullptr;
};

// A status vector, cleared for each call.
struct FbStatus {
    ISC_STATUS_ARRAY vector{};
    bool failed() const { return vector[0] == isc_arg_gds && vector[1] != 0; }
    ISC_STATUS code() const { return failed() ? vector[1] : 0; }
};

// A loaded client library. Libraries stay loaded until the process ends, so the
// references handed out never dangle.
class FbClient {
public:
    // Loads the library on the first request for its name; EDatabaseError
    // "Unable to Load <name>" or "Unable to Find Procedure <entry>".
    static const FbClient& load(const QString& libraryName);

    const FbApi& api() const { return m_api; }

    // The server's text for a failed status, all its lines joined with "\n".
    QString statusText(const FbStatus& status) const;
    // Raises EDatabaseError with the server's text when the status tells of a
    // failure; EConnectionLost when the connection is gone.
    void check(const FbStatus& status) const;

    // Calls an entry with a fresh status vector and checks it; returns the
    // entry's own result (isc_dsql_fetch answers 100 at the end of a cursor).
    template <typename Entry, typename... Args>
    ISC_STATUS call(Entry FbApi::*entry, Args... args) const {
        FbStatus status;
        const ISC_STATUS result = (m_api.*entry)(status.vector, args...);
        check(status);
        return result;
    }

    // Calls an entry whose failure must not escape (cleanup in destructors).
    template <typename Entry, typename... Args>
    void callQuietly(Entry FbApi::*entry, Args... args) const noexcept {
        FbStatus status;
        (m_api.*entry)(status.vector, args...);
    }

private:
    explicit FbClient(const FbApi& api) : m_api(api) {}

    FbApi m_api;
};

} // namespace tavim
