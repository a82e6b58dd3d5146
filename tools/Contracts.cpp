#include "tools/Contracts.h"

#include "data/firebird/FirebirdSession.h"

namespace tavim {

namespace {

DbParam text(const std::optional<QString>& value) {
    return {FieldKind::String, value ? Value(*value) : Value()};
}

DbParam money(const std::optional<double>& value) {
    return {FieldKind::Float, value ? Value(*value) : Value()};
}

DbParam date(const std::optional<QDate>& value) {
    if (!value)
        return {FieldKind::Date, Value()};
    return {FieldKind::Date, Value(double(QDate(1899, 12, 30).daysTo(*value)))};
}

std::vector<DbParam> paramsOf(const ContractRow& row) {
    return {
        {FieldKind::Integer, Value(qint64(row.id))},
        text(row.proprietario),
        text(row.imovel),
        text(row.inquilino),
        money(row.aluguel),
        money(row.taxaAdm),
        money(row.outros),
        text(row.observacoes),
        text(row.situacao),
        date(row.inicio),
        date(row.fim),
    };
}

} // namespace

void insertContracts(FirebirdSession& session, const std::vector<ContractRow>& rows) {
    const auto insert = session.prepare(QStringLiteral(
        "INSERT INTO CONTRATOS (ID, PROPRIETARIO, IMOVEL, INQUILINO, ALUGUEL, TAXA_ADM, OUTROS, "
        "OBSERVACOES, SITUACAO, INICIO, FIM) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const ContractRow& row : rows)
        insert->execute(paramsOf(row));
    insert->close();
}

} // namespace tavim
