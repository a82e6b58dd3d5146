#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QKeyEvent;
class QToolBar;

namespace tavim {

class TBrFindBar;
class TBrPrinter;
class TBrPreview;
class TBrPreviewFileDialogs;

// The preview window: tool bar, page view and status bar over one page store.
// Threads: user-interface thread only, like every window.
// Its actions carry the tool bar's names ("ZoomFit" ... "LoadReport"); the
// status panels are "ProgressPanel" and "PagePanel".
class TBrStandardPreview : public QDialog {
public:
    explicit TBrStandardPreview(TBrPrinter& store, QWidget* parent = nullptr);
    ~TBrStandardPreview() override;

    // Shows a window on `store` modally, maximized; returns once it has closed
    // and been destroyed.
    static void showPreview(TBrPrinter& store, QWidget* parent = nullptr);

    void setFileDialogs(std::unique_ptr<TBrPreviewFileDialogs> dialogs);
    TBrPreview& preview() const { return *m_preview; }
    TBrFindBar& findBar() const { return *m_findBar; }

    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    void saveReport();
    void loadReport();

    // Detaches from the store before the window goes: the store may be
    // discarded by its report as soon as it hears of the closing.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildToolBar(QToolBar* toolBar);
    QAction* addAction(QToolBar* toolBar, const QString& name, const QString& hint, int icon);
    bool handleKey(const QKeyEvent& key);
    bool handleFindKey(const QKeyEvent& key);
    void applyZoom(const std::function<void()>& zoom);
    void showPagePosition();
    void pageAvailable();
    void progressUpdate(int percent);
    void runFailed();
    void detachStore();

    TBrPrinter* m_store;
    TBrPreview* m_preview;
    TBrFindBar* m_findBar;
    std::unique_ptr<TBrPreviewFileDialogs> m_dialogs;
    QAction* m_printSetup = nullptr;
    QAction* m_print = nullptr;
    QLabel* m_progressPanel;
    QLabel* m_pagePanel;
    int m_lastProgress = 0;
};

} // namespace tavim
