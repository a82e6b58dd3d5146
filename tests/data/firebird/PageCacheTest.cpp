// The embedded engine's page cache as the connection asks for it.
#include "data/firebird/FbConnection.h"
#include "tests/data/firebird/DriverFixture.h"

#include <optional>

namespace tavim::test {
namespace {

// The text of the block's configuration item, if it has one. Items after
// the version byte are tag, one length byte, value.
std::optional<QByteArray> configItem(const QByteArray& dpb) {
    for (qsizetype at = 1; at + 1 < dpb.size();) {
        const int tag = quint8(dpb[at]);
        const int length = quint8(dpb[at + 1]);
        if (tag == isc_dpb_config)
            return dpb.mid(at + 2, length);
        at += 2 + length;
    }
    return std::nullopt;
}

TEST(PageCache, AskedOfTheEmbeddedEngineOnly) {
    const ConnectionCharset charset = ConnectionCharset::fromName({});
    const std::tuple<const char*, int, std::optional<QByteArray>> cases[] = {
        {"/srv/tavim.fdb", 256, QByteArray("DefaultDbCachePages = 256")},
        {"/srv/tavim.fdb", 0, std::nullopt},
        {"db.example:/srv/tavim.fdb", 256, std::nullopt},
        {"localhost/3050:/srv/tavim.fdb", 256, std::nullopt},
        {"inet://localhost//srv/tavim.fdb", 256, std::nullopt},
    };
    for (const auto& [database, pages, expected] : cases) {
        ConnectionOptions options = dataModuleOptions(database);
        options.pageBuffers = pages;
        EXPECT_EQ(configItem(databaseParameterBlock(options, charset)), expected)
            << database << " " << pages;
    }
}

int cachedPages(const TestDatabase& db, int pageBuffers) {
    ConnectionOptions options = db.options(Engine::Embedded);
    options.pageBuffers = pageBuffers;
    const auto session = FirebirdDriver().connectSession(options);
    const auto rows = query(*session, "SELECT MON$PAGE_BUFFERS FROM MON$DATABASE");
    return int(std::get<qint64>(rows.at(0).at(0)));
}

TEST(PageCache, EmbeddedEngineTakesTheSizeWhenItOpensTheDatabase) {
    EXPECT_EQ(cachedPages(TestDatabase(), 256), 256);
    EXPECT_EQ(cachedPages(TestDatabase(), 0), 2048);
}

} // namespace
} // namespace tavim::test
