#pragma once

#include "data/firebird/FirebirdDriver.h"
#include "error/DatabaseError.h"
#include "tests/data/firebird/QtPrinters.h"
#include "tests/data/firebird/TestDatabase.h"

#include <gtest/gtest.h>

namespace tavim::test {

// Runs a suite once on the embedded engine and once on the test server.
class EngineTest : public testing::TestWithParam<Engine> {
protected:
    void SetUp() override {
        if (GetParam() == Engine::Server)
            TAVIM_REQUIRE_TEST_SERVER();
    }

    std::unique_ptr<FirebirdSession> connect(const TestDatabase& db) {
        return FirebirdDriver().connectSession(db.options(GetParam()));
    }
    std::unique_ptr<FirebirdSession> connect(ConnectionOptions options) {
        return FirebirdDriver().connectSession(options);
    }
};

inline void PrintTo(Engine engine, std::ostream* os) {
    *os << (engine == Engine::Embedded ? "embedded" : "server");
}

inline std::string engineName(const testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::Embedded ? "Embedded" : "Server";
}

#define TAVIM_ON_BOTH_ENGINES(suite)                                                               \
    INSTANTIATE_TEST_SUITE_P(                                                                      \
        Engines, suite,                                                                            \
        testing::Values(::tavim::test::Engine::Embedded, ::tavim::test::Engine::Server),           \
        ::tavim::test::engineName)

// Every row of a statement executed with params.
inline std::vector<RowValues> fetchAll(DbStatement& statement,
                                       const std::vector<DbParam>& params = {}) {
    statement.execute(params);
    std::vector<RowValues> rows;
    RowValues row;
    while (statement.fetch(row))
        rows.push_back(row);
    statement.close();
    return rows;
}

inline std::vector<RowValues> query(DbSession& session, const QString& sql,
                                    const std::vector<DbParam>& params = {}) {
    return fetchAll(*session.prepare(sql), params);
}

inline DbParam dateParam(int year, int month, int day) {
    return {FieldKind::Date, Value(tdate(year, month, day))};
}

// The message of the EDatabaseError that action raises, or "" when it raises none.
template <typename Action> QString errorOf(Action&& action) {
    try {
        action();
    } catch (const EDatabaseError& e) {
        return e.message();
    }
    return {};
}

} // namespace tavim::test
