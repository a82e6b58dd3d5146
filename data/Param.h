#pragma once

#include "data/TDateTime.h"
#include "data/Value.h"

#include <QString>

namespace tavim {

enum class ParamDirection { Input };

// A named query parameter; its type is none until a value is given.
class TParam {
public:
    explicit TParam(QString name) : m_name(std::move(name)) {}

    const QString& name() const { return m_name; }
    ParamDirection direction() const { return ParamDirection::Input; }
    FieldKind dataType() const { return m_dataType; }
    const Value& value() const { return m_value; }

    void setAsDate(TDateTime date) {
        m_dataType = FieldKind::Date;
        m_value = date;
    }

private:
    QString m_name;
    FieldKind m_dataType = FieldKind::Unknown;
    Value m_value;
};

} // namespace tavim
