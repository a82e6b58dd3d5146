#include "data/firebird/FbRowBuffer.h"

#include <algorithm>
#include <cstring>

namespace tavim {

namespace {

bool isVarying(const XSQLVAR& var) {
    return (var.sqltype & ~1) == SQL_VARYING;
}

ISC_USHORT varyingLength(const XSQLVAR& var) {
    ISC_USHORT length = 0;
    std::memcpy(&length, var.sqldata, sizeof length);
    return length;
}

// The value's bytes as the buffer keeps them. A varying length beyond the
// declared width keeps its length but only the width's bytes, so that reading
// the row back still reports the bad reply.
std::size_t storedSize(const XSQLVAR& var) {
    if (isVarying(var))
        return sizeof(ISC_USHORT) +
               std::min<std::size_t>(varyingLength(var), ISC_USHORT(var.sqllen));
    return ISC_USHORT(var.sqllen);
}

bool isNullValue(const XSQLVAR& var) {
    return var.sqlind && *var.sqlind < 0;
}

std::size_t rowSize(const Sqlda& row) {
    std::size_t size = 0;
    for (int i = 0; i < row.count(); ++i)
        size += 1 + (isNullValue(row.var(i)) ? 0 : storedSize(row.var(i)));
    return size;
}

} // namespace

char* FbRowBuffer::reserve(std::size_t size) {
    if (m_blocks.empty() || m_blocks.back().capacity - m_blocks.back().size < size) {
        Block block;
        block.capacity = std::max(kBlockSize, size);
        block.bytes = std::make_unique_for_overwrite<char[]>(block.capacity);
        m_blocks.push_back(std::move(block));
    }
    Block& last = m_blocks.back();
    char* at = last.bytes.get() + last.size;
    last.size += size;
    return at;
}

void FbRowBuffer::append(const Sqlda& row) {
    char* at = reserve(rowSize(row));
    ++m_rows;
    for (int i = 0; i < row.count(); ++i) {
        const XSQLVAR& var = row.var(i);
        const bool null = isNullValue(var);
        *at++ = char(null);
        if (null)
            continue;
        const std::size_t size = storedSize(var);
        std::memcpy(at, var.sqldata, size);
        at += size;
    }
}

bool FbRowBuffer::takeInto(Sqlda& row) {
    if (m_rows == 0)
        return false;
    --m_rows;
    // Rows without columns take no bytes.
    if (m_blocks.empty())
        return true;
    const char* at = m_blocks.front().bytes.get() + m_readAt;
    for (int i = 0; i < row.count(); ++i) {
        XSQLVAR& var = row.var(i);
        const bool null = *at++ != 0;
        if (var.sqlind)
            *var.sqlind = null ? -1 : 0;
        if (null)
            continue;
        if (isVarying(var)) {
            std::memcpy(var.sqldata, at, sizeof(ISC_USHORT));
            const std::size_t size = storedSize(var);
            std::memcpy(var.sqldata + sizeof(ISC_USHORT), at + sizeof(ISC_USHORT),
                        size - sizeof(ISC_USHORT));
            at += size;
            continue;
        }
        std::memcpy(var.sqldata, at, storedSize(var));
        at += storedSize(var);
    }
    m_readAt = std::size_t(at - m_blocks.front().bytes.get());
    if (m_readAt == m_blocks.front().size) {
        m_blocks.pop_front();
        m_readAt = 0;
    }
    return true;
}

void FbRowBuffer::clear() {
    m_blocks.clear();
    m_readAt = 0;
    m_rows = 0;
}

} // namespace tavim
