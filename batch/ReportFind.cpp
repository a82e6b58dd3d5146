#include "batch/ReportFind.h"

#include "engine/preview/BrPageText.h"
#include "engine/store/BrPrinter.h"

#include <cstring>

namespace tavim {

namespace {

// Page texts come from a file: a control character in one must not reach the
// terminal as such.
QString printable(QString line) {
    for (QChar& c : line) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return line;
}

} // namespace

int WriteReportMatches(const QString& file, const QString& text,
                       const std::function<void(const QByteArray&)>& write) {
    TBrPrinter store;
    store.load(file);
    const QByteArray needle = FoldForSearch(text);
    int matches = 0;
    for (int page = 1; page <= store.pageCount(); ++page) {
        const std::optional<TMetafile> image = store.getPage(page);
        if (!image)
            continue;
        const TBrPageText texts(*image, false);
        const QByteArray& folded = texts.folded();
        for (qsizetype at = 0; at + needle.size() <= folded.size();) {
            const void* hit = memmem(folded.constData() + at, std::size_t(folded.size() - at),
                                     needle.constData(), std::size_t(needle.size()));
            if (!hit)
                break;
            const qsizetype found = static_cast<const char*>(hit) - folded.constData();
            write(QStringLiteral("page %1: %2\n")
                      .arg(page)
                      .arg(printable(texts.lines(found, needle.size())))
                      .toUtf8());
            ++matches;
            at = found + needle.size();
        }
    }
    return matches;
}

} // namespace tavim
