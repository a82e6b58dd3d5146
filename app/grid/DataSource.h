#pragma once

#include <QObject>

namespace tavim {

class TMemTable;

// Links data-aware controls to a result table. The grid asks it to put the
// current row into editing on the first keystroke that changes a cell.
class TDataSource : public QObject {
    Q_OBJECT
public:
    explicit TDataSource(QObject* parent = nullptr);

    TMemTable* dataSet() const { return m_dataSet; }
    void setDataSet(TMemTable* dataSet);
    bool autoEdit() const { return m_autoEdit; }
    void setAutoEdit(bool autoEdit) { m_autoEdit = autoEdit; }

    // Browse becomes edit (or insert on an empty table) when AutoEdit allows;
    // true when the table is editing or inserting afterwards.
    bool edit();

signals:
    void dataSetChanged(TMemTable* dataSet);

private:
    TMemTable* m_dataSet = nullptr;
    bool m_autoEdit = true;
};

} // namespace tavim
