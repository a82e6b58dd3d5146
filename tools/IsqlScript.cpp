#include "tools/IsqlScript.h"

#include <QRegularExpression>

namespace tavim {

namespace {

class Splitter {
public:
    explicit Splitter(const QString& script) : m_script(script) {}

    QStringList run() {
        while (m_pos < m_script.size())
            step();
        finishStatement();
        return m_statements;
    }

private:
    void step() {
        const QStringView rest = QStringView(m_script).mid(m_pos);
        if (rest.startsWith(u"--"))
            return take(lineCommentLength(rest), false);
        if (rest.startsWith(u"/*"))
            return take(blockCommentLength(rest), false);
        if (rest.front() == u'\'' || rest.front() == u'"')
            return take(quotedLength(rest), true);
        if (rest.startsWith(m_terminator)) {
            m_pos += m_terminator.size();
            return finishStatement();
        }
        take(1, !rest.front().isSpace());
    }

    // Leading blanks and comments belong to no statement.
    void take(qsizetype length, bool significant) {
        m_started = m_started || significant;
        if (m_started)
            m_current += QStringView(m_script).mid(m_pos, length);
        m_pos += length;
    }

    static qsizetype lineCommentLength(QStringView rest) {
        const qsizetype end = rest.indexOf(u'\n');
        return end < 0 ? rest.size() : end + 1;
    }

    static qsizetype blockCommentLength(QStringView rest) {
        const qsizetype end = rest.indexOf(u"*/", 2);
        return end < 0 ? rest.size() : end + 2;
    }

    // A doubled quote stands for one quote inside the literal.
    static qsizetype quotedLength(QStringView rest) {
        const QChar quote = rest.front();
        qsizetype i = 1;
        while (i < rest.size()) {
            if (rest[i] != quote)
                ++i;
            else if (i + 1 < rest.size() && rest[i + 1] == quote)
                i += 2;
            else
                return i + 1;
        }
        return rest.size();
    }

    void finishStatement() {
        const QString statement = m_current.trimmed();
        m_current.clear();
        m_started = false;
        if (statement.isEmpty())
            return;
        static const QRegularExpression setTerm(QStringLiteral(R"(^SET\s+TERM\s+(\S+)$)"),
                                                QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression setDialect(QStringLiteral(R"(^SET\s+SQL\s+DIALECT\s+\d+$)"),
                                                   QRegularExpression::CaseInsensitiveOption);
        if (const auto match = setTerm.match(statement); match.hasMatch()) {
            m_terminator = match.captured(1);
            return;
        }
        if (!setDialect.match(statement).hasMatch())
            m_statements << statement;
    }

    const QString& m_script;
    qsizetype m_pos = 0;
    QString m_terminator = QStringLiteral(";");
    QString m_current;
    bool m_started = false;
    QStringList m_statements;
};

} // namespace

QStringList splitIsqlScript(const QString& script) {
    return Splitter(script).run();
}

} // namespace tavim
