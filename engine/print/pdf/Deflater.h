#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <zlib.h>

namespace tavim {

// One zlib stream at a fixed level, reset for each piece of data it deflates
// whole (a PDF stream, a PNG's image data). Owned by one writer; not shared.
class Deflater {
public:
    explicit Deflater(int level);
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Appends `data` deflated to `out`; false, with `out` as it was, when
    // zlib refuses.
    bool append(QByteArrayView data, QByteArray& out);

private:
    z_stream m_stream{};
    bool m_ready = false;
};

} // namespace tavim
