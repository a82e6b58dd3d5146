#include "engine/print/CachedPrinterDriver.h"

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
TPrinterCatalog::Printer TPrinterCatalog::printer(int index, bool reset) {
    std::lock_guard lock(m_mutex);
    const auto key = std::make_pair(index, reset);
    if (const auto it = m_states.find(key); it != m_states.end())
        return it->second;
    const std::unique_ptr<TPrinterDriver> driver = m_factory();
    // The printers may have changed since the list was read.
    if (index < 0 || index >= driver->printers().size())
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
    const int index = defaultPrinter();
    if (index < 0)
        return;
    printer(index, false);
    printer(index, true);
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
    m_selected = index;
    m_reset = false;
    if (m_real)
        m_real->select(index);
}

TPrinterCatalog::Printer TCachedPrinterDriver::state() const {
    return m_catalog->printer(m_selected, m_reset);
}

bool TCachedPrinterDriver::cached() const {
    return !m_real && m_selected >= 0;
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
TPrinterDriver& TCachedPrinterDriver::real() const {
    if (m_real)
        return *m_real;
    m_real = m_catalog->createDriver();
    m_real->setDocumentInfo(m_pdfInfo);
    if (m_selected >= 0 && m_selected < m_real->printers().size())
        m_real->select(m_selected);
    if (m_reset)
        m_real->resetDeviceMode();
    return *m_real;
}

} // namespace tavim
