#include "engine/band/BrDBText.h"

#include "data/DataSet.h"
#include "data/Field.h"

#include <exception>

namespace tavim {

TBrDBText::TBrDBText(TBrBand& band, const QString& name) : TBrCustomLabel(band, name) {}

void TBrDBText::prepare() {
    m_field = DataSet ? DataSet->findField(DataField) : nullptr;
}

void TBrDBText::unprepare() {
    m_field = nullptr;
    setCaption(DataField);
}

bool TBrDBText::printsWhole() const {
    return KeepWhole || (m_field && m_field->kind() == FieldKind::Float);
}

void TBrDBText::updatePrintCaption() {
    QString text;
    if (m_field) {
        // A field that cannot give its text prints nothing; the page goes on.
        try {
            text = m_field->displayText();
        } catch (const std::exception&) {
            text.clear();
        }
    }
    setPrintCaption(text);
}

} // namespace tavim
