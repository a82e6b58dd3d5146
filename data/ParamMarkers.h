#pragma once

#include <QString>
#include <QStringList>

namespace tavim {

struct ParsedCommand {
    QString serverText; // every marker replaced by "?", "::" reduced to ":"
    QStringList names;  // the markers' names in order of appearance
};

// Finds the ":NAME" parameter markers outside quoted literals.
ParsedCommand ParseParamMarkers(const QString& text);

} // namespace tavim
