#include "error/FileError.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

namespace tavim {

EFCreateError::EFCreateError(const QString& shownPath, const QString& reason)
    : Exception(QStringLiteral("Cannot create file \"%1\". %2").arg(shownPath, reason)) {}

EFWriteError::EFWriteError(const QString& what, const QString& reason)
    : Exception(QStringLiteral("Cannot write %1: %2").arg(what, reason)) {}

EFWriteError EFWriteError::onFile(const QString& path, const QString& reason) {
    return EFWriteError(QStringLiteral("\"%1\"").arg(path), reason);
}

QString SystemReason(int error) {
    return qt_error_string(error);
}

QString AsideName(const QString& target) {
    const QFileInfo file(target);
    const QString suffix = QString::number(QRandomGenerator::system()->generate64(), 36);
    return file.dir().filePath(QStringLiteral(".%1.%2").arg(suffix, file.fileName()));
}

} // namespace tavim
