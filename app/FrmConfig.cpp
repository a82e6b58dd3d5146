#include "app/FrmConfig.h"

#include "app/grid/UiFont.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>

namespace tavim {

namespace {

QCheckBox* makeBox(QWidget* parent, const QString& caption, QRect geometry, bool ticked) {
    auto* box = new QCheckBox(caption, parent);
    box->setFont(UiFont());
    box->setGeometry(geometry);
    box->setChecked(ticked);
    return box;
}

} // namespace

TfrmConfig::TfrmConfig(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmConfig"));
    setWindowTitle(QStringLiteral("Configurações"));
    setFont(UiFont());
    move(243, 214);
    setFixedSize(291, 106);

    GroupBox1 = new QGroupBox(QStringLiteral("Contratos para geração do relatorio"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setFont(UiFont(11, true));
    GroupBox1->setGeometry(2, 5, 287, 68);
    chkAtivos = makeBox(GroupBox1, QStringLiteral("Ativos"), {16, 24, 57, 17}, true);
    chkExtraJudicial =
        makeBox(GroupBox1, QStringLiteral("Extra Judicial"), {96, 24, 97, 17}, false);
    chkJuridico = makeBox(GroupBox1, QStringLiteral("Juridico"), {216, 24, 65, 17}, false);
    chkAtivos->setObjectName(QStringLiteral("chkAtivos"));
    chkExtraJudicial->setObjectName(QStringLiteral("chkExtraJudicial"));
    chkJuridico->setObjectName(QStringLiteral("chkJuridico"));

    btnFechar = new QPushButton(QStringLiteral("Fechar"), this);
    btnFechar->setObjectName(QStringLiteral("btnFechar"));
    btnFechar->setGeometry(224, 76, 65, 28);
    // The dialog has no default button: Enter on a check box does nothing, and
    // only the focused "Fechar" answers Enter.
    btnFechar->setAutoDefault(false);
    btnFechar->installEventFilter(this);
    connect(btnFechar, &QPushButton::clicked, this, &TfrmConfig::btnFecharClick);

    setTabOrder(chkAtivos, chkExtraJudicial);
    setTabOrder(chkExtraJudicial, chkJuridico);
    setTabOrder(chkJuridico, btnFechar);
}

void TfrmConfig::btnFecharClick() {
    reject();
}

void TfrmConfig::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool TfrmConfig::eventFilter(QObject* watched, QEvent* event) {
    if (watched != btnFechar || event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    btnFechar->click();
    return true;
}

} // namespace tavim
