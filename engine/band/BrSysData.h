#pragma once

#include "engine/band/BrCustomLabel.h"

namespace tavim {

enum class TBrSysDataKind { brsPageNumber };

// A value of the run: the number of the page being output, after Text.
class TBrSysData : public TBrCustomLabel {
public:
    TBrSysData(TBrBand& band, const QString& name);

    TBrSysDataKind Data = TBrSysDataKind::brsPageNumber;
    QString Text;

protected:
    void updatePrintCaption() override;
};

} // namespace tavim
