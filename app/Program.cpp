#include "app/Program.h"

#include "app/FrmConfig.h"
#include "app/FrmTavim.h"
#include "data/DataModCad.h"
#include "engine/print/CachedPrinterDriver.h"
#include "report/FrmImpressao.h"

namespace tavim {

TfrmTavim* frmTavim = nullptr;
TdmdCadastro* dmdCadastro = nullptr;
TfrmImpressao* frmImpressao = nullptr;
TfrmConfig* frmConfig = nullptr;

TProgram::TProgram(const Clock& clock) {
    m_frmTavim = std::make_unique<TfrmTavim>(clock);
    frmTavim = m_frmTavim.get();
    m_dmdCadastro = std::make_unique<TdmdCadastro>();
    dmdCadastro = m_dmdCadastro.get();
    frmTavim->dsTavim.setDataSet(&dmdCadastro->cdsTavim);
    m_frmImpressao = std::make_unique<TfrmImpressao>(*dmdCadastro);
    frmImpressao = m_frmImpressao.get();
    m_frmConfig = std::make_unique<TfrmConfig>();
    frmConfig = m_frmConfig.get();
}

TProgram::~TProgram() {
    m_frmConfig->hide();
    frmConfig = nullptr;
    m_frmConfig.reset();
    frmImpressao = nullptr;
    m_frmImpressao.reset();
    frmTavim->dsTavim.setDataSet(nullptr);
    dmdCadastro = nullptr;
    m_dmdCadastro.reset();
    frmTavim = nullptr;
    m_frmTavim.reset();
}

void TProgram::showMainWindow(StartState state) {
    // The printers are read while the user picks a period, not when
    // "Imprimir" would wait for them.
    QMetaObject::invokeMethod(
        m_frmTavim.get(), [] { TPrinterCatalog::process()->warm(); }, Qt::QueuedConnection);
    switch (state) {
    case StartState::Maximized:
        m_frmTavim->showMaximized();
        return;
    case StartState::Minimized:
        m_frmTavim->setAttribute(Qt::WA_ShowWithoutActivating);
        m_frmTavim->showMinimized();
        return;
    case StartState::Normal:
        m_frmTavim->show();
        return;
    }
}

} // namespace tavim
