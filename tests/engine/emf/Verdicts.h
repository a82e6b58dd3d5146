#pragma once

#include <QFile>
#include <QMap>
#include <QStringList>
#include <gtest/gtest.h>

namespace tavim::test {

// A hostile corpus's verdicts.tsv: for each file named in the first column,
// the other columns; lines starting with '#' are comments.
inline QMap<QString, QStringList> readVerdicts(const QString& path) {
    QMap<QString, QStringList> byFile;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QString text = QString::fromUtf8(file.readAll());
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1Char('#')))
            continue;
        QStringList fields = line.split(QLatin1Char('\t'));
        const QString name = fields.takeFirst();
        byFile.insert(name, fields);
    }
    return byFile;
}

} // namespace tavim::test
