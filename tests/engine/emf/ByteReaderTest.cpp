// The bounded reader every page image is read through: a read or a move that
// would leave the span fails with "Metafile is not valid" and moves nothing.

#include "engine/emf/ByteReader.h"
#include "error/Exception.h"

#include <functional>
#include <gtest/gtest.h>

namespace tavim::test {
namespace {

// Six bytes: 0x1234 little-endian, then -1 as four bytes.
const QByteArray kBytes("\x34\x12\xFF\xFF\xFF\xFF", 6);

struct MoveCase {
    const char* name;
    std::function<void(ByteReader&)> move;
    bool fails;
    qint64 positionAfter; // where a successful move leaves the reader
};

TEST(ByteReader, MovesThatLeaveTheSpanFailAndMoveNothing) {
    const MoveCase cases[] = {
        {"a read that fits", [](ByteReader& r) { r.u32(); }, false, 4},
        {"a read of the last bytes", [](ByteReader& r) { r.bytes(6); }, false, 6},
        {"a read one byte too long", [](ByteReader& r) { r.bytes(7); }, true, 0},
        {"a read after the end", [](ByteReader& r) { r.skip(4), r.u32(); }, true, 4},
        {"a negative length", [](ByteReader& r) { r.skip(-1); }, true, 0},
        {"a sub-reader longer than what is left", [](ByteReader& r) { r.sub(7); }, true, 0},
        {"a move to the end", [](ByteReader& r) { r.seek(6); }, false, 6},
        {"a move past the end", [](ByteReader& r) { r.seek(7); }, true, 0},
        {"a move before the start", [](ByteReader& r) { r.seek(-1); }, true, 0},
    };
    for (const MoveCase& c : cases) {
        SCOPED_TRACE(c.name);
        ByteReader reader{QByteArrayView(kBytes)};
        bool failed = false;
        try {
            c.move(reader);
        } catch (const Exception& e) {
            failed = true;
            EXPECT_EQ(e.message(), QStringLiteral("Metafile is not valid"));
        }
        EXPECT_EQ(failed, c.fails);
        EXPECT_EQ(reader.position(), c.positionAfter);
    }
}

TEST(ByteReader, ReadsLittleEndianAndSubReadersSeeOnlyTheirBytes) {
    ByteReader reader{QByteArrayView(kBytes)};
    ByteReader first = reader.sub(2);
    EXPECT_EQ(first.size(), 2);
    EXPECT_EQ(first.u16(), 0x1234);
    EXPECT_THROW(first.u8(), Exception);
    EXPECT_EQ(reader.position(), 2);
    EXPECT_EQ(reader.i32(), -1);
    EXPECT_EQ(reader.remaining(), 0);
}

} // namespace
} // namespace tavim::test
