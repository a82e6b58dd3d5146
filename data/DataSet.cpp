#include "data/DataSet.h"

#include "data/Field.h"
#include "error/DatabaseError.h"

#include <algorithm>

namespace tavim {

TField* TDataSet::findField(const QString& fieldName) const {
    for (TField* f : m_fields) {
        if (f->fieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return f;
    }
    return nullptr;
}

TField& TDataSet::fieldByName(const QString& fieldName) const {
    TField* f = findField(fieldName);
    if (!f)
        raise(QStringLiteral("Field '%1' not found").arg(fieldName));
    return *f;
}

void TDataSet::bindFields(const std::vector<ColumnDesc>& columns) {
    std::vector<int> found;
    found.reserve(m_fields.size());
    for (TField* f : m_fields) {
        auto it = std::find_if(columns.begin(), columns.end(), [f](const ColumnDesc& c) {
            return c.name.compare(f->fieldName(), Qt::CaseInsensitive) == 0;
        });
        if (it == columns.end())
            raise(QStringLiteral("Field '%1' not found").arg(f->fieldName()));
        if (it->kind != f->kind())
            raise(QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                      .arg(f->fieldName(), fieldKindName(f->kind()), fieldKindName(it->kind)));
        found.push_back(int(it - columns.begin()));
    }
    // Only a complete binding takes effect.
    for (size_t i = 0; i < m_fields.size(); ++i)
        m_fields[i]->m_column = found[i];
}

void TDataSet::unbindFields() {
    for (TField* f : m_fields)
        f->m_column = -1;
}

void TDataSet::raise(const QString& text) const {
    raiseDataSetError(name(), text);
}

void TDataSet::removeField(TField* field) {
    m_fields.erase(std::remove(m_fields.begin(), m_fields.end(), field), m_fields.end());
}

} // namespace tavim
