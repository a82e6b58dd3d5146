#include "app/grid/DataGrid.h"

#include "app/grid/UiFont.h"

#include "app/grid/CellEditor.h"
#include "app/grid/DataSource.h"
#include "app/grid/GridGlyphs.h"
#include "data/MemTable.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QThread>
#include <qdrawutil.h>

#include <algorithm>

namespace tavim {

namespace {

// The band around a column's right border where a press starts a resize.
constexpr int kResizeLeft = 3;
constexpr int kResizeRight = 3;

bool opensEditor(QKeyEvent* event) {
    if (event->key() == Qt::Key_Backspace)
        return true;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

bool askDelete(QWidget* parent) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"),
                    QStringLiteral("Delete record?"), QMessageBox::Ok | QMessageBox::Cancel,
                    parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() != QMessageBox::Cancel;
}

} // namespace

// The rows as drawn when a report run took the table: the texts of each row
// shown, by field, and the current row with its state.
struct TDataGrid::Frozen {
    bool open = false;
    int active = 0;
    DataSetState state = DataSetState::Closed;
    std::vector<QHash<const TField*, QString>> rows;
};

// The design's "MS Sans Serif" 8 pt does not exist here; the condensed DejaVu
// face at 11 pixels gives the same metrics: "Wg" 13 pixels high, "0" 6 wide.
QFont TDataGrid::substituteFont(bool bold) {
    return UiFont(11, bold);
}

TDataGrid::TDataGrid(QWidget* parent)
    : QAbstractScrollArea(parent), m_titleFont(substituteFont(false)) {
    setFont(substituteFont(false));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    m_editor = new TCellEditor(*this, viewport());
    connect(m_editor, &QLineEdit::textEdited, this,
            [this](const QString& text) { editorTextEdited(text); });

    // The bar only reports what the user asked for; the move itself runs as a
    // posted call so that a refused pending text leaves the bar's own state sound.
    QScrollBar* bar = verticalScrollBar();
    bar->setTracking(false);
    connect(bar, &QAbstractSlider::actionTriggered, this, [this](int action) {
        QScrollBar* vbar = verticalScrollBar();
        const int position = vbar->sliderPosition();
        vbar->setSliderPosition(vbar->value());
        QMetaObject::invokeMethod(
            this, [this, action, position] { scrollAction(action, position); },
            Qt::QueuedConnection);
    });
    horizontalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setPageStep(1);

    m_confirmDelete = [this] { return askDelete(this); };
    m_beep = [] { QApplication::beep(); };
    layoutColumns();
    layoutRows();
}

TDataGrid::~TDataGrid() {
    if (m_table)
        m_table->removeView(this);
}

void TDataGrid::setDataSource(TDataSource* source) {
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source) {
        connect(source, &TDataSource::dataSetChanged, this,
                [this](TMemTable* table) { bindTable(table); });
        connect(source, &QObject::destroyed, this, [this] { bindTable(nullptr); });
    }
    bindTable(source ? source->dataSet() : nullptr);
}

TMemTable* TDataGrid::table() const {
    return m_table;
}

void TDataGrid::bindTable(TMemTable* table) {
    hideEditor();
    m_frozen.reset();
    if (m_table)
        m_table->removeView(this);
    m_table = table;
    // A table a run is moving right now shows as closed until the run ends.
    if (m_table && m_table->viewsSuspended())
        m_frozen = std::make_unique<Frozen>();
    layoutColumns();
    if (m_table)
        m_table->addView(this);
    layoutRows();
}

void TDataGrid::setColumns(std::vector<TColumn> columns) {
    hideEditor();
    m_columns = std::move(columns);
    m_column = 0;
    layoutColumns();
    viewport()->update();
}

void TDataGrid::setTitleFont(const QFont& font) {
    m_titleFont = font;
    layoutColumns();
    layoutRows();
}

bool TDataGrid::isOpen() const {
    if (m_frozen)
        return m_frozen->open;
    return m_table && m_table->active();
}

bool TDataGrid::canModify() const {
    return !m_frozen && isOpen() && !m_table->readOnly();
}

bool TDataGrid::newRowUntouched() const {
    return isOpen() && m_table->state() == DataSetState::Insert && !m_table->modified() &&
           !m_textChanged;
}

TField* TDataGrid::currentField() const {
    if (m_column < 0 || m_column >= int(m_columns.size()))
        return nullptr;
    return m_columns[size_t(m_column)].field();
}

int TDataGrid::currentRow() const {
    if (m_frozen)
        return m_frozen->active;
    return isOpen() && m_table->windowCount() > 0 ? m_table->windowActive() : 0;
}

int TDataGrid::rowsShown() const {
    if (m_frozen)
        return std::max(int(m_frozen->rows.size()), 1);
    if (!isOpen() || m_table->windowCount() == 0)
        return 1;
    return std::min(m_table->windowCount(), m_visibleRows);
}

QString TDataGrid::cellText(int windowRow, const TField& field) const {
    if (m_frozen) {
        const auto& rows = m_frozen->rows;
        return windowRow < int(rows.size()) ? rows[size_t(windowRow)].value(&field) : QString();
    }
    if (!isOpen() || m_table->windowCount() == 0)
        return {};
    return field.displayTextOf(m_table->windowValue(windowRow, field));
}

DataSetState TDataGrid::currentState() const {
    if (m_frozen)
        return m_frozen->state;
    return m_table ? m_table->state() : DataSetState::Closed;
}

// Taken on this thread just before the worker starts, so the table is still ours.
void TDataGrid::freeze() {
    auto frozen = std::make_unique<Frozen>();
    frozen->open = isOpen();
    frozen->active = currentRow();
    frozen->state = currentState();
    for (int r = 0; r < rowsShown(); ++r) {
        QHash<const TField*, QString> texts;
        for (const TColumn& column : m_columns) {
            if (const TField* field = column.field())
                texts.insert(field, cellText(r, *field));
        }
        frozen->rows.push_back(std::move(texts));
    }
    m_frozen = std::move(frozen);
    viewport()->update();
}

// The run is over: a size changed meanwhile reaches the table now.
void TDataGrid::thaw() {
    m_frozen.reset();
    layoutRows();
}

// ---- Table notices -------------------------------------------------------

void TDataGrid::tableNotice(TableNotice notice, int, const TField* field) {
    // A report run moves the table on its own thread with the views suspended;
    // anything reaching here from another thread must not touch the widgets.
    if (QThread::currentThread() != thread())
        return;
    if (notice == TableNotice::Suspending) {
        freeze();
        return;
    }
    if (m_frozen)
        thaw();
    switch (notice) {
    case TableNotice::Settle:
        return;
    case TableNotice::CollectEdits:
        writePending();
        return;
    case TableNotice::RowsReloaded:
        layoutRows();
        reloadEditor(nullptr);
        return;
    case TableNotice::Scrolled:
        hideEditor();
        layoutRows();
        return;
    case TableNotice::FieldChanged:
    case TableNotice::RowChanged:
        reloadEditor(field);
        viewport()->update();
        return;
    case TableNotice::StateChanged:
        if (!isOpen() || m_table->state() != DataSetState::Insert)
            m_appended = false;
        viewport()->update();
        return;
    case TableNotice::OpenedOrClosed:
        hideEditor();
        layoutColumns();
        layoutRows();
        return;
    case TableNotice::Suspending:
        return;
    }
}

// ---- Layout --------------------------------------------------------------

void TDataGrid::layoutColumns() {
    const QFontMetrics cells(font());
    m_rowHeight = cells.height() + 3 + kLineWidth;
    m_titleHeight = QFontMetrics(m_titleFont).height() + 4;
    for (TColumn& column : m_columns) {
        column.setField(m_table ? m_table->findField(column.fieldName()) : nullptr);
        const QFontMetrics title(column.titleFont().value_or(m_titleFont));
        m_titleHeight = std::max(m_titleHeight, title.height() + 4);
        if (!column.hasDefaultWidth())
            continue;
        int width = 64;
        if (const TField* field = column.field())
            width = cells.horizontalAdvance(QLatin1Char('0')) * field->displayWidth() + 4;
        width = std::max(width, title.horizontalAdvance(column.caption()) + 4);
        column.setDefaultWidth(width);
    }
    m_column = std::clamp(m_column, 0, std::max(int(m_columns.size()) - 1, 0));
    updateHorizontalBar();
    ensureColumnVisible();
    placeEditor();
    viewport()->update();
}

void TDataGrid::layoutRows() {
    const int fit = (viewport()->height() - m_titleHeight) / (m_rowHeight + kLineWidth);
    const int rows = std::max(1, fit);
    if (rows != m_visibleRows && !m_frozen) {
        m_visibleRows = rows;
        if (m_table)
            m_table->viewResized();
    }
    updateVerticalBar();
    placeEditor();
    viewport()->update();
}

// The bar's range is 1 .. rows with a page of the visible rows, so it shows
// from two rows on; while a new row is inserted it keeps its position.
void TDataGrid::updateVerticalBar() {
    if (m_frozen)
        return;
    QScrollBar* bar = verticalScrollBar();
    if (!isOpen()) {
        bar->setRange(0, 0);
        return;
    }
    bar->setRange(1, std::max(1, m_table->rowCount()));
    bar->setPageStep(m_visibleRows);
    if (m_table->state() != DataSetState::Insert)
        bar->setValue(std::max(1, m_table->rowNumber()));
}

// The horizontal bar counts data columns: its value is the first one shown.
void TDataGrid::updateHorizontalBar() {
    const int available = viewport()->width() - dataLeft();
    const int count = int(m_columns.size());
    int last = std::max(count - 1, 0);
    int suffix = 0;
    for (int i = count - 1; i >= 0; --i) {
        suffix += m_columns[size_t(i)].width() + kLineWidth;
        if (suffix > available)
            break;
        last = i;
    }
    horizontalScrollBar()->setRange(0, last);
}

void TDataGrid::ensureColumnVisible() {
    QScrollBar* bar = horizontalScrollBar();
    if (m_columns.empty())
        return;
    if (m_column < bar->value()) {
        bar->setValue(m_column);
        return;
    }
    const int right = viewport()->width();
    while (bar->value() < m_column &&
           columnLeft(m_column) + m_columns[size_t(m_column)].width() > right)
        bar->setValue(bar->value() + 1);
}

int TDataGrid::rowTop(int windowRow) const {
    return m_titleHeight + kLineWidth + windowRow * (m_rowHeight + kLineWidth);
}

int TDataGrid::columnLeft(int column) const {
    const int first = horizontalScrollBar()->value();
    int x = dataLeft();
    for (int i = first; i < column; ++i)
        x += m_columns[size_t(i)].width() + kLineWidth;
    for (int i = column; i < first; ++i)
        x -= m_columns[size_t(i)].width() + kLineWidth;
    return x;
}

QRect TDataGrid::cellRect(int windowRow, int column) const {
    if (column < 0 || column >= int(m_columns.size()))
        return {};
    return {columnLeft(column), rowTop(windowRow), m_columns[size_t(column)].width(), m_rowHeight};
}

QRect TDataGrid::currentCellRect() const {
    return cellRect(currentRow(), m_column);
}

int TDataGrid::rowAt(int y) const {
    const int top = rowTop(0);
    return y < top ? -1 : (y - top) / (m_rowHeight + kLineWidth);
}

int TDataGrid::columnAt(int x) const {
    if (x < dataLeft())
        return -1;
    for (int c = horizontalScrollBar()->value(); c < int(m_columns.size()); ++c) {
        if (x < columnLeft(c) + m_columns[size_t(c)].width() + kLineWidth)
            return c;
    }
    return -1;
}

int TDataGrid::resizeBandColumn(int x) const {
    if (x < dataLeft())
        return -1;
    for (int c = horizontalScrollBar()->value(); c < int(m_columns.size()); ++c) {
        const int border = columnLeft(c) + m_columns[size_t(c)].width();
        if (x >= border - kResizeLeft && x <= border + kResizeRight)
            return c;
    }
    return -1;
}

void TDataGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateHorizontalBar();
    layoutRows();
}

void TDataGrid::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() != QEvent::FontChange)
        return;
    layoutColumns();
    layoutRows();
}

void TDataGrid::scrollContentsBy(int, int) {
    placeEditor();
    viewport()->update();
}

// ---- Keys ----------------------------------------------------------------

void TDataGrid::keyPressEvent(QKeyEvent* event) {
    if (gridKey(event))
        return;
    if (!opensEditor(event)) {
        event->ignore();
        return;
    }
    if (!m_editorShown)
        showEditor(true);
    if (m_editorShown)
        m_editor->type(event);
}

bool TDataGrid::editorKey(QKeyEvent* event) {
    if (m_frozen)
        return true;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backtab:
        return gridKey(event);
    case Qt::Key_Tab:
        return !(mods & Qt::AltModifier) && gridKey(event);
    case Qt::Key_Insert:
        return mods == Qt::NoModifier && gridKey(event);
    case Qt::Key_Delete:
        return mods == Qt::ControlModifier && gridKey(event);
    default:
        return false;
    }
}

bool TDataGrid::closedTableKey(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        hideEditor();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Insert:
    case Qt::Key_F2:
        return true;
    case Qt::Key_Delete:
        return event->modifiers().testFlag(Qt::ControlModifier);
    default:
        return false;
    }
}

// Shift with the movement keys acts as without it.
bool TDataGrid::gridKey(QKeyEvent* event) {
    // Nothing a key asks for could be seen before the run ends; replaying it
    // then would act on rows the user no longer sees.
    if (m_frozen)
        return true;
    if (!isOpen())
        return closedTableKey(event);
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    const int first = nextColumn(-1, 1);
    const int last = nextColumn(int(m_columns.size()), -1);
    switch (event->key()) {
    case Qt::Key_Up:
        ctrl ? moveRows(-currentRow()) : upStep();
        break;
    case Qt::Key_Down:
        ctrl ? moveRows(rowsShown() - 1 - currentRow()) : downStep();
        break;
    case Qt::Key_PageUp:
        moveRows(ctrl ? -currentRow() : -m_visibleRows);
        break;
    case Qt::Key_PageDown:
        moveRows(ctrl ? rowsShown() - 1 - currentRow() : m_visibleRows);
        break;
    case Qt::Key_Left:
        setColumn(ctrl ? first : nextColumn(m_column, -1));
        break;
    case Qt::Key_Right:
        setColumn(ctrl ? last : nextColumn(m_column, 1));
        break;
    case Qt::Key_Home:
        ctrl ? m_table->FirstRow() : setColumn(first);
        break;
    case Qt::Key_End:
        ctrl ? m_table->LastRow() : setColumn(last);
        break;
    case Qt::Key_Tab:
        if (mods & Qt::AltModifier)
            return false;
        tab(!(mods & Qt::ShiftModifier));
        break;
    case Qt::Key_Backtab:
        tab(false);
        break;
    case Qt::Key_Insert:
        if (mods != Qt::NoModifier)
            return false;
        if (canModify()) {
            m_table->InsertRow();
            hideEditor();
        }
        break;
    case Qt::Key_Delete:
        if (!ctrl)
            return false;
        deleteRow();
        break;
    case Qt::Key_F2:
        showEditor(false);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        enter();
        break;
    case Qt::Key_Escape:
        escape();
        break;
    default:
        return false;
    }
    return true;
}

void TDataGrid::moveRows(int n) {
    m_table->MoveRows(n);
    hideEditor();
}

void TDataGrid::upStep() {
    if (newRowUntouched() && m_table->eof())
        m_table->CancelRow();
    else
        m_table->MoveRows(-1);
    hideEditor();
}

void TDataGrid::downStep() {
    if (newRowUntouched()) {
        if (!m_table->eof())
            m_table->CancelRow();
        hideEditor();
        return;
    }
    m_table->MoveRows(1);
    if (m_table->eof() && canModify()) {
        m_table->AppendRow();
        m_appended = m_table->state() == DataSetState::Insert;
    }
    hideEditor();
}

void TDataGrid::tab(bool forward) {
    const int next = nextColumn(m_column, forward ? 1 : -1);
    if (next >= 0) {
        setColumn(next);
        return;
    }
    if (forward) {
        downStep();
        setColumn(nextColumn(-1, 1));
    } else {
        upStep();
        setColumn(nextColumn(int(m_columns.size()), -1));
    }
}

// The next column from `from` in the direction of `step` that has a width;
// -1 when there is none.
int TDataGrid::nextColumn(int from, int step) const {
    for (int c = from + step; c >= 0 && c < int(m_columns.size()); c += step) {
        if (m_columns[size_t(c)].width() > 0)
            return c;
    }
    return -1;
}

void TDataGrid::setColumn(int column) {
    if (column < 0 || column == m_column)
        return;
    writePending();
    hideEditor();
    m_column = column;
    ensureColumnVisible();
    viewport()->update();
}

void TDataGrid::deleteRow() {
    const bool empty = m_table->rowCount() == 0 && m_table->state() != DataSetState::Insert;
    if (empty || !canModify() || !m_confirmDelete())
        return;
    // The typed text belongs to the row that goes away.
    hideEditor();
    m_table->RemoveRow();
}

void TDataGrid::escape() {
    if (m_textChanged) {
        m_textChanged = false;
        reloadEditor(nullptr);
    } else {
        m_table->CancelRow();
    }
    hideEditor();
}

void TDataGrid::enter() {
    if (!m_editorShown) {
        showEditor(true);
        return;
    }
    writePending();
    hideEditor();
}

bool TDataGrid::focusNextPrevChild(bool) {
    return false;
}

void TDataGrid::beep() {
    m_beep();
}

// ---- Editor --------------------------------------------------------------

void TDataGrid::showEditor(bool selectAll) {
    if (m_columns.empty())
        return;
    m_editor->load(currentField());
    m_pendingText = m_editor->text();
    m_textChanged = false;
    m_editorShown = true;
    placeEditor();
    m_editor->show();
    m_editor->setFocus();
    if (selectAll) {
        m_editor->selectAll();
        return;
    }
    m_editor->deselect();
    m_editor->end(false);
}

void TDataGrid::hideEditor() {
    if (!m_editorShown)
        return;
    m_editorShown = false;
    m_textChanged = false;
    if (m_editor->hasFocus())
        setFocus();
    m_editor->hide();
    viewport()->update();
}

// Shows the field's text again unless the user's typing is still pending.
void TDataGrid::reloadEditor(const TField* field) {
    const TField* current = currentField();
    if (!m_editorShown || !current || (field && field != current))
        return;
    if (m_textChanged && !m_writing)
        return;
    const QString text = current->editText();
    if (text != m_editor->text())
        m_editor->setText(text);
    m_pendingText = text;
}

void TDataGrid::placeEditor() {
    if (!m_editorShown)
        return;
    const QRect area(dataLeft(), rowTop(0), viewport()->width() - dataLeft(),
                     viewport()->height() - rowTop(0));
    m_editor->setGeometry(currentCellRect().intersected(area));
}

// A refusal leaves the text-changed flag set and the editor as typed.
void TDataGrid::writePending() {
    if (!m_textChanged)
        return;
    TField* field = currentField();
    if (field) {
        QScopedValueRollback<bool> writing(m_writing, true);
        field->setText(m_pendingText);
    }
    m_textChanged = false;
}

void TDataGrid::editorTextEdited(const QString& text) {
    m_textChanged = true;
    m_pendingText = text;
}

bool TDataGrid::beginCellEdit() {
    if (!canModify() || !m_source || !currentField())
        return false;
    return m_source->edit();
}

// Focus moving to a control outside the grid: an untouched new row is dropped,
// otherwise the typed text is written; a refusal brings the focus back.
void TDataGrid::focusLeaving() {
    QWidget* next = QApplication::focusWidget();
    if (m_frozen || !next || next == this || isAncestorOf(next) || next->window() != window())
        return;
    viewport()->update();
    if (!isOpen())
        return;
    if (newRowUntouched()) {
        hideEditor();
        m_table->CancelRow();
        return;
    }
    try {
        writePending();
    } catch (...) {
        if (m_editorShown)
            m_editor->setFocus();
        else
            setFocus();
        throw;
    }
}

void TDataGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TDataGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    focusLeaving();
}

// ---- Mouse ---------------------------------------------------------------

void TDataGrid::mousePressEvent(QMouseEvent* event) {
    if (m_drag != Drag::None)
        return;
    const QPoint pos = event->position().toPoint();
    if (pos.y() < rowTop(0)) {
        if (event->button() == Qt::LeftButton)
            titlePress(event);
        return;
    }
    const int row = rowAt(pos.y());
    if (m_frozen || row < 0 || row >= rowsShown())
        return;
    if (pos.x() < dataLeft()) {
        clickCell(row, m_column);
        return;
    }
    const int column = columnAt(pos.x());
    if (column < 0)
        return;
    if (row == currentRow() && column == m_column) {
        if (event->button() == Qt::LeftButton && !m_editorShown)
            showEditor(true);
        return;
    }
    clickCell(row, column);
}

// The row settled on the way may be an untouched new row that disappears; the
// step counts from the row that is current once it is gone.
void TDataGrid::clickCell(int windowRow, int column) {
    writePending();
    hideEditor();
    const int active = currentRow();
    if (isOpen() && windowRow != active) {
        int n = windowRow - active;
        if (newRowUntouched()) {
            if (windowRow > active)
                --n;
            else if (m_appended)
                ++n;
        }
        m_table->MoveRows(n);
    }
    setColumn(column);
}

void TDataGrid::titlePress(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    int column = resizeBandColumn(x);
    m_drag = Drag::Resize;
    if (column < 0) {
        column = columnAt(x);
        m_drag = Drag::Move;
    }
    if (column < 0) {
        m_drag = Drag::None;
        return;
    }
    m_dragColumn = column;
    m_dragStartX = m_dragX = x;
}

void TDataGrid::mouseMoveEvent(QMouseEvent* event) {
    if (m_drag == Drag::None)
        return;
    m_dragX = event->position().toPoint().x();
    if (m_drag == Drag::Move) {
        QScrollBar* bar = horizontalScrollBar();
        if (m_dragX >= viewport()->width())
            bar->setValue(bar->value() + 1);
        else if (m_dragX < dataLeft())
            bar->setValue(bar->value() - 1);
    }
    viewport()->update();
}

void TDataGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (m_drag == Drag::None)
        return;
    finishDrag(event->position().toPoint().x());
}

void TDataGrid::finishDrag(int x) {
    const Drag drag = m_drag;
    const int from = m_dragColumn;
    m_drag = Drag::None;
    viewport()->update();
    if (drag == Drag::Resize) {
        const int width = m_columns[size_t(from)].width() + x - m_dragStartX;
        if (width > 1)
            m_columns[size_t(from)].setWidth(width);
        updateHorizontalBar();
        placeEditor();
        return;
    }
    const int to = columnAt(x);
    if (to < 0 || to == from)
        return;
    TColumn moved = std::move(m_columns[size_t(from)]);
    m_columns.erase(m_columns.begin() + from);
    m_columns.insert(m_columns.begin() + to, std::move(moved));
    // The current column stays the same column wherever it went.
    if (m_column == from)
        m_column = to;
    else if (from < m_column && to >= m_column)
        --m_column;
    else if (from > m_column && to <= m_column)
        ++m_column;
    placeEditor();
}

void TDataGrid::mouseDoubleClickEvent(QMouseEvent*) {}

// ---- Vertical bar --------------------------------------------------------

void TDataGrid::scrollAction(int action, int position) {
    if (m_frozen || !isOpen())
        return;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        m_table->MoveRows(-currentRow() - 1);
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        m_table->MoveRows(rowsShown() - currentRow());
        break;
    case QAbstractSlider::SliderPageStepSub:
        m_table->MoveRows(-m_visibleRows);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        m_table->MoveRows(m_visibleRows);
        break;
    case QAbstractSlider::SliderToMinimum:
        m_table->FirstRow();
        break;
    case QAbstractSlider::SliderToMaximum:
        m_table->LastRow();
        break;
    case QAbstractSlider::SliderMove:
        if (position <= 1) {
            m_table->FirstRow();
        } else if (position >= m_table->rowCount()) {
            m_table->LastRow();
        } else {
            m_table->SettleRow();
            m_table->MoveRows(position - m_table->rowNumber());
        }
        break;
    default:
        return;
    }
    hideEditor();
    updateVerticalBar();
}

// ---- Drawing -------------------------------------------------------------

bool TDataGrid::focused() const {
    return hasFocus() || m_editor->hasFocus();
}

void TDataGrid::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    paintRows(painter);
    paintTitles(painter);
    paintDrag(painter);
}

void TDataGrid::paintFixedCell(QPainter& painter, const QRect& rect) {
    const QBrush face = palette().brush(QPalette::Button);
    qDrawShadePanel(&painter, rect, palette(), false, 1, &face);
}

void TDataGrid::paintText(QPainter& painter, const QRect& rect, const QString& text,
                          Alignment alignment) {
    QRect area = rect.adjusted(0, 2, 0, 0);
    int flags = Qt::AlignTop | Qt::TextSingleLine;
    switch (alignment) {
    case Alignment::Left:
        area.setLeft(rect.left() + 2);
        flags |= Qt::AlignLeft;
        break;
    case Alignment::Right:
        area.setRight(rect.right() - 3);
        flags |= Qt::AlignRight;
        break;
    case Alignment::Center:
        flags |= Qt::AlignHCenter;
        break;
    }
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.drawText(area, flags, text);
    painter.restore();
}

void TDataGrid::paintTitles(QPainter& painter) {
    const QColor line = palette().color(QPalette::Shadow);
    const int width = viewport()->width();
    paintFixedCell(painter, QRect(0, 0, kIndicatorWidth, m_titleHeight));
    painter.fillRect(kIndicatorWidth, 0, kLineWidth, m_titleHeight + kLineWidth, line);
    painter.fillRect(0, m_titleHeight, width, kLineWidth, line);
    painter.save();
    painter.setClipRect(QRect(dataLeft(), 0, width - dataLeft(), m_titleHeight + kLineWidth));
    painter.setPen(palette().color(QPalette::ButtonText));
    for (int c = horizontalScrollBar()->value(); c < int(m_columns.size()); ++c) {
        const TColumn& column = m_columns[size_t(c)];
        const QRect cell(columnLeft(c), 0, column.width(), m_titleHeight);
        if (cell.left() >= width)
            break;
        paintFixedCell(painter, cell);
        painter.fillRect(cell.right() + 1, 0, kLineWidth, m_titleHeight, line);
        painter.setFont(column.titleFont().value_or(m_titleFont));
        paintText(painter, cell, column.caption(), column.titleAlignment());
    }
    painter.restore();
}

void TDataGrid::paintRows(QPainter& painter) {
    const QColor fixedLine = palette().color(QPalette::Shadow);
    const QColor line = palette().color(QPalette::Mid);
    const int width = viewport()->width();
    for (int r = 0; r < rowsShown(); ++r) {
        const int top = rowTop(r);
        paintFixedCell(painter, QRect(0, top, kIndicatorWidth, m_rowHeight));
        painter.fillRect(kIndicatorWidth, top, kLineWidth, m_rowHeight + kLineWidth, fixedLine);
        painter.fillRect(0, top + m_rowHeight, kIndicatorWidth, kLineWidth, fixedLine);
        if (isOpen() && r == currentRow()) {
            const DataSetState state = currentState();
            const GridGlyph glyph = state == DataSetState::Edit     ? GridGlyph::Edit
                                    : state == DataSetState::Insert ? GridGlyph::Insert
                                                                    : GridGlyph::Arrow;
            painter.setPen(Qt::black);
            painter.setBackgroundMode(Qt::TransparentMode);
            painter.drawPixmap(kIndicatorWidth - 2 - kGlyphWidth,
                               top + (m_rowHeight - kGlyphHeight) / 2, glyphBitmap(glyph));
        }
        painter.save();
        painter.setClipRect(QRect(dataLeft(), top, width - dataLeft(), m_rowHeight + kLineWidth));
        painter.setFont(font());
        for (int c = horizontalScrollBar()->value(); c < int(m_columns.size()); ++c) {
            const QRect cell = cellRect(r, c);
            if (cell.left() >= width)
                break;
            paintDataCell(painter, r, c, cell);
            painter.fillRect(cell.right() + 1, top, kLineWidth, m_rowHeight + kLineWidth, line);
            painter.fillRect(cell.left(), top + m_rowHeight, cell.width(), kLineWidth, line);
        }
        painter.restore();
    }
}

void TDataGrid::paintDataCell(QPainter& painter, int windowRow, int column, const QRect& rect) {
    const TColumn& col = m_columns[size_t(column)];
    const bool highlight =
        focused() && !m_editorShown && windowRow == currentRow() && column == m_column;
    painter.fillRect(rect, palette().color(highlight ? QPalette::Highlight : QPalette::Base));
    painter.setPen(palette().color(highlight ? QPalette::HighlightedText : QPalette::Text));
    if (const TField* field = col.field())
        paintText(painter, rect, cellText(windowRow, *field), col.alignment());
    if (!highlight)
        return;
    painter.save();
    painter.setPen(QPen(palette().color(QPalette::HighlightedText), 1, Qt::DotLine));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

void TDataGrid::paintDrag(QPainter& painter) {
    if (m_drag == Drag::Resize) {
        painter.fillRect(m_dragX, 0, kLineWidth, viewport()->height(), Qt::black);
        return;
    }
    if (m_drag != Drag::Move)
        return;
    const TColumn& column = m_columns[size_t(m_dragColumn)];
    const QRect cell(m_dragX - column.width() / 2, 0, column.width(), m_titleHeight);
    paintFixedCell(painter, cell);
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.setFont(column.titleFont().value_or(m_titleFont));
    paintText(painter, cell, column.caption(), column.titleAlignment());
}

} // namespace tavim
