#include "data/Field.h"

#include "data/DataSet.h"
#include "error/DatabaseError.h"
#include "format/LocaleSettings.h"
#include "format/NumberFormat.h"

#include <cmath>

namespace tavim {

TField::TField(TComponent* owner, TDataSet& dataSet, const QString& fieldName, FieldKind kind,
               int size)
    : TComponent(owner, dataSet.name() + fieldName), m_dataSet(dataSet), m_fieldName(fieldName),
      m_kind(kind), m_size(size) {
    m_dataSet.addField(this);
}

TField::~TField() {
    m_dataSet.removeField(this);
}

QString TField::displayName() const {
    return m_displayLabel.isEmpty() ? m_fieldName : m_displayLabel;
}

const Value& TField::value() const {
    return m_dataSet.fieldValue(*this);
}

bool TField::isNull() const {
    return tavim::isNull(value());
}

QString TField::asString() const {
    const Value& v = value();
    if (const auto* s = std::get_if<QString>(&v))
        return *s;
    if (const auto* d = std::get_if<double>(&v))
        return QString::number(*d, 'g', 15);
    if (const auto* i = std::get_if<qint64>(&v))
        return QString::number(*i);
    return {};
}

double TField::asFloat() const {
    const Value& v = value();
    if (const auto* d = std::get_if<double>(&v))
        return *d;
    if (const auto* i = std::get_if<qint64>(&v))
        return double(*i);
    return 0.0;
}

void TField::setValue(Value v) {
    m_dataSet.writeField(*this, std::move(v));
}

TStringField::TStringField(TComponent* owner, TDataSet& dataSet, const QString& fieldName, int size)
    : TField(owner, dataSet, fieldName, FieldKind::String, size) {}

QString TStringField::displayTextOf(const Value& v) const {
    const auto* s = std::get_if<QString>(&v);
    return s ? *s : QString();
}

QString CutText(const QString& text, int size) {
    if (text.size() <= size)
        return text;
    const bool splitsPair = size > 0 && text.at(size - 1).isHighSurrogate();
    return text.left(splitsPair ? size - 1 : size);
}

void TStringField::setText(const QString& text) {
    setValue(CutText(text, size()));
}

TFloatField::TFloatField(TComponent* owner, TDataSet& dataSet, const QString& fieldName)
    : TField(owner, dataSet, fieldName, FieldKind::Float, 0),
      m_validChars(QStringLiteral("+-0123456789Ee") + LocaleSettings::decimalSeparator()) {
    m_alignment = Alignment::Right;
}

QString TFloatField::formatted(const QString& pattern, const Value& v) const {
    const auto* d = std::get_if<double>(&v);
    if (!d)
        return {};
    if (pattern.isEmpty())
        return QString::number(*d, 'g', 15);
    return FormatNumber(pattern, static_cast<long double>(*d));
}

QString TFloatField::displayTextOf(const Value& v) const {
    return formatted(m_displayFormat, v);
}

QString TFloatField::editTextOf(const Value& v) const {
    return formatted(m_editFormat.isEmpty() ? m_displayFormat : m_editFormat, v);
}

void TFloatField::setText(const QString& text) {
    if (text.isEmpty()) {
        clear();
        return;
    }
    std::optional<long double> number = ParseNumber(text);
    // The field holds a double: a number beyond its range is refused like any
    // other invalid text rather than stored as infinity.
    if (!number || std::isinf(static_cast<double>(*number)))
        throw EDatabaseError(
            QStringLiteral("'%1' is not a valid floating point value for field '%2'")
                .arg(text, displayName()));
    setValue(static_cast<double>(*number));
}

} // namespace tavim
