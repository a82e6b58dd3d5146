#include "data/MemTable.h"

#include "data/DataProvider.h"
#include "data/Field.h"
#include "error/DatabaseError.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace tavim {

namespace {

// What each operation may do in each state: go on, do nothing, or refuse.
// The operation itself then decides the state it moves to.
enum class Outcome { Proceed, Ignore, RefuseClosed, RefuseNotEditing };

constexpr int kOps = 9;
constexpr Outcome P = Outcome::Proceed;
constexpr Outcome I = Outcome::Ignore;
constexpr Outcome C = Outcome::RefuseClosed;
constexpr Outcome N = Outcome::RefuseNotEditing;

//                                  Settle Edit Insert Append Post Cancel Remove Move Write
constexpr Outcome kRules[4][kOps] = {
    /* closed */ {C, C, C, C, N, I, C, C, N},
    /* browse */ {P, P, P, P, N, I, P, P, N},
    /* edit   */ {P, I, P, P, P, P, P, P, P},
    /* insert */ {P, I, P, P, P, P, P, P, P},
};

const Value kNull;

} // namespace

TMemTable::TMemTable(TComponent* owner, const QString& name) : TDataSet(owner, name) {}

TMemTable::~TMemTable() = default;

bool TMemTable::admit(Op op) const {
    switch (kRules[int(m_state)][int(op)]) {
    case Outcome::Proceed:
        return true;
    case Outcome::Ignore:
        return false;
    case Outcome::RefuseClosed:
        raise(QStringLiteral("Cannot perform this operation on a closed dataset"));
    case Outcome::RefuseNotEditing:
        raise(QStringLiteral("Dataset not in edit or insert mode"));
    }
    return false;
}

void TMemTable::notify(TableNotice notice, int distance, const TField* field) {
    if (m_suspended > 0)
        return;
    const std::vector<TableView*> views = m_views;
    for (TableView* view : views)
        view->tableNotice(notice, distance, field);
}

void TMemTable::setState(DataSetState state) {
    m_modified = false;
    if (state == m_state)
        return;
    m_state = state;
    notify(TableNotice::StateChanged);
}

// The provider is found by name among the components of the table's owner.
TDataProvider* TMemTable::findProvider() const {
    return owner() ? dynamic_cast<TDataProvider*>(owner()->findComponent(m_providerName)) : nullptr;
}

void TMemTable::open() {
    if (active())
        return;
    TDataProvider* provider = findProvider();
    if (!provider)
        raise(QStringLiteral("Missing data provider or data packet"));
    DataPacket packet = provider->getRecords();
    bindFields(packet.columns);
    m_engine.load(std::move(packet));
    opened();
}

void TMemTable::openForwardOnly(std::vector<ColumnDesc> columns,
                                std::function<std::vector<RowValues>()> nextRows) {
    if (active())
        return;
    bindFields(columns);
    m_engine.load(DataPacket{std::move(columns), nextRows()});
    m_nextRows = std::move(nextRows);
    m_firstBlock = true;
    opened();
}

void TMemTable::opened() {
    m_current = rowCount() > 0 ? 0 : -1;
    m_bof = true;
    m_eof = rowCount() == 0;
    m_windowFirst = 0;
    m_windowActive = 0;
    m_windowCount = std::min(capacity(), rowCount());
    setState(DataSetState::Browse);
    notify(TableNotice::OpenedOrClosed);
}

void TMemTable::close() {
    if (!active())
        return;
    setState(DataSetState::Closed);
    m_nextRows = nullptr;
    m_engine.clear();
    m_buffer.clear();
    m_current = -1;
    m_bof = m_eof = true;
    m_windowFirst = m_windowCount = m_windowActive = 0;
    if (TDataProvider* provider = findProvider())
        provider->reset();
    notify(TableNotice::OpenedOrClosed);
}

void TMemTable::SettleRow() {
    admit(Op::Settle);
    notify(TableNotice::Settle);
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    notify(TableNotice::CollectEdits);
    if (m_modified)
        PostRow();
    else
        CancelRow();
}

void TMemTable::checkModifiable() const {
    if (m_readOnly)
        raise(QStringLiteral("Cannot modify a read-only dataset"));
}

void TMemTable::EditRow() {
    if (!admit(Op::Edit))
        return;
    if (rowCount() == 0) {
        InsertRow();
        return;
    }
    SettleRow();
    checkModifiable();
    m_buffer = m_engine.row(m_current);
    setState(DataSetState::Edit);
    notify(TableNotice::RowChanged);
}

void TMemTable::InsertRow() {
    admit(Op::Insert);
    startNewRow(false);
}

void TMemTable::AppendRow() {
    admit(Op::Append);
    startNewRow(true);
}

void TMemTable::startNewRow(bool append) {
    SettleRow();
    checkModifiable();
    m_buffer = m_engine.blankRow();
    const int cap = capacity();
    if (append) {
        m_current = rowCount();
        m_windowCount = std::min(cap, rowCount() + 1);
        m_windowFirst = rowCount() + 1 - m_windowCount;
        m_windowActive = m_windowCount - 1;
        m_eof = true;
        m_bof = false;
    } else {
        // The current row and those below it move down one place in the window.
        m_current = std::max(m_current, 0);
        m_windowCount = std::min(cap, m_windowCount + 1);
        m_windowActive = m_current - m_windowFirst;
    }
    setState(DataSetState::Insert);
    notify(TableNotice::RowsReloaded);
}

void TMemTable::PostRow() {
    if (!admit(Op::Post))
        return;
    notify(TableNotice::CollectEdits);
    notify(TableNotice::Settle);
    for (TField* f : fields()) {
        if (f->required() && tavim::isNull(m_buffer[size_t(f->column())]))
            throw EDatabaseError(
                QStringLiteral("Field '%1' must have a value").arg(f->displayName()));
    }
    if (m_state == DataSetState::Edit)
        m_engine.replace(m_current, std::move(m_buffer));
    else
        m_engine.insert(m_current, std::move(m_buffer));
    m_buffer.clear();
    setState(DataSetState::Browse);
    readWindowAround();
    notify(TableNotice::RowsReloaded);
}

void TMemTable::CancelRow() {
    if (!admit(Op::Cancel))
        return;
    notify(TableNotice::Settle);
    m_buffer.clear();
    // A dropped new row leaves the row it stood before current, or the last row.
    if (m_state == DataSetState::Insert)
        m_current = std::min(m_current, rowCount() - 1);
    setState(DataSetState::Browse);
    readWindowAround();
    notify(TableNotice::RowsReloaded);
}

void TMemTable::RemoveRow() {
    admit(Op::Remove);
    if (m_state == DataSetState::Insert) {
        CancelRow();
        return;
    }
    if (rowCount() == 0)
        raise(QStringLiteral("Cannot perform this operation on an empty dataset"));
    notify(TableNotice::Settle);
    m_engine.remove(m_current);
    m_buffer.clear();
    m_current = std::min(m_current, rowCount() - 1);
    m_bof = m_eof = rowCount() == 0;
    setState(DataSetState::Browse);
    readWindowAround();
    notify(TableNotice::RowsReloaded);
}

void TMemTable::MoveRows(int n) {
    admit(Op::Move);
    SettleRow();
    if (m_nextRows) {
        moveForward(n);
        return;
    }
    if (n == 0 || rowCount() == 0) {
        if (rowCount() == 0)
            m_bof = m_eof = true;
        notify(TableNotice::Scrolled, 0);
        return;
    }
    m_bof = m_eof = false;
    long long target = m_current + (long long)n;
    if (target >= rowCount()) {
        target = rowCount() - 1;
        m_eof = true;
    } else if (target < 0) {
        target = 0;
        m_bof = true;
    }
    goTo(int(target));
}

// At the end the table stays on its last row, as one read whole does.
void TMemTable::moveForward(int n) {
    if (n != 1)
        raise(QStringLiteral("A forward-only table moves one row at a time"));
    if (m_eof)
        return;
    m_bof = false;
    if (m_current + 1 < rowCount()) {
        ++m_current;
        return;
    }
    std::vector<RowValues> rows = m_nextRows();
    if (rows.empty()) {
        m_eof = true;
        return;
    }
    m_engine.load(DataPacket{m_engine.columns(), std::move(rows)});
    m_firstBlock = false;
    m_current = 0;
}

void TMemTable::FirstRow() {
    admit(Op::Move);
    SettleRow();
    if (m_nextRows && !m_firstBlock)
        raise(QStringLiteral("A forward-only table cannot go back"));
    m_current = rowCount() > 0 ? 0 : -1;
    m_windowFirst = 0;
    m_windowActive = 0;
    m_windowCount = std::min(capacity(), rowCount());
    m_bof = true;
    m_eof = rowCount() == 0;
    notify(TableNotice::RowsReloaded);
}

void TMemTable::LastRow() {
    admit(Op::Move);
    SettleRow();
    m_current = rowCount() - 1;
    m_windowCount = std::min(capacity(), rowCount());
    m_windowFirst = rowCount() - m_windowCount;
    m_windowActive = std::max(m_windowCount - 1, 0);
    m_eof = true;
    m_bof = rowCount() == 0;
    notify(TableNotice::RowsReloaded);
}

int TMemTable::rowNumber() const {
    if (m_state == DataSetState::Closed || m_state == DataSetState::Insert || m_current < 0)
        return 0;
    return m_current + 1;
}

TableEngine::Bookmark TMemTable::bookmark() const {
    return rowNumber() > 0 ? m_engine.bookmark(m_current) : 0;
}

void TMemTable::gotoBookmark(TableEngine::Bookmark bookmark) {
    admit(Op::Move);
    SettleRow();
    const int index = m_engine.indexOf(bookmark);
    if (index < 0)
        raise(QStringLiteral("Record not found"));
    m_bof = m_eof = false;
    goTo(index);
}

// Moves the current row to index, shifting the window as little as possible;
// a jump farther than the window refills it.
void TMemTable::goTo(int index) {
    m_current = index;
    const int first = m_windowFirst;
    const int count = m_windowCount;
    if (index >= first && index < first + count) {
        m_windowActive = index - first;
        notify(TableNotice::Scrolled, 0);
        return;
    }
    const int shift = index >= first + count ? index - (first + count - 1) : index - first;
    if (std::abs(shift) >= count) {
        m_windowFirst = shift > 0 ? index - count + 1 : index;
        m_windowActive = index - m_windowFirst;
        notify(TableNotice::RowsReloaded);
        return;
    }
    m_windowFirst += shift;
    m_windowActive = index - m_windowFirst;
    notify(TableNotice::Scrolled, shift);
}

const Value& TMemTable::fieldValue(const TField& field) const {
    if (!active() || field.column() < 0)
        return kNull;
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return m_buffer[size_t(field.column())];
    if (m_current < 0)
        return kNull;
    return m_engine.row(m_current)[size_t(field.column())];
}

void TMemTable::writeField(TField& field, Value value) {
    admit(Op::WriteField);
    Value fitted = m_engine.checked(field.column(), std::move(value));
    m_buffer[size_t(field.column())] = std::move(fitted);
    m_modified = true;
    notify(TableNotice::FieldChanged, 0, &field);
}

const RowValues* TMemTable::rowAt(int windowRow) const {
    if (windowRow < 0 || windowRow >= m_windowCount)
        return nullptr;
    const int index = m_windowFirst + windowRow;
    const bool pending = m_state == DataSetState::Edit || m_state == DataSetState::Insert;
    if (pending && index == m_current)
        return &m_buffer;
    const int stored = m_state == DataSetState::Insert && index > m_current ? index - 1 : index;
    return &m_engine.row(stored);
}

const Value& TMemTable::windowValue(int windowRow, const TField& field) const {
    const RowValues* row = rowAt(windowRow);
    if (!row || field.column() < 0)
        return kNull;
    return (*row)[size_t(field.column())];
}

int TMemTable::wantedCapacity() const {
    int wanted = 1;
    for (const TableView* view : m_views)
        wanted = std::max(wanted, view->wantedRows());
    return wanted;
}

int TMemTable::total() const {
    return rowCount() + (m_state == DataSetState::Insert ? 1 : 0);
}

// Reads the window again with the current row at the place it had in it, as
// far as the rows before and after allow.
void TMemTable::readWindowAround() {
    m_windowCount = std::min(capacity(), total());
    if (m_windowCount == 0 || m_current < 0) {
        m_windowFirst = m_windowActive = m_windowCount = 0;
        return;
    }
    m_windowActive = std::min({m_windowActive, m_current, m_windowCount - 1});
    m_windowFirst = m_current - m_windowActive;
    if (m_windowFirst + m_windowCount > total()) {
        m_windowFirst = total() - m_windowCount;
        m_windowActive = m_current - m_windowFirst;
    }
}

void TMemTable::addView(TableView* view) {
    m_views.push_back(view);
    viewResized();
}

void TMemTable::removeView(TableView* view) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
    if (m_suspended > 0)
        m_resizePending = true;
    else
        m_capacity = wantedCapacity();
}

void TMemTable::viewResized() {
    if (m_suspended > 0) {
        m_resizePending = true;
        return;
    }
    m_capacity = wantedCapacity();
    if (!active())
        return;
    readWindowAround();
    notify(TableNotice::RowsReloaded);
}

void TMemTable::suspendViews() {
    if (m_suspended == 0)
        notify(TableNotice::Suspending);
    ++m_suspended;
}

void TMemTable::resumeViews() {
    if (m_suspended == 0 || --m_suspended > 0)
        return;
    if (std::exchange(m_resizePending, false)) {
        m_capacity = wantedCapacity();
        if (active())
            readWindowAround();
    }
    notify(TableNotice::RowsReloaded);
}

} // namespace tavim
