// Equal texts of a column share one buffer; every text keeps its value, and
// an edit of a shared text changes no other row.

#include "data/TextPool.h"

#include <gtest/gtest.h>
#include <vector>

using namespace tavim;

namespace {

QString fresh(const char* text) {
    return QString::fromUtf8(text); // a buffer of its own each time
}

TEST(TextPool, EqualTextsOfAColumnShareOneBuffer) {
    const struct {
        const char* name;
        std::vector<const char*> column;
        std::vector<std::pair<int, int>> shared; // rows whose texts share a buffer
        std::vector<std::pair<int, int>> apart;
    } cases[] = {
        {"consecutive owners", {"ANA", "ANA", "ANA", "BIA"}, {{0, 1}, {0, 2}}, {{2, 3}}},
        {"statuses in any order",
         {"ATIVADO", "JURIDICO", "ATIVADO", "JURIDICO"},
         {{0, 2}, {1, 3}},
         {{0, 1}}},
        {"unique addresses", {"Rua A, 1", "Rua B, 2", "Rua C, 3"}, {}, {{0, 1}, {1, 2}}},
    };
    for (const auto& c : cases) {
        TextPool pool(1);
        std::vector<QString> kept;
        for (const char* text : c.column)
            kept.push_back(pool.share(0, fresh(text)));
        for (std::size_t i = 0; i < kept.size(); ++i)
            EXPECT_EQ(kept[i], QString::fromUtf8(c.column[i])) << c.name;
        for (const auto& [a, b] : c.shared)
            EXPECT_EQ(kept[size_t(a)].constData(), kept[size_t(b)].constData())
                << c.name << " rows " << a << ", " << b;
        for (const auto& [a, b] : c.apart)
            EXPECT_NE(kept[size_t(a)].constData(), kept[size_t(b)].constData()) << c.name;
    }
}

TEST(TextPool, ColumnsAreKeptApartAndAnEditDetaches) {
    TextPool pool(2);
    QString first = pool.share(0, fresh("OK"));
    const QString second = pool.share(0, fresh("OK"));
    const QString other = pool.share(1, fresh("OK"));
    EXPECT_EQ(first.constData(), second.constData());
    EXPECT_NE(first.constData(), other.constData());
    first[0] = QLatin1Char('N');
    EXPECT_EQ(second, QStringLiteral("OK"));
    EXPECT_EQ(pool.share(0, fresh("OK")).constData(), second.constData());
}

TEST(TextPool, ManyDistinctTextsStayCorrectBeyondWhatIsRemembered) {
    TextPool pool(1);
    const int count = int(TextPool::kMaxDistinct) * 3;
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < count; ++i) {
            const QString text = QStringLiteral("REMARK %1").arg(i);
            EXPECT_EQ(pool.share(0, text), text);
        }
    }
    // Beyond its column count the pool hands texts back unchanged.
    const QString text = fresh("X");
    EXPECT_EQ(pool.share(5, text).constData(), text.constData());
}

} // namespace
