#include "data/DbQuery.h"

#include "data/DbConnection.h"
#include "data/Field.h"
#include "data/ParamMarkers.h"
#include "error/DatabaseError.h"

namespace tavim {

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
    DbSession& session = m_connection.session();
    if (!m_statement)
        m_statement = session.prepare(m_serverText);
    std::vector<DbParam> values;
    bindParams(values);
    m_statement->execute(values);
    try {
        bindFields(m_statement->columns());
        m_row.assign(m_statement->columns().size(), Value{});
        m_active = true;
        m_eof = false;
        next();
    } catch (...) {
        m_active = false;
        m_statement->close();
        throw;
    }
}

void TDbQuery::close() {
    if (!m_active)
        return;
    m_active = false;
    m_eof = true;
    m_row.clear();
    m_statement->close();
}

void TDbQuery::next() {
    if (!m_active || m_eof)
        return;
    m_eof = !m_statement->fetch(m_row);
    if (m_eof)
        std::fill(m_row.begin(), m_row.end(), Value{});
}

void TDbQuery::readAhead() {
    if (m_active && !m_eof)
        m_statement->readAhead();
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
