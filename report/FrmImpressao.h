#pragma once

#include "engine/band/BandReport.h"
#include "engine/band/BrBand.h"
#include "engine/band/BrLabel.h"

#include <memory>
#include <vector>

namespace tavim {

class TdmdCadastro;
class TBrPrintable;

// The report form: the municipality listing `relatorio` over cdsTavim, its
// bands and controls as the form declares them, and the four handlers that
// keep the page totals, the grand totals and the tax.
class TfrmImpressao : public TComponent {
public:
    explicit TfrmImpressao(TdmdCadastro& data);
    ~TfrmImpressao() override;

    // Names the listed period under the title: "Referênte ao mês de <month> de <year>".
    void setPeriod(const QString& monthName, const QString& yearText);

    TBandReport relatorio;
    TBrBand Titulo;
    TBrBand detalhe;
    TBrBand rodape;
    TBrBand Sumario;

    TBrLabel* rpPeriodo;
    TBrLabel* rppAluguel;
    TBrLabel* rppTaxaAdm;
    TBrLabel* rppOutros;
    TBrLabel* rppTotalPagina;
    TBrLabel* rpsAluguel;
    TBrLabel* rpsTaxa;
    TBrLabel* rpsOutros;
    TBrLabel* totalAluguel;
    TBrLabel* totalAdm;
    TBrLabel* Valor;

    void relatorioBeforePrint(TBandReport& sender, bool& printReport);
    void detalheBeforePrint(TBrBand& sender, bool& printBand);
    void rodapeBeforePrint(TBrBand& sender, bool& printBand);
    void SumarioBeforePrint(TBrBand& sender, bool& printBand);

private:
    void declareControls();
    TBrLabel* label(const char* name) const;

    TdmdCadastro& m_data;
    std::vector<std::unique_ptr<TBrPrintable>> m_controls;

    // The running sums: doubles, each addition carried out in extended.
    double m_pageRent = 0;
    double m_pageFees = 0;
    double m_pageOthers = 0;
    double m_grandRent = 0;
    double m_grandFees = 0;
};

} // namespace tavim
