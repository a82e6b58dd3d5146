#include "data/ParamMarkers.h"

namespace tavim {

namespace {
bool endsName(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char(',') || c == QLatin1Char(';') ||
           c == QLatin1Char(')') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}
} // namespace

ParsedCommand ParseParamMarkers(const QString& text) {
    ParsedCommand parsed;
    parsed.serverText.reserve(text.size());
    bool literal = false;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            literal = !literal;
        if (literal || c != QLatin1Char(':')) {
            parsed.serverText += c;
            ++i;
            continue;
        }
        if (i + 1 < n && text[i + 1] == QLatin1Char(':')) {
            parsed.serverText += c;
            i += 2;
            continue;
        }
        qsizetype end = i + 1;
        while (end < n && !endsName(text[end]))
            ++end;
        parsed.names.append(text.mid(i + 1, end - i - 1));
        parsed.serverText += QLatin1Char('?');
        i = end;
    }
    return parsed;
}

} // namespace tavim
