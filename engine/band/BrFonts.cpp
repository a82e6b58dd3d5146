#include "engine/band/BrFonts.h"

#include "error/Exception.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace tavim {

namespace {

QString resolvedFamily(const QString& family) {
    return QFontInfo(QFont(family)).family();
}

void ensureAnyFont() {
    if (QFontDatabase::families().isEmpty())
        throw Exception(QStringLiteral("No font is installed: the report needs Arial and Arial "
                                       "Narrow or Liberation Sans and Liberation Sans Narrow"));
}

} // namespace

void ensureFontFamily(const QString& family, const QString& substitute) {
    ensureAnyFont();
    const QString resolved = resolvedFamily(family);
    if (resolved.compare(family, Qt::CaseInsensitive) == 0 ||
        resolved.compare(substitute, Qt::CaseInsensitive) == 0)
        return;
    if (!QFontDatabase::hasFamily(substitute))
        throw Exception(QStringLiteral("The report font \"%1\" is not installed, nor its "
                                       "substitute \"%2\"")
                            .arg(family, substitute));
    QFont::insertSubstitution(family, substitute);
}

void ensureReportFont(const QString& family) {
    if (family.compare(QLatin1String("Arial Narrow"), Qt::CaseInsensitive) == 0)
        return ensureFontFamily(family, QStringLiteral("Liberation Sans Narrow"));
    if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return ensureFontFamily(family, QStringLiteral("Liberation Sans"));
    ensureAnyFont();
}

QFont realizedFont(const QFont& font, int dpi) {
    if (font.pointSizeF() <= 0)
        return font;
    QFont realized = font;
    realized.setPixelSize(qMax(1, qRound(font.pointSizeF() * dpi / 72.0)));
    return realized;
}

} // namespace tavim
