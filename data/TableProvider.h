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
    // For a reader that takes the rows as they come, the query open: the
    // columns, then up to `count` rows from the query's current row on, packed
    // as getRecords packs them (fewer only at the end). Called by one thread
    // at a time.
    std::vector<ColumnDesc> columns() const;
    std::vector<RowValues> nextRows(std::size_t count);

private:
    TDbQuery& m_dataSet;
};

} // namespace tavim
