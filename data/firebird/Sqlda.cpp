#include "data/firebird/Sqlda.h"

#include <algorithm>

namespace tavim {

Sqlda::Sqlda(int capacity) {
    reserve(capacity);
}

void Sqlda::reserve(int n) {
    n = std::max(n, 1);
    m_memory = std::make_unique<char[]>(XSQLDA_LENGTH(n));
    m_da = reinterpret_cast<XSQLDA*>(m_memory.get());
    m_da->version = SQLDA_VERSION1;
    m_da->sqln = ISC_SHORT(n);
    m_buffers.clear();
    m_buffers.resize(n);
    m_indicators.assign(n, 0);
}

char* Sqlda::allocate(int i, size_t size) {
    // At least one byte, so that an empty text still has an address.
    m_buffers[i] = std::make_unique<char[]>(size ? size : 1);
    var(i).sqldata = m_buffers[i].get();
    var(i).sqlind = &m_indicators[i];
    return var(i).sqldata;
}

void Sqlda::allocateDescribed() {
    for (int i = 0; i < count(); ++i) {
        const bool varying = (var(i).sqltype & ~1) == SQL_VARYING;
        allocate(i, size_t(var(i).sqllen) + (varying ? sizeof(ISC_USHORT) : 0));
    }
}

} // namespace tavim
