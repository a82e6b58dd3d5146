#include "TableFixture.h"

#include "error/DatabaseError.h"

#include "ErrorText.h"

#include <gtest/gtest.h>

using namespace tavim;
using namespace tavim::test;

namespace {

const QStringList kFive = {"A", "B", "C", "D", "E"};

struct Op {
    const char* name;
    std::function<void(TableModule&)> run;
};

const Op kOps[] = {
    {"Settle", [](TableModule& m) { m.table.SettleRow(); }},
    {"Edit", [](TableModule& m) { m.table.EditRow(); }},
    {"Insert", [](TableModule& m) { m.table.InsertRow(); }},
    {"Append", [](TableModule& m) { m.table.AppendRow(); }},
    {"Post", [](TableModule& m) { m.table.PostRow(); }},
    {"Cancel", [](TableModule& m) { m.table.CancelRow(); }},
    {"Remove", [](TableModule& m) { m.table.RemoveRow(); }},
    {"Move", [](TableModule& m) { m.table.MoveRows(1); }},
    {"First", [](TableModule& m) { m.table.FirstRow(); }},
    {"Last", [](TableModule& m) { m.table.LastRow(); }},
    {"Write", [](TableModule& m) { m.nome.setText("X"); }},
};

const Op& op(const char* name) {
    for (const Op& o : kOps) {
        if (QLatin1String(o.name) == QLatin1String(name))
            return o;
    }
    throw std::logic_error(name);
}

TEST(MemTable, ClosedTableRefusesEveryRowOperation) {
    const std::pair<const char*, const char*> expected[] = {
        {"Settle", "cdsTavim: Cannot perform this operation on a closed dataset"},
        {"Edit", "cdsTavim: Cannot perform this operation on a closed dataset"},
        {"Insert", "cdsTavim: Cannot perform this operation on a closed dataset"},
        {"Append", "cdsTavim: Cannot perform this operation on a closed dataset"},
        {"Post", "cdsTavim: Dataset not in edit or insert mode"},
        {"Cancel", "<no error>"},
        {"Remove", "cdsTavim: Cannot perform this operation on a closed dataset"},
        {"Move", "cdsTavim: Cannot perform this operation on a closed dataset"},
        {"First", "cdsTavim: Cannot perform this operation on a closed dataset"},
        {"Last", "cdsTavim: Cannot perform this operation on a closed dataset"},
        {"Write", "cdsTavim: Dataset not in edit or insert mode"},
    };
    TableModule m(kFive);
    for (const auto& [name, message] : expected) {
        EXPECT_EQ(errorOf([&] { op(name).run(m); }), QString(message)) << name;
        EXPECT_EQ(m.table.state(), DataSetState::Closed) << name;
    }
}

// Every open state and operation: where the table goes, or what it says.
TEST(MemTable, TransitionsFromEachState) {
    enum class From { Browse, EditModified, EditUntouched, Insert, InsertTouched };
    struct Case {
        From from;
        const char* op;
        DataSetState to;
        int rows;            // stored rows afterwards
        const char* current; // NOME of the current row afterwards ("" for a new row)
        const char* error;   // nullptr when the operation succeeds
    };
    // Five rows A..E with C current; an edit writes "X", a touched insert "N".
    const Case cases[] = {
        {From::Browse, "Settle", DataSetState::Browse, 5, "C", nullptr},
        {From::Browse, "Edit", DataSetState::Edit, 5, "C", nullptr},
        {From::Browse, "Insert", DataSetState::Insert, 5, "", nullptr},
        {From::Browse, "Append", DataSetState::Insert, 5, "", nullptr},
        {From::Browse, "Post", DataSetState::Browse, 5, "C",
         "cdsTavim: Dataset not in edit or insert mode"},
        {From::Browse, "Cancel", DataSetState::Browse, 5, "C", nullptr},
        {From::Browse, "Remove", DataSetState::Browse, 4, "D", nullptr},
        {From::Browse, "Move", DataSetState::Browse, 5, "D", nullptr},
        {From::Browse, "First", DataSetState::Browse, 5, "A", nullptr},
        {From::Browse, "Last", DataSetState::Browse, 5, "E", nullptr},
        {From::Browse, "Write", DataSetState::Browse, 5, "C",
         "cdsTavim: Dataset not in edit or insert mode"},
        {From::EditModified, "Settle", DataSetState::Browse, 5, "X", nullptr},
        {From::EditModified, "Edit", DataSetState::Edit, 5, "X", nullptr},
        {From::EditModified, "Insert", DataSetState::Insert, 5, "", nullptr},
        {From::EditModified, "Append", DataSetState::Insert, 5, "", nullptr},
        {From::EditModified, "Post", DataSetState::Browse, 5, "X", nullptr},
        {From::EditModified, "Cancel", DataSetState::Browse, 5, "C", nullptr},
        {From::EditModified, "Remove", DataSetState::Browse, 4, "D", nullptr},
        {From::EditModified, "Move", DataSetState::Browse, 5, "D", nullptr},
        {From::EditModified, "First", DataSetState::Browse, 5, "A", nullptr},
        {From::EditModified, "Last", DataSetState::Browse, 5, "E", nullptr},
        {From::EditModified, "Write", DataSetState::Edit, 5, "X", nullptr},
        {From::EditUntouched, "Settle", DataSetState::Browse, 5, "C", nullptr},
        {From::EditUntouched, "Post", DataSetState::Browse, 5, "C", nullptr},
        {From::EditUntouched, "Move", DataSetState::Browse, 5, "D", nullptr},
        {From::Insert, "Settle", DataSetState::Browse, 5, "C", nullptr},
        {From::Insert, "Edit", DataSetState::Insert, 5, "", nullptr},
        {From::Insert, "Insert", DataSetState::Insert, 5, "", nullptr},
        {From::Insert, "Append", DataSetState::Insert, 5, "", nullptr},
        {From::Insert, "Post", DataSetState::Browse, 6, "", nullptr},
        {From::Insert, "Cancel", DataSetState::Browse, 5, "C", nullptr},
        {From::Insert, "Remove", DataSetState::Browse, 5, "C", nullptr},
        {From::Insert, "Move", DataSetState::Browse, 5, "D", nullptr},
        {From::Insert, "First", DataSetState::Browse, 5, "A", nullptr},
        {From::Insert, "Last", DataSetState::Browse, 5, "E", nullptr},
        {From::Insert, "Write", DataSetState::Insert, 5, "X", nullptr},
        {From::InsertTouched, "Settle", DataSetState::Browse, 6, "N", nullptr},
        {From::InsertTouched, "Insert", DataSetState::Insert, 6, "", nullptr},
        {From::InsertTouched, "Post", DataSetState::Browse, 6, "N", nullptr},
        {From::InsertTouched, "Cancel", DataSetState::Browse, 5, "C", nullptr},
        {From::InsertTouched, "Remove", DataSetState::Browse, 5, "C", nullptr},
        // The stored new row stands where C stood, so the next row is C.
        {From::InsertTouched, "Move", DataSetState::Browse, 6, "C", nullptr},
    };
    for (const Case& c : cases) {
        TableModule m(kFive);
        m.table.open();
        m.table.MoveRows(2);
        switch (c.from) {
        case From::Browse:
            break;
        case From::EditModified:
            m.table.EditRow();
            m.nome.setText("X");
            break;
        case From::EditUntouched:
            m.table.EditRow();
            break;
        case From::Insert:
            m.table.InsertRow();
            break;
        case From::InsertTouched:
            m.table.InsertRow();
            m.nome.setText("N");
            break;
        }
        const QString error = errorOf([&] { op(c.op).run(m); });
        const std::string where = std::to_string(int(c.from)) + " " + c.op;
        EXPECT_EQ(error, c.error ? QString(c.error) : QString("<no error>")) << where;
        EXPECT_EQ(m.table.state(), c.to) << where;
        EXPECT_EQ(m.table.rowCount(), c.rows) << where;
        EXPECT_EQ(m.nome.asString(), QString(c.current)) << where;
    }
}

TEST(MemTable, OpenStandsOnFirstRow) {
    TableModule m(kFive);
    m.table.open();
    EXPECT_EQ(m.table.state(), DataSetState::Browse);
    EXPECT_EQ(m.table.rowCount(), 5);
    EXPECT_EQ(m.table.rowNumber(), 1);
    EXPECT_TRUE(m.table.bof());
    EXPECT_FALSE(m.table.eof());
    EXPECT_EQ(m.nome.asString(), "A");
    EXPECT_EQ(m.valor.displayText(), "1,00");
}

TEST(MemTable, EmptyTable) {
    TableModule m;
    m.table.open();
    EXPECT_EQ(m.table.rowCount(), 0);
    EXPECT_TRUE(m.table.eof());
    EXPECT_TRUE(m.table.bof());
    EXPECT_TRUE(m.nome.isNull());
    EXPECT_EQ(errorOf([&] { m.table.RemoveRow(); }),
              "cdsTavim: Cannot perform this operation on an empty dataset");
    // Editing an empty table starts a new row instead.
    m.table.EditRow();
    EXPECT_EQ(m.table.state(), DataSetState::Insert);
    m.nome.setText("Z");
    m.table.SettleRow();
    EXPECT_EQ(m.contents(), QStringList({"Z"}));
}

TEST(MemTable, InsertInTheMiddleIsStoredBeforeTheOldRow) {
    TableModule m(kFive);
    m.table.open();
    m.table.MoveRows(2);
    m.table.InsertRow();
    EXPECT_EQ(m.table.rowNumber(), 0);
    EXPECT_TRUE(m.nome.isNull());
    m.nome.setText("Novo");
    m.table.MoveRows(1);
    EXPECT_EQ(m.table.rowCount(), 6);
    EXPECT_EQ(m.nome.asString(), "C");
    EXPECT_EQ(m.contents(), QStringList({"A", "B", "Novo", "C", "D", "E"}));
}

TEST(MemTable, UntouchedNewRowDisappears) {
    TableModule m(kFive);
    m.table.open();
    m.table.MoveRows(2);
    m.table.InsertRow();
    m.table.MoveRows(-1);
    EXPECT_EQ(m.table.rowCount(), 5);
    EXPECT_EQ(m.nome.asString(), "B");
    m.table.InsertRow();
    m.table.RemoveRow();
    EXPECT_EQ(m.contents(), kFive);
}

TEST(MemTable, AppendedRowGoesAfterTheLast) {
    TableModule m(kFive);
    m.table.open();
    m.table.AppendRow();
    EXPECT_TRUE(m.table.eof());
    EXPECT_FALSE(m.table.bof());
    m.nome.setText("F");
    m.table.PostRow();
    EXPECT_EQ(m.table.rowNumber(), 6);
    EXPECT_EQ(m.contents(), QStringList({"A", "B", "C", "D", "E", "F"}));
    m.table.AppendRow();
    m.table.CancelRow();
    EXPECT_EQ(m.nome.asString(), "F");
}

TEST(MemTable, InsertStoresThePendingEditFirst) {
    TableModule m(kFive);
    m.table.open();
    m.table.MoveRows(1);
    m.table.EditRow();
    m.nome.setText("B2");
    m.table.InsertRow();
    EXPECT_EQ(m.table.state(), DataSetState::Insert);
    m.table.CancelRow();
    EXPECT_EQ(m.nome.asString(), "B2");
    EXPECT_EQ(m.contents(), QStringList({"A", "B2", "C", "D", "E"}));
}

TEST(MemTable, RemovingAnEditedRowStoresNothing) {
    TableModule m(kFive);
    m.table.open();
    m.table.MoveRows(1);
    m.table.EditRow();
    m.nome.setText("B2");
    m.table.RemoveRow();
    EXPECT_EQ(m.nome.asString(), "C");
    EXPECT_EQ(m.contents(), QStringList({"A", "C", "D", "E"}));
}

TEST(MemTable, RemovingAtTheEnds) {
    TableModule m({"A", "B"});
    m.table.open();
    m.table.LastRow();
    m.table.RemoveRow();
    EXPECT_EQ(m.nome.asString(), "A");
    EXPECT_EQ(m.table.rowNumber(), 1);
    m.table.RemoveRow();
    EXPECT_EQ(m.table.rowCount(), 0);
    EXPECT_EQ(m.table.state(), DataSetState::Browse);
    EXPECT_TRUE(m.nome.isNull());
    EXPECT_EQ(m.table.rowNumber(), 0);
    // Inserting into the emptied table and dropping it leaves no row.
    m.table.InsertRow();
    m.table.CancelRow();
    EXPECT_EQ(m.table.rowCount(), 0);
    EXPECT_TRUE(m.nome.isNull());
}

TEST(MemTable, FieldWrites) {
    TableModule m(kFive);
    m.table.open();
    m.table.EditRow();
    m.nome.setText("ABCDEFGHIJKLMN");
    EXPECT_EQ(m.nome.asString(), "ABCDEFGHIJ");
    m.nome.setValue(QStringLiteral("0123456789abc"));
    EXPECT_EQ(m.nome.asString(), "0123456789");
    m.nome.setText("");
    EXPECT_EQ(m.nome.asString(), "");
    EXPECT_FALSE(m.nome.isNull());
    m.valor.setText("");
    EXPECT_TRUE(m.valor.isNull());
    EXPECT_EQ(m.valor.displayText(), "");
    EXPECT_EQ(m.valor.asFloat(), 0.0);
    m.table.PostRow();
    EXPECT_TRUE(m.valor.isNull());
}

TEST(MemTable, WritingTheSameValueStillStores) {
    TableModule m(kFive);
    m.table.open();
    m.table.EditRow();
    EXPECT_FALSE(m.table.modified());
    m.nome.setText("A");
    EXPECT_TRUE(m.table.modified());
}

TEST(MemTable, RefusedMoneyTextChangesNothing) {
    TableModule m(kFive);
    m.table.open();
    m.table.EditRow();
    m.valor.setText("12,5");
    EXPECT_EQ(errorOf([&] { m.valor.setText("1.234,75"); }),
              "'1.234,75' is not a valid floating point value for field 'VALOR'");
    EXPECT_EQ(m.valor.asFloat(), 12.5);
    EXPECT_EQ(m.table.state(), DataSetState::Edit);
    m.valor.setDisplayLabel("Valor");
    EXPECT_EQ(errorOf([&] { m.valor.setText("x"); }),
              "'x' is not a valid floating point value for field 'Valor'");
}

TEST(MemTable, FailedCollectEditsAbortsTheMove) {
    TableModule m(kFive);
    RecordingView view;
    m.table.addView(&view);
    m.table.open();
    m.table.EditRow();
    m.nome.setText("X");
    view.onCollectEdits = [] { throw EDatabaseError("refused"); };
    EXPECT_EQ(errorOf([&] { m.table.MoveRows(1); }), "refused");
    EXPECT_EQ(m.table.state(), DataSetState::Edit);
    EXPECT_TRUE(m.table.modified());
    EXPECT_EQ(m.nome.asString(), "X");
    view.onCollectEdits = nullptr;
    m.table.MoveRows(1);
    EXPECT_EQ(m.contents(), QStringList({"X", "B", "C", "D", "E"}));
    m.table.removeView(&view);
}

TEST(MemTable, ReadOnlyAndRequired) {
    TableModule m(kFive);
    m.table.open();
    m.table.setReadOnly(true);
    EXPECT_EQ(errorOf([&] { m.table.EditRow(); }), "cdsTavim: Cannot modify a read-only dataset");
    EXPECT_EQ(errorOf([&] { m.table.InsertRow(); }), "cdsTavim: Cannot modify a read-only dataset");
    EXPECT_EQ(m.table.state(), DataSetState::Browse);
    m.table.setReadOnly(false);
    m.nome.setRequired(true);
    m.table.InsertRow();
    m.valor.setText("1");
    EXPECT_EQ(errorOf([&] { m.table.PostRow(); }), "Field 'NOME' must have a value");
    EXPECT_EQ(m.table.state(), DataSetState::Insert);
    EXPECT_EQ(m.table.rowCount(), 5);
}

TEST(MemTable, MovesStopAtTheEnds) {
    TableModule m(kFive);
    m.table.open();
    m.table.MoveRows(100);
    EXPECT_EQ(m.nome.asString(), "E");
    EXPECT_TRUE(m.table.eof());
    m.table.MoveRows(-2);
    EXPECT_FALSE(m.table.eof());
    EXPECT_EQ(m.nome.asString(), "C");
    m.table.MoveRows(-100);
    EXPECT_TRUE(m.table.bof());
    EXPECT_EQ(m.nome.asString(), "A");
    m.table.MoveRows(INT32_MAX);
    EXPECT_EQ(m.nome.asString(), "E");
    m.table.MoveRows(INT32_MIN);
    EXPECT_EQ(m.nome.asString(), "A");
}

TEST(MemTable, BookmarksSurviveInsertsBeforeThem) {
    TableModule m(kFive);
    m.table.open();
    m.table.MoveRows(3);
    const auto mark = m.table.bookmark();
    m.table.FirstRow();
    m.table.InsertRow();
    m.nome.setText("0");
    m.table.PostRow();
    m.table.gotoBookmark(mark);
    EXPECT_EQ(m.nome.asString(), "D");
    EXPECT_EQ(m.table.rowNumber(), 5);
    m.table.RemoveRow();
    EXPECT_EQ(errorOf([&] { m.table.gotoBookmark(mark); }), "cdsTavim: Record not found");
}

TEST(MemTable, CloseDropsEditsAndReopenFetchesAgain) {
    TableModule m(kFive);
    m.table.open();
    m.table.EditRow();
    m.nome.setText("X");
    m.table.close();
    EXPECT_EQ(m.provider.resets, 1);
    EXPECT_TRUE(m.nome.isNull());
    m.table.open();
    EXPECT_EQ(m.provider.fetches, 2);
    EXPECT_EQ(m.contents(), kFive);
}

TEST(MemTable, OpenBindsFieldsByName) {
    struct Case {
        std::vector<ColumnDesc> columns;
        const char* error;
    };
    const Case cases[] = {
        {{{"VALOR", FieldKind::Float, 0}, {"nome", FieldKind::String, 10}}, nullptr},
        {{{"NOME", FieldKind::String, 10},
          {"VALOR", FieldKind::Float, 0},
          {"X", FieldKind::Integer, 0}},
         nullptr},
        {{{"NOME", FieldKind::String, 10}}, "cdsTavim: Field 'VALOR' not found"},
        {{{"NOME", FieldKind::String, 10}, {"VALOR", FieldKind::Integer, 0}},
         "cdsTavim: Type mismatch for field 'VALOR', expecting: Float actual: Integer"},
    };
    for (const Case& c : cases) {
        TableModule m;
        m.provider.packet.columns = c.columns;
        EXPECT_EQ(errorOf([&] { m.table.open(); }), c.error ? QString(c.error) : "<no error>");
        EXPECT_EQ(m.table.active(), c.error == nullptr);
    }
}

TEST(MemTable, MissingProvider) {
    TableModule m;
    m.table.setProviderName("nothing");
    EXPECT_EQ(errorOf([&] { m.table.open(); }), "cdsTavim: Missing data provider or data packet");
}

// The notices each operation sends, in order.
TEST(MemTable, NoticesInOrder) {
    struct Case {
        const char* name;
        std::function<void(TableModule&)> prepare;
        std::function<void(TableModule&)> run;
        QStringList notices;
    };
    auto none = [](TableModule&) {};
    auto edit = [](TableModule& m) {
        m.table.EditRow();
        m.nome.setText("X");
    };
    const Case cases[] = {
        {"edit", none, [](TableModule& m) { m.table.EditRow(); }, {"settle", "state", "row"}},
        {"write",
         [](TableModule& m) { m.table.EditRow(); },
         [](TableModule& m) { m.nome.setText("X"); },
         {"field NOME"}},
        {"post",
         edit,
         [](TableModule& m) { m.table.PostRow(); },
         {"collect", "settle", "state", "reload"}},
        {"cancel",
         edit,
         [](TableModule& m) { m.table.CancelRow(); },
         {"settle", "state", "reload"}},
        {"insert from edit",
         edit,
         [](TableModule& m) { m.table.InsertRow(); },
         {"settle", "collect", "collect", "settle", "state", "reload", "state", "reload"}},
        {"insert",
         none,
         [](TableModule& m) { m.table.InsertRow(); },
         {"settle", "state", "reload"}},
        {"untouched insert then move",
         [](TableModule& m) { m.table.InsertRow(); },
         [](TableModule& m) { m.table.MoveRows(1); },
         {"settle", "collect", "settle", "state", "reload", "scroll 0"}},
        {"move", none, [](TableModule& m) { m.table.MoveRows(1); }, {"settle", "scroll 0"}},
        {"first", none, [](TableModule& m) { m.table.FirstRow(); }, {"settle", "reload"}},
        {"remove", none, [](TableModule& m) { m.table.RemoveRow(); }, {"settle", "reload"}},
        {"remove while editing",
         edit,
         [](TableModule& m) { m.table.RemoveRow(); },
         {"settle", "state", "reload"}},
        {"close", none, [](TableModule& m) { m.table.close(); }, {"state", "open/close"}},
    };
    for (const Case& c : cases) {
        TableModule m(kFive);
        RecordingView view(10);
        m.table.addView(&view);
        m.table.open();
        c.prepare(m);
        view.log.clear();
        c.run(m);
        EXPECT_EQ(view.log, c.notices) << c.name;
        m.table.removeView(&view);
    }
}

TEST(MemTable, SuspendedViewsHearNothingUntilResumed) {
    TableModule m(kFive);
    RecordingView view(3);
    m.table.addView(&view);
    m.table.open();
    view.log.clear();
    m.table.suspendViews();
    EXPECT_EQ(view.log, QStringList({"suspend"}));
    m.table.FirstRow();
    m.table.MoveRows(4);
    EXPECT_EQ(view.log, QStringList({"suspend"}));
    m.table.resumeViews();
    EXPECT_EQ(view.log, QStringList({"suspend", "reload"}));
    m.table.removeView(&view);
}

QStringList windowNames(TableModule& m) {
    QStringList out;
    for (int i = 0; i < m.table.windowCount(); ++i) {
        const Value& v = m.table.windowValue(i, m.nome);
        out << (isNull(v) ? QStringLiteral("-") : std::get<QString>(v));
    }
    return out;
}

// A view that changes size while a run moves the table leaves the window as
// the run has it; the new size is read when the views resume.
TEST(MemTable, ViewSizeChangedWhileSuspendedTakesEffectOnResume) {
    struct Case {
        const char* name;
        int rows;
        std::function<void(TableModule&, RecordingView&)> change;
        QStringList during;
        QStringList after;
    };
    const Case cases[] = {
        {"grow",
         5,
         [](TableModule& m, RecordingView&) { m.table.viewResized(); },
         {"H", "I", "J"},
         {"F", "G", "H", "I", "J"}},
        {"shrink",
         2,
         [](TableModule& m, RecordingView&) { m.table.viewResized(); },
         {"H", "I", "J"},
         {"I", "J"}},
        {"second view added",
         4,
         [](TableModule& m, RecordingView& other) { m.table.addView(&other); },
         {"H", "I", "J"},
         {"G", "H", "I", "J"}},
    };
    for (const Case& c : cases) {
        TableModule m({"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"});
        RecordingView view(3);
        RecordingView other(c.rows);
        m.table.addView(&view);
        m.table.open();
        m.table.suspendViews();
        m.table.LastRow();
        view.rows = c.rows;
        c.change(m, other);
        // The worker's next move still uses the size it started with.
        m.table.MoveRows(-1);
        m.table.MoveRows(1);
        EXPECT_EQ(windowNames(m), c.during) << c.name;
        m.table.resumeViews();
        EXPECT_EQ(windowNames(m), c.after) << c.name;
        EXPECT_EQ(m.table.rowNumber(), 10) << c.name;
        EXPECT_EQ(m.table.windowActive(), c.after.size() - 1) << c.name;
        m.table.removeView(&other);
        m.table.removeView(&view);
    }
}

// A view of three rows over ten: how the window follows the current row.
TEST(MemTable, ViewWindow) {
    TableModule m({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
    RecordingView view(3);
    m.table.addView(&view);
    m.table.open();
    struct Step {
        const char* name;
        std::function<void(TableModule&)> run;
        QStringList window;
        int active;
        QString lastNotice;
    };
    const Step steps[] = {
        {"open", [](TableModule&) {}, {"0", "1", "2"}, 0, "open/close"},
        {"down", [](TableModule& m) { m.table.MoveRows(1); }, {"0", "1", "2"}, 1, "scroll 0"},
        {"down 2", [](TableModule& m) { m.table.MoveRows(2); }, {"1", "2", "3"}, 2, "scroll 1"},
        {"down 2 more",
         [](TableModule& m) { m.table.MoveRows(2); },
         {"3", "4", "5"},
         2,
         "scroll 2"},
        {"jump", [](TableModule& m) { m.table.MoveRows(3); }, {"6", "7", "8"}, 2, "reload"},
        {"up", [](TableModule& m) { m.table.MoveRows(-3); }, {"5", "6", "7"}, 0, "scroll -1"},
        {"insert", [](TableModule& m) { m.table.InsertRow(); }, {"-", "5", "6"}, 0, "reload"},
        {"cancel", [](TableModule& m) { m.table.CancelRow(); }, {"5", "6", "7"}, 0, "reload"},
        {"down", [](TableModule& m) { m.table.MoveRows(1); }, {"5", "6", "7"}, 1, "scroll 0"},
        {"insert mid", [](TableModule& m) { m.table.InsertRow(); }, {"5", "-", "6"}, 1, "reload"},
        {"type and post",
         [](TableModule& m) {
             m.nome.setText("N");
             m.table.PostRow();
         },
         {"5", "N", "6"},
         1,
         "reload"},
        {"append", [](TableModule& m) { m.table.AppendRow(); }, {"8", "9", "-"}, 2, "reload"},
        {"cancel append",
         [](TableModule& m) { m.table.CancelRow(); },
         {"7", "8", "9"},
         2,
         "reload"},
        {"first", [](TableModule& m) { m.table.FirstRow(); }, {"0", "1", "2"}, 0, "reload"},
        {"last", [](TableModule& m) { m.table.LastRow(); }, {"7", "8", "9"}, 2, "reload"},
        {"remove last", [](TableModule& m) { m.table.RemoveRow(); }, {"6", "7", "8"}, 2, "reload"},
        {"grow view",
         [&view](TableModule& m) {
             view.rows = 5;
             m.table.viewResized();
         },
         {"5", "N", "6", "7", "8"},
         4,
         "reload"},
    };
    for (const Step& s : steps) {
        view.log.clear();
        s.run(m);
        EXPECT_EQ(windowNames(m), s.window) << s.name;
        EXPECT_EQ(m.table.windowActive(), s.active) << s.name;
        if (s.lastNotice != "open/close") {
            EXPECT_EQ(view.log.isEmpty() ? QString() : view.log.last(), s.lastNotice) << s.name;
        }
    }
    m.table.removeView(&view);
}

TEST(MemTable, WindowShowsPendingEdits) {
    TableModule m(kFive);
    RecordingView view(5);
    m.table.addView(&view);
    m.table.open();
    m.table.MoveRows(1);
    m.table.EditRow();
    m.nome.setText("b");
    EXPECT_EQ(windowNames(m), QStringList({"A", "b", "C", "D", "E"}));
    m.table.CancelRow();
    EXPECT_EQ(windowNames(m), kFive);
    m.table.removeView(&view);
}

} // namespace
