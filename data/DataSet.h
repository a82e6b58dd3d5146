#pragma once

#include "data/Component.h"
#include "data/Value.h"

#include <vector>

namespace tavim {

class TField;

// What the query and the result table have in common: persistent fields bound
// by name to the columns of whatever delivers the rows.
class TDataSet : public TComponent {
public:
    using TComponent::TComponent;

    virtual bool active() const = 0;

    const std::vector<TField*>& fields() const { return m_fields; }
    TField* findField(const QString& fieldName) const;
    // As findField; a missing field fails with "<name>: Field '<f>' not found".
    TField& fieldByName(const QString& fieldName) const;

    // The field's value in the current row; null when there is none.
    virtual const Value& fieldValue(const TField& field) const = 0;
    // Stores a value the field has already converted; data sets that cannot be
    // changed refuse.
    virtual void writeField(TField& field, Value value) = 0;

protected:
    // Binds every field to the column of its name, or fails with the data set's
    // "Field '%s' not found" or "Type mismatch for field ..." message.
    void bindFields(const std::vector<ColumnDesc>& columns);
    void unbindFields();
    [[noreturn]] void raise(const QString& text) const;

private:
    friend class TField;
    void addField(TField* field) { m_fields.push_back(field); }
    void removeField(TField* field);

    std::vector<TField*> m_fields;
};

} // namespace tavim
