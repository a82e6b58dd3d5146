#pragma once

namespace tavim {

class TField;

// What a result table tells its views, in the order its operations send them.
enum class TableNotice {
    Settle,        // a view should finish what it is doing with the current row
    CollectEdits,  // write pending editor text into the fields now; may throw
    RowsReloaded,  // the window was read again: redraw every row
    Scrolled,      // the window moved by `distance` rows (0: only the current row moved)
    FieldChanged,  // `field` of the current row changed
    RowChanged,    // the current row started being edited
    StateChanged,  // the table's state changed
    Suspending,    // another thread will move the table: keep what is shown, read nothing
    OpenedOrClosed // the table opened or closed
};

// A view (the grid) sees a window of consecutive rows around the current row.
class TableView {
public:
    virtual ~TableView() = default;
    // How many rows the view wants to see at once (at least 1).
    virtual int wantedRows() const = 0;
    virtual void tableNotice(TableNotice notice, int distance, const TField* field) = 0;
};

} // namespace tavim
