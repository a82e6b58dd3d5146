#include "engine/preview/BrStandardPreview.h"

#include "engine/preview/BrFindBar.h"
#include "engine/preview/BrPageImage.h"
#include "engine/preview/BrPreview.h"
#include "engine/preview/BrPreviewFileDialogs.h"
#include "engine/preview/BrPreviewIcons.h"
#include "engine/store/BrPrinter.h"

#include <QActionGroup>
#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace tavim {

namespace {

constexpr QSize kDesignSize(652, 579);
constexpr int kToolBarBorder = 2;
constexpr int kProgressPanelWidth = 40;
constexpr int kPagePanelWidth = 50;
constexpr QSize kExitButtonSize(40, 22);
constexpr int kProgressStep = 5;
constexpr int kProgressDone = 100;

} // namespace

TBrStandardPreview::TBrStandardPreview(TBrPrinter& store, QWidget* parent)
    : QDialog(parent), m_store(&store), m_preview(new TBrPreview), m_findBar(new TBrFindBar),
      m_dialogs(std::make_unique<TBrPreviewFileDialogs>()), m_progressPanel(new QLabel("0%")),
      m_pagePanel(new QLabel("Page")) {
    setWindowTitle(store.title().isEmpty() ? QStringLiteral("Print Preview") : store.title());
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    resize(kDesignSize);
    setWindowState(windowState() | Qt::WindowMaximized);

    auto* toolBar = new QToolBar;
    buildToolBar(toolBar);

    auto* statusBar = new QStatusBar;
    statusBar->setObjectName("StatusBar");
    m_progressPanel->setObjectName("ProgressPanel");
    m_progressPanel->setFixedWidth(kProgressPanelWidth);
    m_progressPanel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_pagePanel->setObjectName("PagePanel");
    m_pagePanel->setMinimumWidth(kPagePanelWidth);
    statusBar->addWidget(m_progressPanel);
    statusBar->addWidget(m_pagePanel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(m_preview, 1);
    layout->addWidget(m_findBar);
    layout->addWidget(statusBar);

    m_preview->onPageAvailable = [this](int) { pageAvailable(); };
    m_preview->onProgressUpdate = [this](int percent) { progressUpdate(percent); };
    m_preview->onRunFailed = [this] { runFailed(); };
    m_preview->attach(store);
    m_findBar->attach(store);
    m_findBar->onShowMatch = [this](const TBrTextMatch* match) {
        if (!match) {
            m_preview->image().setOutline({});
            return;
        }
        m_preview->showMatch(match->page, match->at, match->length);
        showPagePosition();
    };
    m_findBar->shownPage = [this] { return m_preview->pageNumber(); };
    if (store.status() == TBrStatus::Finished)
        m_print->setEnabled(true);

    // Key preview: the window sees every key before the focused control does.
    qApp->installEventFilter(this);
}

TBrStandardPreview::~TBrStandardPreview() {
    qApp->removeEventFilter(this);
    detachStore();
}

void TBrStandardPreview::showPreview(TBrPrinter& store, QWidget* parent) {
    TBrStandardPreview window(store, parent);
    window.exec();
}

void TBrStandardPreview::setFileDialogs(std::unique_ptr<TBrPreviewFileDialogs> dialogs) {
    m_dialogs = std::move(dialogs);
}

QAction* TBrStandardPreview::addAction(QToolBar* toolBar, const QString& name, const QString& hint,
                                       int icon) {
    static const QList<QPixmap> images = previewImageList();
    QAction* action = toolBar->addAction(QIcon(images.at(icon)), hint);
    action->setObjectName(name);
    action->setToolTip(hint);
    return action;
}

void TBrStandardPreview::buildToolBar(QToolBar* toolBar) {
    toolBar->setObjectName("ToolBar");
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setIconSize(QSize(16, 16));
    toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar->setContentsMargins(kToolBarBorder, kToolBarBorder, kToolBarBorder, kToolBarBorder);

    auto* zoomGroup = new QActionGroup(toolBar);
    zoomGroup->setExclusive(true);
    const auto zoomAction = [&](const QString& name, const QString& hint, TBrPreviewIcon icon,
                                std::function<void()> zoom) {
        QAction* action = addAction(toolBar, name, hint, int(icon));
        action->setCheckable(true);
        zoomGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, zoom] { applyZoom(zoom); });
        return action;
    };
    zoomAction("ZoomFit", "Zoom to fit", TBrPreviewIcon::ZoomFit,
               [this] { m_preview->zoomToFit(); });
    zoomAction("Zoom100", "100%", TBrPreviewIcon::Zoom100, [this] { m_preview->setZoom(100); });
    zoomAction("ZoomToWidth", "Zoom to width", TBrPreviewIcon::ZoomToWidth, [this] {
        m_preview->zoomToWidth();
    })->setChecked(true);
    toolBar->addSeparator();

    const auto button = [&](const QString& name, const QString& hint, TBrPreviewIcon icon,
                            void (TBrStandardPreview::*slot)()) {
        QAction* action = addAction(toolBar, name, hint, int(icon));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    button("FirstPage", "First page", TBrPreviewIcon::FirstPage, &TBrStandardPreview::firstPage);
    button("PreviousPage", "Previous page", TBrPreviewIcon::PreviousPage,
           &TBrStandardPreview::previousPage);
    button("ToolButton2", "Next page", TBrPreviewIcon::NextPage, &TBrStandardPreview::nextPage);
    button("LastPage", "Last page", TBrPreviewIcon::LastPage, &TBrStandardPreview::lastPage);
    toolBar->addSeparator();

    m_printSetup =
        addAction(toolBar, "PrintSetup", "Printer setup", int(TBrPreviewIcon::PrinterSetup));
    m_printSetup->setEnabled(false);
    connect(m_printSetup, &QAction::triggered, this, [this] {
        if (m_store)
            m_store->printerSetup();
    });
    m_print = addAction(toolBar, "Print", "Print", int(TBrPreviewIcon::Print));
    m_print->setEnabled(false);
    connect(m_print, &QAction::triggered, this, [this] {
        if (m_store)
            m_store->print();
    });
    toolBar->addSeparator();

    button("SaveReport", "Save Report", TBrPreviewIcon::SaveReport,
           &TBrStandardPreview::saveReport);
    button("LoadReport", "Load Report", TBrPreviewIcon::LoadReport,
           &TBrStandardPreview::loadReport);
    toolBar->addSeparator();

    auto* exitButton = new QPushButton(QStringLiteral("&Close"));
    exitButton->setObjectName("ExitButton");
    exitButton->setFixedSize(kExitButtonSize);
    exitButton->setAutoDefault(false);
    connect(exitButton, &QPushButton::clicked, this, &QWidget::close);
    toolBar->addWidget(exitButton);
}

void TBrStandardPreview::applyZoom(const std::function<void()>& zoom) {
    QCoreApplication::processEvents();
    zoom();
}

void TBrStandardPreview::firstPage() {
    m_preview->setPageNumber(1);
    showPagePosition();
}

void TBrStandardPreview::previousPage() {
    m_preview->setPageNumber(m_preview->pageNumber() - 1);
    showPagePosition();
}

void TBrStandardPreview::nextPage() {
    m_preview->setPageNumber(m_preview->pageNumber() + 1);
    showPagePosition();
}

void TBrStandardPreview::lastPage() {
    if (m_store)
        m_preview->setPageNumber(m_store->pageCount());
    showPagePosition();
}

// Only a finished run's pages can be saved; the clerk is told so rather than
// asked for a name that nothing would be written to.
void TBrStandardPreview::saveReport() {
    if (!m_store)
        return;
    if (m_store->status() != TBrStatus::Finished) {
        m_dialogs->information(
            this,
            QStringLiteral("The report is still being generated; save it when it is finished."));
        return;
    }
    const QString fileName = m_dialogs->saveReportName(this);
    if (fileName.isEmpty())
        return;
    m_store->save(fileName);
}

void TBrStandardPreview::loadReport() {
    const QString fileName = m_dialogs->loadReportName(this);
    if (fileName.isEmpty() || !m_store)
        return;
    if (!QFileInfo(fileName).isFile()) {
        m_dialogs->information(this, QStringLiteral("File does not exist"));
        return;
    }
    m_store->load(fileName);
    m_preview->reloadFirstPage();
    m_findBar->pagesReplaced();
    showPagePosition();
    // The loaded document is complete: no progress of the replaced run shows.
    m_progressPanel->clear();
    m_lastProgress = kProgressDone;
    m_printSetup->setEnabled(false);
    m_print->setEnabled(true);
}

void TBrStandardPreview::showPagePosition() {
    if (!m_store)
        return;
    m_pagePanel->setText(
        QStringLiteral("Page %1 of %2").arg(m_preview->pageNumber()).arg(m_store->pageCount()));
}

// A loaded file's store has no set-up hook any more, so its pages never
// re-enable Printer setup.
void TBrStandardPreview::pageAvailable() {
    showPagePosition();
    m_findBar->pagesAvailable();
    if (!m_store || m_store->status() != TBrStatus::Finished)
        return;
    m_printSetup->setEnabled(!m_store->reportLoaded());
    m_print->setEnabled(true);
}

void TBrStandardPreview::progressUpdate(int percent) {
    if (percent >= m_lastProgress + kProgressStep) {
        m_progressPanel->setText(QString::number(percent) + '%');
        m_lastProgress = percent;
    }
    if (percent == 0 || percent == 100)
        m_progressPanel->clear();
}

// The run stopped with an error. The page view has caught up (pages, page
// position, buttons); the error box comes up over this window, shown by the
// application's one catch point.
void TBrStandardPreview::runFailed() {
    if (!m_store)
        return;
    if (const std::exception_ptr error = m_store->takeRunError())
        std::rethrow_exception(error);
}

// Ctrl+F, F3 and Shift+F3 anywhere; Enter and Esc in the bar. Home and End
// edit the text while it is typed rather than move the page.
bool TBrStandardPreview::handleFindKey(const QKeyEvent& key) {
    const Qt::KeyboardModifiers shift = key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                           Qt::AltModifier | Qt::MetaModifier);
    switch (key.key()) {
    case Qt::Key_F:
        if (shift != Qt::ControlModifier)
            return false;
        m_findBar->open();
        return true;
    case Qt::Key_F3:
        if (!m_findBar->isVisible())
            m_findBar->open();
        shift == Qt::ShiftModifier ? m_findBar->previous() : m_findBar->next();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!m_findBar->typing())
            return false;
        shift == Qt::ShiftModifier ? m_findBar->previous() : m_findBar->next();
        return true;
    case Qt::Key_Escape:
        if (!m_findBar->isVisible())
            return false;
        m_findBar->hide();
        m_preview->setFocus();
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
        return m_findBar->typing();
    default:
        return false;
    }
}

bool TBrStandardPreview::handleKey(const QKeyEvent& key) {
    if (handleFindKey(key))
        return key.key() != Qt::Key_Home && key.key() != Qt::Key_End;
    const Qt::KeyboardModifiers shift = key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                           Qt::AltModifier | Qt::MetaModifier);
    const bool exactlyCtrl = shift == Qt::ControlModifier;
    switch (key.key()) {
    case Qt::Key_Home:
        firstPage();
        return true;
    case Qt::Key_End:
        lastPage();
        return true;
    case Qt::Key_PageUp:
        exactlyCtrl ? firstPage() : previousPage();
        return true;
    case Qt::Key_PageDown:
        exactlyCtrl ? lastPage() : nextPage();
        return true;
    case Qt::Key_Escape:
        close();
        return true;
    default:
        return false;
    }
}

bool TBrStandardPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    if (static_cast<QWidget*>(watched)->window() != this)
        return false;
    return handleKey(*static_cast<QKeyEvent*>(event));
}

void TBrStandardPreview::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    m_preview->layoutImage();
}

void TBrStandardPreview::done(int result) {
    detachStore();
    QDialog::done(result);
}

// Cancels a run still going on, then tells the report, which may discard the
// store at once: nothing touches the store after that.
void TBrStandardPreview::detachStore() {
    if (!m_store)
        return;
    TBrPrinter* store = m_store;
    m_store = nullptr;
    m_findBar->detach();
    m_preview->detach();
    store->setShowingPreview(false);
    store->closePreview();
}

} // namespace tavim
