#include "data/TableProvider.h"

#include "data/DbQuery.h"
#include "data/Field.h"
#include "data/TextPool.h"

#include <limits>

namespace tavim {

namespace {

// A text longer than its field's declared size (a procedure column declared
// wider) enters the table cut, as a write through the field would cut it.
Value loadedValue(const TField& field) {
    Value value = field.value();
    if (auto* text = std::get_if<QString>(&value); text && field.kind() == FieldKind::String)
        *text = CutText(*text, field.size());
    return value;
}

} // namespace

TTableProvider::TTableProvider(TComponent* owner, const QString& name, TDbQuery& dataSet)
    : TDataProvider(owner, name), m_dataSet(dataSet) {}

DataPacket TTableProvider::getRecords() {
    if (!m_dataSet.active())
        m_dataSet.open();
    // Every row is read anyway: held compactly first, they let the server
    // release the cursor (the procedure's sort) before they are expanded here.
    m_dataSet.readAhead();
    return DataPacket{columns(), nextRows(std::numeric_limits<std::size_t>::max())};
}

std::vector<ColumnDesc> TTableProvider::columns() const {
    std::vector<ColumnDesc> columns;
    const auto& fields = m_dataSet.fields();
    columns.reserve(fields.size());
    for (const TField* f : fields)
        columns.push_back(ColumnDesc{f->fieldName(), f->kind(), f->size()});
    return columns;
}

std::vector<RowValues> TTableProvider::nextRows(std::size_t count) {
    const auto& fields = m_dataSet.fields();
    TextPool pool(fields.size());
    std::vector<RowValues> rows;
    while (rows.size() < count && !m_dataSet.eof()) {
        RowValues row;
        row.reserve(fields.size());
        for (const TField* f : fields) {
            Value value = loadedValue(*f);
            if (auto* text = std::get_if<QString>(&value))
                *text = pool.share(row.size(), *text);
            row.push_back(std::move(value));
        }
        rows.push_back(std::move(row));
        m_dataSet.next();
    }
    return rows;
}

} // namespace tavim
