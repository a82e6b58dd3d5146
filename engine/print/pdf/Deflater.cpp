#include "engine/print/pdf/Deflater.h"

namespace tavim {

Deflater::Deflater(int level) : m_ready(deflateInit(&m_stream, level) == Z_OK) {}

Deflater::~Deflater() {
    if (m_ready)
        deflateEnd(&m_stream);
}

bool Deflater::append(QByteArrayView data, QByteArray& out) {
    if (!m_ready || deflateReset(&m_stream) != Z_OK)
        return false;
    const qsizetype start = out.size();
    const uLong bound = deflateBound(&m_stream, uLong(data.size()));
    out.resize(start + qsizetype(bound));
    m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    m_stream.avail_in = uInt(data.size());
    m_stream.next_out = reinterpret_cast<Bytef*>(out.data() + start);
    m_stream.avail_out = uInt(bound);
    const bool done = deflate(&m_stream, Z_FINISH) == Z_STREAM_END;
    out.resize(done ? start + qsizetype(m_stream.total_out) : start);
    return done;
}

} // namespace tavim
