#pragma once

#include <QFont>
#include <QString>

namespace tavim {

// Makes `family` resolve to itself or to `substitute`, a face with the same
// metrics; fails with an Exception when neither is installed. Call on the
// user-interface thread: the substitution table is process-wide.
void ensureFontFamily(const QString& family, const QString& substitute);

// The families the report is designed with, and their Liberation faces.
// A family without a known substitute only needs some font to be installed.
void ensureReportFont(const QString& family);

// The font as the device realises it: at a whole pixel height, the point size
// at the device's resolution rounded, so that measuring, recording and replaying
// all use the same face size.
QFont realizedFont(const QFont& font, int dpi);

} // namespace tavim
