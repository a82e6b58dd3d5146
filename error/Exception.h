#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace tavim {

// Base of every failure the program shows in its error box. The message is the
// user-visible text, exactly as it is shown.
class Exception : public std::exception {
public:
    explicit Exception(QString message)
        : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// Ends a user action without any message.
class EAbort : public Exception {
public:
    EAbort() : Exception(QStringLiteral("Operation aborted")) {}
};

class EConvertError : public Exception {
public:
    using Exception::Exception;
};

} // namespace tavim
