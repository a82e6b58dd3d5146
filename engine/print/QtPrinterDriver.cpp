#include "engine/print/QtPrinterDriver.h"

#include "error/FileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <array>
#include <cmath>
#include <cups/cups.h>

namespace tavim {

namespace {

constexpr int kUserDefinedPaper = 256;

// Qt's paper sources in enum order against the driver's bin codes.
constexpr std::array<int, 13> kSourceCodes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15};

int sourceCode(QPrinter::PaperSource source) {
    const auto index = static_cast<std::size_t>(source);
    return index < kSourceCodes.size() ? kSourceCodes[index] : 0;
}

QPrinter::PaperSource sourceFromCode(int code) {
    for (std::size_t i = 0; i < kSourceCodes.size(); ++i) {
        if (kSourceCodes[i] == code)
            return static_cast<QPrinter::PaperSource>(i);
    }
    return QPrinter::Auto;
}

int duplexCode(QPrinter::DuplexMode mode) {
    switch (mode) {
    case QPrinter::DuplexNone:
        return 1;
    case QPrinter::DuplexShortSide:
        return 3;
    default:
        return 2;
    }
}

QPrinter::DuplexMode duplexFromCode(int code) {
    switch (code) {
    case 2:
        return QPrinter::DuplexLongSide;
    case 3:
        return QPrinter::DuplexShortSide;
    default:
        return QPrinter::DuplexNone;
    }
}

int paperCodeOf(const QPageSize& size) {
    if (size.id() == QPageSize::Custom)
        return kUserDefinedPaper;
    return size.windowsId();
}

// Options for cupsPrintFile, freed once the job is submitted.
class CupsOptions {
public:
    CupsOptions() = default;
    ~CupsOptions() { cupsFreeOptions(m_count, m_options); }
    CupsOptions(const CupsOptions&) = delete;
    CupsOptions& operator=(const CupsOptions&) = delete;

    void add(const char* name, const QByteArray& value) {
        m_count = cupsAddOption(name, value.constData(), m_count, &m_options);
    }
    int count() const { return m_count; }
    cups_option_t* options() const { return m_options; }

private:
    int m_count = 0;
    cups_option_t* m_options = nullptr;
};

// A job without a title still gets a name in the queue.
constexpr char kUntitledJob[] = "Tavim";

// The job options Qt's own CUPS job carries.
void addJobOptions(const QPrinter& printer, CupsOptions& options) {
    options.add("media", printer.pageLayout().pageSize().key().toLocal8Bit());
    if (printer.copyCount() > 1) {
        options.add("copies", QByteArray::number(printer.copyCount()));
        if (printer.collateCopies())
            options.add("Collate", "True");
    }
    switch (printer.duplex()) {
    case QPrinter::DuplexNone:
        options.add("sides", "one-sided");
        break;
    case QPrinter::DuplexShortSide:
        options.add("sides", "two-sided-short-edge");
        break;
    default:
        options.add("sides", "two-sided-long-edge");
        break;
    }
    if (printer.pageLayout().orientation() == QPageLayout::Landscape)
        options.add("landscape", "");
}

} // namespace

std::unique_ptr<TPrinterDriver> createQtPrinterDriver() {
    return std::make_unique<TQtPrinterDriver>();
}

TQtPrinterDriver::TQtPrinterDriver()
    : m_printers(QPrinterInfo::availablePrinterNames()), m_printer(QPrinter::HighResolution) {}

QStringList TQtPrinterDriver::printers() const {
    return m_printers;
}

int TQtPrinterDriver::defaultPrinter() const {
    const QString name = QPrinterInfo::defaultPrinterName();
    return name.isEmpty() ? -1 : int(m_printers.indexOf(name));
}

void TQtPrinterDriver::select(int index) {
    m_printer.setPrinterName(m_printers.at(index));
}

QString TQtPrinterDriver::deviceName() const {
    return m_printer.printerName();
}

QString TQtPrinterDriver::driverName() const {
    return QPrinterInfo::printerInfo(m_printer.printerName()).makeAndModel();
}

QString TQtPrinterDriver::portName() const {
    return QPrinterInfo::printerInfo(m_printer.printerName()).location();
}

TPrinterCapabilities TQtPrinterDriver::capabilities() const {
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_printer.printerName());
    TPrinterCapabilities caps;
    caps.copies = m_printer.supportsMultipleCopies();
    // Qt does not list a CUPS printer's input slots.
    caps.paperSource = false;
    caps.duplex = info.supportedDuplexModes().size() > 1;
    caps.orientation = true;
    caps.paperWidth = caps.paperLength = info.supportsCustomPageSizes();
    for (const QPageSize& size : info.supportedPageSizes()) {
        const int code = paperCodeOf(size);
        if (code > 0)
            caps.paperCodes.append(code);
    }
    caps.paper = !caps.paperCodes.isEmpty();
    return caps;
}

void TQtPrinterDriver::resetDeviceMode() {
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_printer.printerName());
    m_printer.setPageSize(info.defaultPageSize());
    m_printer.setPageOrientation(QPageLayout::Portrait);
    m_printer.setDuplex(info.defaultDuplexMode());
    m_printer.setCopyCount(1);
}

TDeviceMode TQtPrinterDriver::deviceMode() const {
    const QPageSize size = m_printer.pageLayout().pageSize();
    const QSizeF mm = size.size(QPageSize::Millimeter);
    TDeviceMode mode;
    mode.copies = m_printer.copyCount();
    mode.paperSource = sourceCode(m_printer.paperSource());
    mode.duplex = duplexCode(m_printer.duplex());
    mode.paperCode = paperCodeOf(size);
    mode.orientation = m_printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
    mode.paperWidth = int(std::lround(mm.width() * 10));
    mode.paperLength = int(std::lround(mm.height() * 10));
    return mode;
}

void TQtPrinterDriver::setDeviceMode(const TDeviceMode& mode) {
    m_printer.setCopyCount(mode.copies);
    m_printer.setPaperSource(sourceFromCode(mode.paperSource & ~kUserDefinedPaper));
    m_printer.setDuplex(duplexFromCode(mode.duplex));
    if (mode.paperCode == kUserDefinedPaper && mode.paperWidth > 0 && mode.paperLength > 0) {
        m_printer.setPageSize(QPageSize(QSizeF(mode.paperWidth / 10.0, mode.paperLength / 10.0),
                                        QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    } else if (mode.paperCode > 0 && mode.paperCode != kUserDefinedPaper) {
        const QPageSize::PageSizeId id = QPageSize::id(mode.paperCode);
        if (id != QPageSize::Custom)
            m_printer.setPageSize(QPageSize(id));
    }
    m_printer.setPageOrientation(mode.orientation == 2 ? QPageLayout::Landscape
                                                       : QPageLayout::Portrait);
}

QSize TQtPrinterDriver::resolution() const {
    return QSize(m_printer.logicalDpiX(), m_printer.logicalDpiY());
}

QPoint TQtPrinterDriver::physicalOffset() const {
    return m_printer.pageRect(QPrinter::DevicePixel).topLeft().toPoint();
}

QSize TQtPrinterDriver::physicalPageSize() const {
    return m_printer.paperRect(QPrinter::DevicePixel).size().toSize();
}

QSize TQtPrinterDriver::printableSize() const {
    return m_printer.pageRect(QPrinter::DevicePixel).size().toSize();
}

void TQtPrinterDriver::setJobName(const QString& name) {
    m_jobName = name;
}

bool TQtPrinterDriver::printsToFile() const {
    return !m_printer.outputFileName().isEmpty();
}

std::unique_ptr<QFile> TQtPrinterDriver::openOutputFile() {
    auto file = std::make_unique<QFile>(m_printer.outputFileName());
    if (file->open(QIODevice::WriteOnly))
        return file;
    m_error = EFCreateError(QFileInfo(*file).absoluteFilePath(), file->errorString()).message();
    return nullptr;
}

// A new file in the temporary folder, removed with the job, or nothing with
// m_error saying why. Qt reads a missing $TMPDIR as the current folder; the
// spool never goes there.
std::unique_ptr<QFile> TQtPrinterDriver::reserveSpoolFile() {
    const QString folder = QDir::tempPath();
    const QString name = QStringLiteral("tavim-job-XXXXXX.pdf");
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        m_error = EFCreateError(QDir(qEnvironmentVariable("TMPDIR")).filePath(name),
                                QStringLiteral("The temporary folder does not exist"))
                      .message();
        return nullptr;
    }
    auto spool = std::make_unique<QTemporaryFile>(QDir(folder).filePath(name));
    // Asking for its name links it into the folder now (Qt opens it unnamed),
    // so that the job shows there while it is written.
    if (spool->open() && !spool->fileName().isEmpty())
        return spool;
    m_error = EFCreateError(spool->fileTemplate(), spool->errorString()).message();
    return nullptr;
}

// The printer's paper at its resolution, drawn on from the printable area's
// corner, so that the pages come out as the printer's own job would have.
PdfSheet TQtPrinterDriver::sheet() const {
    return {resolution(), QSizeF(physicalPageSize()),
            QRectF(QPointF(physicalOffset()), QSizeF(printableSize()))};
}

// A PDF is titled after its document, or else after the job.
QPaintDevice* TQtPrinterDriver::device() {
    m_job.reset();
    m_error.clear();
    std::unique_ptr<QFile> file = printsToFile() ? openOutputFile() : reserveSpoolFile();
    if (!file)
        return nullptr;
    TPdfInfo info = m_pdfInfo;
    if (info.title.isEmpty())
        info.title = m_jobName;
    m_job = std::make_unique<TPdfPrintFile>(std::move(file), info, sheet());
    return m_job->device();
}

bool TQtPrinterDriver::newSheet() {
    if (!m_job)
        return false;
    if (m_job->newSheet())
        return true;
    m_error = m_job->errorString();
    return false;
}

// The spool file goes with the job, sent or not.
bool TQtPrinterDriver::submitJob() {
    const std::unique_ptr<TPdfPrintFile> job = std::move(m_job);
    if (!job)
        return false;
    if (!job->finish()) {
        m_error = job->errorString();
        return false;
    }
    return printsToFile() || sendToQueue(job->fileName());
}

bool TQtPrinterDriver::sendToQueue(const QString& fileName) {
    CupsOptions options;
    addJobOptions(m_printer, options);
    // CUPS wants the queue's name without an instance.
    const QByteArray queue = m_printer.printerName().section(u'/', 0, 0).toLocal8Bit();
    const QByteArray title = m_jobName.isEmpty() ? QByteArray(kUntitledJob) : m_jobName.toUtf8();
    const int job = cupsPrintFile(queue.constData(), QFile::encodeName(fileName).constData(),
                                  title.constData(), options.count(), options.options());
    if (job > 0)
        return true;
    m_error = QString::fromUtf8(cupsLastErrorString());
    return false;
}

// A file the job was printed to belongs to whoever named it (the print job
// removes its own).
void TQtPrinterDriver::abortJob() {
    m_job.reset();
}

// A file has no state of its own to be in error.
bool TQtPrinterDriver::inErrorState() const {
    if (printsToFile())
        return false;
    const QPrinter::PrinterState state = QPrinterInfo::printerInfo(m_printer.printerName()).state();
    return state == QPrinter::Error || state == QPrinter::Aborted;
}

QString TQtPrinterDriver::errorString() const {
    return m_error;
}

void TQtPrinterDriver::setOutputFileName(const QString& fileName) {
    m_printer.setOutputFileName(fileName);
}

void TQtPrinterDriver::setDocumentInfo(const TPdfInfo& info) {
    m_pdfInfo = info;
}

} // namespace tavim
