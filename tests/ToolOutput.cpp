#include "tests/ToolOutput.h"

#include <QProcess>

namespace tavim::test {

QString runTool(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    process.waitForFinished(30'000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString toolField(const QString& output, const QString& name) {
    for (const QString& line : output.split(QLatin1Char('\n')))
        if (line.startsWith(name + QLatin1Char(':')))
            return line.mid(name.size() + 1).trimmed();
    return {};
}

} // namespace tavim::test
