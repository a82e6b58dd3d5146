#pragma once

#include "data/DbDriver.h"
#include "error/DatabaseError.h"

#include <QStringList>
#include <condition_variable>
#include <mutex>

namespace tavim::test {

// A scripted server: what it answers and what it was asked.
struct FakeServer {
    std::vector<ColumnDesc> columns;
    std::vector<RowValues> rows;
    QString refuseConnect;
    QString refusePrepare;
    QString refuseClose;
    QString loseOnFetch;
    int connects = 0;
    QStringList prepared;
    std::vector<DbParam> lastParams;
    int openCursors = 0;
    // How many rows had been fetched at each read-ahead.
    std::vector<size_t> readAheadAfter;
    // A server that stops answering: fetching waits until the connection is cut.
    bool silent = false;
    std::mutex mutex;
    std::condition_variable cut;
    std::vector<DbCancel> cancels; // guarded by mutex
};

class FakeStatement : public DbStatement {
public:
    FakeStatement(FakeServer& server, const QString& sql) : m_server(server), m_sql(sql) {}
    int paramCount() const override { return int(m_sql.count(QLatin1Char('?'))); }
    const std::vector<ColumnDesc>& columns() const override { return m_server.columns; }
    void execute(const std::vector<DbParam>& params) override {
        m_server.lastParams = params;
        m_next = 0;
        ++m_server.openCursors;
    }
    bool fetch(RowValues& row) override {
        if (m_server.silent) {
            std::unique_lock lock(m_server.mutex);
            m_server.cut.wait(lock, [this] { return m_server.cancels.size() == 2; });
            throw EDatabaseError("Error reading data from the connection.");
        }
        if (!m_server.loseOnFetch.isEmpty())
            throw EConnectionLost(m_server.loseOnFetch);
        if (m_next >= m_server.rows.size())
            return false;
        row = m_server.rows[m_next++];
        return true;
    }
    bool readAhead(int) override {
        m_server.readAheadAfter.push_back(m_next);
        return false;
    }
    void close() override {
        --m_server.openCursors;
        if (!m_server.refuseClose.isEmpty())
            throw EDatabaseError(m_server.refuseClose);
    }

private:
    FakeServer& m_server;
    QString m_sql;
    size_t m_next = 0;
};

class FakeSession : public DbSession {
public:
    explicit FakeSession(FakeServer& server) : m_server(server) {}
    std::unique_ptr<DbStatement> prepare(const QString& sql) override {
        if (!m_server.refusePrepare.isEmpty())
            throw EDatabaseError(m_server.refusePrepare);
        m_server.prepared << sql;
        return std::make_unique<FakeStatement>(m_server, sql);
    }
    void cancel(DbCancel how) noexcept override {
        const std::lock_guard lock(m_server.mutex);
        m_server.cancels.push_back(how);
        m_server.cut.notify_all();
    }

private:
    FakeServer& m_server;
};

class FakeDriver : public DbDriver {
public:
    explicit FakeDriver(FakeServer& server) : m_server(server) {}
    std::unique_ptr<DbSession> connect(const ConnectionOptions&) override {
        ++m_server.connects;
        if (!m_server.refuseConnect.isEmpty())
            throw EDatabaseError(m_server.refuseConnect);
        return std::make_unique<FakeSession>(m_server);
    }

private:
    FakeServer& m_server;
};

} // namespace tavim::test
