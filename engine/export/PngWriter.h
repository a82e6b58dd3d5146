#pragma once

#include <QByteArray>
#include <memory>

class QImage;

namespace tavim {

class Deflater;

// Encodes a drawn page as PNG bytes: 8-bit gray when every pixel is gray,
// 8-bit RGB otherwise, with the image's resolution as its physical size. No row
// filter and zlib's fastest level: on pages of text and thin lines that is as
// small as libpng's adaptive filter search, in a fraction of the time.
// Threads: used by one thread at a time (its deflate stream and buffers are
// reused from page to page); no lock.
class TPngWriter {
public:
    TPngWriter();
    ~TPngWriter();
    TPngWriter(const TPngWriter&) = delete;
    TPngWriter& operator=(const TPngWriter&) = delete;

    // `image` is Format_RGB32 (an opaque drawing). The bytes stay valid until
    // the next call; they are empty when the image cannot be encoded (null, of
    // another format, beyond any page's size, or refused by zlib).
    const QByteArray& encode(const QImage& image);

private:
    std::unique_ptr<Deflater> m_deflater;
    QByteArray m_rows;
    QByteArray m_png;
};

} // namespace tavim
