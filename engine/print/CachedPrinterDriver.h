#pragma once

#include "engine/print/PrinterDriver.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

namespace tavim {

// What the installed printers said when first asked in this process: the
// list, the default and, per printer, what a driver reports once it is
// selected (and after its defaults were reloaded). Asking CUPS takes tens of
// milliseconds, which a preview would otherwise wait for before its first
// page. Any thread; `m_mutex` guards everything.
class TPrinterCatalog {
public:
    using DriverFactory = std::function<std::unique_ptr<TPrinterDriver>()>;

    struct Printer {
        QString deviceName;
        QString driverName;
        QString portName;
        TPrinterCapabilities capabilities;
        TDeviceMode deviceMode;
        QSize resolution;
        QPoint physicalOffset;
        QSize physicalPageSize;
        QSize printableSize;
    };

    explicit TPrinterCatalog(DriverFactory factory);
    // The process's catalog of the platform's printers.
    static std::shared_ptr<TPrinterCatalog> process();

    QStringList printers();
    int defaultPrinter();
    // The printer of that name as a fresh driver finds it; nothing when it is
    // not installed (any more).
    Printer printer(const QString& name, bool reset);
    // Reads the list and the default printer's settings now.
    void warm();
    // Forgets everything: the next question asks the system again.
    void refresh();
    std::unique_ptr<TPrinterDriver> createDriver() const;

private:
    void loadList();

    const DriverFactory m_factory;
    std::mutex m_mutex;
    std::optional<QStringList> m_printers;
    int m_default = -1;
    std::map<std::pair<QString, bool>, Printer> m_states;
};

// A printer driver that answers from the catalog while the selected printer
// keeps its own settings; the first call that sets something or needs the
// device creates the real driver, brings it to the same printer and passes
// everything on from then on. The printer is remembered by name: the real
// driver's list may differ from the catalog's. Owned by one store, used by one
// thread at a time.
class TCachedPrinterDriver : public TPrinterDriver {
public:
    explicit TCachedPrinterDriver(std::shared_ptr<TPrinterCatalog> catalog);

    QStringList printers() const override;
    int defaultPrinter() const override;
    void select(int index) override;
    QString deviceName() const override;
    QString driverName() const override;
    QString portName() const override;

    TPrinterCapabilities capabilities() const override;
    void resetDeviceMode() override;
    TDeviceMode deviceMode() const override;
    void setDeviceMode(const TDeviceMode& mode) override;

    QSize resolution() const override;
    QPoint physicalOffset() const override;
    QSize physicalPageSize() const override;
    QSize printableSize() const override;

    void setJobName(const QString& name) override;
    void setOutputFileName(const QString& fileName) override;
    void setDocumentInfo(const TPdfInfo& info) override;
    QPaintDevice* device() override;
    bool newSheet() override;
    bool submitJob() override;
    void abortJob() override;
    bool inErrorState() const override;
    QString errorString() const override;

private:
    // Answers come from the catalog (false: from the real driver).
    bool cached() const;
    const TPrinterCatalog::Printer& state() const;
    // Throws "Printer \"%s\" is not installed" when the selected printer is gone.
    TPrinterDriver& real() const;

    std::shared_ptr<TPrinterCatalog> m_catalog;
    // Empty until a printer is selected.
    QString m_selected;
    bool m_reset = false;
    // What the catalog says of the selected printer, once asked.
    mutable std::optional<TPrinterCatalog::Printer> m_state;
    TPdfInfo m_pdfInfo;
    mutable std::unique_ptr<TPrinterDriver> m_real;
};

} // namespace tavim
