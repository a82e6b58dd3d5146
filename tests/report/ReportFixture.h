#pragma once

#include "data/DataModCad.h"
#include "engine/emf/Metafile.h"
#include "firebird/TestDatabase.h"
#include "report/FrmImpressao.h"

#include <optional>
#include <vector>

namespace tavim::test {

struct Amounts {
    std::optional<double> rent;
    std::optional<double> fees;
    std::optional<double> others;
};

// `count` active contracts in February 2024, in owner order, with the amounts
// of `amounts(i)` for row i (0-based).
std::vector<ContractRow> contracts(int count, const std::function<Amounts(int)>& amounts);

// The report form over a real (embedded) database, generated to page images as
// the preview would: the run on its worker thread, the pages read back after it.
class ReportRun {
public:
    explicit ReportRun(const std::vector<ContractRow>& rows);

    // Generates the report once more and returns its pages.
    std::vector<TMetafile> generate();
    // The saved report file of the last run's store, as Save writes it.
    QByteArray savedFile() const { return m_saved; }

    TestDatabase database;
    TdmdCadastro data;
    TfrmImpressao form{data};

private:
    QByteArray m_saved;
};

} // namespace tavim::test
