#pragma once

#include <ibase.h>
#include <memory>
#include <vector>

namespace tavim {

// An XSQLDA with the data and null-indicator buffers of its variables.
class Sqlda {
public:
    explicit Sqlda(int capacity = 1);
    Sqlda(const Sqlda&) = delete;
    Sqlda& operator=(const Sqlda&) = delete;

    XSQLDA* get() { return m_da; }
    // The number of variables the server described.
    int count() const { return m_da->sqld; }
    // After a describe: false when the server has more variables than room.
    bool holdsAll() const { return m_da->sqld <= m_da->sqln; }
    // Makes room for n variables; their descriptions must be read again.
    void reserve(int n);

    XSQLVAR& var(int i) { return m_da->sqlvar[i]; }
    const XSQLVAR& var(int i) const { return m_da->sqlvar[i]; }
    bool isNull(int i) const { return (var(i).sqltype & 1) && *var(i).sqlind < 0; }

    // Gives variable i a data buffer of the given size and an indicator.
    char* allocate(int i, size_t size);
    // Buffers sized for what the server described, for reading rows.
    void allocateDescribed();

private:
    std::unique_ptr<char[]> m_memory;
    XSQLDA* m_da = nullptr;
    std::vector<std::unique_ptr<char[]>> m_buffers;
    std::vector<ISC_SHORT> m_indicators;
};

} // namespace tavim
