#pragma once

#include <QString>
#include <QStringList>

namespace tavim {

// The statements of an isql script, in order and without their terminators,
// ready to be run one by one through the API. SET TERM changes the terminator
// as isql does and is not returned; SET SQL DIALECT is dropped, since the
// connection sets the dialect. A terminator inside a string literal, a quoted
// name or a comment does not end a statement. Comments before a statement are
// dropped, those within it kept.
QStringList splitIsqlScript(const QString& script);

} // namespace tavim
