// A saved report file is untrusted: loading it and replaying its pages must
// survive any bytes, and fail only with the store's own messages.

#include "EngineTestSupport.h"
#include "engine/store/BrPrinter.h"
#include "error/Exception.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdint>

namespace {

QString& inputPath() {
    static QString path;
    return path;
}

// A saved document of three real pages as the first seed.
void writeSeedFile(const QString& dir) {
    auto store = tavim::test::storeOn(tavim::test::noPrinter());
    store->beginDoc();
    for (int page = 1; page <= 3; ++page) {
        store->newPage();
        tavim::test::drawPage(*store, page);
    }
    store->endDoc();
    store->save(dir + QStringLiteral("/three-pages.brp"));
}

void loadAndPlay(const QString& path) {
    auto store = tavim::test::storeOn(tavim::test::noPrinter());
    try {
        store->load(path);
    } catch (const tavim::Exception&) {
        return;
    }
    QImage image(80, 113, QImage::Format_RGB32);
    for (int n = 1; n <= std::min(store->pageCount(), 4); ++n) {
        const auto page = store->getPage(n);
        if (!page)
            continue;
        QPainter painter(&image);
        page->play(painter, QRectF(0, 0, 80, 113));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    static QTemporaryDir scratch;
    inputPath() = scratch.filePath(QStringLiteral("input.brp"));
    if (qEnvironmentVariableIsSet("TAVIM_FUZZ_SEED_DIR"))
        writeSeedFile(qEnvironmentVariable("TAVIM_FUZZ_SEED_DIR"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QFile file(inputPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    loadAndPlay(inputPath());
    return 0;
}
