#include "error/DatabaseError.h"

namespace tavim {

void raiseDataSetError(const QString& componentName, const QString& text) {
    throw EDatabaseError(QStringLiteral("%1: %2").arg(componentName, text));
}

} // namespace tavim
