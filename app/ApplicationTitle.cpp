#include "app/ApplicationTitle.h"

namespace tavim {

QString ApplicationTitle(const QString& executablePath) {
    QString name = executablePath.mid(executablePath.lastIndexOf(QLatin1Char('/')) + 1);
    name.truncate(name.indexOf(QLatin1Char('.')) < 0 ? name.size()
                                                     : name.indexOf(QLatin1Char('.')));
    if (name.isEmpty())
        return name;
    return name.left(1).toUpper() + name.mid(1).toLower();
}

} // namespace tavim
