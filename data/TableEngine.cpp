#include "data/TableEngine.h"

#include "error/DatabaseError.h"

#include <algorithm>

namespace tavim {

void TableEngine::load(DataPacket packet) {
    m_columns = std::move(packet.columns);
    m_rows.clear();
    m_rows.reserve(packet.rows.size());
    for (RowValues& values : packet.rows) {
        values.resize(m_columns.size());
        m_rows.push_back(Row{m_nextId++, std::move(values)});
    }
}

void TableEngine::clear() {
    m_columns.clear();
    m_rows.clear();
    m_rows.shrink_to_fit();
}

int TableEngine::indexOf(Bookmark bookmark) const {
    auto it = std::find_if(m_rows.begin(), m_rows.end(),
                           [bookmark](const Row& r) { return r.id == bookmark; });
    return it == m_rows.end() ? -1 : int(it - m_rows.begin());
}

Value TableEngine::checked(int column, Value value) const {
    if (column < 0 || column >= int(m_columns.size()))
        throw ETableEngineError(QStringLiteral("Invalid field number %1").arg(column));
    const ColumnDesc& desc = m_columns[size_t(column)];
    if (isNull(value))
        return value;
    if (desc.kind == FieldKind::String) {
        auto* text = std::get_if<QString>(&value);
        if (!text)
            throw ETableEngineError(QStringLiteral("Invalid value for field '%1'").arg(desc.name));
        if (desc.size > 0 && text->size() > desc.size)
            text->truncate(desc.size);
        return value;
    }
    if (desc.kind == FieldKind::Float && !std::holds_alternative<double>(value))
        throw ETableEngineError(QStringLiteral("Invalid value for field '%1'").arg(desc.name));
    return value;
}

void TableEngine::insert(int index, RowValues values) {
    values.resize(m_columns.size());
    m_rows.insert(m_rows.begin() + index, Row{m_nextId++, std::move(values)});
}

void TableEngine::replace(int index, RowValues values) {
    values.resize(m_columns.size());
    m_rows[size_t(index)].values = std::move(values);
}

void TableEngine::remove(int index) {
    m_rows.erase(m_rows.begin() + index);
}

} // namespace tavim
