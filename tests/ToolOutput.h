#pragma once

#include <QString>
#include <QStringList>

namespace tavim::test {

// What `program` prints on its standard output (waits at most 30 s).
QString runTool(const QString& program, const QStringList& args);
// The value of "name: value" in a tool's output, as pdfinfo prints fields.
QString toolField(const QString& output, const QString& name);

} // namespace tavim::test
