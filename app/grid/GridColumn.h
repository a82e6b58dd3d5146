#pragma once

#include "data/Field.h"

#include <QFont>
#include <QString>
#include <optional>

namespace tavim {

// One declared column of the grid: the field it shows, its title and width.
class TColumn {
public:
    // A width of 0 or less asks for the default width computed from the field.
    TColumn(QString fieldName, QString caption = {}, Alignment titleAlignment = Alignment::Left,
            int width = 0);

    const QString& fieldName() const { return m_fieldName; }
    // The declared caption, or the field's display name when none is declared.
    QString caption() const;
    void setCaption(const QString& caption) { m_caption = caption; }
    Alignment titleAlignment() const { return m_titleAlignment; }
    void setTitleAlignment(Alignment alignment) { m_titleAlignment = alignment; }
    // The column's own title font; the grid's title font when none is set.
    const std::optional<QFont>& titleFont() const { return m_titleFont; }
    void setTitleFont(const QFont& font) { m_titleFont = font; }

    // A declared width wins over the default the grid computes from the field.
    bool hasDefaultWidth() const { return !m_declaredWidth; }
    void setWidth(int width);
    int width() const { return m_width; }
    void setDefaultWidth(int width);

    TField* field() const { return m_field; }
    void setField(TField* field) { m_field = field; }
    Alignment alignment() const { return m_field ? m_field->alignment() : Alignment::Left; }

private:
    QString m_fieldName;
    QString m_caption;
    Alignment m_titleAlignment = Alignment::Left;
    std::optional<QFont> m_titleFont;
    bool m_declaredWidth = false;
    int m_width = 64;
    TField* m_field = nullptr;
};

} // namespace tavim
