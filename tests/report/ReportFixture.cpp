#include "ReportFixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

namespace tavim::test {

std::vector<ContractRow> contracts(int count, const std::function<Amounts(int)>& amounts) {
    std::vector<ContractRow> rows;
    for (int i = 0; i < count; ++i) {
        ContractRow r;
        r.id = i + 1;
        r.proprietario = QStringLiteral("PROPRIETÁRIO %1").arg(i + 1, 3, 10, QLatin1Char('0'));
        r.imovel = QStringLiteral("Rua São João, %1").arg(i + 1);
        r.inquilino = QStringLiteral("Inês %1").arg(i + 1);
        const Amounts a = amounts(i);
        r.aluguel = a.rent;
        r.taxaAdm = a.fees;
        r.outros = a.others;
        r.situacao = QStringLiteral("ATIVADO");
        r.inicio = QDate(2023, 1, 1);
        rows.push_back(r);
    }
    return rows;
}

ReportRun::ReportRun(const std::vector<ContractRow>& rows) : database(rows) {
    const ConnectionOptions o = database.options(Engine::Embedded);
    data.sql.setParam("Database", o.database);
    data.sql.setParam("Password", o.password);
    data.RunReportQuery(1, QStringLiteral("2024"), true, false, false);
}

std::vector<TMetafile> ReportRun::generate() {
    std::vector<TMetafile> pages;
    form.relatorio.PreviewHook = [&](TBrPrinter& store) {
        while (store.status() != TBrStatus::Finished) {
            QCoreApplication::processEvents();
            QThread::msleep(1);
        }
        for (int n = 1; n <= store.pageCount(); ++n)
            if (auto page = store.getPage(n))
                pages.push_back(*page);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("saved.brp"));
        store.save(file);
        QFile saved(file);
        m_saved = saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
    };
    form.relatorio.ShowPreview();
    return pages;
}

} // namespace tavim::test
