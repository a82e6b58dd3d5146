#pragma once

#include "data/Component.h"
#include "data/Value.h"

#include <QString>

namespace tavim {

class TDataSet;

enum class Alignment { Left, Right, Center };

// A persistent field: named after its column, owned by a data module, reading
// and writing the current row of its data set.
class TField : public TComponent {
public:
    TField(TComponent* owner, TDataSet& dataSet, const QString& fieldName, FieldKind kind,
           int size);
    ~TField() override;

    TDataSet& dataSet() const { return m_dataSet; }
    const QString& fieldName() const { return m_fieldName; }
    FieldKind kind() const { return m_kind; }
    int size() const { return m_size; }
    // Characters a view reserves for the value: the size of a text, 10 for numbers.
    int displayWidth() const { return m_kind == FieldKind::String ? m_size : 10; }
    // The column of the data set's rows this field is bound to; -1 when unbound.
    int column() const { return m_column; }

    const QString& displayLabel() const { return m_displayLabel; }
    void setDisplayLabel(const QString& label) { m_displayLabel = label; }
    // The label, or the field name when no label is set: what messages name.
    QString displayName() const;
    Alignment alignment() const { return m_alignment; }
    // A required field left null refuses the store of its row.
    bool required() const { return m_required; }
    void setRequired(bool required) { m_required = required; }

    const Value& value() const;
    bool isNull() const;
    QString asString() const;
    double asFloat() const; // null reads as 0

    QString displayText() const { return displayTextOf(value()); }
    QString editText() const { return editTextOf(value()); }
    virtual QString displayTextOf(const Value& v) const = 0;
    virtual QString editTextOf(const Value& v) const = 0;
    // Converts text as typed and writes it into the data set's current row.
    virtual void setText(const QString& text) = 0;
    virtual bool isValidChar(QChar c) const = 0;

    void setValue(Value v);
    void clear() { setValue(Value{}); }

protected:
    Alignment m_alignment = Alignment::Left;

private:
    friend class TDataSet;
    TDataSet& m_dataSet;
    QString m_fieldName;
    QString m_displayLabel;
    FieldKind m_kind;
    int m_size;
    int m_column = -1;
    bool m_required = false;
};

// A text kept to size characters, as a text field keeps what is written to it;
// a surrogate pair is never split.
QString CutText(const QString& text, int size);

class TStringField : public TField {
public:
    TStringField(TComponent* owner, TDataSet& dataSet, const QString& fieldName, int size);
    QString displayTextOf(const Value& v) const override;
    QString editTextOf(const Value& v) const override { return displayTextOf(v); }
    // Keeps at most size() characters; the rest is cut without a message.
    void setText(const QString& text) override;
    bool isValidChar(QChar) const override { return true; }
};

class TFloatField : public TField {
public:
    TFloatField(TComponent* owner, TDataSet& dataSet, const QString& fieldName);

    const QString& displayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString& format) { m_displayFormat = format; }
    const QString& editFormat() const { return m_editFormat; }
    void setEditFormat(const QString& format) { m_editFormat = format; }
    const QString& validChars() const { return m_validChars; }

    QString displayTextOf(const Value& v) const override;
    QString editTextOf(const Value& v) const override;
    // The empty text makes the field null; other text must be a number as a whole.
    void setText(const QString& text) override;
    bool isValidChar(QChar c) const override { return m_validChars.contains(c); }

private:
    QString formatted(const QString& pattern, const Value& v) const;

    QString m_displayFormat;
    QString m_editFormat;
    QString m_validChars; // fixed at creation, with the decimal separator of that moment
};

} // namespace tavim
