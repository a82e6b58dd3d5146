#pragma once

#include <QApplication>
#include <exception>
#include <functional>

namespace tavim {

// The application object. Its notify() is the one place where an exception
// raised while a user action is handled is caught and shown in the error box.
class TApplication : public QApplication {
public:
    // The error box by default; tests put a recorder in its place.
    using ErrorPresenter = std::function<void(const QString& caption, const QString& text)>;

    TApplication(int& argc, char** argv);

    const QString& title() const { return m_title; }
    void setErrorPresenter(ErrorPresenter presenter);
    void showException(std::exception_ptr error);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    QString m_title;
    ErrorPresenter m_presenter;
};

// The error box: the stop icon, one OK button, the application title as caption.
void ShowErrorBox(const QString& caption, const QString& text);

} // namespace tavim
