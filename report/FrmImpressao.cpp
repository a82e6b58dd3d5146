#include "report/FrmImpressao.h"

#include "data/DataModCad.h"
#include "engine/band/BrDBText.h"
#include "engine/band/BrShape.h"
#include "engine/band/BrSysData.h"
#include "engine/preview/BrReportWindows.h"
#include "format/NumberFormat.h"

#include <span>

namespace tavim {

namespace {

// The tax factor: the extended number nearest to two per cent.
constexpr long double kIssqnFactor = 0.02L;

enum class Kind { Label, DBText, PageNumber, HorLine, Rectangle };

struct Font {
    const char* family;
    qreal points;
    bool bold;
};

constexpr Font kArial11B{"Arial", 11, true};
constexpr Font kArial9{"Arial", 9, false};
constexpr Font kArial8{"Arial", 8, false};
constexpr Font kNarrow6{"Arial Narrow", 6, false};
constexpr Font kNarrow6B{"Arial Narrow", 6, true};
constexpr Font kNarrow8{"Arial Narrow", 8, false};
constexpr Font kNarrow8B{"Arial Narrow", 8, true};
constexpr Font kNarrow10B{"Arial Narrow", 10, true};
constexpr Font kNarrow11B{"Arial Narrow", 11, true};
constexpr Font kNoFont{nullptr, 0, false};

constexpr auto L = TBrAlignment::taLeftJustify;
constexpr auto R = TBrAlignment::taRightJustify;
constexpr auto C = TBrAlignment::taCenter;

// One control as the form declares it; positions in design pixels relative to
// the band. `text` is the caption, the data field, or the page-number prefix.
struct Declared {
    Kind kind;
    const char* name;
    int left, top, width, height;
    const char* text;
    Font font;
    TBrAlignment alignment;
    bool autoSize;
};

// Each band's controls in declaration order, which is the order they print in:
// a later control's white fill covers what an earlier one drew beneath it.
const Declared kTitulo[] = {
    {Kind::Label, "rpLocador", 51, 77, 35, 14, "LOCADOR", kNarrow6B, L, true},
    {Kind::Label, "rpImovel", 218, 77, 25, 14, "IMÓVEL", kNarrow6B, L, true},
    {Kind::Label, "rpObservacoes", 697, 77, 51, 14, "OBSERVAÇÕES", kNarrow6B, R, true},
    {Kind::Label, "rpAluguel", 592, 77, 33, 14, "ALUGUEL", kNarrow6B, R, true},
    {Kind::Label, "rpLocatario", 430, 77, 41, 14, "LOCATÁRIO", kNarrow6B, L, true},
    {Kind::Label, "rpTaxa", 625, 77, 37, 14, "TAXA ADM", kNarrow6B, R, true},
    {Kind::Label, "rpOutros", 665, 77, 29, 14, "OUTROS", kNarrow6B, R, true},
    {Kind::HorLine, "BrShape1", 2, 74, 775, 1, nullptr, kNoFont, L, false},
    {Kind::HorLine, "BrShape2", 2, 93, 776, 1, nullptr, kNoFont, L, false},
    {Kind::Label, "rpRazaoSocial", 47, 1, 716, 19, "TAMBRI IMOVEIS LTDA", kArial11B, C, false},
    {Kind::PageNumber, "sData", 689, 1, 74, 17, "Pagina ", kArial8, R, true},
    {Kind::Label, "rpDocumentos", 47, 20, 716, 19,
     "Inscrição Municipal: 482.615.907-3 - CNPJ: 64.908.213/0001-57", kArial9, C, false},
    {Kind::Label, "rpPeriodo", 47, 36, 716, 19, "Referente ao Mês de Janeiro de 2005", kArial9, C,
     false},
    {Kind::Label, "rpRegime", 47, 52, 716, 16, "Regime especial Processo nº 07.521936.02.14",
     kArial9, C, false},
    {Kind::Label, "BrLabel1", 6, 77, 28, 14, "CÓDIGO", kNarrow6B, L, true},
};

const Declared kDetalhe[] = {
    {Kind::DBText, "dtProprietario", 50, -1, 160, 14, "PROPRIETARIO", kNarrow6, L, false},
    {Kind::DBText, "dtInquilino", 429, -1, 153, 14, "INQUILINO", kNarrow6, L, false},
    {Kind::DBText, "dtImovel", 218, -1, 209, 14, "IMOVEL", kNarrow6, L, false},
    {Kind::DBText, "dtObservacoes", 691, -1, 59, 14, "OBSERVACOES", kNarrow6, R, false},
    {Kind::DBText, "dtAluguel", 584, -1, 37, 14, "ALUGUEL", kNarrow6, R, false},
    {Kind::DBText, "dtTaxa", 622, -1, 34, 14, "TAXA_ADM", kNarrow6, R, false},
    {Kind::DBText, "dtOutros", 657, -1, 34, 14, "OUTROS", kNarrow6, R, false},
    // The procedure has no CODIGO column: the code column stays empty.
    {Kind::DBText, "BrDBText1", 5, -1, 42, 14, "CODIGO", kNarrow6, L, false},
    {Kind::HorLine, "BrShape3", 0, 14, 779, 1, nullptr, kNoFont, L, false},
};

const Declared kRodape[] = {
    {Kind::Label, "rppAluguel", 586, 2, 37, 14, "rppAluguel", kNarrow6B, R, false},
    {Kind::Label, "rppTaxaAdm", 624, 2, 34, 14, "rppTaxaAdm", kNarrow6B, R, false},
    {Kind::Label, "rppOutros", 659, 2, 34, 14, "rppOutros", kNarrow6B, R, false},
    {Kind::Label, "rppTotalPagina", 510, 2, 74, 14, "Total da página:", kNarrow6B, R, false},
    {Kind::HorLine, "BrShape4", 0, -1, 776, 2, nullptr, kNoFont, L, false},
    {Kind::HorLine, "BrShape5", 0, 16, 778, 2, nullptr, kNoFont, L, false},
};

const Declared kSumario[] = {
    {Kind::Rectangle, "BrShape7", 236, 58, 292, 95, nullptr, kNoFont, L, false},
    {Kind::Label, "rpsAluguel", 587, 1, 37, 14, "rpsAluguel", kNarrow6B, R, false},
    {Kind::Label, "rpsTaxa", 625, 1, 34, 14, "rpsTaxa", kNarrow6B, R, false},
    {Kind::Label, "rpsOutros", 660, 1, 34, 14, "rpsOutros", kNarrow6B, R, false},
    {Kind::Label, "rpValorTaxa", 257, 89, 158, 16, "Valor Total da Administração:", kNarrow8B, R,
     false},
    {Kind::Label, "totalAdm", 420, 87, 74, 16, "TotalAdm", kNarrow8, L, false},
    {Kind::Label, "rpAliquotaIss", 254, 106, 161, 16, "Alíquota do ISSQN:", kNarrow8B, R, false},
    {Kind::Label, "Aliquota", 420, 106, 74, 16, "2,00 %", kNarrow8, L, false},
    {Kind::Label, "rpValorIssqn", 254, 122, 161, 16, "Valor do ISSQN:", kNarrow8B, R, false},
    {Kind::Label, "Valor", 420, 122, 74, 16, "Valor", kNarrow8, L, false},
    {Kind::Label, "rpAssinatura", 29, 239, 717, 21, "TAMBRI IMOVEIS LTDA", kNarrow11B, C, false},
    {Kind::Label, "rpsTotalPagina", 511, 1, 74, 14, "Total da página:", kNarrow6B, R, false},
    {Kind::HorLine, "BrShape6", 2, 15, 777, 2, nullptr, kNoFont, L, false},
    {Kind::Label, "rpTotalPorPagina", 268, 72, 147, 16, "Valor Total do Aluguel:", kNarrow8B, R,
     false},
    {Kind::Label, "totalAluguel", 420, 72, 74, 16, "TotalAluguel", kNarrow8, L, false},
    {Kind::HorLine, "BrShape8", 185, 210, 405, 2, nullptr, kNoFont, L, false},
    {Kind::Label, "rpResponsavel", 260, 218, 252, 17, "RAUL TEODORO VASCONCELOS BRAGA", kNarrow10B,
     C, false},
};

QFont makeFont(const Font& f) {
    QFont font(QString::fromUtf8(f.family));
    font.setPointSizeF(f.points);
    font.setBold(f.bold);
    return font;
}

// A text control with the declared font, alignment and auto-size.
template <typename Control> std::unique_ptr<Control> textControl(TBrBand& band, const Declared& d) {
    auto control = std::make_unique<Control>(band, QString::fromUtf8(d.name));
    control->Font = makeFont(d.font);
    control->Alignment = d.alignment;
    control->AutoSize = d.autoSize;
    return control;
}

std::unique_ptr<TBrPrintable> makeControl(TBrBand& band, const Declared& d, TMemTable& table) {
    const QString text = QString::fromUtf8(d.text ? d.text : "");
    switch (d.kind) {
    case Kind::Label: {
        auto label = textControl<TBrLabel>(band, d);
        label->setCaption(text);
        return label;
    }
    case Kind::DBText: {
        auto data = textControl<TBrDBText>(band, d);
        data->Charset = ANSI_CHARSET;
        data->DataSet = &table;
        data->DataField = text;
        data->setCaption(text);
        return data;
    }
    case Kind::PageNumber: {
        auto page = textControl<TBrSysData>(band, d);
        page->Data = TBrSysDataKind::brsPageNumber;
        page->Text = text;
        return page;
    }
    case Kind::HorLine:
    case Kind::Rectangle:
        break;
    }
    auto shape = std::make_unique<TBrShape>(band, QString::fromUtf8(d.name));
    shape->Shape = d.kind == Kind::HorLine ? TBrShapeType::brsHorLine : TBrShapeType::brsRectangle;
    return shape;
}

std::unique_ptr<TBrPrintable> create(TBrBand& band, const Declared& d, TMemTable& table) {
    std::unique_ptr<TBrPrintable> control = makeControl(band, d, table);
    control->setPixelBounds(d.left, d.top, d.width, d.height);
    return control;
}

QString money(long double value) {
    return FormatNumber(TdmdCadastro::kMoneyFormat, value);
}

// A sum stays a double; the addition itself is carried out in extended.
void add(double& sum, const TField& field) {
    sum = static_cast<double>(static_cast<long double>(sum) +
                              static_cast<long double>(field.asFloat()));
}

long double less(double sum, const TField& field) {
    return static_cast<long double>(sum) - static_cast<long double>(field.asFloat());
}

} // namespace

TfrmImpressao::TfrmImpressao(TdmdCadastro& data)
    : TComponent(nullptr, QStringLiteral("frmImpressao")),
      relatorio(this, QStringLiteral("relatorio")),
      Titulo(relatorio, QStringLiteral("Titulo"), TBrBandType::rbPageHeader),
      detalhe(relatorio, QStringLiteral("detalhe"), TBrBandType::rbDetail),
      rodape(relatorio, QStringLiteral("rodape"), TBrBandType::rbPageFooter),
      Sumario(relatorio, QStringLiteral("Sumario"), TBrBandType::rbSummary), m_data(data) {
    relatorio.DataSet = &data.cdsTavim;
    relatorio.Options.FirstPageHeader = true;
    relatorio.Options.LastPageFooter = true;
    relatorio.PrintIfEmpty = true;
    relatorio.Page.PaperSize = TBrPaperSize::A4;
    relatorio.Page.Orientation = TBrOrientation::Portrait;
    relatorio.Page.Columns = 1;
    relatorio.Page.Values = {100.0L,           2970.0L,         130.0L, 2100.0L,
                             10 * 254.0L / 96, 5 * 254.0L / 96, 0.0L};
    relatorio.PrinterSettings.Copies = 1;
    relatorio.PrinterSettings.OutputBin = TBrBin::Auto;
    AttachStandardWindows(relatorio);

    Titulo.setPixelSize(96, 779);
    detalhe.setPixelSize(17, 779);
    rodape.setPixelSize(49, 779);
    Sumario.setPixelSize(273, 779);
    declareControls();

    relatorio.BeforePrint = [this](TBandReport& s, bool& p) { relatorioBeforePrint(s, p); };
    detalhe.BeforePrint = [this](TBrBand& s, bool& p) { detalheBeforePrint(s, p); };
    rodape.BeforePrint = [this](TBrBand& s, bool& p) { rodapeBeforePrint(s, p); };
    Sumario.BeforePrint = [this](TBrBand& s, bool& p) { SumarioBeforePrint(s, p); };
    // A PDF is filed under the period it lists and the firm in its header.
    relatorio.DocumentInfo = [this, firm = label("rpRazaoSocial")] {
        return TPdfInfo{rpPeriodo->caption(), firm->caption()};
    };
}

TfrmImpressao::~TfrmImpressao() = default;

void TfrmImpressao::setPeriod(const QString& monthName, const QString& yearText) {
    rpPeriodo->setCaption(QStringLiteral("Referênte ao mês de ") + monthName +
                          QStringLiteral(" de ") + yearText);
}

void TfrmImpressao::declareControls() {
    const std::pair<TBrBand*, std::span<const Declared>> bands[] = {
        {&Titulo, kTitulo}, {&detalhe, kDetalhe}, {&rodape, kRodape}, {&Sumario, kSumario}};
    for (const auto& [band, declared] : bands)
        for (const Declared& d : declared)
            m_controls.push_back(create(*band, d, m_data.cdsTavim));
    rpPeriodo = label("rpPeriodo");
    rppAluguel = label("rppAluguel");
    rppTaxaAdm = label("rppTaxaAdm");
    rppOutros = label("rppOutros");
    rppTotalPagina = label("rppTotalPagina");
    rpsAluguel = label("rpsAluguel");
    rpsTaxa = label("rpsTaxa");
    rpsOutros = label("rpsOutros");
    totalAluguel = label("totalAluguel");
    totalAdm = label("totalAdm");
    Valor = label("Valor");
    // Totals are amounts: they print whole, however wide.
    for (TBrLabel* total : {rppAluguel, rppTaxaAdm, rppOutros, rpsAluguel, rpsTaxa, rpsOutros,
                            totalAluguel, totalAdm, Valor})
        total->KeepWhole = true;
}

TBrLabel* TfrmImpressao::label(const char* name) const {
    for (const auto& control : m_controls)
        if (control->name() == QLatin1String(name))
            return static_cast<TBrLabel*>(control.get());
    return nullptr;
}

void TfrmImpressao::relatorioBeforePrint(TBandReport&, bool&) {
    m_pageRent = m_pageFees = m_pageOthers = 0;
    m_grandRent = m_grandFees = 0;
    rpsAluguel->setCaption(QStringLiteral(" "));
}

void TfrmImpressao::detalheBeforePrint(TBrBand&, bool&) {
    add(m_pageRent, m_data.cdsTavimALUGUEL);
    add(m_grandRent, m_data.cdsTavimALUGUEL);
    add(m_pageFees, m_data.cdsTavimTAXA_ADM);
    add(m_grandFees, m_data.cdsTavimTAXA_ADM);
    add(m_pageOthers, m_data.cdsTavimOUTROS);
}

void TfrmImpressao::rodapeBeforePrint(TBrBand&, bool&) {
    // The row that did not fit was already added but prints on the next page.
    rppAluguel->setCaption(money(less(m_pageRent, m_data.cdsTavimALUGUEL)));
    rppTaxaAdm->setCaption(money(less(m_pageFees, m_data.cdsTavimTAXA_ADM)));
    rppOutros->setCaption(money(less(m_pageOthers, m_data.cdsTavimOUTROS)));
    rppTotalPagina->setCaption(QStringLiteral("Total da página:"));
    m_pageRent = m_data.cdsTavimALUGUEL.asFloat();
    m_pageFees = m_data.cdsTavimTAXA_ADM.asFloat();
    m_pageOthers = m_data.cdsTavimOUTROS.asFloat();
    if (rpsAluguel->caption() == QLatin1String(" "))
        return;
    for (TBrLabel* blank : {rppAluguel, rppTaxaAdm, rppOutros, rppTotalPagina})
        blank->setCaption(QStringLiteral(" "));
}

void TfrmImpressao::SumarioBeforePrint(TBrBand&, bool&) {
    totalAluguel->setCaption(money(m_grandRent));
    totalAdm->setCaption(money(m_grandFees));
    Valor->setCaption(money(static_cast<long double>(m_grandFees) * kIssqnFactor));
    rpsAluguel->setCaption(money(m_pageRent));
    rpsTaxa->setCaption(money(m_pageFees));
    rpsOutros->setCaption(money(m_pageOthers));
}

} // namespace tavim
