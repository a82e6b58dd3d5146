#pragma once

#include "data/Value.h"

#include <QtGlobal>
#include <vector>

namespace tavim {

// The in-memory storage of a result table: ordered rows with null markers and
// remembered positions that survive inserts and removals around them.
class TableEngine {
public:
    using Bookmark = quint64;

    void load(DataPacket packet);
    void clear();

    const std::vector<ColumnDesc>& columns() const { return m_columns; }
    int count() const { return int(m_rows.size()); }
    const RowValues& row(int index) const { return m_rows[size_t(index)].values; }
    Bookmark bookmark(int index) const { return m_rows[size_t(index)].id; }
    // The row's index, or -1 when it has been removed.
    int indexOf(Bookmark bookmark) const;

    RowValues blankRow() const { return RowValues(m_columns.size()); }
    // Fits a value to its column (texts cut to the column size) or refuses it.
    Value checked(int column, Value value) const;
    void insert(int index, RowValues values);
    void replace(int index, RowValues values);
    void remove(int index);

private:
    struct Row {
        Bookmark id;
        RowValues values;
    };
    std::vector<ColumnDesc> m_columns;
    std::vector<Row> m_rows;
    Bookmark m_nextId = 1;
};

} // namespace tavim
