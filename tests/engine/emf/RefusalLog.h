#pragma once

#include <QLoggingCategory>
#include <QStringList>
#include <utility>

namespace tavim::test {

// The checks logged under `category` while a test listens: a refusal
// ("refused: <check>"), a replay ended early ("ended: <check>") or a record
// skipped ("skipped: <check>"); the category is turned on for the listener's life.
// Each check once, in the order first logged, joined by "; "; "-" for none.
inline QString distinctChecks(const QStringList& checks) {
    QStringList distinct;
    for (const QString& check : checks) {
        if (!distinct.contains(check))
            distinct << check;
    }
    return distinct.isEmpty() ? QStringLiteral("-") : distinct.join(QStringLiteral("; "));
}

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

    // The refusing checks, without their prefix; forgets everything logged.
    QStringList take() {
        QStringList refusals;
        for (const QString& message : std::exchange(s_checks, {})) {
            if (message.startsWith(kRefused))
                refusals << message.mid(kRefused.size());
        }
        return refusals;
    }

    // Every check logged, prefix included, in order.
    QStringList takeAll() { return std::exchange(s_checks, {}); }

private:
    static inline const QString kRefused = QStringLiteral("refused: ");

    static void handle(QtMsgType, const QMessageLogContext& context, const QString& message) {
        if (qstrcmp(context.category, s_category) != 0)
            return;
        for (const QLatin1StringView prefix :
             {QLatin1StringView("refused: "), QLatin1StringView("ended: "),
              QLatin1StringView("skipped: ")}) {
            if (message.startsWith(prefix))
                s_checks << message;
        }
    }

    static inline const char* s_category = "";
    static inline QStringList s_checks;
    QtMessageHandler m_previous = nullptr;
};

} // namespace tavim::test
