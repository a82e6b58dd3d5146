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
#include <dlfcn.h>
#include <utility>
#include <vector>

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

// The two calls of the CUPS client library that submitting a file needs. The
// library is loaded at run time: it is there wherever Qt prints to CUPS.
struct CupsOption {
    char* name;
    char* value;
};
using CupsPrintFile = int (*)(const char*, const char*, const char*, int, CupsOption*);
using CupsLastErrorString = const char* (*)();

struct CupsLibrary {
    CupsPrintFile printFile = nullptr;
    CupsLastErrorString lastErrorString = nullptr;
};

const CupsLibrary& cups() {
    static const CupsLibrary library = [] {
        CupsLibrary found;
        void* handle = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return found;
        found.printFile = reinterpret_cast<CupsPrintFile>(dlsym(handle, "cupsPrintFile"));
        found.lastErrorString =
            reinterpret_cast<CupsLastErrorString>(dlsym(handle, "cupsLastErrorString"));
        return found;
    }();
    return library;
}

// The job options Qt's own CUPS job carries.
std::vector<std::pair<QByteArray, QByteArray>> jobOptions(const QPrinter& printer) {
    std::vector<std::pair<QByteArray, QByteArray>> options;
    options.emplace_back("media", printer.pageLayout().pageSize().key().toLocal8Bit());
    if (printer.copyCount() > 1) {
        options.emplace_back("copies", QByteArray::number(printer.copyCount()));
        if (printer.collateCopies())
            options.emplace_back("Collate", "True");
    }
    switch (printer.duplex()) {
    case QPrinter::DuplexNone:
        options.emplace_back("sides", "one-sided");
        break;
    case QPrinter::DuplexShortSide:
        options.emplace_back("sides", "two-sided-short-edge");
        break;
    default:
        options.emplace_back("sides", "two-sided-long-edge");
        break;
    }
    if (printer.pageLayout().orientation() == QPageLayout::Landscape)
        options.emplace_back("landscape", "");
    return options;
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

// A PDF file is titled after its document; a printer job keeps the report's name.
void TQtPrinterDriver::setJobName(const QString& name) {
    m_printer.setDocName(writesPdf() && !m_pdfInfo.title.isEmpty() ? m_pdfInfo.title : name);
}

bool TQtPrinterDriver::printsToFile() const {
    return !m_printer.outputFileName().isEmpty();
}

// A new file in the temporary folder, or empty with m_error saying why. Qt
// reads a missing $TMPDIR as the current folder; the spool never goes there.
QString TQtPrinterDriver::reserveSpoolFile() {
    const QString folder = QDir::tempPath();
    const QString name = QStringLiteral("tavim-job-XXXXXX.pdf");
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        m_error = EFCreateError(QDir(qEnvironmentVariable("TMPDIR")).filePath(name),
                                QStringLiteral("The temporary folder does not exist"))
                      .message();
        return {};
    }
    QTemporaryFile reserve(QDir(folder).filePath(name));
    reserve.setAutoRemove(false);
    if (reserve.open())
        return reserve.fileName();
    m_error = EFCreateError(reserve.fileTemplate(), reserve.errorString()).message();
    return {};
}

QPaintDevice* TQtPrinterDriver::device() {
    dropSpool();
    m_error.clear();
    if (printsToFile())
        return &m_printer;
    m_spoolFile = reserveSpoolFile();
    // Same resolution and layout as the printer's own job, so the pages come
    // out exactly as they would have.
    m_spool = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // Without a spool file the job cannot begin: nothing can be created
    // below /dev/null.
    m_spool->setOutputFileName(m_spoolFile.isEmpty() ? QStringLiteral("/dev/null/job.pdf")
                                                     : m_spoolFile);
    m_spool->setResolution(m_printer.resolution());
    m_spool->setFullPage(m_printer.fullPage());
    m_spool->setPageLayout(m_printer.pageLayout());
    m_spool->setDocName(m_printer.docName());
    return m_spool.get();
}

bool TQtPrinterDriver::newSheet() {
    return m_spool ? m_spool->newPage() : m_printer.newPage();
}

bool TQtPrinterDriver::submitJob() {
    if (printsToFile())
        return m_printer.printerState() != QPrinter::Error;
    const QString file = std::exchange(m_spoolFile, QString());
    m_spool.reset();
    if (file.isEmpty())
        return false;
    const bool sent = sendToQueue(file);
    QFile::remove(file);
    return sent;
}

bool TQtPrinterDriver::sendToQueue(const QString& fileName) {
    const CupsLibrary& library = cups();
    if (!library.printFile) {
        m_error = QStringLiteral("The CUPS client library is not available");
        return false;
    }
    auto options = jobOptions(m_printer);
    std::vector<CupsOption> list;
    for (auto& [name, value] : options)
        list.push_back({name.data(), value.data()});
    // CUPS wants the queue's name without an instance.
    const QByteArray queue = m_printer.printerName().section(u'/', 0, 0).toLocal8Bit();
    const int job = library.printFile(queue.constData(), QFile::encodeName(fileName).constData(),
                                      m_printer.docName().toLocal8Bit().constData(),
                                      int(list.size()), list.data());
    if (job > 0)
        return true;
    if (library.lastErrorString)
        m_error = QString::fromLocal8Bit(library.lastErrorString());
    return false;
}

void TQtPrinterDriver::dropSpool() {
    m_spool.reset();
    if (!m_spoolFile.isEmpty())
        QFile::remove(std::exchange(m_spoolFile, QString()));
}

// A file the job was printed to belongs to whoever named it (the print job
// removes its own).
void TQtPrinterDriver::abortJob() {
    dropSpool();
}

bool TQtPrinterDriver::inErrorState() const {
    if (printsToFile())
        return m_printer.printerState() == QPrinter::Error;
    const QPrinter::PrinterState state = QPrinterInfo::printerInfo(m_printer.printerName()).state();
    return state == QPrinter::Error || state == QPrinter::Aborted;
}

QString TQtPrinterDriver::errorString() const {
    return m_error;
}

void TQtPrinterDriver::setOutputFileName(const QString& fileName) {
    m_printer.setOutputFileName(fileName);
    if (fileName.isEmpty()) {
        m_printer.setOutputFormat(QPrinter::NativeFormat);
        return;
    }
    PrepareArchivePdf(m_printer, m_pdfInfo);
}

void TQtPrinterDriver::setDocumentInfo(const TPdfInfo& info) {
    m_pdfInfo = info;
    if (writesPdf())
        PrepareArchivePdf(m_printer, m_pdfInfo);
}

bool TQtPrinterDriver::writesPdf() const {
    return m_printer.outputFormat() == QPrinter::PdfFormat && !m_printer.outputFileName().isEmpty();
}

} // namespace tavim
