#pragma once

#include "data/DataProvider.h"

namespace tavim {

class TDbQuery;

// Walks a query forward from its current row and packs the values of its
// persistent fields, after one description per field.
class TTableProvider : public TDataProvider {
public:
    TTableProvider(TComponent* owner, const QString& name, TDbQuery& dataSet);
    DataPacket getRecords() override;

private:
    TDbQuery& m_dataSet;
};

} // namespace tavim
