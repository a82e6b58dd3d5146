#pragma once

#include "engine/print/PrinterDriver.h"
#include "engine/print/pdf/PdfInfo.h"
#include "engine/store/BrPrinter.h"

#include <QByteArray>
#include <QFile>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QString>
#include <QStringList>
#include <climits>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

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
    int submits = 0;
    int delivered = 0;
    QString jobName;
    QString outputFile;
    // Faults to inject: each refuses one step of a print job.
    bool refuseBegin = false;
    bool refuseSheet = false;
    bool refuseEnd = false;
    bool refuseSubmit = false;
    bool errorState = false;
    // What the user does between two sheets.
    std::function<void()> onSheet;
};

// A sheet that draws nothing; its engine refuses to begin or end on request.
class FakeSheetEngine : public QPaintEngine {
public:
    explicit FakeSheetEngine(const FakePrinter& printer) : m(printer) {}
    bool begin(QPaintDevice*) override { return !m.refuseBegin; }
    bool end() override { return !m.refuseEnd; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF&, const QTextItem&) override {}
    Type type() const override { return QPaintEngine::User; }

private:
    const FakePrinter& m;
};

class FakeSheet : public QPaintDevice {
public:
    explicit FakeSheet(const FakePrinter& printer) : m_printer(printer), m_engine(printer) {}
    QPaintEngine* paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    const FakePrinter& m_printer;
    mutable FakeSheetEngine m_engine;
};

class FakePrinterDriver : public TPrinterDriver {
public:
    explicit FakePrinterDriver(std::shared_ptr<FakePrinter> printer)
        : m(std::move(printer)), m_sheet(*m) {}

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
    void setOutputFileName(const QString& fileName) override { m->outputFile = fileName; }
    QPaintDevice* device() override {
        ++m->jobs;
        if (QFile file(m->outputFile); !m->outputFile.isEmpty() && file.open(QIODevice::WriteOnly))
            file.write("printed");
        return &m_sheet;
    }
    bool newSheet() override {
        ++m->newSheets;
        if (m->onSheet)
            m->onSheet();
        return !m->refuseSheet;
    }
    bool submitJob() override {
        ++m->submits;
        if (m->refuseSubmit)
            return false;
        ++m->delivered;
        return true;
    }
    void abortJob() override { ++m->aborts; }
    bool inErrorState() const override { return m->errorState; }
    QString errorString() const override {
        return m->refuseSubmit ? QStringLiteral("queue full") : QString();
    }

private:
    std::shared_ptr<FakePrinter> m;
    FakeSheet m_sheet;
};

inline int FakeSheet::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth:
        return m_printer.page.width();
    case PdmHeight:
        return m_printer.page.height();
    case PdmDpiX:
    case PdmPhysicalDpiX:
        return m_printer.dpi.width();
    case PdmDpiY:
    case PdmPhysicalDpiY:
        return m_printer.dpi.height();
    case PdmWidthMM:
        return m_printer.page.width() * 254 / m_printer.dpi.width() / 10;
    case PdmHeightMM:
        return m_printer.page.height() * 254 / m_printer.dpi.height() / 10;
    case PdmDepth:
        return 32;
    case PdmNumColors:
        return INT_MAX;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(QPaintDevice::devicePixelRatioFScale());
    default:
        return 0;
    }
}

// A fake printer that supports every paper, copies, orientation and bins.
std::shared_ptr<FakePrinter> capablePrinter();
std::shared_ptr<FakePrinter> noPrinter();
std::unique_ptr<TBrPrinter> storeOn(const std::shared_ptr<FakePrinter>& printer);

// Draws a recognisable page (its number, text runs and lines) on the open page.
void drawPage(TBrPrinter& store, int number);
// A finished page-image document of `pages` pages.
void produce(TBrPrinter& store, int pages);

// Titles and authors an archived PDF must read back as they were given, with
// the number of pages to write.
struct ArchivedPdfCase {
    TPdfInfo info;
    int pages;
};
std::vector<ArchivedPdfCase> archivedPdfCases();

QByteArray readAll(const QString& fileName);
void writeAll(const QString& fileName, const QByteArray& bytes);
qint32 int32At(const QByteArray& bytes, qint64 at);

} // namespace tavim::test
