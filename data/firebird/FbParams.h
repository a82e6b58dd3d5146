#pragma once

#include "data/DbDriver.h"
#include "data/firebird/ConnectionCharset.h"
#include "data/firebird/FbClient.h"
#include "data/firebird/Sqlda.h"

namespace tavim {

// What the server described for one "?" place; kept apart from the XSQLDA,
// whose variables a bind may retype.
struct FbParamType {
    ISC_SHORT type = 0; // without the nullable flag
    ISC_SHORT scale = 0;
    ISC_SHORT subtype = 0;
    ISC_SHORT length = 0;
};

FbParamType paramTypeOf(const XSQLVAR& var);

// Blobs are created in the transaction that executes the statement.
struct FbParamContext {
    const FbClient& client;
    isc_db_handle* database;
    isc_tr_handle* transaction;
    const ConnectionCharset& charset;
};

// Writes param into variable index of input as the described type. Texts given
// for other types go to the server as text, so that it converts them and
// reports its own error when it cannot.
void bindParam(Sqlda& input, int index, const FbParamType& described, const DbParam& param,
               const FbParamContext& context);

} // namespace tavim
