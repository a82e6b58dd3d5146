#include "data/TextPool.h"

namespace tavim {

QString TextPool::share(std::size_t column, const QString& text) {
    if (column >= m_columns.size() || text.isEmpty())
        return text;
    Column& c = m_columns[column];
    if (c.last == text)
        return c.last;
    if (const auto it = c.seen.constFind(text); it != c.seen.constEnd()) {
        c.last = *it;
        return c.last;
    }
    if (c.seen.size() < kMaxDistinct)
        c.seen.insert(text, text);
    c.last = text;
    return text;
}

} // namespace tavim
