#include "error/FileError.h"

namespace tavim {

EFCreateError::EFCreateError(const QString& shownPath, const QString& reason)
    : Exception(QStringLiteral("Cannot create file \"%1\". %2").arg(shownPath, reason)) {}

} // namespace tavim
