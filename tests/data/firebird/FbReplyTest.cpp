// Replies of the client library read within their buffers; no server needed.
#include "data/firebird/FbReply.h"
#include "tests/data/ErrorText.h"

#include <gtest/gtest.h>
#include <ibase.h>

#include <cstring>
#include <memory>
#include <vector>

using namespace tavim;
using tavim::test::errorOf;

namespace {

// An exactly sized heap copy, so that AddressSanitizer sees a read past it.
class Exact {
public:
    explicit Exact(std::vector<unsigned char> bytes)
        : m_size(qsizetype(bytes.size())), m_bytes(std::make_unique<char[]>(bytes.size())) {
        if (!bytes.empty())
            std::memcpy(m_bytes.get(), bytes.data(), bytes.size());
    }
    QByteArrayView view() const { return QByteArrayView(m_bytes.get(), m_size); }

private:
    qsizetype m_size;
    std::unique_ptr<char[]> m_bytes;
};

constexpr unsigned char kType = isc_info_sql_stmt_type;
constexpr unsigned char kEnd = isc_info_end;
const QString kInfoError = QStringLiteral("The server's statement information is malformed: %1");

TEST(FbReply, ReadsTheStatementType) {
    struct Case {
        const char* name;
        std::vector<unsigned char> reply;
        int type;
    };
    const Case cases[] = {
        {"four bytes", {kType, 4, 0, isc_info_sql_stmt_select, 0, 0, 0, kEnd}, 1},
        {"one byte", {kType, 1, 0, isc_info_sql_stmt_exec_procedure, kEnd}, 8},
        {"bytes after the end marker", {kType, 1, 0, 2, kEnd, 0xFF, 0xFF}, 2},
        {"an unknown item first", {0x7F, 2, 0, 9, 9, kType, 2, 0, 0x0C, 0, kEnd}, 12},
    };
    for (const Case& c : cases)
        EXPECT_EQ(statementTypeOf(Exact(c.reply).view()), c.type) << c.name;
}

TEST(FbReply, RefusesAMalformedStatementInfo) {
    struct Case {
        const char* name;
        std::vector<unsigned char> reply;
        const char* error;
    };
    const Case cases[] = {
        {"empty", {}, "it has no end marker"},
        {"no end marker", {kType, 1, 0, 1}, "it has no end marker"},
        {"zero filled after the value",
         {kType, 1, 0, 1, 0, 0, 0, 0},
         "an item's length passes its end"},
        {"length cut off", {kType, 4}, "an item's length passes its end"},
        {"length past the end", {kType, 0xFF, 0xFF, 1, kEnd}, "an item's length passes its end"},
        {"value cut off", {kType, 4, 0, 1, 0}, "an item's length passes its end"},
        {"unknown item past the end", {0x7F, 9, 0, kEnd}, "an item's length passes its end"},
        {"truncated", {isc_info_truncated, kEnd}, "it was truncated"},
        {"no statement type", {kEnd}, "it has no statement type"},
        {"empty value", {kType, 0, 0, kEnd}, "a statement type of 0 bytes"},
        {"oversized value", {kType, 5, 0, 1, 0, 0, 0, 0, kEnd}, "a statement type of 5 bytes"},
    };
    for (const Case& c : cases) {
        const Exact reply(c.reply);
        EXPECT_EQ(errorOf([&] { statementTypeOf(reply.view()); }).toStdString(),
                  kInfoError.arg(c.error).toStdString())
            << c.name;
    }
}

std::vector<unsigned char> varying(ISC_USHORT length, const char* text, size_t room) {
    std::vector<unsigned char> bytes(sizeof length + room, '.');
    std::memcpy(bytes.data(), &length, sizeof length);
    std::memcpy(bytes.data() + sizeof length, text, std::min(std::strlen(text), room));
    return bytes;
}

TEST(FbReply, ReadsAVaryingTextWithinItsDeclaredLength) {
    struct Case {
        const char* name;
        std::vector<unsigned char> variable;
        int declared;
        QByteArray text;
    };
    const Case cases[] = {
        {"shorter", varying(3, "ABC", 10), 10, "ABC"},
        {"full", varying(5, "VWXYZ", 5), 5, "VWXYZ"},
        {"empty", varying(0, "", 0), 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(varyingBytes(Exact(c.variable).view(), c.declared, "C").toByteArray(), c.text)
            << c.name;
}

TEST(FbReply, RefusesAVaryingLengthPastItsColumn) {
    struct Case {
        const char* name;
        std::vector<unsigned char> variable;
        int declared;
        const char* error;
    };
    const Case cases[] = {
        {"longer than declared", varying(51, "", 60), 50,
         "Column 'NOME' was sent a text of 51 bytes, more than the 50 it holds"},
        {"length past the buffer", varying(0xFFFF, "ABC", 50), 50,
         "Column 'NOME' was sent a text of 65535 bytes, more than the 50 it holds"},
        {"buffer smaller than declared", varying(20, "", 10), 50,
         "Column 'NOME' was sent a text of 20 bytes, more than the 10 it holds"},
        {"no room for the length", {7}, 50, "Column 'NOME' has no room for its text's length"},
    };
    for (const Case& c : cases) {
        const Exact variable(c.variable);
        EXPECT_EQ(errorOf([&] { varyingBytes(variable.view(), c.declared, "NOME"); }).toStdString(),
                  c.error)
            << c.name;
    }
}

} // namespace
