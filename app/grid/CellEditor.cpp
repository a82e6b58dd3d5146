#include "app/grid/CellEditor.h"

#include "app/grid/DataGrid.h"
#include "data/Field.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace tavim {

namespace {

bool isPrintable(QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

bool isShiftInsert(QKeyEvent* event) {
    return event->key() == Qt::Key_Insert && event->modifiers() == Qt::ShiftModifier;
}

} // namespace

TCellEditor::TCellEditor(TDataGrid& grid, QWidget* parent) : QLineEdit(parent), m_grid(grid) {
    setFrame(false);
    // Every change of the text must pass through the keystroke rules below, so
    // the ways around them (menu, drop, input method) are closed.
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    hide();
}

void TCellEditor::load(const TField* field) {
    m_field = field;
    const bool text = field && field->kind() == FieldKind::String;
    setMaxLength(text ? field->size() : 32767);
    const bool right = field && field->alignment() == Alignment::Right;
    setAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    setText(field ? field->editText() : QString());
}

bool TCellEditor::changesText(QKeyEvent* event) {
    static const QKeySequence::StandardKey kEditing[] = {
        QKeySequence::Cut,
        QKeySequence::Paste,
        QKeySequence::Delete,
        QKeySequence::DeleteEndOfWord,
        QKeySequence::DeleteStartOfWord,
        QKeySequence::DeleteEndOfLine,
        QKeySequence::DeleteCompleteLine,
        QKeySequence::Backspace,
        QKeySequence::Undo,
        QKeySequence::Redo,
    };
    if (isPrintable(event) || event->key() == Qt::Key_Backspace || isShiftInsert(event))
        return true;
    for (QKeySequence::StandardKey key : kEditing) {
        if (event->matches(key))
            return true;
    }
    return false;
}

bool TCellEditor::refusesCharacter(QKeyEvent* event) const {
    if (!m_field || !isPrintable(event))
        return false;
    for (QChar c : event->text()) {
        if (!m_field->isValidChar(c))
            return true;
    }
    return false;
}

void TCellEditor::keyPressEvent(QKeyEvent* event) {
    if (m_grid.editorKey(event))
        return;
    if (!changesText(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (refusesCharacter(event) || !m_grid.beginCellEdit()) {
        m_grid.beep();
        return;
    }
    if (isShiftInsert(event)) {
        paste();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TCellEditor::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    m_grid.focusLeaving();
}

// The middle button would paste the selection without the keystroke rules.
void TCellEditor::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton)
        return;
    QLineEdit::mouseReleaseEvent(event);
}

// Tab and Shift+Tab reach keyPressEvent and move between cells.
bool TCellEditor::focusNextPrevChild(bool) {
    return false;
}

} // namespace tavim
