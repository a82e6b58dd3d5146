// Page images from a file are untrusted: validation and replay must survive any bytes.

#include "engine/emf/EmfTexts.h"
#include "engine/emf/Metafile.h"
#include "engine/emf/MetafileRecorder.h"
#include "error/Exception.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <cstdint>

namespace {

// A real page as the first seed, so that mutations start from every record kind.
void writeSeedPage(const QString& dir) {
    tavim::TMetafileRecorder recorder(QSize(794, 1123));
    {
        QPainter p(recorder.device());
        p.fillRect(QRect(0, 60, 794, 20), Qt::lightGray);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRect(6, 200, 740, 30));
        p.drawLine(6, 300, 746, 300);
        p.drawEllipse(QRect(100, 400, 50, 30));
        QFont font(QStringLiteral("Arial Narrow"));
        font.setPixelSize(8);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QPoint(51, 90), QStringLiteral("IMÓVEL 1.234,50"));
        p.setFont(QFont(QStringLiteral("Arial"), 11));
        p.drawText(QPoint(689, 20), QStringLiteral("Pagina 1"));
    }
    QFile file(dir + QStringLiteral("/recorded_page.emf"));
    if (file.open(QIODevice::WriteOnly))
        file.write(recorder.finish().bytes());
}

void playOnce(const QByteArray& bytes) {
    try {
        const tavim::TMetafile page = tavim::TMetafile::fromBytes(bytes);
        QImage image(120, 170, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        page.play(painter, QRectF(0, 0, 120, 170));
        // Search reads the same records, and outlines what it finds.
        for (const tavim::EmfText& text : tavim::ReadEmfTexts(page))
            text.outline(0, text.text.size());
    } catch (const tavim::Exception&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    if (qEnvironmentVariableIsSet("TAVIM_FUZZ_SEED_DIR"))
        writeSeedPage(qEnvironmentVariable("TAVIM_FUZZ_SEED_DIR"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    tavim::TMetafile::sizeFromHeader(bytes.constData(), bytes.size());
    playOnce(bytes);
    // Most mutations break nBytes == size; a copy with the size put right
    // lets them reach the player.
    QByteArray fitted = bytes.left(bytes.size() / 4 * 4);
    if (fitted.size() >= 88) {
        qToLittleEndian(quint32(fitted.size()), fitted.data() + 48);
        playOnce(fitted);
    }
    return 0;
}
