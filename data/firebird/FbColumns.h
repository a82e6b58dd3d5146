#pragma once

#include "data/Value.h"
#include "data/firebird/ConnectionCharset.h"
#include "data/firebird/FbClient.h"

namespace tavim {

// Name, kind and size of a described output variable. Types without a kind of
// ours raise EDatabaseError at prepare rather than arrive as empty values.
ColumnDesc describeColumn(const XSQLVAR& var, const ConnectionCharset& charset);

// Where a row was fetched: blobs are read through its transaction.
struct FbRowContext {
    const FbClient& client;
    isc_db_handle* database;
    isc_tr_handle* transaction;
    const ConnectionCharset& charset;
    bool trimChar;
};

// The fetched value of a non-null variable described as column.
Value readColumn(const XSQLVAR& var, const ColumnDesc& column, const FbRowContext& context);

} // namespace tavim
