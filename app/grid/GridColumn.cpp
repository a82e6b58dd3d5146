#include "app/grid/GridColumn.h"

namespace tavim {

TColumn::TColumn(QString fieldName, QString caption, Alignment titleAlignment, int width)
    : m_fieldName(std::move(fieldName)), m_caption(std::move(caption)),
      m_titleAlignment(titleAlignment) {
    if (width > 0)
        setWidth(width);
}

QString TColumn::caption() const {
    if (!m_caption.isEmpty())
        return m_caption;
    return m_field ? m_field->displayName() : m_fieldName;
}

void TColumn::setWidth(int width) {
    m_declaredWidth = true;
    m_width = width;
}

void TColumn::setDefaultWidth(int width) {
    if (!m_declaredWidth)
        m_width = width;
}

} // namespace tavim
