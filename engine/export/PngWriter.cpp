#include "engine/export/PngWriter.h"

#include "engine/print/pdf/Deflater.h"

#include <QImage>
#include <QtEndian>
#include <cstring>
#include <zlib.h>

namespace tavim {

namespace {

constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
constexpr int kSignatureSize = 8;
constexpr char kGray = 0;
constexpr char kRgb = 2;
// Measured on a listing's pages: no row filter at zlib's fastest level gives
// files a tenth smaller than libpng's adaptive filters did. The Sub and Up
// filters (antialiased text defeats them) and run-length deflate only make the
// files larger, for a fifth of the time saved at best.
constexpr int kLevel = 1;
// Far beyond any paper size at any resolution; keeps the row buffer and
// deflate's 32-bit counts in range for whatever a page image claims.
constexpr qsizetype kMaxRowBytes = qsizetype(1) << 30;

void putUint32(char* at, quint32 value) {
    qToBigEndian(value, at);
}

// Ends the chunk whose type starts at `typeAt`: the CRC of its type and data.
void appendCrc(QByteArray& png, qsizetype typeAt) {
    const auto* from = reinterpret_cast<const Bytef*>(png.constData() + typeAt);
    char crc[4];
    putUint32(crc, quint32(crc32(crc32(0, nullptr, 0), from, uInt(png.size() - typeAt))));
    png.append(crc, 4);
}

void appendChunk(QByteArray& png, const char (&type)[5], const QByteArray& data) {
    char length[4];
    putUint32(length, quint32(data.size()));
    png.append(length, 4);
    const qsizetype typeAt = png.size();
    png.append(type, 4);
    png.append(data);
    appendCrc(png, typeAt);
}

QByteArray header(const QImage& image, char colourType) {
    QByteArray ihdr(13, '\0');
    putUint32(ihdr.data(), quint32(image.width()));
    putUint32(ihdr.data() + 4, quint32(image.height()));
    ihdr[8] = 8; // bits per sample; compression, filter and interlace methods stay 0
    ihdr[9] = colourType;
    return ihdr;
}

QByteArray physicalSize(const QImage& image) {
    QByteArray phys(9, '\0');
    putUint32(phys.data(), quint32(image.dotsPerMeterX()));
    putUint32(phys.data() + 4, quint32(image.dotsPerMeterY()));
    phys[8] = 1; // the unit is the metre
    return phys;
}

constexpr int kBlock = 16;

// Zero when red equals green and green equals blue.
quint32 colourIn(quint32 pixel) {
    return (pixel ^ (pixel >> 8)) & 0xffff;
}

// Each row as its filter byte (none) and one gray sample per pixel; false (and the
// rows unfinished) at the first row holding a pixel that is not gray.
bool grayRows(const QImage& image, char* out) {
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
        *out++ = 0;
        // Folded over the row so that the loop stays free of branches.
        quint32 colour = 0;
        int x = 0;
        // In blocks of a fixed size through a local buffer, which the
        // compiler turns into vector instructions.
        for (; x + kBlock <= width; x += kBlock) {
            char block[kBlock];
            for (int i = 0; i < kBlock; ++i) {
                colour |= colourIn(line[x + i]);
                block[i] = char(line[x + i]);
            }
            std::memcpy(out + x, block, kBlock);
        }
        for (; x < width; ++x) {
            colour |= colourIn(line[x]);
            out[x] = char(line[x]);
        }
        if (colour != 0)
            return false;
        out += width;
    }
    return true;
}

void rgbRows(const QImage& image, char* out) {
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
        *out++ = 0;
        for (int x = 0; x < width; ++x) {
            out[0] = char(line[x] >> 16);
            out[1] = char(line[x] >> 8);
            out[2] = char(line[x]);
            out += 3;
        }
    }
}

} // namespace

TPngWriter::TPngWriter() : m_deflater(std::make_unique<Deflater>(kLevel)) {}

TPngWriter::~TPngWriter() = default;

const QByteArray& TPngWriter::encode(const QImage& image) {
    m_png.resize(0); // keeps the buffer for the next page
    if (image.isNull() || image.format() != QImage::Format_RGB32)
        return m_png;
    const qsizetype width = image.width();
    if ((width * 3 + 1) * image.height() > kMaxRowBytes)
        return m_png;

    m_rows.resize((width + 1) * image.height());
    char colourType = kGray;
    if (!grayRows(image, m_rows.data())) {
        m_rows.resize((width * 3 + 1) * image.height());
        rgbRows(image, m_rows.data());
        colourType = kRgb;
    }

    m_png.append(kSignature, kSignatureSize);
    appendChunk(m_png, "IHDR", header(image, colourType));
    appendChunk(m_png, "pHYs", physicalSize(image));
    // The IDAT chunk is compressed in place: its length is known afterwards.
    const qsizetype idatAt = m_png.size();
    m_png.append(8, '\0');
    std::memcpy(m_png.data() + idatAt + 4, "IDAT", 4);
    if (!m_deflater->append(m_rows, m_png)) {
        m_png.resize(0);
        return m_png;
    }
    const qsizetype dataSize = m_png.size() - idatAt - 8;
    putUint32(m_png.data() + idatAt, quint32(dataSize));
    appendCrc(m_png, idatAt + 4);
    appendChunk(m_png, "IEND", QByteArray());
    return m_png;
}

} // namespace tavim
