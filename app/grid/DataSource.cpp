#include "app/grid/DataSource.h"

#include "data/MemTable.h"

namespace tavim {

TDataSource::TDataSource(QObject* parent) : QObject(parent) {}

void TDataSource::setDataSet(TMemTable* dataSet) {
    if (dataSet == m_dataSet)
        return;
    m_dataSet = dataSet;
    emit dataSetChanged(dataSet);
}

bool TDataSource::edit() {
    if (!m_dataSet)
        return false;
    if (m_autoEdit && m_dataSet->state() == DataSetState::Browse)
        m_dataSet->EditRow();
    const DataSetState state = m_dataSet->state();
    return state == DataSetState::Edit || state == DataSetState::Insert;
}

} // namespace tavim
