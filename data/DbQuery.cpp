#include "data/DbQuery.h"

#include "data/DbConnection.h"
#include "data/Field.h"
#include "data/ParamMarkers.h"
#include "error/DatabaseError.h"

#include <QLoggingCategory>

namespace tavim {

Q_LOGGING_CATEGORY(lcDatabase, "tavim.database", QtWarningMsg)

namespace {
const Value kNull;

QString dropLeadingBlanks(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].unicode() <= ' ')
        ++i;
    return text.mid(i);
}
} // namespace

TDbQuery::TDbQuery(TComponent* owner, const QString& name, TDbConnection& connection)
    : TDataSet(owner, name), m_connection(connection) {}

TDbQuery::~TDbQuery() = default;

void TDbQuery::setCommandText(const QString& text) {
    if (text == m_commandText)
        return;
    if (m_active)
        raise(QStringLiteral("Cannot perform this operation on an open dataset"));
    m_statement.reset();
    m_commandText = dropLeadingBlanks(text);
    ParsedCommand parsed = ParseParamMarkers(m_commandText);
    m_serverText = parsed.serverText;
    m_params.clear();
    for (const QString& name : parsed.names)
        m_params.emplace_back(name);
}

TParam& TDbQuery::paramByName(const QString& name) {
    for (TParam& p : m_params) {
        if (p.name().compare(name, Qt::CaseInsensitive) == 0)
            return p;
    }
    raise(QStringLiteral("Parameter '%1' not found").arg(name));
}

void TDbQuery::bindParams(std::vector<DbParam>& out) const {
    out.reserve(m_params.size());
    for (const TParam& p : m_params) {
        if (p.dataType() == FieldKind::Unknown)
            throw EDatabaseError(QStringLiteral("No value for parameter '%1'").arg(p.name()));
        out.push_back(DbParam{p.dataType(), p.value()});
    }
}

void TDbQuery::open() {
    if (m_active)
        return;
    serverCall([this](DbSession& session) {
        if (!m_statement)
            m_statement = session.prepare(m_serverText);
    });
    std::vector<DbParam> values;
    bindParams(values);
    serverCall([&](DbSession&) { m_statement->execute(values); });
    try {
        bindFields(m_statement->columns());
        m_row.assign(m_statement->columns().size(), Value{});
        m_active = true;
        m_eof = false;
        m_allRead = false;
        next();
    } catch (...) {
        m_active = false;
        m_eof = true;
        // The first failure is the one to report, not that of closing after it.
        try {
            closeStatement();
        } catch (const std::exception& e) {
            logCloseFailure(e);
        }
        throw;
    }
}

void TDbQuery::close() {
    if (!m_active)
        return;
    m_active = false;
    m_eof = true;
    m_row.clear();
    closeStatement();
}

void TDbQuery::closeStatement() {
    if (!m_statement)
        return;
    if (!m_connection.connected()) {
        // Nothing to tell a server that is gone; the statement says what it lost.
        m_statement->close();
        return;
    }
    serverCall([this](DbSession&) { m_statement->close(); });
}

void TDbQuery::closeQuietly() noexcept {
    try {
        close();
    } catch (const std::exception& e) {
        logCloseFailure(e);
    }
}

void TDbQuery::logCloseFailure(const std::exception& e) const noexcept {
    qCDebug(lcDatabase, "%s: closing failed: %s", qPrintable(name()), e.what());
}

void TDbQuery::next() {
    if (!m_active || m_eof)
        return;
    bool more = false;
    if (m_allRead)
        more = m_statement->fetch(m_row);
    else
        serverCall([&](DbSession&) { more = m_statement->fetch(m_row); });
    m_eof = !more;
    if (m_eof)
        std::fill(m_row.begin(), m_row.end(), Value{});
}

void TDbQuery::readAhead() {
    // Row by row, each a call of its own for the watchdog: its limit is on one
    // reply of the server, which a long listing that keeps coming never reaches.
    bool more = m_active && !m_eof;
    while (more)
        serverCall([&](DbSession&) { more = m_statement->readAhead(1); });
    m_allRead = m_active;
}

void TDbQuery::serverCall(const std::function<void(DbSession&)>& call) {
    try {
        m_connection.watched(call);
    } catch (...) {
        forgetStatementIfCut();
        throw;
    }
}

void TDbQuery::forgetStatementIfCut() {
    // A cancelled call closed the connection, and the statement with it.
    if (m_connection.connected())
        return;
    m_active = false;
    m_eof = true;
    m_row.clear();
    m_statement.reset();
}

const Value& TDbQuery::fieldValue(const TField& field) const {
    if (!m_active || m_eof || field.column() < 0)
        return kNull;
    return m_row[size_t(field.column())];
}

void TDbQuery::writeField(TField&, Value) {
    raise(QStringLiteral("Cannot modify a read-only dataset"));
}

} // namespace tavim
