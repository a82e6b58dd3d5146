#pragma once

#include "app/grid/DataSource.h"
#include "app/grid/GridColumn.h"
#include "data/TableView.h"

#include <QAbstractScrollArea>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

namespace tavim {

class TCellEditor;
class TMemTable;
enum class DataSetState;

// The editable grid over a result table: a title row, an indicator column and
// a window of the table's rows, with an in-place editor for the current cell.
// Thread: the user-interface thread's; no lock. While a report run has the
// table's views suspended it reads nothing from the table: it paints the rows
// it showed when the run began, ignores keys, clicks on rows and scrolling, and
// takes its new size to the table when the views resume.
class TDataGrid : public QAbstractScrollArea, public TableView {
public:
    static constexpr int kIndicatorWidth = 11;
    static constexpr int kLineWidth = 1;

    explicit TDataGrid(QWidget* parent = nullptr);
    ~TDataGrid() override;

    // The grid's cell font (and, bold, the columns' title font) on this platform.
    static QFont substituteFont(bool bold);

    TDataSource* dataSource() const { return m_source; }
    void setDataSource(TDataSource* source);
    TMemTable* table() const;

    // The declared columns in display order.
    void setColumns(std::vector<TColumn> columns);
    const std::vector<TColumn>& columns() const { return m_columns; }
    const QFont& titleFont() const { return m_titleFont; }
    void setTitleFont(const QFont& font);

    int currentColumn() const { return m_column; }
    int rowHeight() const { return m_rowHeight; }
    int titleHeight() const { return m_titleHeight; }
    int visibleRows() const { return m_visibleRows; }
    // The current data row's rectangle in viewport coordinates.
    QRect currentCellRect() const;
    QRect cellRect(int windowRow, int column) const;
    bool editorShown() const { return m_editorShown; }
    TCellEditor* editor() const { return m_editor; }
    bool textChanged() const { return m_textChanged; }

    // The delete question: true unless the user cancels. Tests answer it directly.
    void setConfirmDelete(std::function<bool()> confirm) { m_confirmDelete = std::move(confirm); }
    void setBeep(std::function<void()> beep) { m_beep = std::move(beep); }

    // TableView
    int wantedRows() const override { return m_visibleRows; }
    void tableNotice(TableNotice notice, int distance, const TField* field) override;

    // Used by the in-place editor.
    bool editorKey(QKeyEvent* event);
    bool beginCellEdit();
    void focusLeaving();
    void beep();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    enum class Drag { None, Resize, Move };
    struct Frozen;

    void bindTable(TMemTable* table);
    bool isOpen() const;
    bool canModify() const;
    bool newRowUntouched() const;
    TField* currentField() const;
    int currentRow() const;
    int rowsShown() const;
    QString cellText(int windowRow, const TField& field) const;
    DataSetState currentState() const;

    // A report run takes the table over and hands it back.
    void freeze();
    void thaw();

    // Layout
    void layoutColumns();
    void layoutRows();
    void updateVerticalBar();
    void updateHorizontalBar();
    void ensureColumnVisible();
    int dataLeft() const { return kIndicatorWidth + kLineWidth; }
    int rowTop(int windowRow) const;
    int columnLeft(int column) const;
    int rowAt(int y) const;
    int columnAt(int x) const;
    int resizeBandColumn(int x) const;

    // Keys
    bool gridKey(QKeyEvent* event);
    bool closedTableKey(QKeyEvent* event);
    void upStep();
    void downStep();
    void moveRows(int n);
    void tab(bool forward);
    void setColumn(int column);
    int nextColumn(int from, int step) const;
    void deleteRow();
    void escape();
    void enter();

    // Editor
    void showEditor(bool selectAll);
    void hideEditor();
    void reloadEditor(const TField* field);
    void placeEditor();
    void writePending();
    void editorTextEdited(const QString& text);

    // Mouse
    void clickCell(int windowRow, int column);
    void titlePress(QMouseEvent* event);
    void finishDrag(int x);

    // Vertical bar actions run after the bar's own handling, see the constructor.
    void scrollAction(int action, int position);

    // Drawing
    void paintTitles(QPainter& painter);
    void paintRows(QPainter& painter);
    void paintFixedCell(QPainter& painter, const QRect& rect);
    void paintDataCell(QPainter& painter, int windowRow, int column, const QRect& rect);
    void paintText(QPainter& painter, const QRect& rect, const QString& text, Alignment alignment);
    void paintDrag(QPainter& painter);
    bool focused() const;

    QPointer<TDataSource> m_source;
    TMemTable* m_table = nullptr;
    std::vector<TColumn> m_columns;
    QFont m_titleFont;
    TCellEditor* m_editor = nullptr;
    int m_column = 0;
    int m_rowHeight = 17;
    int m_titleHeight = 17;
    int m_visibleRows = 1;
    bool m_editorShown = false;
    bool m_textChanged = false;
    bool m_writing = false;
    bool m_appended = false; // the new row was started by this grid's AppendRow
    QString m_pendingText;
    // What was shown when a report run took the table; null outside a run.
    std::unique_ptr<Frozen> m_frozen;

    Drag m_drag = Drag::None;
    int m_dragColumn = -1;
    int m_dragStartX = 0;
    int m_dragX = 0;

    std::function<bool()> m_confirmDelete;
    std::function<void()> m_beep;
};

} // namespace tavim
