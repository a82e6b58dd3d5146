#include "engine/print/CachedPrinterDriver.h"

#include "error/Exception.h"

namespace tavim {

TPrinterCatalog::TPrinterCatalog(DriverFactory factory) : m_factory(std::move(factory)) {}

std::shared_ptr<TPrinterCatalog> TPrinterCatalog::process() {
    static const auto catalog = std::make_shared<TPrinterCatalog>(createQtPrinterDriver);
    return catalog;
}

void TPrinterCatalog::loadList() {
    if (m_printers)
        return;
    const std::unique_ptr<TPrinterDriver> driver = m_factory();
    m_printers = driver->printers();
    m_default = driver->defaultPrinter();
}

QStringList TPrinterCatalog::printers() {
    std::lock_guard lock(m_mutex);
    loadList();
    return *m_printers;
}

int TPrinterCatalog::defaultPrinter() {
    std::lock_guard lock(m_mutex);
    loadList();
    return m_default;
}

// A fresh driver each time, so that what it reports does not depend on the
// printers selected before.
TPrinterCatalog::Printer TPrinterCatalog::printer(const QString& name, bool reset) {
    std::lock_guard lock(m_mutex);
    const auto key = std::make_pair(name, reset);
    if (const auto it = m_states.find(key); it != m_states.end())
        return it->second;
    const std::unique_ptr<TPrinterDriver> driver = m_factory();
    // The printers may have changed since the list was read.
    const int index = int(driver->printers().indexOf(name));
    if (index < 0)
        return {};
    driver->select(index);
    if (reset)
        driver->resetDeviceMode();
    const Printer state{
        driver->deviceName(),     driver->driverName(),       driver->portName(),
        driver->capabilities(),   driver->deviceMode(),       driver->resolution(),
        driver->physicalOffset(), driver->physicalPageSize(), driver->printableSize()};
    m_states.emplace(key, state);
    return state;
}

void TPrinterCatalog::warm() {
    const QStringList list = printers();
    const int index = defaultPrinter();
    if (index < 0 || index >= list.size())
        return;
    printer(list.at(index), false);
    printer(list.at(index), true);
}

void TPrinterCatalog::refresh() {
    std::lock_guard lock(m_mutex);
    m_printers.reset();
    m_default = -1;
    m_states.clear();
}

std::unique_ptr<TPrinterDriver> TPrinterCatalog::createDriver() const {
    return m_factory();
}

TCachedPrinterDriver::TCachedPrinterDriver(std::shared_ptr<TPrinterCatalog> catalog)
    : m_catalog(std::move(catalog)) {}

QStringList TCachedPrinterDriver::printers() const {
    return m_real ? m_real->printers() : m_catalog->printers();
}

int TCachedPrinterDriver::defaultPrinter() const {
    return m_real ? m_real->defaultPrinter() : m_catalog->defaultPrinter();
}

void TCachedPrinterDriver::select(int index) {
    m_selected = printers().at(index);
    m_reset = false;
    m_state.reset();
    if (m_real)
        m_real->select(index);
}

// Read from the catalog once per selection, not copied under its lock at
// every question.
const TPrinterCatalog::Printer& TCachedPrinterDriver::state() const {
    if (!m_state)
        m_state = m_catalog->printer(m_selected, m_reset);
    return *m_state;
}

bool TCachedPrinterDriver::cached() const {
    return !m_real && !m_selected.isEmpty();
}

QString TCachedPrinterDriver::deviceName() const {
    return cached() ? state().deviceName : real().deviceName();
}

QString TCachedPrinterDriver::driverName() const {
    return cached() ? state().driverName : real().driverName();
}

QString TCachedPrinterDriver::portName() const {
    return cached() ? state().portName : real().portName();
}

TPrinterCapabilities TCachedPrinterDriver::capabilities() const {
    return cached() ? state().capabilities : real().capabilities();
}

void TCachedPrinterDriver::resetDeviceMode() {
    m_reset = true;
    m_state.reset();
    if (m_real)
        m_real->resetDeviceMode();
}

TDeviceMode TCachedPrinterDriver::deviceMode() const {
    return cached() ? state().deviceMode : real().deviceMode();
}

void TCachedPrinterDriver::setDeviceMode(const TDeviceMode& mode) {
    real().setDeviceMode(mode);
}

QSize TCachedPrinterDriver::resolution() const {
    return cached() ? state().resolution : real().resolution();
}

QPoint TCachedPrinterDriver::physicalOffset() const {
    return cached() ? state().physicalOffset : real().physicalOffset();
}

QSize TCachedPrinterDriver::physicalPageSize() const {
    return cached() ? state().physicalPageSize : real().physicalPageSize();
}

QSize TCachedPrinterDriver::printableSize() const {
    return cached() ? state().printableSize : real().printableSize();
}

void TCachedPrinterDriver::setJobName(const QString& name) {
    real().setJobName(name);
}

void TCachedPrinterDriver::setOutputFileName(const QString& fileName) {
    // Page images never reach the printer: nothing to set up for them.
    if (!m_real && fileName.isEmpty())
        return;
    real().setOutputFileName(fileName);
}

// Kept until a job needs the real driver: a preview run sets it too.
void TCachedPrinterDriver::setDocumentInfo(const TPdfInfo& info) {
    m_pdfInfo = info;
    if (m_real)
        m_real->setDocumentInfo(info);
}

QPaintDevice* TCachedPrinterDriver::device() {
    return real().device();
}

bool TCachedPrinterDriver::newSheet() {
    return real().newSheet();
}

bool TCachedPrinterDriver::submitJob() {
    return real().submitJob();
}

void TCachedPrinterDriver::abortJob() {
    if (m_real)
        m_real->abortJob();
}

// A fault is the printer's state now, never a cached one.
bool TCachedPrinterDriver::inErrorState() const {
    return real().inErrorState();
}

QString TCachedPrinterDriver::errorString() const {
    return m_real ? m_real->errorString() : QString();
}

// The real driver on the printer this one has selected, in the same state.
// Its list is read now: the printer is found under its name wherever it is.
TPrinterDriver& TCachedPrinterDriver::real() const {
    if (m_real)
        return *m_real;
    std::unique_ptr<TPrinterDriver> driver = m_catalog->createDriver();
    driver->setDocumentInfo(m_pdfInfo);
    if (!m_selected.isEmpty()) {
        const int index = int(driver->printers().indexOf(m_selected));
        if (index < 0)
            throw Exception(QStringLiteral("Printer \"%1\" is not installed").arg(m_selected));
        driver->select(index);
    }
    if (m_reset)
        driver->resetDeviceMode();
    m_real = std::move(driver);
    return *m_real;
}

} // namespace tavim
