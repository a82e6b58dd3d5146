#pragma once

#include <QByteArrayView>
#include <QString>

namespace tavim {

// Bounded readers of the bytes the client library hands back from the server.
// Every length is checked against the buffer it indexes; a reply that does not
// fit raises EDatabaseError instead of reading past it.

// The statement type in an isc_dsql_sql_info answer to {isc_info_sql_stmt_type}:
// clusters of item, 2-byte little-endian length and value, ended by isc_info_end.
int statementTypeOf(QByteArrayView reply);

// The bytes of a fetched VARCHAR: variable is the whole SQLDA buffer (the
// 2-byte length in host order, then the text) and declaredLength the column's
// sqllen, which the length must not pass.
QByteArrayView varyingBytes(QByteArrayView variable, int declaredLength, const QString& column);

} // namespace tavim
