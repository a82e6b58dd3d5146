#include "GridFixture.h"

#include "app/grid/CellEditor.h"

#include <QMessageBox>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

using namespace tavim;
using namespace tavim::test;

namespace {

const QStringList kFive = {"A", "B", "C", "D", "E"};
constexpr int kAluguel = 3;
constexpr int kOutros = 5;

TEST_F(GridTest, GeometryFollowsTheFontMetrics) {
    EXPECT_EQ(grid->rowHeight(), 17);
    EXPECT_EQ(grid->titleHeight(), 17);
    const int widths[] = {280, 300, 280, 64, 60, 64, 100};
    for (size_t c = 0; c < 7; ++c)
        EXPECT_EQ(grid->columns()[c].width(), widths[c]) << c;
    EXPECT_EQ(grid->cellRect(0, 0), QRect(12, 18, 280, 17));
}

TEST_F(GridTest, ClosedTableShowsOneBlankRowAndRefusesTyping) {
    EXPECT_EQ(glyph(0), "none");
    type("x");
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(editorText(), "");
    key(Qt::Key_Return);
    EXPECT_FALSE(grid->editorShown());
    EXPECT_EQ(ErrorBoxApp::lastError, "");
}

TEST_F(GridTest, EmptyTableStartsANewRow) {
    const std::pair<const char*, std::function<void(GridTest&)>> starts[] = {
        {"Down", [](GridTest& t) { t.key(Qt::Key_Down); }},
        {"Insert", [](GridTest& t) { t.key(Qt::Key_Insert); }},
        {"typing", [](GridTest& t) { t.type("x"); }},
    };
    for (const auto& [name, start] : starts) {
        open({});
        EXPECT_EQ(glyph(), "arrow") << name;
        key(Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(questions, 0) << name;
        start(*this);
        EXPECT_EQ(module->table.state(), DataSetState::Insert) << name;
        EXPECT_EQ(glyph(), "insert") << name;
    }
    EXPECT_EQ(editorText(), "x");
}

TEST_F(GridTest, DownAppendsOnceAndUpCancels) {
    open({"A", "B"});
    key(Qt::Key_Down);
    EXPECT_EQ(glyph(), "arrow");
    key(Qt::Key_Down);
    EXPECT_EQ(glyph(1), "none");
    EXPECT_EQ(glyph(2), "insert");
    key(Qt::Key_Down);
    EXPECT_EQ(module->table.state(), DataSetState::Insert);
    EXPECT_EQ(module->table.windowActive(), 2);
    key(Qt::Key_Up);
    EXPECT_EQ(module->table.state(), DataSetState::Browse);
    EXPECT_EQ(module->table.rowCount(), 2);
    EXPECT_EQ(current(module->proprietario), "B");
}

TEST_F(GridTest, TypingThenDownStoresTheRow) {
    open(kFive);
    type("Novo");
    EXPECT_EQ(glyph(), "edit");
    key(Qt::Key_Down);
    EXPECT_EQ(glyph(), "arrow");
    EXPECT_EQ(current(module->proprietario), "B");
    key(Qt::Key_Up);
    EXPECT_EQ(current(module->proprietario), "Novo");
}

TEST_F(GridTest, EscapeDropsTheTextThenTheEdit) {
    open(kFive);
    type("Novo");
    key(Qt::Key_Escape);
    EXPECT_FALSE(grid->editorShown());
    EXPECT_EQ(glyph(), "edit");
    EXPECT_EQ(current(module->proprietario), "A");
    key(Qt::Key_Escape);
    EXPECT_EQ(glyph(), "arrow");
    EXPECT_EQ(module->table.state(), DataSetState::Browse);
}

TEST_F(GridTest, ThousandsSeparatorIsRefusedAndTheEditorKeepsTheText) {
    open(kFive);
    key(Qt::Key_Right, Qt::ControlModifier);
    key(Qt::Key_Home);
    for (int i = 0; i < kAluguel; ++i)
        key(Qt::Key_Tab);
    key(Qt::Key_F2);
    EXPECT_EQ(editorText(), "1.234,50");
    key(Qt::Key_Backspace);
    type("0");
    for (int refused : {Qt::Key_Return, Qt::Key_Down, Qt::Key_Tab}) {
        ErrorBoxApp::lastError.clear();
        key(refused);
        EXPECT_EQ(ErrorBoxApp::lastError,
                  "'1.234,50' is not a valid floating point value for field 'ALUGUEL'");
        EXPECT_EQ(editorText(), "1.234,50");
        EXPECT_TRUE(grid->textChanged());
        EXPECT_EQ(grid->currentColumn(), kAluguel);
        EXPECT_EQ(module->table.state(), DataSetState::Edit);
        EXPECT_EQ(module->table.rowNumber(), 1);
    }
    grid->editor()->selectAll();
    type("1234,75");
    key(Qt::Key_Return);
    EXPECT_FALSE(grid->editorShown());
    EXPECT_EQ(current(module->aluguel), "1.234,75");
    EXPECT_EQ(module->table.state(), DataSetState::Edit);
}

TEST_F(GridTest, TextCellsStopAtTheFieldSize) {
    const std::pair<int, int> limits[] = {{0, 50}, {1, 90}, {2, 50}, {6, 50}};
    open(kFive);
    for (const auto& [column, size] : limits) {
        while (grid->currentColumn() != column)
            key(Qt::Key_Right);
        type(QString(size + 1, QChar('x')));
        EXPECT_EQ(editorText().size(), size) << column;
        key(Qt::Key_Return);
        EXPECT_EQ(module->table.fields()[size_t(column)]->displayText().size(), size) << column;
    }
}

TEST_F(GridTest, MoneyCellsRefuseLettersWithABeep) {
    open(kFive);
    while (grid->currentColumn() != kOutros)
        key(Qt::Key_Right);
    type("a");
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(module->table.state(), DataSetState::Browse);
    type("1e3x");
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(editorText(), "1e3");
    key(Qt::Key_Return);
    EXPECT_EQ(current(module->outros), "1.000,00");
}

TEST_F(GridTest, CtrlDeleteAsksFirst) {
    for (bool ok : {true, false}) {
        open(kFive);
        answer = ok;
        key(Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(module->table.rowCount(), ok ? 4 : 5);
        EXPECT_EQ(current(module->proprietario), ok ? "B" : "A");
    }
    EXPECT_EQ(questions, 2);
}

TEST_F(GridTest, TheRealDeleteQuestion) {
    struct Case {
        const char* name;
        std::function<void(QMessageBox&)> answer;
        int rowsLeft;
    };
    const Case cases[] = {
        {"Enter", [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Return); }, 4},
        {"Escape", [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Escape); }, 5},
        {"close box", [](QMessageBox& b) { b.close(); }, 5},
        {"Cancel", [](QMessageBox& b) { b.button(QMessageBox::Cancel)->click(); }, 5},
    };
    for (const Case& c : cases) {
        // A fresh grid carries the default question.
        auto* g = new TDataGrid(&window);
        g->setColumns(listingColumns());
        g->setDataSource(&source);
        open(kFive);
        QString caption, text;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            caption = box->windowTitle();
            text = box->text();
            EXPECT_EQ(box->icon(), QMessageBox::Question);
            EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Ok));
            c.answer(*box);
        });
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::ControlModifier);
        QApplication::sendEvent(g, &press);
        EXPECT_EQ(caption, "Confirm") << c.name;
        EXPECT_EQ(text, "Delete record?") << c.name;
        EXPECT_EQ(module->table.rowCount(), c.rowsLeft) << c.name;
        delete g;
    }
}

TEST_F(GridTest, TabFromTheLastCellAppendsAndGoesToTheFirstColumn) {
    open(kFive);
    key(Qt::Key_End, Qt::ControlModifier);
    key(Qt::Key_End);
    key(Qt::Key_Tab);
    EXPECT_EQ(module->table.state(), DataSetState::Insert);
    EXPECT_EQ(grid->currentColumn(), 0);
    EXPECT_EQ(glyph(), "insert");
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(grid->currentColumn(), 6);
    EXPECT_EQ(current(module->proprietario), "E");
}

TEST_F(GridTest, VerticalBarShowsFromTwoRows) {
    const std::pair<QStringList, bool> cases[] = {{{}, false}, {{"A"}, false}, {{"A", "B"}, true}};
    for (const auto& [rows, shown] : cases) {
        open(rows);
        QApplication::processEvents();
        EXPECT_EQ(grid->verticalScrollBar()->isVisible(), shown) << rows.size();
    }
    open(kFive);
    grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    QApplication::processEvents();
    EXPECT_EQ(module->table.rowNumber(), 5);
    EXPECT_EQ(grid->verticalScrollBar()->value(), 5);
}

TEST_F(GridTest, ClickAfterInsertDropsTheUntouchedRow) {
    const std::pair<int, const char*> clicks[] = {{4, "D"}, {0, "A"}, {1, "B"}};
    for (const auto& [row, landlord] : clicks) {
        open(kFive);
        module->table.MoveRows(2);
        module->table.InsertRow();
        EXPECT_EQ(glyph(2), "insert");
        click(row, 1);
        EXPECT_EQ(module->table.rowCount(), 5);
        EXPECT_EQ(current(module->proprietario), landlord) << row;
        EXPECT_EQ(grid->currentColumn(), 1);
    }
    open(kFive);
    key(Qt::Key_End, Qt::ControlModifier);
    key(Qt::Key_Down);
    click(1, 0);
    EXPECT_EQ(current(module->proprietario), "B");
}

TEST_F(GridTest, TitleRowResizesAndMovesColumns) {
    open(kFive);
    QWidget* view = grid->viewport();
    const int border = grid->cellRect(0, 0).right() + 1;
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(border - 2, 5));
    QTest::mouseMove(view, QPoint(border + 20, 5));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(border + 20, 5));
    EXPECT_EQ(grid->columns()[0].width(), 302);
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(border + 23, 5));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(grid->cellRect(0, 0).left(), 5));
    EXPECT_EQ(grid->columns()[0].width(), 302);

    const QPoint from = QPoint(grid->cellRect(0, 0).center().x(), 5);
    const QPoint to = QPoint(grid->cellRect(0, 2).center().x(), 5);
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QTest::mouseMove(view, to);
    QTest::mouseRelease(view, Qt::LeftButton, {}, to);
    QStringList order;
    for (const TColumn& c : grid->columns())
        order << c.fieldName();
    EXPECT_EQ(order.mid(0, 3), QStringList({"IMOVEL", "INQUILINO", "PROPRIETARIO"}));
    EXPECT_EQ(grid->columns()[2].width(), 302);
    EXPECT_EQ(grid->currentColumn(), 2);
}

TEST_F(GridTest, LeavingTheGrid) {
    open(kFive);
    key(Qt::Key_Insert);
    button->setFocus();
    EXPECT_EQ(module->table.state(), DataSetState::Browse);
    EXPECT_EQ(module->table.rowCount(), 5);

    grid->setFocus();
    while (grid->currentColumn() != kAluguel)
        key(Qt::Key_Right);
    type("1,2,3");
    button->setFocus();
    EXPECT_EQ(ErrorBoxApp::lastError,
              "'1,2,3' is not a valid floating point value for field 'ALUGUEL'");
    EXPECT_EQ(QApplication::focusWidget(), grid->editor());
    grid->editor()->selectAll();
    type("7");
    button->setFocus();
    EXPECT_EQ(current(module->aluguel), "7,00");
    EXPECT_EQ(module->table.state(), DataSetState::Edit);
}

TEST_F(GridTest, LaysOutAgainWhenAReportRunResumesTheViews) {
    open(kFive);
    module->table.suspendViews();
    module->table.LastRow();
    EXPECT_EQ(grid->verticalScrollBar()->value(), 1);
    module->table.resumeViews();
    EXPECT_EQ(grid->verticalScrollBar()->value(), 5);
    EXPECT_EQ(glyph(module->table.windowActive()), "arrow");
}

// Where a run left the table; the grid must neither move it nor read it.
struct TablePlace {
    int row, windowCount, windowActive;
    DataSetState state;
    QString first;
    bool operator==(const TablePlace&) const = default;
};

void PrintTo(const TablePlace& p, std::ostream* os) {
    *os << "row " << p.row << ", window " << p.windowCount << " at " << p.windowActive << ", state "
        << int(p.state) << ", first " << p.first.toStdString();
}

TablePlace placeOf(const ListingModule& m) {
    const Value& first = m.table.windowValue(0, m.proprietario);
    return {m.table.rowNumber(), m.table.windowCount(), m.table.windowActive(), m.table.state(),
            isNull(first) ? QString() : std::get<QString>(first)};
}

// A report run takes the table with its views suspended and moves it on the
// worker; here the test plays the worker. Whatever the user does meanwhile
// reaches neither the table nor its window, the grid keeps painting the rows it
// showed, and its new size and the run's last row show once the views resume.
TEST_F(GridTest, StaysOffTheTableWhileARunMovesIt) {
    struct Case {
        const char* name;
        int height;
        std::function<void(GridTest&)> act;
    };
    auto bar = [](GridTest& t, QAbstractSlider::SliderAction action) {
        t.grid->verticalScrollBar()->triggerAction(action);
    };
    const Case cases[] = {
        {"grown", 700, [](GridTest&) {}},
        {"shrunk", 150, [](GridTest&) {}},
        {"keys", 442,
         [](GridTest& t) {
             for (int k : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Up, Qt::Key_Insert, Qt::Key_F2,
                           Qt::Key_Escape})
                 t.key(k);
             t.key(Qt::Key_End, Qt::ControlModifier);
             t.key(Qt::Key_Delete, Qt::ControlModifier);
             t.type("x");
         }},
        {"scroll bar", 442,
         [&bar](GridTest& t) {
             bar(t, QAbstractSlider::SliderPageStepAdd);
             bar(t, QAbstractSlider::SliderToMinimum);
             QTest::mouseClick(t.grid->verticalScrollBar(), Qt::LeftButton, {}, QPoint(5, 300));
         }},
        {"click on a row", 442, [](GridTest& t) { t.click(5, 2); }},
        {"typing into an open editor", 442,
         [](GridTest& t) {
             t.type("Z");
             t.key(Qt::Key_Return);
         }},
    };
    QStringList names;
    for (int i = 1; i <= 60; ++i)
        names << QStringLiteral("R%1").arg(i);
    for (const Case& c : cases) {
        grid->resize(806, 442);
        open(names);
        grid->setFocus();
        key(Qt::Key_Down);
        key(Qt::Key_Down);
        if (c.name == std::string("typing into an open editor"))
            key(Qt::Key_F2);
        const QImage before = grid->viewport()->grab().toImage();

        module->table.suspendViews();
        module->table.LastRow();
        const TablePlace run = placeOf(*module);
        grid->resize(806, c.height);
        c.act(*this);
        QApplication::processEvents();
        const QImage during = grid->viewport()->grab().toImage();
        EXPECT_EQ(placeOf(*module), run) << c.name;
        EXPECT_EQ(questions + beeps, 0) << c.name;
        const QRect common = before.rect().intersected(during.rect());
        EXPECT_TRUE(during.copy(common) == before.copy(common)) << c.name << ": painted rows moved";
        EXPECT_EQ(grid->verticalScrollBar()->value(), 3) << c.name;

        module->table.resumeViews();
        const int fit = (grid->viewport()->height() - grid->titleHeight()) / 18;
        EXPECT_EQ(grid->visibleRows(), fit) << c.name;
        EXPECT_EQ(module->table.windowCount(), fit) << c.name;
        EXPECT_EQ(placeOf(*module).first, names[60 - fit]) << c.name;
        EXPECT_EQ(module->table.rowNumber(), 60) << c.name;
        EXPECT_EQ(grid->verticalScrollBar()->value(), 60) << c.name;
        EXPECT_EQ(glyph(fit - 1), "arrow") << c.name;
        EXPECT_FALSE(grid->viewport()->grab().toImage().copy(common) == before.copy(common))
            << c.name;
    }
}

} // namespace
