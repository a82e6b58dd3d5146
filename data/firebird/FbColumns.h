#pragma once

#include "data/Value.h"
#include "data/firebird/ConnectionCharset.h"
#include "data/firebird/FbClient.h"

namespace tavim {

// The set a text variable's bytes come in: the column's own, or the
// connection's for NONE, OCTETS and sets without a converter.
ConnectionCharset textCharsetOf(const XSQLVAR& var, const ConnectionCharset& connection);

// Name, kind and size of a described output variable; a text's size counts the
// characters of its own set. Types without a kind of ours raise EDatabaseError
// at prepare rather than arrive as empty values.
ColumnDesc describeColumn(const XSQLVAR& var, const ConnectionCharset& connection);

// Where a row was fetched: blobs are read through its transaction.
struct FbRowContext {
    const FbClient& client;
    isc_db_handle* database;
    isc_tr_handle* transaction;
    const ConnectionCharset& charset;
    bool trimChar;
};

// The fetched value of a non-null variable described as column; texts are
// decoded by textCharset, that of textCharsetOf().
Value readColumn(const XSQLVAR& var, const ColumnDesc& column, const ConnectionCharset& textCharset,
                 const FbRowContext& context);

} // namespace tavim
