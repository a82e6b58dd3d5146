#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace tavim {

class FirebirdSession;

// One row of CONTRATOS; an empty optional is NULL, as opposed to an empty text.
struct ContractRow {
    qint32 id = 0;
    std::optional<QString> proprietario;
    std::optional<QString> imovel;
    std::optional<QString> inquilino;
    std::optional<double> aluguel;
    std::optional<double> taxaAdm;
    std::optional<double> outros;
    std::optional<QString> observacoes;
    std::optional<QString> situacao;
    QDate inicio;
    std::optional<QDate> fim;

    bool operator==(const ContractRow&) const = default;
};

// Inserts the rows through one prepared insert in one transaction: all or none.
void insertContracts(FirebirdSession& session, const std::vector<ContractRow>& rows);

} // namespace tavim
