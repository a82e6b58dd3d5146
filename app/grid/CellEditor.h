#pragma once

#include <QLineEdit>

namespace tavim {

class TDataGrid;
class TField;

// The grid's in-place editor. Row and cell keys go back to the grid; a
// keystroke that changes the text first puts the row into editing.
class TCellEditor : public QLineEdit {
public:
    TCellEditor(TDataGrid& grid, QWidget* parent);

    // Shows the field's edit text with the field's length limit and alignment.
    void load(const TField* field);
    // A key the grid received that should act as typed into the editor.
    void type(QKeyEvent* event) { keyPressEvent(event); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    static bool changesText(QKeyEvent* event);
    bool refusesCharacter(QKeyEvent* event) const;

    TDataGrid& m_grid;
    const TField* m_field = nullptr;
};

} // namespace tavim
