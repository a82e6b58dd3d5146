#include "app/FrmTavim.h"

#include "app/Anchors.h"
#include "app/Clock.h"
#include "app/FrmConfig.h"
#include "app/PeriodDefaults.h"
#include "app/Program.h"
#include "app/grid/DataGrid.h"
#include "app/grid/UiFont.h"
#include "data/DataModCad.h"
#include "report/FrmImpressao.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace tavim {

namespace {

template <typename W> W* place(W* widget, const char* name, QRect geometry, Anchors anchors) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    AnchorKeeper::anchor(widget, anchors);
    return widget;
}

QFrame* makePanel(QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    return panel;
}

QLabel* makeLabel(QWidget* parent, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setFont(UiFont(11, true));
    return label;
}

QComboBox* makeList(QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setEditable(false);
    list->setFont(UiFont(11, true));
    // The platform's combo box pads more, and its arrow is wider, than the
    // design's: "NOVEMBRO" must show whole, clear of the arrow, in 78 px.
    list->setStyleSheet(QStringLiteral("QComboBox { padding: 0px; }"
                                       "QComboBox::drop-down { width: 10px; }"));
    return list;
}

// The open list may be wider than its selector: every entry shows whole.
void widenListToItems(QComboBox* list) {
    QAbstractItemView* view = list->view();
    view->setMinimumWidth(view->sizeHintForColumn(0) + 2 * view->frameWidth());
}

QPushButton* makeButton(QWidget* parent, const QString& caption, QFont font = UiFont()) {
    auto* button = new QPushButton(caption, parent);
    button->setFont(font);
    button->setAutoDefault(false);
    return button;
}

// The seven columns the form declares; ALUGUEL and OUTROS take the default width.
std::vector<TColumn> ListingColumns() {
    std::vector<TColumn> columns = {
        {QStringLiteral("PROPRIETARIO"), QStringLiteral("Locador"), Alignment::Left, 280},
        {QStringLiteral("IMOVEL"), QStringLiteral("Imóvel"), Alignment::Left, 300},
        {QStringLiteral("INQUILINO"), QStringLiteral("Locatário"), Alignment::Left, 280},
        {QStringLiteral("ALUGUEL"), QStringLiteral("Aluguel"), Alignment::Center},
        {QStringLiteral("TAXA_ADM"), QStringLiteral("Taxa Adm."), Alignment::Center, 60},
        {QStringLiteral("OUTROS"), QStringLiteral("Outros"), Alignment::Center},
        {QStringLiteral("OBSERVACOES"), QStringLiteral("Observações"), Alignment::Left, 100},
    };
    for (TColumn& column : columns)
        column.setTitleFont(UiFont(11, true));
    return columns;
}

constexpr Anchors kTopLeft = Anchor::Left | Anchor::Top;
constexpr Anchors kTopRight = Anchor::Top | Anchor::Right;

} // namespace

TfrmTavim::TfrmTavim(const Clock& clock) : m_clock(clock) {
    setObjectName(QStringLiteral("frmTavim"));
    setWindowTitle(QStringLiteral("Tavim"));
    setFont(UiFont());
    move(108, 254);
    resize(813, 569);
    createEntryPanel();
    createDataPanel();
    setTabOrders();
}

TfrmTavim::~TfrmTavim() = default;

void TfrmTavim::createEntryPanel() {
    pnlEntrada = place(makePanel(this), "pnlEntrada", {0, 1, 812, 34},
                       Anchor::Left | Anchor::Top | Anchor::Right);
    Label1 = place(makeLabel(pnlEntrada, QStringLiteral("Período: ")), "Label1", {8, 12, 54, 13},
                   kTopLeft);
    cbxMes = place(makeList(pnlEntrada), "cbxMes", {60, 8, 78, 21}, kTopLeft);
    cbxMes->addItems(MonthNames());
    widenListToItems(cbxMes);
    Label2 =
        place(makeLabel(pnlEntrada, QStringLiteral("de")), "Label2", {142, 12, 15, 13}, kTopLeft);
    cbxAno = place(makeList(pnlEntrada), "cbxAno", {162, 7, 57, 21}, kTopLeft);
    btnSituacao = place(makeButton(pnlEntrada, QStringLiteral("Situação")), "btnSituacao",
                        {222, 6, 65, 23}, kTopLeft);
    btnAdd = place(makeButton(pnlEntrada, QStringLiteral("+"), UiFont(16, true)), "btnAdd",
                   {571, 5, 29, 25}, kTopRight);
    btnRem = place(makeButton(pnlEntrada, QStringLiteral("-"), UiFont(19, true)), "btnRem",
                   {601, 5, 30, 25}, kTopRight);
    btnGerar = place(makeButton(pnlEntrada, QStringLiteral("Gerar")), "btnGerar", {647, 5, 49, 25},
                     kTopRight);
    btnImprimir = place(makeButton(pnlEntrada, QStringLiteral("Imprimir")), "btnImprimir",
                        {698, 5, 52, 25}, kTopRight);
    btnSair = place(makeButton(pnlEntrada, QStringLiteral("Sair")), "btnSair", {752, 5, 57, 25},
                    kTopRight);

    for (QPushButton* button : {btnSituacao, btnAdd, btnRem, btnGerar, btnImprimir, btnSair})
        button->installEventFilter(this);
    connect(btnGerar, &QPushButton::clicked, this, &TfrmTavim::btnGerarClick);
    connect(btnImprimir, &QPushButton::clicked, this, &TfrmTavim::btnImprimirClick);
    connect(btnAdd, &QPushButton::clicked, this, &TfrmTavim::btnAddClick);
    connect(btnRem, &QPushButton::clicked, this, &TfrmTavim::btnRemClick);
    connect(btnSituacao, &QPushButton::clicked, this, &TfrmTavim::btnSituacaoClick);
    connect(btnSair, &QPushButton::clicked, this, &TfrmTavim::btnSairClick);
}

void TfrmTavim::createDataPanel() {
    pnlDados = place(makePanel(this), "pnlDados", {0, 36, 812, 501},
                     Anchor::Left | Anchor::Top | Anchor::Right | Anchor::Bottom);
    dbgDados = new TDataGrid(pnlDados);
    dbgDados->setColumns(ListingColumns());
    dbgDados->setDataSource(&dsTavim);
    place(dbgDados, "dbgDados", {3, 16, 806, 442},
          Anchor::Left | Anchor::Top | Anchor::Right | Anchor::Bottom);
}

void TfrmTavim::setTabOrders() {
    const QWidget* order[] = {cbxMes, cbxAno, btnSair,     btnImprimir, btnGerar,
                              btnAdd, btnRem, btnSituacao, dbgDados};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));
}

void TfrmTavim::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmTavim::FormShow() {
    const PeriodDefaults period = DefaultPeriod(m_clock.today());
    cbxAno->clear();
    cbxAno->addItems(period.years);
    cbxAno->setCurrentIndex(period.yearIndex);
    cbxMes->setCurrentIndex(period.monthIndex);
}

// The window's own focus widget, not the application's: while the error box
// is up, or just after it closed, the application's may be none at all.
bool TfrmTavim::gridKeptFocus() const {
    const QWidget* focus = focusWidget();
    return focus && (focus == dbgDados || dbgDados->isAncestorOf(focus));
}

// A press on a button that the grid refused the focus to (its pending text was
// not accepted) ends there: the failed write ended the user's action, and the
// error box took the release, so the button must not go down either.
bool TfrmTavim::eventFilter(QObject* watched, QEvent* event) {
    const bool press =
        event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (press && gridKeptFocus())
        return true;
    return QWidget::eventFilter(watched, event);
}

void TfrmTavim::btnGerarClick() {
    dmdCadastro->RunReportQuery(
        cbxMes->currentIndex(), cbxAno->currentText(), frmConfig->chkAtivos->isChecked(),
        frmConfig->chkExtraJudicial->isChecked(), frmConfig->chkJuridico->isChecked());
}

// The period is read from the selectors at the moment of the click, whatever
// the last "Gerar" used.
void TfrmTavim::btnImprimirClick() {
    frmImpressao->setPeriod(cbxMes->currentText(), cbxAno->currentText());
    frmImpressao->relatorio.ShowPreview();
}

void TfrmTavim::btnAddClick() {
    dmdCadastro->cdsTavim.InsertRow();
}

void TfrmTavim::btnRemClick() {
    dmdCadastro->cdsTavim.RemoveRow();
}

void TfrmTavim::btnSituacaoClick() {
    frmConfig->exec();
}

void TfrmTavim::btnSairClick() {
    QCoreApplication::exit(0);
}

} // namespace tavim
