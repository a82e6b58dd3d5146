#pragma once

#include "data/DataSet.h"
#include "data/TableEngine.h"
#include "data/TableView.h"

#include <functional>
#include <vector>

namespace tavim {

enum class DataSetState { Closed, Browse, Edit, Insert };

// The in-memory result table. It takes every row from its provider when it
// opens, keeps all edits in memory and never hands them back.
// Thread: the user-interface thread's, except while its views are suspended,
// when a report run's worker alone moves it. No lock: suspendViews() comes
// before the worker starts and resumeViews() after it has ended; the views and
// the window size they want are touched on the user-interface thread only.
class TDataProvider;

class TMemTable : public TDataSet {
public:
    TMemTable(TComponent* owner, const QString& name);
    ~TMemTable() override;

    const QString& providerName() const { return m_providerName; }
    void setProviderName(const QString& name) { m_providerName = name; }
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

    void open();
    // Opens on rows read once, in order, as `nextRows` hands them over in
    // blocks (an empty one: no more rows), for a reader without a grid: only
    // the block being walked is held. The table then moves forward only, a row
    // at a time, and rowCount() counts the rows held.
    void openForwardOnly(std::vector<ColumnDesc> columns,
                         std::function<std::vector<RowValues>()> nextRows);
    bool forwardOnly() const { return bool(m_nextRows); }
    void close();
    bool active() const override { return m_state != DataSetState::Closed; }
    DataSetState state() const { return m_state; }

    void SettleRow();
    void EditRow();
    void InsertRow();
    void AppendRow();
    void PostRow();
    void CancelRow();
    void RemoveRow();
    void MoveRows(int n);
    void FirstRow();
    void LastRow();

    int rowCount() const { return m_engine.count(); }
    // The current stored row counted from 1; 0 for a new row or no row.
    int rowNumber() const;
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool modified() const { return m_modified; }
    TableEngine::Bookmark bookmark() const;
    void gotoBookmark(TableEngine::Bookmark bookmark);

    const Value& fieldValue(const TField& field) const override;
    void writeField(TField& field, Value value) override;

    // The view window: windowCount() rows, the current one at windowActive().
    int windowCount() const { return m_windowCount; }
    int windowActive() const { return m_windowActive; }
    const Value& windowValue(int windowRow, const TField& field) const;

    void addView(TableView* view);
    void removeView(TableView* view);
    // A view's wanted row count changed. While views are suspended the window
    // is left alone and read again when they resume.
    void viewResized();
    // While suspended no notice reaches a view (a report run on another thread
    // moves the table); the views are told just before, and resuming tells them
    // to reload.
    void suspendViews();
    void resumeViews();
    // While a run on another thread moves the table, views must not read it.
    bool viewsSuspended() const { return m_suspended > 0; }

private:
    enum class Op {
        Settle,
        Edit,
        Insert,
        Append,
        Post,
        Cancel,
        Remove,
        Move,
        WriteField,
    };
    bool admit(Op op) const;
    TDataProvider* findProvider() const;
    void notify(TableNotice notice, int distance = 0, const TField* field = nullptr);
    void setState(DataSetState state);
    void startNewRow(bool append);
    void checkModifiable() const;
    const RowValues* rowAt(int windowRow) const;
    int capacity() const { return m_capacity; }
    int wantedCapacity() const;
    int total() const;
    void readWindowAround();
    void goTo(int index);
    void moveForward(int n);
    // Browse on the first row, the views told.
    void opened();

    QString m_providerName;
    bool m_readOnly = false;
    TableEngine m_engine;
    DataSetState m_state = DataSetState::Closed;
    RowValues m_buffer;
    bool m_modified = false;
    // The current row's index among the table's rows; in insert, the new row's
    // place among them (the window counts the new row as a row there).
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;
    int m_windowFirst = 0; // stored index of the window's first row
    int m_windowCount = 0;
    int m_windowActive = 0;
    std::vector<TableView*> m_views;
    // The most rows a view wants, asked of the views on the user-interface
    // thread only, so that a run on the worker never calls into them.
    int m_capacity = 1;
    int m_suspended = 0;
    bool m_resizePending = false;
    // A forward-only table's next block, and whether it still holds its first.
    std::function<std::vector<RowValues>()> m_nextRows;
    bool m_firstBlock = true;
};

} // namespace tavim
