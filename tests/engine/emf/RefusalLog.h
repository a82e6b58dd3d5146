#pragma once

#include <QLoggingCategory>
#include <QStringList>
#include <utility>

namespace tavim::test {

// The checks a refusal logged under `category` ("refused: <check>") while a
// test listens; the category is turned on for the listener's life.
class RefusalLog {
public:
    explicit RefusalLog(const char* category) {
        s_category = category;
        QLoggingCategory::setFilterRules(QString::fromLatin1(category) +
                                         QStringLiteral(".debug=true"));
        s_checks.clear();
        m_previous = qInstallMessageHandler(&RefusalLog::handle);
    }
    ~RefusalLog() {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
    }
    RefusalLog(const RefusalLog&) = delete;
    RefusalLog& operator=(const RefusalLog&) = delete;

    QStringList take() { return std::exchange(s_checks, {}); }

private:
    static void handle(QtMsgType, const QMessageLogContext& context, const QString& message) {
        const QString prefix = QStringLiteral("refused: ");
        if (qstrcmp(context.category, s_category) == 0 && message.startsWith(prefix))
            s_checks << message.mid(prefix.size());
    }

    static inline const char* s_category = "";
    static inline QStringList s_checks;
    QtMessageHandler m_previous = nullptr;
};

} // namespace tavim::test
