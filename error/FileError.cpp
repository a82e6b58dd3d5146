#include "error/FileError.h"

#include <QFileInfo>

namespace tavim {

EFCreateError::EFCreateError(const QString& fileName, const QString& reason)
    : Exception(QStringLiteral("Cannot create file \"%1\". %2")
                    .arg(QFileInfo(fileName).absoluteFilePath(), reason)) {}

} // namespace tavim
