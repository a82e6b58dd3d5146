#pragma once

#include <QHash>
#include <QString>
#include <vector>

namespace tavim {

// Lets equal texts of a column share one buffer while rows are packed: owners
// repeat on consecutive rows, remarks and statuses take a handful of values.
// Each column remembers its last text and up to kMaxDistinct texts, so a column
// of unique texts costs nothing beyond that. An edit of a shared text detaches
// its own copy. Used by one thread for one packet.
class TextPool {
public:
    static constexpr qsizetype kMaxDistinct = 64;

    explicit TextPool(std::size_t columns) : m_columns(columns) {}

    // `text` itself, or an equal text already seen in `column`.
    QString share(std::size_t column, const QString& text);

private:
    struct Column {
        QString last;
        QHash<QString, QString> seen;
    };
    std::vector<Column> m_columns;
};

} // namespace tavim
