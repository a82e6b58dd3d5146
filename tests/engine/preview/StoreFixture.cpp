#include "StoreFixture.h"

#include "engine/print/PrinterDriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <thread>

namespace tavim::test {

namespace {

class NoPrinterDriver : public TPrinterDriver {
public:
    QStringList printers() const override { return {}; }
    int defaultPrinter() const override { return -1; }
    void select(int) override {}
    QString deviceName() const override { return {}; }
    QString driverName() const override { return {}; }
    QString portName() const override { return {}; }
    TPrinterCapabilities capabilities() const override { return {}; }
    void resetDeviceMode() override {}
    TDeviceMode deviceMode() const override { return {}; }
    void setDeviceMode(const TDeviceMode&) override {}
    QSize resolution() const override { return {}; }
    QPoint physicalOffset() const override { return {}; }
    QSize physicalPageSize() const override { return {}; }
    QSize printableSize() const override { return {}; }
    void setJobName(const QString&) override {}
    QPaintDevice* device() override { return nullptr; }
    bool newSheet() override { return false; }
    bool submitJob() override { return false; }
    void abortJob() override {}
    bool inErrorState() const override { return false; }
    QString errorString() const override { return {}; }
};

} // namespace

std::unique_ptr<TBrPrinter> makeStore() {
    return std::make_unique<TBrPrinter>(std::make_unique<NoPrinterDriver>());
}

void onWorker(const std::function<void()>& step) {
    std::thread worker(step);
    worker.join();
}

void beginDoc(TBrPrinter& store) {
    onWorker([&] { store.beginDoc(); });
}

void newPage(TBrPrinter& store) {
    onWorker([&] {
        store.newPage();
        store.canvas()->fillRect(100, 100, 300, 40, Qt::black);
    });
}

void endDoc(TBrPrinter& store) {
    onWorker([&] { store.endDoc(); });
}

void fill(TBrPrinter& store, int pages) {
    beginDoc(store);
    for (int i = 0; i < pages; ++i)
        newPage(store);
    endDoc(store);
}

void deliverNotices() {
    QCoreApplication::sendPostedEvents();
}

QString tempPath(const QString& name) {
    return QDir::temp().filePath(
        QStringLiteral("tavim-preview-%1-%2").arg(QCoreApplication::applicationPid()).arg(name));
}

} // namespace tavim::test
