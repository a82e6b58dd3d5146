#include "app/Application.h"

#include "app/ApplicationTitle.h"
#include "app/ErrorMessage.h"
#include "data/BusyCursor.h"
#include "error/Exception.h"
#include "format/LocaleSettings.h"

#include <QMessageBox>

namespace tavim {

namespace {

void setWaitCursor(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace

void ShowErrorBox(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
    box.exec();
}

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv), m_title(ApplicationTitle(applicationFilePath())),
      m_presenter(ShowErrorBox) {
    // The title names the window class the task bar groups by. It is not the
    // display name: Qt would append that to every window's caption.
    setApplicationName(m_title);
    LocaleSettings::reload();
    BusyCursor::setHook(setWaitCursor);
}

void TApplication::setErrorPresenter(ErrorPresenter presenter) {
    m_presenter = std::move(presenter);
}

void TApplication::showException(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
    } catch (const Exception& e) {
        m_presenter(m_title, ErrorBoxText(e.message()));
    } catch (const std::exception& e) {
        m_presenter(m_title, ErrorBoxText(QString::fromLocal8Bit(e.what())));
    }
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    if (event->type() == QEvent::LocaleChange && receiver == this)
        LocaleSettings::reload();
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showException(std::current_exception());
        return true;
    }
}

} // namespace tavim
