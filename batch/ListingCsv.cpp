#include "batch/ListingCsv.h"

#include "data/Field.h"
#include "data/MemTable.h"

#include <charconv>
#include <cmath>

namespace tavim {

namespace {

QByteArray numberText(double v) {
    char buf[400];
    // Fixed notation reads best for money; far out of that range the general
    // form keeps the text short.
    const double magnitude = std::fabs(v);
    const auto format = magnitude == 0 || (magnitude >= 1e-6 && magnitude < 1e21)
                            ? std::chars_format::fixed
                            : std::chars_format::general;
    const auto result = std::to_chars(buf, buf + sizeof buf, v, format);
    return QByteArray(buf, int(result.ptr - buf));
}

QByteArray quoted(const QString& text) {
    QByteArray utf8 = text.toUtf8();
    const bool needsQuotes = utf8.isEmpty() || utf8.contains(',') || utf8.contains('"') ||
                             utf8.contains('\r') || utf8.contains('\n');
    if (!needsQuotes)
        return utf8;
    utf8.replace("\"", "\"\"");
    return '"' + utf8 + '"';
}

} // namespace

QByteArray CsvField(const Value& value) {
    if (const auto* text = std::get_if<QString>(&value))
        return quoted(*text);
    if (const auto* d = std::get_if<double>(&value))
        return numberText(*d);
    if (const auto* i = std::get_if<qint64>(&value))
        return QByteArray::number(*i);
    return {};
}

void WriteListingCsv(TMemTable& table, const std::function<void(const QByteArray&)>& sink) {
    constexpr qsizetype kChunk = 64 * 1024;
    const auto& fields = table.fields();
    QByteArray out;
    for (size_t i = 0; i < fields.size(); ++i)
        out += (i ? "," : "") + quoted(fields[i]->fieldName());
    out += "\r\n";
    for (table.FirstRow(); !table.eof(); table.MoveRows(1)) {
        for (size_t i = 0; i < fields.size(); ++i) {
            if (i)
                out += ',';
            out += CsvField(fields[i]->value());
        }
        out += "\r\n";
        if (out.size() >= kChunk) {
            sink(out);
            out.clear();
        }
    }
    sink(out);
}

} // namespace tavim
