#include "data/TableProvider.h"

#include "data/DbQuery.h"
#include "data/Field.h"
#include "data/TextPool.h"

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
    DataPacket packet;
    const auto& fields = m_dataSet.fields();
    packet.columns.reserve(fields.size());
    for (const TField* f : fields)
        packet.columns.push_back(ColumnDesc{f->fieldName(), f->kind(), f->size()});
    TextPool pool(fields.size());
    while (!m_dataSet.eof()) {
        RowValues row;
        row.reserve(fields.size());
        for (const TField* f : fields) {
            Value value = loadedValue(*f);
            if (auto* text = std::get_if<QString>(&value))
                *text = pool.share(row.size(), *text);
            row.push_back(std::move(value));
        }
        packet.rows.push_back(std::move(row));
        m_dataSet.next();
    }
    return packet;
}

} // namespace tavim
