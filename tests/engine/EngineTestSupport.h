#pragma once

#include "engine/BrPrinter.h"
#include "engine/PrinterDriver.h"

#include <QByteArray>
#include <QPicture>
#include <QString>
#include <QStringList>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace tavim::test {

// What a fake printer offers and what was done to it.
struct FakePrinter {
    QStringList printers{QStringLiteral("Fake")};
    int defaultIndex = 0;
    TPrinterCapabilities caps;
    TDeviceMode defaults;
    TDeviceMode mode;
    QSize dpi{254, 254};
    QPoint offset{0, 0};
    QSize page{2100, 2970};
    QStringList log;
    int jobs = 0;
    int newSheets = 0;
    int aborts = 0;
    QString jobName;
};

class FakePrinterDriver : public TPrinterDriver {
public:
    explicit FakePrinterDriver(std::shared_ptr<FakePrinter> printer) : m(std::move(printer)) {}

    QStringList printers() const override { return m->printers; }
    int defaultPrinter() const override { return m->defaultIndex; }
    void select(int index) override { m->log << QStringLiteral("select %1").arg(index); }
    QString deviceName() const override { return QStringLiteral("Fake"); }
    QString driverName() const override { return QStringLiteral("fake"); }
    QString portName() const override { return QStringLiteral("nowhere"); }
    TPrinterCapabilities capabilities() const override { return m->caps; }
    void resetDeviceMode() override {
        m->log << QStringLiteral("reset");
        m->mode = m->defaults;
    }
    TDeviceMode deviceMode() const override { return m->mode; }
    void setDeviceMode(const TDeviceMode& mode) override {
        m->log << QStringLiteral("apply");
        m->mode = mode;
    }
    QSize resolution() const override { return m->dpi; }
    QPoint physicalOffset() const override { return m->offset; }
    QSize physicalPageSize() const override { return m->page; }
    QSize printableSize() const override { return m->page; }
    void setJobName(const QString& name) override { m->jobName = name; }
    QPaintDevice* device() override {
        ++m->jobs;
        return &m_sheet;
    }
    bool newSheet() override { return ++m->newSheets; }
    void abortJob() override { ++m->aborts; }

private:
    std::shared_ptr<FakePrinter> m;
    QPicture m_sheet;
};

// A fake printer that supports every paper, copies, orientation and bins.
std::shared_ptr<FakePrinter> capablePrinter();
std::shared_ptr<FakePrinter> noPrinter();
std::unique_ptr<TBrPrinter> storeOn(const std::shared_ptr<FakePrinter>& printer);

// Draws a recognisable page (its number, text runs and lines) on the open page.
void drawPage(TBrPrinter& store, int number);
// A finished page-image document of `pages` pages.
void produce(TBrPrinter& store, int pages);

QByteArray readAll(const QString& fileName);
void writeAll(const QString& fileName, const QByteArray& bytes);
qint32 int32At(const QByteArray& bytes, qint64 at);

} // namespace tavim::test
