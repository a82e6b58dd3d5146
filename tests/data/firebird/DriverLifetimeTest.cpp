// Implicit transactions, and sessions and statements going in any order.
#include "tests/data/firebird/DriverFixture.h"

namespace tavim::test {
namespace {

const QString kInsert = QStringLiteral("INSERT INTO T (K) VALUES (?)");
const QString kCount = QStringLiteral("SELECT COUNT(*) FROM T");

DbParam key(qint64 k) {
    return {FieldKind::Integer, k};
}

qint64 countRows(DbSession& session) {
    return std::get<qint64>(query(session, kCount).at(0)[0]);
}

// Attachments to the database other than the one asking.
qint64 otherAttachments(DbSession& session) {
    return std::get<qint64>(query(session, "SELECT COUNT(*) FROM MON$ATTACHMENTS "
                                           "WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION "
                                           "AND MON$SYSTEM_FLAG = 0")
                                .at(0)[0]);
}

class DriverLifetime : public EngineTest {
protected:
    TestDatabase db =
        TestDatabase::withoutSchema("CREATE TABLE T (K INTEGER NOT NULL PRIMARY KEY);");
};

// Executes share one transaction until close() commits it; a statement
// destroyed without close() rolls its work back.
TEST_P(DriverLifetime, CloseCommitsAndDestroyingRollsBack) {
    const auto session = connect(db);
    const auto other = connect(db);
    {
        const auto insert = session->prepare(kInsert);
        insert->execute({key(1)});
        insert->execute({key(2)});
        EXPECT_EQ(countRows(*other), 0);
        insert->close();
        EXPECT_EQ(countRows(*other), 2);
        insert->execute({key(3)});
    }
    EXPECT_EQ(countRows(*other), 2);
}

struct IsolationCase {
    TransIsolation isolation;
    qint64 countAfterOtherCommit;
};

TEST_P(DriverLifetime, IsolationDecidesWhatAReExecutedSelectSees) {
    const IsolationCase cases[] = {
        {TransIsolation::ReadCommitted, 1},
        {TransIsolation::DirtyRead, 1},
        {TransIsolation::RepeatableRead, 0},
    };
    for (const IsolationCase& c : cases) {
        db.runScript("DELETE FROM T;");
        ConnectionOptions options = db.options(GetParam());
        options.isolation = c.isolation;
        const auto session = connect(options);
        const auto select = session->prepare(kCount);
        select->execute({});
        RowValues row;
        ASSERT_TRUE(select->fetch(row));
        EXPECT_EQ(row[0], Value(qint64(0)));
        query(*connect(db), kInsert, {key(1)});
        select->execute({});
        ASSERT_TRUE(select->fetch(row));
        EXPECT_EQ(row[0], Value(c.countAfterOtherCommit)) << int(c.isolation);
        select->close();
    }
}

TEST_P(DriverLifetime, ALockedRowFailsAtOnceWithoutWaitOnLocks) {
    db.runScript("INSERT INTO T (K) VALUES (1);");
    const auto holder = connect(db);
    const auto update = holder->prepare("UPDATE T SET K = 2 WHERE K = 1");
    update->execute({});
    ConnectionOptions options = db.options(GetParam());
    options.waitOnLocks = false;
    const auto other = connect(options);
    const QString message = errorOf([&] { query(*other, "UPDATE T SET K = 3 WHERE K = 1"); });
    EXPECT_TRUE(message.startsWith("deadlock\nupdate conflicts with concurrent update"))
        << message.toStdString();
    update->close();
}

TEST_P(DriverLifetime, ASessionGoingFirstReleasesItsStatements) {
    db.runScript("INSERT INTO T (K) VALUES (1); INSERT INTO T (K) VALUES (2);");
    auto session = connect(db);
    const auto select = session->prepare("SELECT K FROM T ORDER BY K");
    const auto insert = session->prepare(kInsert);
    select->execute({});
    RowValues row;
    ASSERT_TRUE(select->fetch(row));
    insert->execute({key(3)});
    session.reset();

    EXPECT_EQ(errorOf([&] { select->fetch(row); }), "Database connection is closed");
    EXPECT_EQ(errorOf([&] { select->close(); }), "");
    EXPECT_EQ(errorOf([&] { insert->close(); }),
              "Database connection was closed; the statement's work was rolled back");
    EXPECT_EQ(errorOf([&] { insert->close(); }), "");
    EXPECT_EQ(errorOf([&] { insert->execute({key(4)}); }), "Database connection is closed");
    const auto check = connect(db);
    EXPECT_EQ(otherAttachments(*check), 0);
    EXPECT_EQ(countRows(*check), 2);
}

TEST_P(DriverLifetime, ASelectCanBeReExecutedAndReadPastItsEnd) {
    db.runScript("INSERT INTO T (K) VALUES (1);");
    const auto session = connect(db);
    const auto select = session->prepare("SELECT K FROM T");
    for (int round = 0; round < 2; ++round) {
        select->execute({});
        RowValues row;
        EXPECT_TRUE(select->fetch(row));
        EXPECT_FALSE(select->fetch(row));
        EXPECT_FALSE(select->fetch(row));
    }
    select->close();
    select->close();
}

TEST_P(DriverLifetime, ReturningGivesOneRow) {
    const auto session = connect(db);
    const auto rows = query(*session, "INSERT INTO T (K) VALUES (?) RETURNING K", {key(5)});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], Value(qint64(5)));
    EXPECT_EQ(countRows(*session), 1);
}

TAVIM_ON_BOTH_ENGINES(DriverLifetime);

} // namespace
} // namespace tavim::test
