#pragma once

#include "tools/DemoDatabase.h"

#include <QDate>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tavim::test {

// One demo database for the whole test program, reached as the program would
// through TAVIM_DATABASE.
class DemoDatabaseEnvironment : public ::testing::Environment {
public:
    explicit DemoDatabaseEnvironment(int contracts = 40) : m_contracts(contracts) {}

    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        const QString path = m_dir.filePath(QStringLiteral("tavim.fdb"));
        createDemoDatabase(path, m_contracts, 7, QDate(2024, 2, 1));
        qputenv("TAVIM_DATABASE", path.toUtf8());
    }

private:
    int m_contracts;
    QTemporaryDir m_dir;
};

} // namespace tavim::test
