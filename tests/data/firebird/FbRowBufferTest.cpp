// Rows held between the cursor and the reader come back as they were fetched.
#include "data/firebird/FbRowBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

using namespace tavim;

namespace {

constexpr int kNameWidth = 90;

struct Row {
    std::optional<std::string> name; // VARCHAR(90), nullable
    double rent = 0;                 // DOUBLE PRECISION, not null
    std::string code;                // CHAR(3), not null
    bool operator==(const Row&) const = default;
};

// An output descriptor shaped like a fetched row: buffers as a describe sizes them.
class RowShape {
public:
    RowShape() : m_da(3) {
        describe(0, SQL_VARYING | 1, kNameWidth);
        describe(1, SQL_DOUBLE, sizeof(double));
        describe(2, SQL_TEXT, 3);
        m_da.get()->sqld = 3;
        m_da.allocateDescribed();
    }

    Sqlda& da() { return m_da; }

    void put(const Row& row) {
        *m_da.var(0).sqlind = row.name ? 0 : -1;
        // Garbage beyond a text's length must not come back as part of it.
        std::memset(m_da.var(0).sqldata, 'x', kNameWidth + sizeof(ISC_USHORT));
        if (row.name)
            putVarying(*row.name, ISC_USHORT(row.name->size()));
        std::memcpy(m_da.var(1).sqldata, &row.rent, sizeof row.rent);
        std::memcpy(m_da.var(2).sqldata, row.code.data(), 3);
    }

    void putVarying(const std::string& bytes, ISC_USHORT length) {
        std::memcpy(m_da.var(0).sqldata, &length, sizeof length);
        std::memcpy(m_da.var(0).sqldata + sizeof length, bytes.data(),
                    std::min<std::size_t>(bytes.size(), kNameWidth));
    }

    ISC_USHORT nameLength() const {
        ISC_USHORT length = 0;
        std::memcpy(&length, m_da.var(0).sqldata, sizeof length);
        return length;
    }

    Row get() const {
        Row row;
        if (!m_da.isNull(0))
            row.name = std::string(m_da.var(0).sqldata + sizeof(ISC_USHORT), nameLength());
        std::memcpy(&row.rent, m_da.var(1).sqldata, sizeof row.rent);
        row.code.assign(m_da.var(2).sqldata, 3);
        return row;
    }

private:
    void describe(int i, int type, int length) {
        m_da.var(i) = XSQLVAR{};
        m_da.var(i).sqltype = ISC_SHORT(type);
        m_da.var(i).sqllen = ISC_SHORT(length);
    }

    Sqlda m_da;
};

std::vector<Row> takeAll(FbRowBuffer& buffer, RowShape& shape) {
    std::vector<Row> rows;
    while (buffer.takeInto(shape.da()))
        rows.push_back(shape.get());
    return rows;
}

TEST(FbRowBuffer, RowsComeBackInFetchOrder) {
    const std::vector<std::vector<Row>> cases = {
        {},
        {{std::string("Ana"), 1000.25, "ATV"}},
        {{std::nullopt, -0.5, "JUR"}, {std::string(), 0, "   "}, {std::string("B"), 2, "EXT"}},
        {{std::string(kNameWidth, 'z'), 1e300, "ABC"}, {std::string("Rua"), 3, "DEF"}},
    };
    for (const auto& rows : cases) {
        RowShape shape;
        FbRowBuffer buffer;
        for (const Row& row : rows) {
            shape.put(row);
            buffer.append(shape.da());
        }
        EXPECT_EQ(takeAll(buffer, shape), rows) << rows.size() << " rows";
        EXPECT_FALSE(buffer.takeInto(shape.da()));
    }
}

// Enough rows for many blocks, with rows of every length, taken while more
// are appended, as a reader might.
TEST(FbRowBuffer, ManyBlocksAndInterleavedReads) {
    RowShape shape;
    FbRowBuffer buffer;
    std::vector<Row> expected;
    std::vector<Row> got;
    for (int i = 0; i < 20000; ++i) {
        Row row{std::string(std::size_t(i % (kNameWidth + 1)), char('a' + i % 26)), double(i),
                "R" + std::to_string(i % 10) + "X"};
        if (i % 7 == 0)
            row.name.reset();
        expected.push_back(row);
        shape.put(row);
        buffer.append(shape.da());
        if (i % 1000 == 999 && buffer.takeInto(shape.da()))
            got.push_back(shape.get());
    }
    for (const Row& row : takeAll(buffer, shape))
        got.push_back(row);
    EXPECT_EQ(got, expected);
}

TEST(FbRowBuffer, ClearDropsEveryRow) {
    RowShape shape;
    FbRowBuffer buffer;
    shape.put({std::string("Ana"), 1, "ATV"});
    buffer.append(shape.da());
    buffer.append(shape.da());
    buffer.clear();
    EXPECT_FALSE(buffer.takeInto(shape.da()));
    shape.put({std::string("Bia"), 2, "EXT"});
    buffer.append(shape.da());
    ASSERT_TRUE(buffer.takeInto(shape.da()));
    EXPECT_EQ(shape.get().name, "Bia");
}

// A reply whose text length exceeds the column keeps that length, so that
// reading the row still finds the reply bad, but only the column's bytes.
TEST(FbRowBuffer, AnOverlongTextKeepsItsLengthNotItsBytes) {
    RowShape shape;
    FbRowBuffer buffer;
    shape.put({std::string(), 1, "ATV"});
    shape.putVarying(std::string(kNameWidth, 'q'), ISC_USHORT(kNameWidth + 500));
    buffer.append(shape.da());
    shape.put({std::string("Ana"), 2, "EXT"});
    buffer.append(shape.da());

    ASSERT_TRUE(buffer.takeInto(shape.da()));
    EXPECT_EQ(shape.nameLength(), kNameWidth + 500);
    EXPECT_EQ(std::string(shape.da().var(0).sqldata + sizeof(ISC_USHORT), kNameWidth),
              std::string(kNameWidth, 'q'));
    ASSERT_TRUE(buffer.takeInto(shape.da()));
    EXPECT_EQ(shape.get(), (Row{std::string("Ana"), 2, "EXT"}));
}

} // namespace
