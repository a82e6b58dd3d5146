#include "data/Value.h"

namespace tavim {

QString fieldKindName(FieldKind kind) {
    switch (kind) {
    case FieldKind::Unknown:
        return QStringLiteral("Unknown");
    case FieldKind::String:
        return QStringLiteral("String");
    case FieldKind::SmallInt:
        return QStringLiteral("SmallInt");
    case FieldKind::Integer:
        return QStringLiteral("Integer");
    case FieldKind::LargeInt:
        return QStringLiteral("LargeInt");
    case FieldKind::Float:
        return QStringLiteral("Float");
    case FieldKind::BCD:
        return QStringLiteral("BCD");
    case FieldKind::Date:
        return QStringLiteral("Date");
    case FieldKind::Time:
        return QStringLiteral("Time");
    case FieldKind::DateTime:
        return QStringLiteral("DateTime");
    case FieldKind::Blob:
        return QStringLiteral("Blob");
    case FieldKind::Memo:
        return QStringLiteral("Memo");
    case FieldKind::Boolean:
        return QStringLiteral("Boolean");
    }
    return QStringLiteral("Unknown");
}

} // namespace tavim
