#pragma once

#include "data/Value.h"

#include <QByteArray>
#include <functional>

namespace tavim {

class TMemTable;

// One CSV field: a null is empty, a text is quoted when it must be (and when it
// is empty, so that it stays apart from a null), a number is the shortest text
// that reads back to the same double.
QByteArray CsvField(const Value& value);

// Writes the header line with the field names, then every row from the first,
// as RFC 4180 CSV in UTF-8; sink receives the text in pieces.
void WriteListingCsv(TMemTable& table, const std::function<void(const QByteArray&)>& sink);

} // namespace tavim
