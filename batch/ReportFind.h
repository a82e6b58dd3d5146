#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace tavim {

// Writes "page N: line" for each match of `text` in the saved report file
// `file` (the line: the text record it lies in, or the wrapped lines it spans), found
// as the preview's find bar finds it. Returns the number of matches; a file
// that cannot be read throws as loading it does.
int WriteReportMatches(const QString& file, const QString& text,
                       const std::function<void(const QByteArray&)>& write);

} // namespace tavim
