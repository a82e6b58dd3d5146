#include "app/PeriodDefaults.h"

namespace tavim {

const QStringList& MonthNames() {
    static const QStringList names = {
        QStringLiteral("JANEIRO"), QStringLiteral("FEVEREIRO"), QStringLiteral("MARÇO"),
        QStringLiteral("ABRIL"),   QStringLiteral("MAIO"),      QStringLiteral("JUNHO"),
        QStringLiteral("JULHO"),   QStringLiteral("AGOSTO"),    QStringLiteral("SETEMBRO"),
        QStringLiteral("OUTUBRO"), QStringLiteral("NOVEMBRO"),  QStringLiteral("DEZEMBRO"),
    };
    return names;
}

PeriodDefaults DefaultPeriod(const QDate& today) {
    const int y = today.year();
    const int m = today.month();
    return PeriodDefaults{
        {QString::number(y - 2), QString::number(y - 1), QString::number(y)},
        2,
        m == 1 ? 11 : m - 2,
    };
}

} // namespace tavim
