#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

namespace tavim {

class TBrPrinter;

// The small window of a print run: shows the run's progress and lets the user
// cancel it. It becomes the store's client on creation, so the store's
// progress notices come to it; the run must be over before either goes.
// Threads: user-interface thread only, the thread of the print run it shows.
class TBrProgressForm : public QDialog {
public:
    explicit TBrProgressForm(TBrPrinter& store, QWidget* parent = nullptr);

    const QProgressBar& gauge() const { return *m_gauge; }
    const QLabel& info() const { return *m_info; }

    void reject() override;

protected:
    bool event(QEvent* event) override;

private:
    void progressUpdate(int percent);

    TBrPrinter& m_store;
    QProgressBar* m_gauge;
    QLabel* m_info;
};

} // namespace tavim
