#pragma once

#include "engine/band/BrCustomLabel.h"

namespace tavim {

class TDataSet;
class TField;

// The display text of a field of the current row.
class TBrDBText : public TBrCustomLabel {
public:
    TBrDBText(TBrBand& band, const QString& name);

    // Looks the field up by name; a missing field prints an empty text.
    void prepare() override;
    // Forgets the field and shows the field name as the design text again.
    void unprepare() override;

    TDataSet* DataSet = nullptr;
    QString DataField;

protected:
    void updatePrintCaption() override;
    // An amount prints whole: a cut number would be a different number.
    bool printsWhole() const override;

private:
    TField* m_field = nullptr;
};

} // namespace tavim
